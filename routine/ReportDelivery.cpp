#include "ReportDelivery.h"

#include "shell/PasswordKeyring.h"

#include <QFileInfo>

namespace ReportDelivery {

QString deliver(const DeliveryRequest &request)
{
    const QString folder = request.files.isEmpty() ? QString() : QFileInfo(request.files.first()).absolutePath();
    const QString kept = QStringLiteral(" Nada foi enviado a %1; os arquivos ficaram em %2.")
                             .arg(request.recipients.join(QStringLiteral(", ")), folder);
    if (!request.settings.configured())
        return QStringLiteral("O envio por e-mail não está configurado: informe host e from na seção [mail] do "
                              "arquivo de configuração.")
               + kept;
    try {
        DesktopKeyring keyring;
        const QString password = MailDelivery::mailPassword(request.settings, &keyring);
        const QString period = QStringLiteral("%1 a %2").arg(request.periodStart.toString(QStringLiteral("dd/MM/yyyy")),
                                                              request.periodEnd.toString(QStringLiteral("dd/MM/yyyy")));
        MailDelivery::send(request.settings, password,
                           MailDelivery::reportMessage(request.report, request.branch, period, request.files,
                                                       request.recipients));
        return QString();
    } catch (const EHostError &e) {
        return e.text() + kept;
    }
}

} // namespace ReportDelivery
