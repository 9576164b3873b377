#include "data/database.h"

#include "data/ansi.h"
#include "data/credentials.h"
#include "data/errors.h"
#include "data/fbclient.h"
#include "data/quoting.h"

TIBDatabase::TIBDatabase(QString name) : Name(std::move(name)), client_(FbClient::Load()) {}

TIBDatabase::~TIBDatabase()
{
    try {
        SetConnected(false);
    } catch (const Exception &) {
        // Nothing can be reported while the program ends.
    }
}

void TIBDatabase::SetClientLibrary(const QString &file)
{
    FbClient::SetLibrary(file);
}

void TIBDatabase::SetConnected(bool value)
{
    if (value == Connected())
        return;
    FbClient &fb = *client_;
    Status status;
    if (value) {
        if (DatabaseName.isEmpty())
            throw Exception(QStringLiteral("Der Name der Datenbank fehlt."));
        const std::string dpb = BuildParamBlock(Params);
        const QByteArray path = ToAnsi(DatabaseName);
        isc_db_handle handle = 0;
        fb.isc_attach_database(status, 0, path.constData(), &handle, static_cast<short>(dpb.size()), dpb.data());
        fb.check(status);
        handle_ = handle;
        const char items[] = {isc_info_db_sql_dialect, isc_info_end};
        char result[32] = {};
        fb.isc_database_info(status, &handle_, sizeof items, items, sizeof result, result);
        const long long dialect = Failed(status) ? -1 : SingleItem(result, isc_info_db_sql_dialect);
        dialect_ = dialect > 0 && dialect < 3 ? static_cast<int>(dialect) : 3;
        return;
    }
    if (DefaultTransaction && DefaultTransaction->Active())
        DefaultTransaction->Commit();
    releaseStatements(nullptr);
    fb.isc_detach_database(status, &handle_);
    handle_ = 0;
    fb.check(status);
}

void TIBDatabase::CancelOperation()
{
    // Nothing to stop when nothing runs; the engine's answer changes nothing.
    Status status;
    if (handle_ != 0)
        client_->fb_cancel_operation(status, &handle_, fb_cancel_raise);
}

void TIBDatabase::ConnectionLost()
{
    if (!Connected())
        return;
    // The client frees its side of each handle; the server's answers are
    // errors, and nothing of them matters any more.
    releaseStatements(nullptr);
    if (DefaultTransaction)
        DefaultTransaction->Forget();
    Status status;
    client_->isc_detach_database(status, &handle_);
    handle_ = 0;
}

void TIBDatabase::releaseStatements(const DatabaseQuery *keep)
{
    for (DatabaseQuery *query : queries_)
        if (query != keep)
            query->ReleaseStatements();
}

void TIBDatabase::transactionEnded(const TIBTransaction *transaction)
{
    for (DatabaseQuery *query : queries_)
        query->TransactionEnded(transaction);
}

void CreateDatabase(const QString &path, int dialect)
{
    const std::shared_ptr<FbClient> client = FbClient::Load();
    const QString sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 8192 DEFAULT CHARACTER SET NONE")
                            .arg(QuotedLiteral(path), QuotedLiteral(AdministratorUser),
                                 QuotedLiteral(AdministratorPassword));
    const QByteArray bytes = ToAnsi(sql);
    Status status;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    client->isc_dsql_execute_immediate(status, &db, &tr, 0, bytes.constData(), static_cast<unsigned short>(dialect),
                                       nullptr);
    client->check(status);
    client->isc_detach_database(status, &db);
    client->check(status);
}
