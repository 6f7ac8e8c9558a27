#include "ReportCopies.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "report/model/DefinitionWriter.h"
#include "report/model/ReportLibrary.h"

#include <QFile>
#include <QFileInfo>

ReportCopies::ReportCopies(const QString &reportCode) : m_code(reportCode) {}

void ReportCopies::write(const ReportDefinition &def, const QString &dest)
{
    const bool claimed = QFileInfo(dest).size() == 0;
    try {
        DefinitionWriter::save(def, dest);
    } catch (...) {
        if (claimed)
            QFile::remove(dest);
        throw;
    }
}

QString ReportCopies::newCopyPath(const QString &title, const QString &question)
{
    const QString existing = ReportLibrary::userPathOfTitle(m_code, title);
    if (existing.isEmpty())
        return ReportLibrary::claimUserPath(m_code, title);
    if (HostUi::instance().askYesNo(QStringLiteral("Substituir relatório"), question.arg(title)))
        return existing;
    return QString();
}

QString ReportCopies::saveAs(ReportDefinition def, const ReportMessages &msgs)
{
    QString title = def.title;
    QString dest;
    while (dest.isEmpty()) {
        if (!HostUi::instance().askText(msgs.novoCaption, msgs.novoPrompt, title) || title.trimmed().isEmpty())
            throw EAbort();
        title = title.trimmed();
        if (ReportLibrary::isStandardTitle(m_code, title))
            HostUi::instance().showError(QStringLiteral("\"%1\" é o título de um relatório padrão, que não pode ser "
                                                        "substituído. Informe outro título.").arg(title), false);
        else
            dest = newCopyPath(title, QStringLiteral("Já existe um relatório com o título \"%1\". Deseja substituí-lo?"));
    }
    def.title = title;
    write(def, dest);
    return dest;
}

QString ReportCopies::saveEdited(const ReportDefinition &def, const QString &path)
{
    QString dest = path;
    if (ReportLibrary::isStandard(path) || !QFileInfo(path).isWritable()) {
        dest = newCopyPath(def.title, QStringLiteral("Já existe um relatório com o título \"%1\". Deseja substituí-lo? "
                                                     "(Não: o relatório editado é gravado ao lado dele.)"));
        if (dest.isEmpty())
            dest = ReportLibrary::claimUserPath(m_code, def.title);
    }
    write(def, dest);
    return dest;
}
