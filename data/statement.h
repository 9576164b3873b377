// A prepared statement with its descriptor areas and the buffers they point
// at. Used only inside the data layer.
#pragma once

#include "data/fbclient.h"
#include "data/sqlda.h"

#include <QByteArray>

#include <vector>

class TIBDatabase;

class PreparedStatement {
public:
    PreparedStatement(TIBDatabase *db, QByteArray bytes);
    PreparedStatement(const PreparedStatement &) = delete;
    PreparedStatement &operator=(const PreparedStatement &) = delete;
    ~PreparedStatement();

    bool isSelect() const { return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd; }

    void prepare(isc_tr_handle *transaction);
    void execute(isc_tr_handle *transaction, XSQLDA *parameters);
    // Rows inserted, updated and deleted by the last execution.
    long long affectedRows();

    FbClient &fb;
    TIBDatabase *database;
    QByteArray text;
    isc_stmt_handle handle = 0;
    int type = 0;
    Sqlda out;
    Sqlda in;
    std::vector<std::vector<char>> outData;
    std::vector<ISC_SHORT> outNull;
    std::vector<std::vector<char>> inData;
    std::vector<ISC_SHORT> inNull;

private:
    // Grows the area when the statement has more columns or parameters than
    // it has room for, and describes again.
    void describeAll(Sqlda &area, decltype(FbClient::isc_dsql_describe) call);
};
