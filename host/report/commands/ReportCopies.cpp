#include "ReportCopies.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "report/model/DefinitionWriter.h"
#include "report/model/ReportLibrary.h"

#include <QFile>
#include <QFileInfo>

ReportCopies::ReportCopies(const QString &reportCode) : m_code(reportCode) {}

QString ReportCopies::write(const ReportDefinition &def, const QString &dest) const
{
    if (dest.isEmpty())
        return ReportLibrary::writeNewUserFile(m_code, def.title, DefinitionWriter::toText(def).toUtf8());
    DefinitionWriter::save(def, dest);
    return dest;
}

std::optional<QString> ReportCopies::copyToReplace(const QString &title, const QString &question)
{
    const QString existing = ReportLibrary::userPathOfTitle(m_code, title);
    if (existing.isEmpty())
        return QString();
    if (HostUi::instance().askYesNo(QStringLiteral("Substituir relatório"), question.arg(title)))
        return existing;
    return std::nullopt;
}

QString ReportCopies::saveAs(ReportDefinition def, const ReportMessages &msgs)
{
    QString title = def.title;
    std::optional<QString> dest;
    while (!dest) {
        if (!HostUi::instance().askText(msgs.novoCaption, msgs.novoPrompt, title) || title.trimmed().isEmpty())
            throw EAbort();
        title = title.trimmed();
        if (ReportLibrary::isStandardTitle(m_code, title))
            HostUi::instance().showError(QStringLiteral("\"%1\" é o título de um relatório padrão, que não pode ser "
                                                        "substituído. Informe outro título.").arg(title), false);
        else
            dest = copyToReplace(title, QStringLiteral("Já existe um relatório com o título \"%1\". Deseja substituí-lo?"));
    }
    def.title = title;
    return write(def, *dest);
}

QString ReportCopies::saveEdited(const ReportDefinition &def, const QString &path)
{
    QString dest = path;
    if (ReportLibrary::isStandard(path) || !QFileInfo(path).isWritable())
        // Declined: a new file beside the one of that title.
        dest = copyToReplace(def.title, QStringLiteral("Já existe um relatório com o título \"%1\". Deseja substituí-lo? "
                                                       "(Não: o relatório editado é gravado ao lado dele.)"))
                   .value_or(QString());
    return write(def, dest);
}
