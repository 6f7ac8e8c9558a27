// Where a person's database passwords are kept between sessions: the
// desktop's keyring. An account names one login ("USER@LOCATION").
// read() gives the password saved for it (empty when none is, or the
// keyring cannot be reached: then error says why); save() keeps one.
// Neither throws; both wait for the keyring, which may ask the person to
// unlock it.
#pragma once

#include <QString>

class PasswordKeyring {
public:
    virtual ~PasswordKeyring() = default;
    virtual QString read(const QString &account, QString *error) = 0;
    virtual bool save(const QString &account, const QString &password, QString *error) = 0;
};

// The desktop session's Secret Service (GNOME Keyring, KWallet) through
// QtKeychain, under the service name kService.
class DesktopKeyring : public PasswordKeyring {
public:
    static constexpr const char *kService = "merenda";
    QString read(const QString &account, QString *error) override;
    bool save(const QString &account, const QString &password, QString *error) override;
};
