// Connection and query layer over the Firebird client library (classic C API),
// loaded at run time. One connection, one transaction, many queries; rows are
// fetched on demand into a client row cache.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <cstdint>
#include <exception>
#include <list>
#include <memory>
#include <optional>
#include <vector>

// Every error of the program carries its message text; the application's
// general error box shows it.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString &Message() const { return message_; }
    const char *what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

// An error reported by the database server or the client library, with the
// error codes of its status vector, in order, and the operating system's
// error number the vector names (0 for none).
class EDatabaseError : public Exception {
public:
    explicit EDatabaseError(QString message, std::vector<long> codes = {}, int systemError = 0)
        : Exception(std::move(message)), codes_(std::move(codes)), systemError_(systemError)
    {
    }
    const std::vector<long> &Codes() const { return codes_; }
    int SystemError() const { return systemError_; }

private:
    std::vector<long> codes_;
    int systemError_;
};

// A value that cannot be converted (text that is no integer, ...).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class FbClient;
class TIBTransaction;
class TIBQuery;

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
    TIBTransaction *DefaultTransaction = nullptr;

    bool Connected() const { return handle_ != 0; }
    void SetConnected(bool value);
    // The dialect statements are prepared with: 3, or the database's own when lower.
    int Dialect() const { return dialect_; }

    // The database parameter block built from Params (exposed for tests).
    static std::string BuildParamBlock(const QStringList &params);

    // Implementation access for the transaction and the queries.
    FbClient &Client() const { return *client_; }
    unsigned int *Handle() { return &handle_; }

    // The client library file; tests point it elsewhere to see the missing-library error.
    static void SetClientLibrary(const QString &file);

private:
    friend class TIBQuery;
    friend class TIBTransaction;
    // Prepared statements hold metadata locks: schema changes release them first.
    void releaseStatements(const TIBQuery *keep);
    // A transaction ended: no cursor of it survives.
    void transactionEnded(const TIBTransaction *transaction);

    std::shared_ptr<FbClient> client_;
    unsigned int handle_ = 0;
    int dialect_ = 3;
    std::vector<TIBQuery *> queries_;
};

class TIBTransaction {
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

    bool Active() const { return handle_ != 0; }
    // true starts a transaction if none runs; false rolls the running one back.
    void SetActive(bool value);
    // Commits and goes on in the same transaction; open cursors stay open.
    void CommitRetaining();
    // Ends the running transaction with a commit (the default action).
    void Commit();

    // The transaction parameter block built from Params (exposed for tests).
    static std::string BuildParamBlock(const QStringList &params);

    unsigned int *Handle() { return &handle_; }

private:
    unsigned int handle_ = 0;
};

// The named-parameter statements that write a query's rows.
class TIBUpdateSQL {
public:
    explicit TIBUpdateSQL(QString name) : Name(std::move(name)) {}
    QString Name;
    QStringList InsertSQL;
    QStringList ModifySQL;
    QStringList DeleteSQL;
    QStringList RefreshSQL;
};

class TField {
public:
    enum class Kind { Integer, Float, Text, Other };

    QString Name;
    Kind kind = Kind::Text;
    int Width = 0;  // declared width of a text column, in characters

    QString AsString() const;
    int AsInteger() const;
    bool IsNull() const;
    void SetAsString(const QString &value);
    void SetAsInteger(int value);

    // Current value (null QVariant = NULL), and the value before the edit.
    const QVariant &Value() const;
    const QVariant &OldValue() const;

private:
    friend class TIBQuery;
    TIBQuery *query_ = nullptr;
    int index_ = 0;
};

class TIBQuery {
public:
    enum class State { Browse, Insert, Edit };

    TIBQuery(QString name, TIBDatabase *database, TIBTransaction *transaction);
    ~TIBQuery();
    TIBQuery(const TIBQuery &) = delete;
    TIBQuery &operator=(const TIBQuery &) = delete;

    QString Name;
    TIBDatabase *Database;
    TIBTransaction *Transaction;
    TIBUpdateSQL *UpdateObject = nullptr;

    // Statement lines; changing them closes the query.
    const QStringList &SQL() const { return sql_; }
    void ClearLines();
    void AddLine(const QString &line);
    // Every line followed by CR LF: the text sent to the server.
    QString StatementText() const;

    void OpenQuery();
    void CloseQuery();
    bool Active() const { return active_; }
    State CurrentState() const { return state_; }

    void ToFirstRow();
    void ToNextRow();
    void ToLastRow();
    bool AtEnd() const { return eof_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }

    TField &ColumnByName(const QString &name);
    const std::vector<TField> &Fields() const { return fields_; }

    void AppendRow();
    void EditRow();
    void PostRow();
    void RunStatement();

private:
    friend class TField;
    friend class TIBDatabase;
    struct Statement;
    using Row = std::vector<QVariant>;
    // An update statement with its named parameters turned into markers.
    struct NamedStatement {
        QStringList lines;
        QString text;
        QStringList names;
    };

    void ensureReady();
    Statement &prepare(const QString &text);
    void releaseStatements(const Statement *keep);
    void closeCursor();
    void describeFields(Statement &statement);
    bool fetchOne();
    void fetchAll();
    QVariant columnValue(Statement &statement, int column);
    QString readBlob(const void *blobId);
    void clearResult();
    const NamedStatement &namedStatement(const QStringList &lines);
    void bindFields(Statement &statement, const QStringList &names);
    const QVariant &cell(int column) const;
    void assign(int column, QVariant value);

    QStringList sql_;
    // Prepared statements, least recently used first, found by their text;
    // statement_ is the one of the open result. A schema change is never
    // kept: it is prepared anew each time, so it always releases the others.
    std::list<std::unique_ptr<Statement>> prepared_;
    QHash<QByteArray, std::list<std::unique_ptr<Statement>>::iterator> preparedByText_;
    std::unique_ptr<Statement> schemaChange_;
    Statement *statement_ = nullptr;
    std::array<NamedStatement, 2> named_;  // insert and modify, parsed once
    bool active_ = false;
    bool cursorOpen_ = false;
    bool fetchedAll_ = false;
    std::optional<EDatabaseError> fetchError_;  // a failed fetch ends the cursor; later reads repeat the error
    bool eof_ = true;
    int current_ = -1;
    State state_ = State::Browse;
    std::vector<TField> fields_;
    std::vector<Row> rows_;
    Row old_;  // old values of the edited row
};

// Text as a decimal 32-bit integer, or "'%s' ist kein gültiger Integerwert".
int StrToInt(const QString &text);

// The statement text as sent: Windows-1252, and every string literal that
// holds a character outside ASCII written with the _NONE introducer, which
// carries such bytes over an ASCII connection.
QByteArray StatementBytes(const QString &text);

// Creates an empty database file (page size 8192, character set NONE) with the
// given dialect, as the administrator; used by the demo tool, the tests and the
// benchmarks.
void CreateDatabase(const QString &path, int dialect = 3);
