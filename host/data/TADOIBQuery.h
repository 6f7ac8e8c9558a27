// Read-only query component: one statement in four dialect texts (SQL,
// SQL_ORACLE, SQL_MSSQL, SQL_IB), run on the shell's shared database with the
// text of its dialect (HostDatabase; an empty dialect text falls back on SQL).
// Parameters are bound by name, never spliced (SqlStatement).
//
// Cursor: rows are read forward as they are needed, one ahead of the current
// one, so a query over a million rows holds two rows, and the statement is
// finished as soon as the last row is current: a query left open on its
// last row (a one-row look-up the screen keeps open) holds nothing of the
// database, and other programs may write. First() after Next() runs the
// statement again with the values it was opened with. Open() on an open query does nothing; setting a
// text closes it. GetEOF()/IsEmpty() of a closed query are true.
// Params: the declared list (collection items Name, DataType, ParamType);
// with ParamCheck a name used in any of the texts is added on first use.
// A parameter never set is bound as NULL.
// Fields: FieldByName returns the persistent TADOIBStringField of that column
// (a child of this query), else a transient one for a column of the open
// result; a name that is neither throws EHostError. Open() checks that every
// persistent field's column is in the result.
// The stored ADO and InterBase settings have no effect here: one shared
// connection serves every query (widgets/StoredProperties.cpp).
#pragma once

#include "TParam.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <memory>

class SqlStatement;
class TADOIBDataSet;
class TADOIBStringField;

class TADOIBQuery : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringList SQL READ SQL WRITE setSQL)
    Q_PROPERTY(QStringList SQL_ORACLE READ SQL_ORACLE WRITE setSQL_ORACLE)
    Q_PROPERTY(QStringList SQL_MSSQL READ SQL_MSSQL WRITE setSQL_MSSQL)
    Q_PROPERTY(QStringList SQL_IB READ SQL_IB WRITE setSQL_IB)
    Q_PROPERTY(QVariantList Params READ ParamsList WRITE setParamsList)
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(QObject *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QObject *Query READ Query)
    Q_PROPERTY(bool ParamCheck MEMBER m_paramCheck)

public:
    Q_INVOKABLE explicit TADOIBQuery(QObject *parent = nullptr);
    ~TADOIBQuery() override;

    QStringList SQL() const { return m_sql; }
    void setSQL(const QStringList &v);
    QStringList SQL_ORACLE() const { return m_sqlOracle; }
    void setSQL_ORACLE(const QStringList &v);
    QStringList SQL_MSSQL() const { return m_sqlMssql; }
    void setSQL_MSSQL(const QStringList &v);
    QStringList SQL_IB() const { return m_sqlIb; }
    void setSQL_IB(const QStringList &v);
    QVariantList ParamsList() const;
    void setParamsList(const QVariantList &items);
    bool Active() const { return m_active; }
    void setActive(bool v);
    QObject *DataSource() const { return m_dataSource; }
    void setDataSource(QObject *v) { m_dataSource = v; }
    QObject *Query() const;
    TADOIBDataSet *dataSet() const { return m_dataSet; }

    // --- operations -----------------------------------------------------
    Q_INVOKABLE void Open();
    Q_INVOKABLE void Close();
    Q_INVOKABLE void First();
    Q_INVOKABLE void Next();
    Q_INVOKABLE bool GetEOF() const;
    Q_INVOKABLE bool IsEmpty() const;
    TParam &ParamByName(const QString &name);
    TParams &Params() { return m_params; }
    TADOIBStringField *FieldByName(const QString &name);

    // --- what the data set and search lists need -------------------------
    // The text of a dialect, by its property ("SQL_IB": SqlDialect::
    // statementProperty; an empty one falls back on SQL); throws EHostError
    // when there is no text at all.
    QString statementText(const QString &property) const;
    // The text for the shared database's dialect.
    QString currentStatementText() const;
    // The named text that the open cursor ran (the dialect text, or a text
    // wrapped around it by OpenOnKey); empty when closed.
    QString runText() const { return m_runText; }
    // The values the open cursor was run with; the current ones when closed.
    const TParams &runParams() const { return m_active ? m_runParams : m_params; }
    // Columns of the open result, in order.
    QStringList columnNames() const { return m_columns; }
    // The current row's value of a column (null at the end or when empty).
    QVariant currentValue(const QString &column) const;
    // Persistent fields, in definition order.
    QList<TADOIBStringField *> persistentFields() const;
    // The transient field of a column, made on first use (no check that the
    // column exists: FieldByName checks).
    TADOIBStringField *transientField(const QString &column);
    // Runs namedText with params as this query's cursor (the data set's
    // OpenOnKey wraps the dialect text this way). Closes first.
    void openWith(const QString &namedText, const TParams &params);

private:
    void run();
    bool fetch();
    bool readAhead();
    void requireActive(const char *operation) const;
    QString label() const;

    QStringList m_sql, m_sqlOracle, m_sqlMssql, m_sqlIb;
    TParams m_params;
    bool m_active = false;
    QPointer<QObject> m_dataSource;
    TADOIBDataSet *m_dataSet = nullptr;
    QObject *m_transientFields = nullptr;

    // cursor
    std::unique_ptr<SqlStatement> m_stmt;
    QString m_runText;
    TParams m_runParams;
    QStringList m_columns;
    QHash<QString, int> m_columnIndex; // upper-case name -> column
    QVariantList m_row;
    QVariantList m_ahead; // the row after m_row, when m_hasAhead
    bool m_hasAhead = false;
    bool m_eof = true;
    bool m_empty = true;
    qint64 m_rowNo = -1;

    bool m_paramCheck = true;
};
