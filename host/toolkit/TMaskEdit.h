// Edit with an edit mask (EditMask.h). Text follows the mask's second field;
// typed, pasted and assigned text all go through the mask.
#pragma once

#include "EditMask.h"
#include "TEdit.h"

class TMaskEdit : public TEdit {
    Q_OBJECT
    Q_PROPERTY(QString EditMask READ EditMaskText WRITE setEditMask)

public:
    explicit TMaskEdit(QWidget *parent = nullptr);

    QString EditMaskText() const { return m_mask.definition(); }
    void setEditMask(const QString &definition);
    const EditMask &mask() const { return m_mask; }

    QString Text() const override;
    void setText_(const QString &v) override;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;

private:
    void pasteFiltered();
    EditMask m_mask;
};
