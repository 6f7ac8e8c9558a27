// Edit with an edit mask (EditMask.h). Text follows the mask's second field;
// typed, pasted and assigned text all go through the mask. A click past the
// filled positions puts the cursor right after them, as a plain edit does
// past its text, so that what is typed next is not lost beyond the mask.
#pragma once

#include "TEdit.h"
#include "core/EditMask.h"

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
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void pasteFiltered();
    // The first input position after the last filled one (0 when empty).
    int filledEnd() const;
    EditMask m_mask;
};
