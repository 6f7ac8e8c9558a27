// Sends a message with files attached through the office's SMTP server
// (libcurl): plain SMTP, STARTTLS required on the plain port, or SMTPS from
// the first byte; a login when a user is set. The password comes from the
// caller (mailPassword() reads the environment, then the keyring), never
// from a command line.
//
// Every wait on the server is bounded by MailSettings::timeoutSeconds: a
// server that accepts the connection and stays silent is named as one that
// did not answer, not waited on forever.
//
// send() throws EMailError, whose text is Portuguese and says what failed
// (no connection, no answer, refused login, refused sender or recipient,
// an unsafe or untrusted TLS, an attachment that cannot be read) and what
// to do, then the server's own last words when it said any. Nothing is
// half-sent: SMTP delivers the message whole or not at all.
#pragma once

#include "core/Errors.h"

#include <QString>
#include <QStringList>

class PasswordKeyring;

struct MailSettings {
    enum class Security { None, StartTls, Tls };

    QString host;
    int port = 0;            // 0: 25, or 465 for Tls
    QString from;
    QString user;            // empty: no login
    Security security = Security::StartTls;
    QString caFile;          // empty: the system's certificate authorities
    int timeoutSeconds = 30;

    bool configured() const { return !host.isEmpty() && !from.isEmpty(); }
    int effectivePort() const { return port > 0 ? port : (security == Security::Tls ? 465 : 25); }
    // "none", "starttls", "tls" (case ignored); false for anything else.
    static bool parseSecurity(const QString &text, Security *security);
    // The keyring's account of the password: "smtp:USER@HOST".
    QString keyringAccount() const;
};

struct MailMessage {
    QStringList recipients;
    QString subject;
    QString body;            // plain text
    QStringList attachments; // file paths; each goes under its own file name
};

class EMailError : public EHostError {
public:
    using EHostError::EHostError;
};

namespace MailDelivery {

// Sends message as settings say; throws EMailError (see above).
void send(const MailSettings &settings, const QString &password, const MailMessage &message);

// The password for settings.user: MERENDA_SMTP_PASSWORD when set, else the
// keyring's (keyring may be null). Empty without a user. Throws EMailError
// when a user is set and neither holds a password, saying where to put one.
QString mailPassword(const MailSettings &settings, PasswordKeyring *keyring);

// The message of a report run: subject and body in Portuguese naming the
// report, the branch and the period ("01/03/2026 a 31/03/2026"), with the
// files attached and listed.
MailMessage reportMessage(const QString &report, const QString &branch, const QString &period,
                          const QStringList &files, const QStringList &recipients);

} // namespace MailDelivery
