// What a loadable module says of itself, so that the shell builds its menu
// and finds its help without knowing the module: the module exports
//   const ModuleDescription *DescribeModule();
// and the shell reads it before the module is started.
#pragma once

#include <QString>

class QObject;

struct ModuleDescription {
    // The module's code: its file is PKG_<code>.so ("XEV01700").
    QString code;
    // The entry that opens its screen in the shell's "Relatórios" menu ("&"
    // may mark its mnemonic), and that entry's key as QKeySequence reads it
    // ("Ctrl+G"; empty: none).
    QString menuTitle;
    QString menuKey;
    // The help context its screens' definitions store, and the page of the
    // module's resources that explains them (":/help/10701700.html").
    int helpContext = 0;
    QString helpPage;
    // The module's variables the shell may read, as read-only properties of
    // this object (by their names); null when it offers none.
    const QObject *variables = nullptr;
};
