// The desktop's keyring behind the PasswordKeyring interface (core).
#pragma once

#include "core/PasswordKeyring.h"

// The desktop session's Secret Service (GNOME Keyring, KWallet) through
// QtKeychain, under the service name kService.
class DesktopKeyring : public PasswordKeyring {
public:
    static constexpr const char *kService = "merenda";
    QString read(const QString &account, QString *error) override;
    bool save(const QString &account, const QString &password, QString *error) override;
};
