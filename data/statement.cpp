#include "data/statement.h"

#include "data/database.h"

PreparedStatement::PreparedStatement(TIBDatabase *db, QByteArray bytes)
    : fb(db->Client()), database(db), text(std::move(bytes))
{
}

PreparedStatement::~PreparedStatement()
{
    if (handle && database->Connected()) {
        Status status;
        fb.isc_dsql_free_statement(status, &handle, DSQL_drop);
    }
}

void PreparedStatement::describeAll(Sqlda &area, decltype(FbClient::isc_dsql_describe) call)
{
    if (area.count() <= area.get()->sqln)
        return;
    Status status;
    area.resize(area.count());
    call(status, &handle, SQLDA_VERSION1, area.get());
    fb.check(status);
}

void PreparedStatement::prepare(isc_tr_handle *transaction)
{
    Status status;
    fb.isc_dsql_alloc_statement2(status, database->Handle(), &handle);
    fb.check(status);
    fb.isc_dsql_prepare(status, transaction, &handle, static_cast<unsigned short>(0), text.constData(),
                        static_cast<unsigned short>(database->Dialect()), out.get());
    fb.check(status);
    describeAll(out, fb.isc_dsql_describe);
    const char items[] = {isc_info_sql_stmt_type};
    char result[16] = {};
    fb.isc_dsql_sql_info(status, &handle, sizeof items, items, sizeof result, result);
    fb.check(status);
    type = static_cast<int>(SingleItem(result, isc_info_sql_stmt_type));
    const int columns = out.count();
    outData.assign(columns, {});
    outNull.assign(columns, 0);
    for (int i = 0; i < columns; ++i) {
        XSQLVAR &var = out.var(i);
        const int base = var.sqltype & ~1;
        outData[i].assign(base == SQL_VARYING ? var.sqllen + 2 : std::max<int>(var.sqllen, 8), 0);
        var.sqldata = outData[i].data();
        var.sqlind = &outNull[i];
        var.sqltype |= 1;
    }
    in.resize(1);
    fb.isc_dsql_describe_bind(status, &handle, SQLDA_VERSION1, in.get());
    fb.check(status);
    describeAll(in, fb.isc_dsql_describe_bind);
}

void PreparedStatement::execute(isc_tr_handle *transaction, XSQLDA *parameters)
{
    Status status;
    fb.isc_dsql_execute(status, transaction, &handle, SQLDA_VERSION1, parameters);
    fb.check(status);
}

long long PreparedStatement::affectedRows()
{
    Status status;
    const char items[] = {isc_info_sql_records, isc_info_end};
    char result[64] = {};
    fb.isc_dsql_sql_info(status, &handle, sizeof items, items, sizeof result, result);
    fb.check(status);
    if (result[0] != isc_info_sql_records)
        return 0;
    long long total = 0;
    const char *p = result + 3;
    while (*p != isc_info_end && p < result + sizeof result - 7) {
        const char item = *p++;
        const int length = static_cast<int>(LittleEndian(p, 2));
        p += 2;
        if (item == isc_info_req_insert_count || item == isc_info_req_update_count ||
            item == isc_info_req_delete_count)
            total += LittleEndian(p, length);
        p += length;
    }
    return total;
}
