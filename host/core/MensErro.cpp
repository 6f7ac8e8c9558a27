#include "MensErro.h"
#include "Errors.h"
#include "HostUi.h"

void MensErro(const QString &text, bool abort)
{
    HostUi::instance().showError(text, abort);
    if (abort)
        throw EAbort(text);
}
