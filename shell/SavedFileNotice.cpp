#include "SavedFileNotice.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QUrl>

SavedFileNotice::SavedFileNotice(QWidget *parent) : QWidget(parent), m_text(new QLabel(this)), m_open(new QToolButton(this))
{
    setObjectName(QStringLiteral("pnlArquivoGravado"));
    m_text->setObjectName(QStringLiteral("lblArquivoGravado"));
    m_text->setTextFormat(Qt::PlainText);
    m_open->setObjectName(QStringLiteral("btnAbrirPasta"));
    m_open->setText(QStringLiteral("Abrir pasta"));
    m_open->setToolTip(QStringLiteral("Abre a pasta do arquivo no gerenciador de arquivos"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_open);
    connect(m_open, &QToolButton::clicked, this, &SavedFileNotice::openFolder);
    hide();
}

void SavedFileNotice::showFile(const QString &path)
{
    m_path = QFileInfo(path).absoluteFilePath();
    const QString shown = QDir::toNativeSeparators(m_path);
    m_text->setText(QStringLiteral("Arquivo gravado em %1").arg(shown));
    m_text->setToolTip(shown);
    show();
}

void SavedFileNotice::openFolder() const
{
    if (!m_path.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_path).absolutePath()));
}
