// The texts the report commands show, taken from the screen's message table:
// "Arq_Rel_Err" (definition file not found; two %s: report code, folder),
// "NovoCaption" and "NovoPrompt" (asking for the title of a saved copy).
#pragma once

#include <QString>
#include <QStringList>


struct ReportMessages {
    QString arqRelErr;
    QString novoCaption;
    QString novoPrompt;

    // Fills the "%s" of text in order with args; extra "%s" stay empty.
    static QString fill(const QString &text, const QStringList &args);
    QString fileNotFound(const QString &code, const QString &folder) const
    {
        return fill(arqRelErr, {code, folder});
    }
};
