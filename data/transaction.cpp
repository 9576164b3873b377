#include "data/transaction.h"

#include "data/errors.h"
#include "data/fbclient.h"

TIBTransaction::TIBTransaction(TIBDatabase *database, QString name) : Name(std::move(name)), Database(database) {}

TIBTransaction::~TIBTransaction()
{
    try {
        Commit();
    } catch (const Exception &) {
        // Nothing can be reported while the program ends.
    }
}

void TIBTransaction::SetActive(bool value)
{
    if (value == Active())
        return;
    FbClient &fb = Database->Client();
    Status status;
    if (value) {
        if (!Database->Connected())
            throw Exception(QStringLiteral("Datenbank nicht verbunden"));
        const std::string tpb = BuildParamBlock(Params);
        struct {
            isc_db_handle *db;
            long tpbLength;
            const char *tpb;
        } teb{Database->Handle(), static_cast<long>(tpb.size()), tpb.empty() ? nullptr : tpb.data()};
        isc_tr_handle handle = 0;
        fb.isc_start_multiple(status, &handle, 1, &teb);
        fb.check(status);
        handle_ = handle;
        return;
    }
    Database->transactionEnded(this);
    fb.isc_rollback_transaction(status, &handle_);
    handle_ = 0;
    fb.check(status);
}

void TIBTransaction::CommitRetaining()
{
    if (!Active())
        throw Exception(QStringLiteral("Transaktion nicht aktiv"));
    Status status;
    Database->Client().isc_commit_retaining(status, &handle_);
    Database->Client().check(status);
}

void TIBTransaction::Commit()
{
    if (!Active())
        return;
    Database->transactionEnded(this);
    Status status;
    Database->Client().isc_commit_transaction(status, &handle_);
    if (Failed(status)) {
        // The server keeps the transaction after a failed commit; let the
        // detach roll it back rather than hold a dead handle.
        const EDatabaseError failure = Database->Client().error(status);
        Forget();
        throw failure;
    }
    handle_ = 0;
}

void TIBTransaction::Forget()
{
    if (!Active())
        return;
    Database->transactionEnded(this);
    Status ignored;
    Database->Client().isc_rollback_transaction(ignored, &handle_);
    handle_ = 0;
}
