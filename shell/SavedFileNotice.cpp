#include "SavedFileNotice.h"
#include "ElidedLabel.h"
#include "core/HostUi.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QToolButton>
#include <QUrl>

SavedFileNotice::SavedFileNotice(QWidget *parent)
    : QWidget(parent), m_text(new ElidedLabel(Qt::ElideMiddle, this)), m_open(new QToolButton(this))
{
    setObjectName(QStringLiteral("pnlArquivoGravado"));
    m_text->setObjectName(QStringLiteral("lblArquivoGravado"));
    m_text->setContentsMargins(0, 0, 4, 0);
    m_open->setObjectName(QStringLiteral("btnAbrirPasta"));
    m_open->setText(QStringLiteral("Abrir pasta"));
    m_open->setToolTip(QStringLiteral("Abre a pasta do arquivo no gerenciador de arquivos"));
    m_open->setAccessibleName(QStringLiteral("Abrir pasta"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->setSpacing(0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_open);
    connect(m_open, &QToolButton::clicked, this, &SavedFileNotice::openFolder);
    hide();
}

void SavedFileNotice::showFile(const QString &path)
{
    m_path = QFileInfo(path).absoluteFilePath();
    const QString shown = QDir::toNativeSeparators(m_path);
    m_text->setFullText(QStringLiteral("Arquivo gravado em %1").arg(shown));
    m_open->setAccessibleDescription(QStringLiteral("Abre a pasta de %1 no gerenciador de arquivos").arg(shown));
    show();
}

bool SavedFileNotice::openFolder() const
{
    if (m_path.isEmpty())
        return false;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        return true;
    HostUi::instance().showInfo(QStringLiteral("Não há um programa neste computador para abrir pastas (gerenciador "
                                               "de arquivos). O arquivo %1 foi gravado na pasta:\n\n%2\n\nAbra essa "
                                               "pasta pelo gerenciador de arquivos ou pelo terminal.")
                                    .arg(QFileInfo(m_path).fileName(), QDir::toNativeSeparators(folder)));
    return false;
}
