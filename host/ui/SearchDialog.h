// The search list for people: a filter box over a table of the rows, read
// lazily. Keys: typing narrows the rows (or, without a filter box, jumps to
// the first row starting with the typed text), arrows and Page keys move,
// Enter chooses, Escape cancels, Space ticks a row in a multiple choice.
// In a multiple choice, Enter with nothing ticked takes the current row.
// Over a source that filters itself (a query: each filter runs a statement)
// the filter applies once typing pauses (kFilterDelayMs), or at once when a
// key that moves, ticks or chooses is pressed.
// Below the rows, the count: "100+ registros" while the rest is counted
// (typing goes on meanwhile), then "1.234 registros".
#pragma once

#include "core/SearchRequest.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QTableView;
class QTimer;
class SearchModel;
class SearchSource;

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    SearchDialog(const SearchRequest &request, SearchSource &source, QWidget *parent = nullptr);

    // Valid after accept().
    SearchChoice choice() const { return m_choice; }
    bool hasRows() const;

    QLineEdit *filterEdit() const { return m_filter; }
    QTableView *table() const { return m_table; }
    SearchModel *model() const { return m_model; }
    // The shown row that is current, -1 when none.
    int currentRow() const;

    void accept() override;
    // Applies a filter still waiting for typing to pause.
    void applyFilterNow();

    static constexpr int kFilterDelayMs = 250;

    // The count line: shown rows, total (-1 while counting), rows counted
    // so far, and whether the source has no more rows.
    static QString countText(qint64 shown, qint64 total, qint64 soFar, bool atEnd);
    QString statusText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeTable();
    QDialogButtonBox *makeButtons();
    void filterChanged(const QString &text);
    void selectRow(int row);
    void updateStatus();

    SearchRequest m_request;
    SearchModel *m_model = nullptr;
    QLineEdit *m_filter = nullptr;
    QTableView *m_table = nullptr;
    QLabel *m_status = nullptr;
    QTimer *m_filterTimer = nullptr;
    SearchChoice m_choice;
};
