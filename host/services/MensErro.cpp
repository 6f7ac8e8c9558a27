#include "MensErro.h"
#include "toolkit/Errors.h"
#include "toolkit/HostUi.h"

void MensErro(const QString &text, bool abort)
{
    HostUi::instance().showError(text, abort);
    if (abort)
        throw EAbort(text);
}
