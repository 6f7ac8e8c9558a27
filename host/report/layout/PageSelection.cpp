#include "PageSelection.h"
#include "core/Errors.h"

#include <QLocale>
#include <QPrinter>

namespace {
QString number(int n) { return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n); }
} // namespace

PageSelection PageSelection::of(const QPrinter &printer, bool deviceCopies)
{
    PageSelection s;
    if (printer.printRange() == QPrinter::PageRange && (printer.fromPage() > 0 || printer.toPage() > 0)) {
        s.from = printer.fromPage();
        s.to = printer.toPage() > 0 ? printer.toPage() : printer.fromPage();
    }
    s.copies = deviceCopies ? 1 : qMax(1, printer.copyCount());
    s.collate = printer.collateCopies();
    return s;
}

void PageSelection::check(int pageCount, const QString &title) const
{
    if (copies < 1)
        throw EHostError(QStringLiteral("O número de cópias deve ser 1 ou mais (foi pedido %1).").arg(copies));
    if (allPages())
        return;
    if (from < 1 || to < from)
        throw EHostError(QStringLiteral("O intervalo de páginas de %1 a %2 não é válido. Informe a primeira e a "
                                        "última página, a primeira menor ou igual à última.")
                             .arg(number(from), number(to)));
    if (to > pageCount) {
        const QString pages = pageCount == 1 ? QStringLiteral("1 página") : number(pageCount) + QStringLiteral(" páginas");
        throw EHostError(QStringLiteral("O relatório \"%1\" tem %2 nesta configuração de página; não há como imprimir "
                                        "as páginas de %3 a %4. Nada foi impresso. Escolha páginas entre 1 e %5.")
                             .arg(title, pages, number(from), number(to), number(pageCount)));
    }
}

QList<QPair<int, int>> PageSelection::runs(int pageCount) const
{
    const int first = allPages() ? 0 : from - 1;
    const int last = allPages() ? pageCount : qMin(to, pageCount);
    QList<QPair<int, int>> out;
    if (first >= last)
        return out;
    if (collate) {
        for (int c = 0; c < copies; ++c)
            out.append({first, last});
    } else {
        for (int page = first; page < last; ++page)
            for (int c = 0; c < copies; ++c)
                out.append({page, page + 1});
    }
    return out;
}

int PageSelection::pagesToPaint(int pageCount) const
{
    int n = 0;
    for (const auto &r : runs(pageCount))
        n += r.second - r.first;
    return n;
}
