// The connection to one database, and what it asks of the transactions and
// queries that work on it.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class FbClient;
class TIBTransaction;

// What the database asks of its default transaction: it is committed
// before the connection ends.
class DatabaseTransaction {
public:
    virtual bool Active() const = 0;
    virtual void Commit() = 0;
    // The connection is gone: the transaction goes with it, unended.
    virtual void Forget() = 0;

protected:
    ~DatabaseTransaction() = default;
};

// What the database asks of the queries on it.
class DatabaseQuery {
public:
    // Prepared statements hold metadata locks: schema changes and the end of
    // the connection release them.
    virtual void ReleaseStatements() = 0;
    // A transaction ended: no cursor of it survives.
    virtual void TransactionEnded(const TIBTransaction *transaction) = 0;

protected:
    ~DatabaseQuery() = default;
};

class TIBDatabase {
public:
    // Loads the client library; fails with the layer's missing-library text.
    explicit TIBDatabase(QString name = QStringLiteral("ib1"));
    ~TIBDatabase();
    TIBDatabase(const TIBDatabase &) = delete;
    TIBDatabase &operator=(const TIBDatabase &) = delete;

    QString Name;
    QString DatabaseName;
    QStringList Params;
    DatabaseTransaction *DefaultTransaction = nullptr;

    bool Connected() const { return handle_ != 0; }
    void SetConnected(bool value);
    // The server went away: the connection and everything on it are let go
    // here, and the next use connects anew.
    void ConnectionLost();
    // From another thread while this one runs a statement on the
    // connection: the statement ends with the engine's error "operation was
    // cancelled". The connection must stay attached meanwhile.
    void CancelOperation();
    // The dialect statements are prepared with: 3, or the database's own when lower.
    int Dialect() const { return dialect_; }

    // The database parameter block built from Params (exposed for tests).
    static std::string BuildParamBlock(const QStringList &params);
    // The service manager's block from the same Params: the user and the
    // password (the rest concerns the connection only).
    static std::string BuildServiceParamBlock(const QStringList &params);

    // Implementation access for the transaction and the queries.
    FbClient &Client() const { return *client_; }
    unsigned int *Handle() { return &handle_; }

    // The client library file; tests point it elsewhere to see the missing-library error.
    static void SetClientLibrary(const QString &file);

private:
    friend class TIBQuery;
    friend class TIBTransaction;
    // Releases the prepared statements of every query but keep.
    void releaseStatements(const DatabaseQuery *keep);
    void transactionEnded(const TIBTransaction *transaction);

    std::shared_ptr<FbClient> client_;
    unsigned int handle_ = 0;
    int dialect_ = 3;
    std::vector<DatabaseQuery *> queries_;
};

// Creates an empty database file (page size 8192, character set NONE) with the
// given dialect, as the administrator; used by the demo tool, the tests and the
// benchmarks.
void CreateDatabase(const QString &path, int dialect = 3);
