#include "PagedDocument.h"
#include "PageTextCapture.h"

#include <QPainter>

QStringList PagedDocument::pageTexts(int index)
{
    PageTextCapture capture(pageLayout(), unitsPerMm());
    QPainter p(&capture);
    paintPage(p, index);
    p.end();
    return capture.texts();
}
