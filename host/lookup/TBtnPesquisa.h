// Search button beside an edit (Associate). It never takes the focus, so a
// search started from it leaves the edit being typed in where it is.
//
// Click: when an OnClick handler is bound, that handler is the whole action
// (the screen runs its own search). Otherwise the built-in search runs:
// OnBeforePesq (a handler may set *Continue false to stop), then a single
// choice over the rows of DataSource under Title, showing EmptyError when
// there are none, then, after a choice, with the data set open on the chosen
// row: the Associate's Text gets the FieldCodigo value (when FieldCodigo is
// a column of the rows), and OnAfterPesq is raised.
// Columns shown: FieldCodigo and FieldNome when both are columns of the
// rows, else the data set's visible fields; FieldNivel, when a column,
// indents the names by level. The key that finds the chosen row again is
// FieldCodigo when it is a column, else the first column shown.
// Glyph names a drawn picture (widgets/Glyphs.h), "search" by default.
#pragma once

#include <QPointer>
#include <QToolButton>

class TBtnPesquisa : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(QObject *Associate READ Associate WRITE setAssociate)
    Q_PROPERTY(QString Title READ Title WRITE setTitle)
    Q_PROPERTY(QObject *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QString FieldCodigo READ FieldCodigo WRITE setFieldCodigo)
    Q_PROPERTY(QString FieldNome READ FieldNome WRITE setFieldNome)
    Q_PROPERTY(QString FieldNivel READ FieldNivel WRITE setFieldNivel)
    Q_PROPERTY(QString EmptyError READ EmptyError WRITE setEmptyError)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(QString Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(QString Caption READ text WRITE setText)

public:
    explicit TBtnPesquisa(QWidget *parent = nullptr);

    QObject *Associate() const { return m_associate; }
    void setAssociate(QObject *v) { m_associate = v; }
    QString Title() const { return m_title; }
    void setTitle(const QString &v) { m_title = v; }
    QObject *DataSource() const { return m_dataSource; }
    void setDataSource(QObject *v) { m_dataSource = v; }
    QString FieldCodigo() const { return m_fieldCodigo; }
    void setFieldCodigo(const QString &v) { m_fieldCodigo = v; }
    QString FieldNome() const { return m_fieldNome; }
    void setFieldNome(const QString &v) { m_fieldNome = v; }
    QString FieldNivel() const { return m_fieldNivel; }
    void setFieldNivel(const QString &v) { m_fieldNivel = v; }
    QString EmptyError() const { return m_emptyError; }
    void setEmptyError(const QString &v) { m_emptyError = v; }
    int NumGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int v) { m_numGlyphs = v; }
    QString Glyph() const { return m_glyph; }
    void setGlyph(const QString &name);
    bool Flat() const { return autoRaise(); }
    void setFlat(bool v) { setAutoRaise(v); }

    // Runs the click as the user's click does.
    void Click();
    // The built-in search, whatever handlers are bound; true after a choice.
    bool Pesquisar();

signals:
    void OnClick(QObject *Sender);
    void OnBeforePesq(QObject *Sender, bool *Continue);
    void OnAfterPesq(QObject *Sender);

private:
    QPointer<QObject> m_associate;
    QPointer<QObject> m_dataSource;
    QString m_title;
    QString m_fieldCodigo;
    QString m_fieldNome;
    QString m_fieldNivel;
    QString m_emptyError;
    int m_numGlyphs = 1;
    QString m_glyph;
};
