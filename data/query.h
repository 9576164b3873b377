// A statement on the database with its result: the cursor, fetched on
// demand into a client row cache, and the row being inserted or edited.
#pragma once

#include "data/database.h"
#include "data/errors.h"
#include "data/field.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <list>
#include <memory>
#include <optional>
#include <vector>

class PreparedStatement;
class TIBTransaction;

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

class TIBQuery : private DatabaseQuery, private FieldRow {
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
    // The values of the statement's "?" markers, in their order: a statement
    // run again with other values is prepared once. Cleared with the lines.
    QVariantList Params;
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
    // The rows the statement inserted, changed or deleted.
    long long RunStatement();

private:
    using Statement = PreparedStatement;
    using Row = std::vector<QVariant>;
    // An update statement with its named parameters turned into markers.
    struct NamedStatement {
        QStringList lines;
        QString text;
        QByteArray bytes;  // the text as sent
        QStringList names;
        // Per parameter the field it takes (-1: none) and whether its value
        // before the edit; found once for the fields at hand.
        std::vector<std::pair<int, bool>> fieldOf;
    };

    void ReleaseStatements() override;
    void TransactionEnded(const TIBTransaction *transaction) override;
    const QVariant &cell(int column) const override;
    const QVariant &oldCell(int column) const override;
    void assign(int column, QVariant value) override;

    void ensureReady();
    Statement &prepare(const QString &text);
    Statement &prepareBytes(const QByteArray &bytes);
    void releaseStatements(const Statement *keep);
    void closeCursor();
    void describeFields(Statement &statement);
    bool fetchOne();
    void fetchAll();
    QVariant columnValue(Statement &statement, int column);
    QString readBlob(const void *blobId);
    void clearResult();
    NamedStatement &namedStatement(const QStringList &lines);
    void bindFields(Statement &statement, NamedStatement &named);
    // Runs the statement with Params bound to its markers.
    void execute(Statement &statement);

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
