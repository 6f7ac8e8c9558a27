#include "ReportDelivery.h"

#include <QFileInfo>

namespace ReportDelivery {

QString deliver(const DeliveryRequest &request)
{
    // The e-mail library is connected here; until then nothing is sent.
    const QString folder = request.files.isEmpty() ? QString() : QFileInfo(request.files.first()).absolutePath();
    return QStringLiteral("O envio por e-mail ainda não está disponível nesta instalação: nada foi enviado a %1. Os "
                          "arquivos ficaram em %2; envie-os à mão ou rode sem --mail.")
        .arg(request.recipients.join(QStringLiteral(", ")), folder);
}

} // namespace ReportDelivery
