// The host's search lists, as screens call them. Both show their rows through
// HostUi (a Qt dialog for people, queued answers in scripted sessions), read
// lazily, and take a caption "title|empty-list text": an empty list shows
// the empty-list text instead of the list and gives false.
//
// Pesquisar_Plus(data source, caption, keepOpen, filterBox): single choice.
//   keepOpen false: the data set is (re)opened, so the list shows its rows as
//   they are now; true: an open data set is used as it stands (a closed one
//   is opened). filterBox true: typing narrows the rows through a filter box;
//   false: typing jumps to the first row whose first column starts with it.
//   True when a row was chosen; the data set is then open on that row (the
//   first shown column is the key that finds it again).
//
// PesquisaLista(data source, key field, caption, accumulate, list): multiple
//   choice over the data set (opened when closed). accumulate false: the
//   rows whose key is in `list` start ticked, and on a choice `list` becomes
//   the chosen keys in the order of the rows; codes no row holds any more
//   drop out. accumulate true: nothing starts ticked and the chosen keys are
//   added after those already in `list`. Either way the codes are joined by
//   kListSeparator and the result is true. Cancel or an empty list: false,
//   `list` as it was. Enter with nothing ticked chooses the current row.
//
// The separator is ';', a character no code holds (codes are letters and
// digits). So a substring search in the list finds each chosen code, and,
// since the codes of one list have one width, never a code made of the end
// of one chosen code and the start of the next. A key holding the separator
// cannot be listed: PesquisaLista refuses it with EHostError. Empty keys are
// left out.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

class QObject;
class TADOIBDataSet;

inline constexpr QChar kListSeparator = QLatin1Char(';');

bool Pesquisar_Plus(QObject *dataSource, const QString &caption, bool keepOpen, bool filterBox);
bool PesquisaLista(QObject *dataSource, const QString &keyField, const QString &caption, bool accumulate,
                   QString &list);
// The same on the codes themselves: `list` holds them one an item, before
// and after.
bool PesquisaLista(QObject *dataSource, const QString &keyField, const QString &caption, bool accumulate,
                   QStringList &list);

// The codes of a list written by PesquisaLista.
QStringList splitLista(const QString &list);

// The data set behind a data source (TDataSource), or the data set or query
// itself; throws EHostError when there is none.
TADOIBDataSet *searchDataSet(QObject *dataSource);
