#include "PreviewFindBar.h"
#include "PreviewPageView.h"
#include "core/Errors.h"
#include "report/layout/PagedDocument.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShortcut>
#include <QToolButton>

PreviewFindBar::PreviewFindBar(PagedDocument &doc, PreviewPageView *view, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_view(view), m_text(new QLineEdit(this)), m_result(new QLabel(this))
{
    setObjectName(QStringLiteral("pnlLocalizar"));
    m_text->setObjectName(QStringLiteral("edtLocalizar"));
    m_text->setPlaceholderText(QStringLiteral("Localizar nas páginas"));
    m_text->setClearButtonEnabled(true);
    m_result->setObjectName(QStringLiteral("lblLocalizar"));
    auto *next = new QToolButton(this);
    next->setObjectName(QStringLiteral("btnProximo"));
    next->setText(QStringLiteral("Próximo"));
    next->setToolTip(QStringLiteral("Próxima ocorrência (Enter, F3)"));
    auto *previous = new QToolButton(this);
    previous->setObjectName(QStringLiteral("btnAnterior"));
    previous->setText(QStringLiteral("Anterior"));
    previous->setToolTip(QStringLiteral("Ocorrência anterior (Shift+Enter, Shift+F3)"));
    for (QToolButton *b : {next, previous})
        b->setFocusPolicy(Qt::StrongFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    auto *caption = new QLabel(QStringLiteral("Localizar:"), this);
    caption->setBuddy(m_text);
    layout->addWidget(caption);
    layout->addWidget(m_text, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(m_result, 1);
    connect(next, &QToolButton::clicked, this, &PreviewFindBar::findNext);
    connect(previous, &QToolButton::clicked, this, &PreviewFindBar::findPrevious);
    connect(m_text, &QLineEdit::returnPressed, this, [this] {
        if (QApplication::keyboardModifiers() & Qt::ShiftModifier)
            findPrevious();
        else
            findNext();
    });
    auto *parentWindow = parent ? parent : this;
    connect(new QShortcut(QKeySequence(Qt::Key_F3), parentWindow), &QShortcut::activated, this, &PreviewFindBar::findNext);
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), parentWindow), &QShortcut::activated, this,
            &PreviewFindBar::findPrevious);
    hide();
}

void PreviewFindBar::start()
{
    show();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void PreviewFindBar::dismiss()
{
    hide();
    m_view->setFocus(Qt::OtherFocusReason);
}

int PreviewFindBar::findNext() { return find(+1); }

int PreviewFindBar::findPrevious() { return find(-1); }

bool PreviewFindBar::pageHas(int index, const QString &text)
{
    try {
        for (const QString &t : m_doc.pageTexts(index))
            if (t.contains(text, Qt::CaseInsensitive))
                return true;
    } catch (const EHostError &) {
        // A page that cannot be read has nothing to find; the view says why.
    }
    return false;
}

int PreviewFindBar::find(int step)
{
    const QString text = m_text->text().trimmed();
    const int count = m_doc.pageCount();
    if (text.isEmpty() || count <= 0)
        return -1;
    show();
    // The same text again goes on from where it was found; a new one starts
    // with the page in view.
    const bool again = text == m_lastText && m_lastPage >= 0;
    const int first = again ? m_lastPage + step : m_view->currentPage();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int found = -1;
    for (int n = 0; n < count && found < 0; ++n) {
        const int page = ((first + step * n) % count + count) % count;
        if (pageHas(page, text))
            found = page;
    }
    QApplication::restoreOverrideCursor();
    m_lastText = text;
    m_lastPage = found;
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    if (found < 0) {
        m_result->setText(QStringLiteral("\"%1\" não aparece em nenhuma página.").arg(text));
        return -1;
    }
    m_view->showPage(found);
    m_result->setText(QStringLiteral("Encontrado na página %1.").arg(brazil.toString(found + 1)));
    return found;
}
