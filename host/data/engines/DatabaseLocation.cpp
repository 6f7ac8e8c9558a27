#include "DatabaseLocation.h"
#include "DatabaseEngine.h"
#include "core/Errors.h"
#include "core/QuotedText.h"

namespace {

EHostError badLocation(const QString &location)
{
    QStringList forms;
    for (const DatabaseEngine *engine : DatabaseEngine::all())
        forms << engine->locationForms();
    const QString last = forms.isEmpty() ? QString() : forms.takeLast();
    return EHostError(QStringLiteral("Banco de dados inválido: '%1'. Use %2.")
                          .arg(QuotedText::clip(location),
                               forms.isEmpty() ? last : forms.join(QLatin1String(", ")) + QStringLiteral(" ou ") + last));
}

} // namespace

DatabaseLocation DatabaseLocation::parse(const QString &location)
{
    const QString text = location.trimmed();
    const int colon = int(text.indexOf(QLatin1Char(':')));
    const DatabaseEngine *engine = colon > 0 ? DatabaseEngine::forScheme(text.left(colon)) : nullptr;
    DatabaseLocation s;
    if (!engine)
        throw badLocation(location);
    s.scheme = engine->schemes().first();
    if (!engine->readLocation(text.mid(colon + 1), s) || s.path.isEmpty()) {
        const QString hint = engine->locationHint();
        throw EHostError(badLocation(location).text() + (hint.isEmpty() ? QString() : QLatin1Char(' ') + hint));
    }
    return s;
}

QString DatabaseLocation::toString() const { return engine().locationText(*this); }

const DatabaseEngine &DatabaseLocation::engine() const
{
    if (const DatabaseEngine *e = DatabaseEngine::forScheme(scheme))
        return *e;
    throw EHostError(QStringLiteral("Banco de dados sem tipo conhecido: '%1'.").arg(QuotedText::clip(scheme + QLatin1Char(':') + path)));
}
