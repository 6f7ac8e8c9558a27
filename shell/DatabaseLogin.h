// Opens the shell's database with the password from the first place that
// has one: the configuration (--db-password, [database] password=), the
// desktop's keyring (a person's run, a database on a server), then the
// engine's own (PGPASSWORD, ~/.pgpass; ISC_PASSWORD). When the server
// refuses the login (ELoginRefused) and there is a prompt (a person's run),
// the person is asked, at most kTries times; a password given with
// "Lembrar a senha" goes to the keyring once the login works. Scripts get
// no prompt and no keyring: PGPASSWORD and ~/.pgpass serve them.
// open() throws what TdtmDBGeral::open throws; when the person cancels,
// the last refusal.
#pragma once

#include "PasswordPrompt.h"
#include "appdata/ShellConfig.h"

#include <functional>
#include <optional>

class PasswordKeyring;
class TdtmDBGeral;

class DatabaseLogin {
public:
    using Prompt = std::function<std::optional<PasswordPrompt::Answer>(const QString &reason, const QString &account,
                                                                       bool canRemember)>;
    static constexpr int kTries = 3;

    // Either may be null: no keyring, no one to ask.
    DatabaseLogin(PasswordKeyring *keyring, Prompt prompt) : m_keyring(keyring), m_prompt(std::move(prompt)) {}

    void open(TdtmDBGeral &data, ShellConfig config);
    // The login a password belongs to: "USER@LOCATION" (PostgreSQL: the
    // location, which names the user).
    static QString account(const ShellConfig &config);
    // Why the keyring could not keep a password the person asked it to
    // keep; empty when it did, or was not asked.
    QString keyringProblem() const { return m_keyringProblem; }

private:
    QString fromKeyring(const ShellConfig &config, bool *canRemember);

    PasswordKeyring *m_keyring;
    Prompt m_prompt;
    QString m_keyringProblem;
};
