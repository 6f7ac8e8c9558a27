#include "MailDelivery.h"
#include "core/PasswordKeyring.h"
#include "core/QuotedText.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <curl/curl.h>
#include <mutex>

bool MailSettings::parseSecurity(const QString &text, Security *security)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("none"))
        *security = Security::None;
    else if (t == QLatin1String("starttls"))
        *security = Security::StartTls;
    else if (t == QLatin1String("tls"))
        *security = Security::Tls;
    else
        return false;
    return true;
}

QString MailSettings::keyringAccount() const { return QStringLiteral("smtp:%1@%2").arg(user, host); }

namespace {

// What the conversation with the server had reached, for naming a refusal.
// The first refusal is kept: after it the client only says goodbye.
struct Conversation {
    QString lastReply;      // the server's refusal, else its last line
    QString stage;          // the command refused (or the last sent): AUTH, MAIL, RCPT, DATA...
    QString recipient;      // the address of the last RCPT
    bool refused = false;
};

int onDebug(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    auto *c = static_cast<Conversation *>(user);
    const QString text = QString::fromUtf8(data, qsizetype(size)).trimmed();
    if (c->refused || text.isEmpty())
        return 0;
    if (type == CURLINFO_HEADER_IN) {
        c->lastReply = text.section(QLatin1Char('\n'), -1).trimmed();
        c->refused = c->lastReply.startsWith(QLatin1Char('4')) || c->lastReply.startsWith(QLatin1Char('5'));
    } else if (type == CURLINFO_HEADER_OUT && !text.isEmpty()) {
        c->stage = text.section(QLatin1Char(' '), 0, 0).section(QLatin1Char(':'), 0, 0).toUpper();
        static const QRegularExpression rcpt(QStringLiteral("^RCPT TO:<([^>]*)>"), QRegularExpression::CaseInsensitiveOption);
        const auto m = rcpt.match(text);
        if (m.hasMatch())
            c->recipient = m.captured(1);
    }
    return 0;
}

// Addresses go into the envelope and the headers as they are: a line break
// or an angle bracket would let one address write others.
void checkAddress(const QString &address, const QString &what)
{
    static const QRegularExpression plain(QStringLiteral("^[^\\s<>,;\"]+@[^\\s<>,;\"@]+$"));
    if (!plain.match(address).hasMatch())
        throw EMailError(QStringLiteral("O endereço de e-mail %1 \"%2\" não é válido. Use um endereço como "
                                        "nome@exemplo.gov.br.").arg(what, QuotedText::clip(address)));
}

// A header text in UTF-8 as RFC 2047 words: accents reach every mail reader.
QByteArray encodedWords(const QString &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); i += 15) {
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + text.mid(i, 15).toUtf8().toBase64() + "?=";
    }
    return out;
}

const char *mimeType(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return "application/pdf";
    if (suffix == QLatin1String("xlsx"))
        return "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
    if (suffix == QLatin1String("csv"))
        return "text/csv; charset=UTF-8";
    return "application/octet-stream";
}

struct Handles {
    CURL *curl = nullptr;
    curl_mime *mime = nullptr;
    curl_slist *recipients = nullptr;
    curl_slist *headers = nullptr;
    ~Handles()
    {
        curl_slist_free_all(recipients);
        curl_slist_free_all(headers);
        curl_mime_free(mime);
        if (curl)
            curl_easy_cleanup(curl);
    }
};

void addHeader(Handles &h, const QByteArray &line) { h.headers = curl_slist_append(h.headers, line.constData()); }

void buildMime(Handles &h, const MailMessage &message)
{
    h.mime = curl_mime_init(h.curl);
    curl_mimepart *body = curl_mime_addpart(h.mime);
    const QByteArray text = message.body.toUtf8();
    curl_mime_data(body, text.constData(), size_t(text.size()));
    curl_mime_type(body, "text/plain; charset=UTF-8");
    curl_mime_encoder(body, "quoted-printable");
    for (const QString &path : message.attachments) {
        const QFileInfo file(path);
        if (!file.isFile() || !file.isReadable())
            throw EMailError(QStringLiteral("O arquivo \"%1\" não pode ser lido para ir anexado ao e-mail; nada foi "
                                            "enviado. Confira se ele existe e se você pode lê-lo.").arg(path));
        curl_mimepart *part = curl_mime_addpart(h.mime);
        curl_mime_filedata(part, QFile::encodeName(file.absoluteFilePath()).constData());
        curl_mime_filename(part, file.fileName().toUtf8().constData());
        curl_mime_type(part, mimeType(path));
        curl_mime_encoder(part, "base64");
    }
}

