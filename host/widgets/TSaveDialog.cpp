#include "TSaveDialog.h"
#include "core/ComponentRegistry.h"
#include "core/HostUi.h"

#include <QDir>
#include <QFileInfo>

REGISTER_COMPONENT(TSaveDialog)

TSaveDialog::TSaveDialog(QObject *parent) : QObject(parent) {}

bool TSaveDialog::Execute()
{
    // "Text|*.txt|All|*.*" -> "Text (*.txt);;All (*.*)"
    QStringList parts = m_filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    const QString initial = m_initialDir.isEmpty() ? m_fileName : QDir(m_initialDir).filePath(m_fileName);
    QString name = HostUi::instance().askSaveFileName(m_title, filters.join(QStringLiteral(";;")), initial);
    if (name.isEmpty())
        return false;
    if (!m_defaultExt.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + m_defaultExt;
    m_fileName = name;
    return true;
}
