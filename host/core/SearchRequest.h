// What a search list is asked to show, and what the user chose.
#pragma once

#include <QString>
#include <QStringList>

struct SearchRequest {
    QString title;        // window title of the list
    QString emptyText;    // shown instead of the list when there are no rows
    bool multiple = false;
    // Single choice: typing narrows the rows through a filter box (true) or
    // jumps to the first row whose first column starts with the typed text.
    bool filterBox = true;
    QStringList ticked;   // multiple choice: keys ticked when the list opens

    QString emptyMessage() const
    {
        return emptyText.isEmpty() ? QStringLiteral("Não há registros para pesquisar.") : emptyText;
    }
};

struct SearchChoice {
    int row = -1;         // single choice: the row chosen (source order)
    QStringList keys;     // the keys chosen, in the order of the rows
};

// "title|empty-list text" as the screens pass it.
inline void splitSearchCaption(const QString &caption, QString &title, QString &emptyText)
{
    const int bar = caption.indexOf(QLatin1Char('|'));
    title = bar < 0 ? caption : caption.left(bar);
    emptyText = bar < 0 ? QString() : caption.mid(bar + 1);
}
