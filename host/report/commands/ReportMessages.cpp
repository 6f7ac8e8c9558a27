#include "ReportMessages.h"

QString ReportMessages::fill(const QString &text, const QStringList &args)
{
    QString out;
    int next = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size() && text[i + 1] == QLatin1Char('s')) {
            if (next < args.size())
                out += args[next];
            ++next;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
