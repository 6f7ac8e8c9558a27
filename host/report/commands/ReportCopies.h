// The user's copies of a report code's definitions: "Salvar como" saves one
// under a title the user gives, "Editar relatório" writes an edited one.
//
// A copy gets a file of its own named after its title (ReportLibrary). A
// title a user copy already has (case and surrounding blanks aside) replaces
// that copy only when the user agrees; a standard definition's title is
// refused and asked again. A new copy's file takes its name with its whole
// text at once, so the list never shows an empty or partial copy, whenever
// a save fails or is killed. Failures throw EHostError; the user's cancel
// throws EAbort.
#pragma once

#include "ReportMessages.h"
#include "report/model/ReportDefinition.h"

#include <QString>
#include <optional>

class ReportCopies {
public:
    explicit ReportCopies(const QString &reportCode);

    // Asks for a title (the definition's offered first) until one can be
    // used, saves the copy under it and returns its path.
    QString saveAs(ReportDefinition def, const ReportMessages &msgs);
    // Writes an edited definition that was read from path: over path when
    // it is a user's copy that can be written; else into a copy of its
    // title, asking before replacing one (no: saved beside it). Returns the
    // path written.
    QString saveEdited(const ReportDefinition &def, const QString &path);

private:
    // The copy of that title that a save replaces, asking first: its path;
    // empty for a new file; nullopt when the user declines.
    std::optional<QString> copyToReplace(const QString &title, const QString &question);
    // Writes over dest, or a new file when dest is empty; returns the path.
    QString write(const ReportDefinition &def, const QString &dest) const;

    QString m_code;
};
