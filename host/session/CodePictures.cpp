#include "CodePictures.h"
#include "LocalCache.h"
#include "core/Errors.h"
#include "core/MensErro.h"
#include "core/StringFunctions.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBStringField.h"
#include "data/TDataSource.h"

std::shared_ptr<const TDBPicture> DBPictObj(int type)
{
    const LocalCache::Row row = LocalCache::instance().find(QStringLiteral("PICTCODIGO"), QStringLiteral("NRTIPOPICT"),
                                                            QString::number(type));
    if (row.isEmpty())
        throw EHostError(QStringLiteral("Máscara de código do tipo %1 não cadastrada.").arg(type));
    return std::make_shared<const TDBPicture>(TDBPicture::fromText(
        type, row.value(QStringLiteral("NMPICTURE")).toString(), row.value(QStringLiteral("DSNIVEIS")).toString(),
        row.value(QStringLiteral("DSMASCARA")).toString()));
}

QString DBPict(int type) { return DBPictObj(type)->EditMask(); }

namespace {

QString lengthsText(const QList<int> &lengths)
{
    QStringList parts;
    for (int n : lengths)
        parts << QString::number(n);
    if (parts.size() <= 1)
        return parts.join(QString());
    const QString last = parts.takeLast();
    return parts.join(QLatin1String(", ")) + QStringLiteral(" ou ") + last;
}

// Whether the data source's query holds a row whose key field (option
// "Field=NAME", else its first field) equals code.
bool foundInDataSource(QObject *dataSource, const QStringList &options, const QString &code)
{
    auto *source = qobject_cast<TDataSource *>(dataSource);
    TADOIBDataSet *set = source ? source->dataSet() : nullptr;
    if (!set)
        throw EHostError(QStringLiteral("ValidEx: a fonte de dados não mostra uma consulta."));
    QString field;
    for (const QString &o : options)
        if (o.startsWith(QLatin1String("Field="), Qt::CaseInsensitive))
            field = o.mid(6);
    if (field.isEmpty()) {
        const auto fields = set->Fields();
        if (fields.isEmpty())
            throw EHostError(QStringLiteral("ValidEx: a consulta não tem campos."));
        field = fields.first()->FieldName();
    }
    return set->OpenOnKey(field, code);
}

} // namespace

QString ValidEx(QObject *dataSource, int type, const QString &code, const QStringList &options,
                const QString &message, bool abort, bool *valid)
{
    if (valid)
        *valid = false;
    auto fail = [&](const QString &text) {
        MensErro(message.isEmpty() ? text : message, abort);
        return QString();
    };
    auto has = [&](const QString &option) { return options.contains(option, Qt::CaseInsensitive); };

    const auto picture = DBPictObj(type);
    QString adjusted = code;
    while (!adjusted.isEmpty() && adjusted.back().isSpace())
        adjusted.chop(1);

    if (EmptyString(code)) {
        if (!has(QStringLiteral("AllowEmpty")))
            return fail(QStringLiteral("Código não informado."));
        if (valid)
            *valid = true;
        return QString();
    }
    int position = 0;
    switch (picture->check(code, &position)) {
    case TDBPicture::Fault::Length:
        return fail(QStringLiteral("Código '%1' inválido: a máscara %2 aceita códigos de %3 caracteres.")
                        .arg(adjusted, picture->EditMask().section(QLatin1Char(';'), 0, 0),
                             lengthsText(picture->validLengths())));
    case TDBPicture::Fault::Character:
        return fail(QStringLiteral("Código '%1' inválido: o caractere '%2' na posição %3 não é aceito pela máscara %4.")
                        .arg(adjusted, adjusted.at(position - 1), QString::number(position),
                             picture->EditMask().section(QLatin1Char(';'), 0, 0)));
    case TDBPicture::Fault::None:
        break;
    }
    if (has(QStringLiteral("LastLevel")) && adjusted.size() != picture->fullLength())
        return fail(QStringLiteral("Código '%1' incompleto: informe os %2 caracteres do último nível.")
                        .arg(adjusted).arg(picture->fullLength()));

    if (dataSource && !foundInDataSource(dataSource, options, adjusted))
        return fail(QStringLiteral("Código '%1' não cadastrado.").arg(adjusted));
    if (valid)
        *valid = true;
    return adjusted;
}