void buildEnvelope(Handles &h, const MailSettings &s, const MailMessage &message)
{
    checkAddress(s.from, QStringLiteral("do remetente ([mail] from)"));
    if (message.recipients.isEmpty())
        throw EMailError(QStringLiteral("O e-mail não tem destinatário; informe ao menos um endereço."));
    for (const QString &to : message.recipients) {
        checkAddress(to, QStringLiteral("do destinatário"));
        h.recipients = curl_slist_append(h.recipients, ("<" + to.toUtf8() + ">").constData());
    }
    QString subject = message.subject;
    subject.replace(QRegularExpression(QStringLiteral("[\\r\\n\\t]+")), QStringLiteral(" "));
    addHeader(h, "From: " + s.from.toUtf8());
    addHeader(h, "To: " + message.recipients.join(QStringLiteral(", ")).toUtf8());
    addHeader(h, "Subject: " + encodedWords(subject));
    addHeader(h, "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1());
}

QByteArray urlOf(const MailSettings &s)
{
    const QString host = s.host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(s.host) : s.host;
    const QString scheme = s.security == MailSettings::Security::Tls ? QStringLiteral("smtps") : QStringLiteral("smtp");
    return QStringLiteral("%1://%2:%3").arg(scheme, host).arg(s.effectivePort()).toUtf8();
}

} // namespace

namespace {

void setOptions(Handles &h, const MailSettings &s, const QByteArray &password, Conversation &talk, char *errorText)
{
    CURL *c = h.curl;
    curl_easy_setopt(c, CURLOPT_URL, urlOf(s).constData());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_USE_SSL, long(s.security == MailSettings::Security::None ? CURLUSESSL_NONE : CURLUSESSL_ALL));
    if (!s.caFile.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, QFile::encodeName(s.caFile).constData());
    if (!s.user.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, s.user.toUtf8().constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }
    // Bounded waits: for the connection, for each reply, and for a stalled upload.
    const long limit = qMax(1, s.timeoutSeconds);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, limit);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, limit);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, limit);
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, ("<" + s.from.toUtf8() + ">").constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, h.recipients);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, h.headers);
    curl_easy_setopt(c, CURLOPT_MIMEPOST, h.mime);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, onDebug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &talk);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
}

QString refusal(const MailSettings &s, const Conversation &talk)
{
    if (talk.stage == QLatin1String("RCPT"))
        return QStringLiteral("O servidor de e-mail %1 recusou o destinatário \"%2\"; nada foi enviado. Confira o "
                              "endereço.").arg(s.host, talk.recipient);
    if (talk.stage == QLatin1String("MAIL"))
        return QStringLiteral("O servidor de e-mail %1 recusou o envio pelo remetente \"%2\"; nada foi enviado. "
                              "Confira [mail] from e [mail] user na configuração.").arg(s.host, s.from);
    return QStringLiteral("O servidor de e-mail %1 recusou a mensagem; nada foi enviado.").arg(s.host);
}

