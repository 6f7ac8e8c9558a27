// Where report definitions live and how they are listed.
//
// Standard definitions ship with the shell in <standard root>/<code>/*.rel:
// the root is setStandardRoot(), else the environment variable
// HOST_REPORTS_DIR, else "reports" beside the executable (the build copies
// the source tree's reports/ there), else "../reports" from it. The user's
// own definitions are in <user root>/<code>/*.rel: setUserRoot(), else
// HOST_USER_REPORTS_DIR, else QStandardPaths::AppDataLocation + "/reports".
// Standard files are never written to.
#pragma once

#include <QList>
#include <QString>

struct ReportEntry {
    QString title; // for a file that cannot be read, its problem, as people read it
    QString path;
    bool standard = false;
    QString problem; // why the file cannot be read; empty when it can
};

class ReportLibrary {
public:
    static QString standardRoot();
    static void setStandardRoot(const QString &dir); // empty: back to the default
    static QString userRoot();
    static void setUserRoot(const QString &dir);

    static QString standardDir(const QString &code);
    static QString userDir(const QString &code);

    // Standard definitions first (by file name), then the user's (by title).
    // Only each file's title is read (DefinitionParser::readTitle), so a
    // large folder lists at once. A file whose title cannot be read is listed
    // with its problem, so that choosing it shows what is wrong. Empty files
    // (left by other programs or older versions) are no definitions and are
    // not listed.
    static QList<ReportEntry> list(const QString &code);

    // A file name (no suffix) for a title: accents dropped, lower case,
    // '-' for anything else but letters and digits; "relatorio" when empty.
    static QString fileNameFor(const QString &title);
    // The file name a definition of that title is first given in the user
    // folder: the title without accents, lower case, '-' for the rest.
    static QString userPathFor(const QString &code, const QString &title);
    // The user file that holds a definition of that title (compared without
    // regard to case or surrounding blanks); empty when there is none.
    static QString userPathOfTitle(const QString &code, const QString &title);
    // Whether a standard definition of the code has that title.
    static bool isStandardTitle(const QString &code, const QString &title);
    // Writes a new user file for a definition of that title and returns its
    // path: userPathFor's name, else the same with "-2", "-3", ... The name
    // is taken with the whole text at once (SafeFile::commitNew), so two
    // saves never share a file and no empty or partial file ever shows in
    // the list, whenever a save is killed. Throws EHostError when the folder
    // cannot be made or written.
    static QString writeNewUserFile(const QString &code, const QString &title, const QByteArray &text);
    // Whether path lies inside the standard root.
    static bool isStandard(const QString &path);
};
