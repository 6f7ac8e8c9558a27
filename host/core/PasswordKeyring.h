// Where a person's passwords are kept between sessions: the desktop's
// keyring. An account names one login ("USER@LOCATION" for a database,
// "smtp:USER@HOST" for the mail server). read() gives the password saved
// for it (empty when none is, or the keyring cannot be reached: then error
// says why); save() keeps one. Neither throws; both wait for the keyring,
// which may ask the person to unlock it. The shell installs the desktop's
// (DesktopKeyring); lower layers see only this interface.
#pragma once

#include <QString>

class PasswordKeyring {
public:
    virtual ~PasswordKeyring() = default;
    virtual QString read(const QString &account, QString *error) = 0;
    virtual bool save(const QString &account, const QString &password, QString *error) = 0;
};
