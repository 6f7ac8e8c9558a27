#include "FocusChain.h"
#include "TControlInfo.h"

#include <QRadioButton>
#include <QWidget>
#include <algorithm>

namespace FocusChain {
namespace {
bool takesTab(const QWidget *w)
{
    const QWidget *target = w->focusProxy() ? w->focusProxy() : w;
    if (!(target->focusPolicy() & Qt::TabFocus) && !(w->focusPolicy() & Qt::TabFocus))
        return false;
    const TControlInfo *info = TControlInfo::find(w);
    return !info || info->TabStop();
}

int tabKey(const QWidget *w, int creationIndex)
{
    const TControlInfo *info = TControlInfo::find(w);
    return info && info->TabOrder() >= 0 ? info->TabOrder() : creationIndex;
}

void visit(QWidget *parent, QWidget *root, QList<QWidget *> &out)
{
    struct Child { QWidget *w; int key; int index; };
    QList<Child> kids;
    int index = 0;
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow())
            continue;
        kids.append({w, tabKey(w, index), index});
        ++index;
    }
    std::stable_sort(kids.begin(), kids.end(), [](const Child &a, const Child &b) {
        return a.key != b.key ? a.key < b.key : a.index < b.index;
    });

    // One stop per set of sibling radio buttons.
    QRadioButton *radioStop = nullptr;
    for (const Child &c : kids) {
        auto *r = qobject_cast<QRadioButton *>(c.w);
        if (!r || !r->autoExclusive() || !r->isEnabled() || !r->isVisibleTo(root))
            continue;
        if (r->isChecked()) {
            radioStop = r;
            break;
        }
        if (!radioStop)
            radioStop = r;
    }

    for (const Child &c : kids) {
        QWidget *w = c.w;
        if (!w->isEnabled() || !w->isVisibleTo(root))
            continue;
        if (auto *r = qobject_cast<QRadioButton *>(w); r && r->autoExclusive()) {
            if (r == radioStop)
                out.append(r);
            continue;
        }
        if (takesTab(w))
            out.append(w);
        else
            visit(w, root, out);
    }
}
}

QList<QWidget *> build(QWidget *root)
{
    QList<QWidget *> out;
    visit(root, root, out);
    return out;
}

QWidget *next(QWidget *root, QWidget *current, bool forward)
{
    const QList<QWidget *> chain = build(root);
    if (chain.isEmpty())
        return nullptr;
    int at = -1;
    for (int i = 0; i < chain.size(); ++i) {
        QWidget *stop = chain[i];
        if (current && (stop == current || stop->isAncestorOf(current) || stop->focusProxy() == current)) {
            at = i;
            break;
        }
    }
    if (at < 0)
        return forward ? chain.first() : chain.last();
    const int n = int(chain.size());
    return chain[(at + (forward ? 1 : n - 1)) % n];
}
}
