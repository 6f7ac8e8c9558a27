#include "FirebirdStatements.h"

#include <QSqlDriver>
#include <QVariant>

namespace {

// The statement's type from isc_dsql_sql_info; -1 when it cannot be read.
int statementType(ISC_STATUS *status, isc_stmt_handle *stmt)
{
    char items[] = {isc_info_sql_stmt_type};
    char buffer[16] = {};
    if (isc_dsql_sql_info(status, stmt, sizeof items, items, sizeof buffer, buffer) || buffer[0] != isc_info_sql_stmt_type)
        return -1;
    const short length = short(isc_vax_integer(buffer + 1, 2));
    return int(isc_vax_integer(buffer + 3, length));
}

} // namespace

namespace FirebirdStatements {

bool attachment(const QSqlDatabase &db, isc_db_handle &handle)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    // The driver's handle is an isc_db_handle, which Qt knows as uint.
    if (v.metaType().sizeOf() != int(sizeof(isc_db_handle))
        || (v.typeId() != QMetaType::UInt && qstrcmp(v.typeName(), "isc_db_handle") != 0))
        return false;
    handle = *static_cast<const isc_db_handle *>(v.constData());
    return handle != 0;
}

Kind kindOf(const QSqlDatabase &db, const QString &sql)
{
    isc_db_handle attached = 0;
    if (!attachment(db, attached))
        return Kind::Unknown;
    ISC_STATUS_ARRAY status = {};
    isc_tr_handle tr = 0;
    static const char readOnly[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                                    isc_tpb_nowait};
    if (isc_start_transaction(status, &tr, 1, &attached, short(sizeof readOnly), readOnly))
        return Kind::Unknown;
    isc_stmt_handle stmt = 0;
    int type = -1;
    const QByteArray text = sql.toUtf8();
    if (!isc_dsql_allocate_statement(status, &attached, &stmt)) {
        if (!isc_dsql_prepare(status, &tr, &stmt, 0, text.constData(), 3, nullptr))
            type = statementType(status, &stmt);
        isc_dsql_free_statement(status, &stmt, DSQL_drop);
    }
    isc_rollback_transaction(status, &tr);
    if (type < 0)
        return Kind::Unknown;
    // An EXECUTE BLOCK that returns rows calls itself a SELECT, whatever its body does.
    if (sql.trimmed().startsWith(QLatin1String("EXECUTE"), Qt::CaseInsensitive))
        return Kind::Changes;
    return type == isc_info_sql_stmt_select ? Kind::Query : Kind::Changes;
}

} // namespace FirebirdStatements
