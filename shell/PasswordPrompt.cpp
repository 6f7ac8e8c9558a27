#include "PasswordPrompt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PasswordPrompt::PasswordPrompt(const QString &reason, const QString &account, bool canRemember, QWidget *parent)
    : QDialog(parent), m_password(new QLineEdit(this)), m_remember(new QCheckBox(QStringLiteral("Lembrar a senha"), this))
{
    setWindowTitle(QStringLiteral("Senha do banco de dados"));
    auto *why = new QLabel(reason, this);
    why->setWordWrap(true);
    why->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setAccessibleName(QStringLiteral("Senha"));
    m_remember->setEnabled(canRemember);
    m_remember->setToolTip(canRemember ? QStringLiteral("Guarda a senha no chaveiro da sessão (keyring), e o programa "
                                                         "não a pede mais neste computador.")
                                       : QStringLiteral("Não há chaveiro (keyring) nesta sessão para guardar a senha."));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Acesso:"), new QLabel(account.toHtmlEscaped(), this));
    form->addRow(QStringLiteral("&Senha:"), m_password);
    form->addRow(QString(), m_remember);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Entrar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(why);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(480);
    m_password->setFocus();
}

PasswordPrompt::Answer PasswordPrompt::answer() const { return {m_password->text(), m_remember->isChecked()}; }

std::optional<PasswordPrompt::Answer> PasswordPrompt::ask(const QString &reason, const QString &account,
                                                          bool canRemember)
{
    PasswordPrompt prompt(reason, account, canRemember);
    if (prompt.exec() != QDialog::Accepted)
        return std::nullopt;
    return prompt.answer();
}
