#include "CommandLineText.h"
#include "core/QuotedText.h"

#include <QCommandLineParser>

namespace {
QString namesOf(const QCommandLineOption &o)
{
    QStringList names;
    for (const QString &n : o.names())
        names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    QString text = names.join(QStringLiteral(", "));
    if (!o.valueName().isEmpty())
        text += QLatin1Char(' ') + o.valueName();
    return text;
}

// Words of text on lines of at most width columns, each after indent blanks.
QStringList wrap(const QString &text, int width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

const QCommandLineOption *find(const QList<QCommandLineOption> &options, const QString &name)
{
    for (const QCommandLineOption &o : options)
        if (o.names().contains(name))
            return &o;
    return nullptr;
}
}

namespace CommandLineText {

QString help(const QString &program, const QString &description, const QList<QCommandLineOption> &options,
             const QString &footer)
{
    QString text = QStringLiteral("Uso: %1 [opções]\n").arg(program);
    if (!description.isEmpty())
        text += description + QLatin1Char('\n');
    text += QStringLiteral("\nOpções:\n");
    int column = 0;
    for (const QCommandLineOption &o : options)
        column = qMax(column, int(namesOf(o).size()));
    column = qMin(column + 4, 32);
    for (const QCommandLineOption &o : options) {
        QString names = QStringLiteral("  ") + namesOf(o);
        const QStringList lines = wrap(o.description(), 79 - column);
        if (names.size() + 2 > column) {
            text += names + QLatin1Char('\n');
            names.clear();
        }
        for (const QString &line : lines) {
            text += names.leftJustified(column) + line + QLatin1Char('\n');
            names.clear();
        }
    }
    if (!footer.isEmpty())
        text += QLatin1Char('\n');
    for (const QString &paragraph : footer.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        text += wrap(paragraph, 79).join(QLatin1Char('\n')) + QLatin1Char('\n');
    return text;
}

QString parseError(const QCommandLineParser &parser, const QStringList &arguments,
                   const QList<QCommandLineOption> &options)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return QStringLiteral("Opção desconhecida: %1%2 (veja --help).")
            .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                 QuotedText::clip(unknown.first()));
    for (int i = 1; i < arguments.size(); ++i) {
        const QString arg = arguments[i];
        if (arg == QLatin1String("--"))
            break;
        if (!arg.startsWith(QLatin1Char('-')))
            continue;
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString written = eq < 0 ? arg : arg.left(eq);
        QString name = written;
        while (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        const QCommandLineOption *o = find(options, name);
        if (!o)
            continue;
        if (!o->valueName().isEmpty() && eq < 0 && i + 1 == arguments.size())
            return QStringLiteral("Falta o valor da opção %1 (%1 %2).").arg(written, o->valueName());
        if (o->valueName().isEmpty() && eq >= 0)
            return QStringLiteral("A opção %1 não leva valor: \"%2\".").arg(written, QuotedText::clip(arg));
    }
    return QStringLiteral("Linha de comando inválida: %1").arg(parser.errorText());
}
}
