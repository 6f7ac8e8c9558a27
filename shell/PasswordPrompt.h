// The dialog that asks a person for a database password: what the server
// said (why a password is needed), the password (never shown), and
// "Lembrar a senha", which keeps it in the desktop's keyring once the
// login works. ask() gives nothing when the person cancels.
#pragma once

#include <QDialog>
#include <optional>

class QCheckBox;
class QLineEdit;

class PasswordPrompt : public QDialog {
    Q_OBJECT
public:
    struct Answer {
        QString password;
        bool remember = false;
    };

    // reason: the refusal in Portuguese; account: "USER@LOCATION";
    // canRemember: false when no keyring can keep it (the box is off).
    PasswordPrompt(const QString &reason, const QString &account, bool canRemember, QWidget *parent = nullptr);
    Answer answer() const;

    static std::optional<Answer> ask(const QString &reason, const QString &account, bool canRemember);

private:
    QLineEdit *m_password;
    QCheckBox *m_remember;
};