QString failureText(CURLcode code, const MailSettings &s, const Conversation &talk, const char *errorText)
{
    const QString where = QStringLiteral("%1:%2").arg(s.host).arg(s.effectivePort());
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("O servidor de e-mail \"%1\" não foi encontrado. Confira [mail] host na configuração.").arg(s.host);
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Não foi possível conectar ao servidor de e-mail %1 (conexão recusada). Confira [mail] "
                              "host e port na configuração ou tente mais tarde.").arg(where);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("O servidor de e-mail %1 não respondeu em %2 segundos; nada foi enviado. Tente mais "
                              "tarde ou confira [mail] host e port.").arg(where).arg(s.timeoutSeconds);
    case CURLE_LOGIN_DENIED:
        return QStringLiteral("O servidor de e-mail %1 recusou o login do usuário \"%2\"; nada foi enviado. Confira "
                              "[mail] user e a senha (no chaveiro ou em MERENDA_SMTP_PASSWORD).").arg(where, s.user);
    case CURLE_USE_SSL_FAILED:
        return QStringLiteral("O servidor de e-mail %1 não oferece STARTTLS, e a mensagem não é enviada sem "
                              "criptografia. Use security=tls se o servidor usa SMTPS.").arg(where);
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("O certificado do servidor de e-mail %1 não é confiável ou não é deste endereço; nada "
                              "foi enviado. Confira [mail] host ou informe a autoridade certificadora em [mail] cafile.")
            .arg(where);
    case CURLE_SSL_CONNECT_ERROR:
        return QStringLiteral("A conexão segura com o servidor de e-mail %1 falhou (%2). Confira [mail] security e port.")
            .arg(where, QString::fromUtf8(errorText));
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        if (!talk.lastReply.isEmpty() && !talk.lastReply.startsWith(QLatin1Char('2')))
            return refusal(s, talk);
        return QStringLiteral("A conexão com o servidor de e-mail %1 caiu durante o envio; nada foi enviado. Tente "
                              "novamente.").arg(where);
    default:
        return QStringLiteral("O envio do e-mail por %1 falhou: %2").arg(where, QString::fromUtf8(errorText));
    }
}

} // namespace

namespace MailDelivery {

void send(const MailSettings &settings, const QString &password, const MailMessage &message)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (!settings.configured())
        throw EMailError(QStringLiteral("O envio de e-mail não está configurado: informe host e from na seção [mail] "
                                        "da configuração."));
    Handles h;
    h.curl = curl_easy_init();
    if (!h.curl)
        throw EMailError(QStringLiteral("Não foi possível preparar o envio de e-mail (memória insuficiente)."));
    buildEnvelope(h, settings, message);
    buildMime(h, message);
    Conversation talk;
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray secret = password.toUtf8();
    setOptions(h, settings, secret, talk, errorText);
    const CURLcode code = curl_easy_perform(h.curl);
    if (code == CURLE_OK)
        return;
    QString text = failureText(code, settings, talk, errorText);
    if (!talk.lastReply.isEmpty() && code != CURLE_OPERATION_TIMEDOUT)
        text += QStringLiteral(" O servidor respondeu: \"%1\".").arg(QuotedText::clip(talk.lastReply));
    throw EMailError(text);
}

QString mailPassword(const MailSettings &settings, PasswordKeyring *keyring)
{
    if (settings.user.isEmpty())
        return QString();
    const QString fromEnvironment = qEnvironmentVariable("MERENDA_SMTP_PASSWORD");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QString why;
    const QString kept = keyring ? keyring->read(settings.keyringAccount(), &why) : QString();
    if (!kept.isEmpty())
        return kept;
    QString text = QStringLiteral("Não há senha para o usuário \"%1\" do servidor de e-mail %2. Guarde-a no chaveiro "
                                  "(conta \"%3\") ou na variável de ambiente MERENDA_SMTP_PASSWORD.")
                       .arg(settings.user, settings.host, settings.keyringAccount());
    if (!why.isEmpty())
        text += QStringLiteral(" O chaveiro respondeu: %1").arg(why);
    throw EMailError(text);
}

MailMessage reportMessage(const QString &report, const QString &branch, const QString &period,
                          const QStringList &files, const QStringList &recipients)
{
    MailMessage m;
    m.recipients = recipients;
    m.attachments = files;
    m.subject = QStringLiteral("%1 - filial %2 - %3").arg(report, branch, period);
    QString list;
    for (const QString &f : files)
        list += QStringLiteral("  - %1\n").arg(QFileInfo(f).fileName());
    m.body = QStringLiteral("Bom dia,\n\nSegue em anexo o relatório \"%1\" da filial %2, período de %3, gerado em "
                            "%4.\n\nArquivos:\n%5\nEsta mensagem foi enviada automaticamente; dúvidas sobre os "
                            "valores devem ir a quem cuida do planejamento da alimentação escolar.\n")
                 .arg(report, branch, period, QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")), list);
    return m;
}

} // namespace MailDelivery
