#include "DatabaseLogin.h"
#include "PasswordKeyring.h"
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "data/engines/DatabaseEngine.h"

QString DatabaseLogin::account(const ShellConfig &config)
{
    ConnectionDescription description;
    description.location = config.databaseLocation();
    description.user = config.user;
    // A location that names its user says whose password it is by itself.
    if (!description.location.user.isEmpty())
        return description.location.toString();
    return description.location.engine().userOf(description) + QLatin1Char('@') + description.location.toString();
}

QString DatabaseLogin::fromKeyring(const ShellConfig &config, bool *canRemember)
{
    *canRemember = m_keyring != nullptr;
    if (!m_keyring || !config.password.isEmpty() || !config.databaseLocation().isServer())
        return QString();
    QString error;
    const QString saved = m_keyring->read(account(config), &error);
    // No keyring in this session: nothing to read, nowhere to keep.
    if (!error.isEmpty())
        *canRemember = false;
    return saved;
}

void DatabaseLogin::open(TdtmDBGeral &data, ShellConfig config)
{
    bool canRemember = false;
    config.password = config.password.isEmpty() ? fromKeyring(config, &canRemember) : config.password;
    bool remember = false;
    for (int tries = 0;; ++tries) {
        try {
            data.open(config);
            break;
        } catch (const ELoginRefused &refused) {
            if (!m_prompt || tries >= kTries)
                throw;
            const std::optional<PasswordPrompt::Answer> answer = m_prompt(refused.text(), account(config), canRemember);
            if (!answer)
                throw;
            config.password = answer->password;
            remember = answer->remember && canRemember;
        }
    }
    QString error;
    if (remember && !m_keyring->save(account(config), config.password, &error))
        m_keyringProblem = QStringLiteral("A senha não pôde ser guardada no chaveiro da sessão (%1); o programa vai "
                                          "pedi-la de novo na próxima vez.")
                               .arg(error);
}
