#include "StatusNotice.h"

#include <QMouseEvent>

namespace {
// A red disc before the text: the notice is a fault, not a passing remark.
const QString kMark = QStringLiteral("\u25CF ");
} // namespace

StatusNotice::StatusNotice(QWidget *parent) : ElidedLabel(Qt::ElideRight, parent)
{
    setObjectName(QStringLiteral("lblStatusAviso"));
    setCursor(Qt::PointingHandCursor);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
    setPalette(p);
    hide();
}

void StatusNotice::showNotice(const QString &text)
{
    m_text = text;
    setFullText(kMark + text);
    setToolTip(text + QStringLiteral("\n\nClique aqui para tentar novamente."));
    setAccessibleName(QStringLiteral("Aviso: ") + text);
    setAccessibleDescription(QStringLiteral("Clique para tentar novamente (menu Arquivo, Tentar novamente)."));
    show();
}

void StatusNotice::clearNotice()
{
    m_text.clear();
    setFullText(QString());
    hide();
}

void StatusNotice::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}
