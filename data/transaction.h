// A transaction on the database.
#pragma once

#include "data/database.h"

#include <QString>
#include <QStringList>

#include <string>

class TIBTransaction : public DatabaseTransaction {
public:
    explicit TIBTransaction(TIBDatabase *database, QString name = QStringLiteral("ibTa1"));
    // Default action: a running transaction is committed.
    ~TIBTransaction();
    TIBTransaction(const TIBTransaction &) = delete;
    TIBTransaction &operator=(const TIBTransaction &) = delete;

    QString Name;
    TIBDatabase *Database;
    // Transaction parameters, one per line ("lock_timeout=5", "nowait", ...);
    // none gives the server's defaults: read-write, concurrency, wait.
    QStringList Params;

    bool Active() const override { return handle_ != 0; }
    // true starts a transaction if none runs; false rolls the running one back.
    void SetActive(bool value);
    // Commits and goes on in the same transaction; open cursors stay open.
    void CommitRetaining();
    // Ends the running transaction with a commit (the default action).
    void Commit() override;
    void Forget() override;

    // The transaction parameter block built from Params (exposed for tests).
    static std::string BuildParamBlock(const QStringList &params);

    unsigned int *Handle() { return &handle_; }

private:
    unsigned int handle_ = 0;
};
