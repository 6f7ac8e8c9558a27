#include "MensErro.h"
#include "toolkit/Dispatch.h"
#include "ui/HostUi.h"

void MensErro(const QString &text, bool abort)
{
    HostUi::instance().showError(text, abort);
    if (abort)
        throw EAbort(text);
}
