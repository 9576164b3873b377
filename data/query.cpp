#include "data/query.h"

#include "data/errors.h"
#include "data/fbclient.h"
#include "data/statement.h"
#include "data/statementtext.h"
#include "data/transaction.h"

#include <algorithm>

TIBQuery::TIBQuery(QString name, TIBDatabase *database, TIBTransaction *transaction)
    : Name(std::move(name)), Database(database), Transaction(transaction)
{
    Database->queries_.push_back(this);
}

TIBQuery::~TIBQuery()
{
    releaseStatements(nullptr);
    auto &list = Database->queries_;
    DatabaseQuery *const self = this;
    list.erase(std::remove(list.begin(), list.end(), self), list.end());
}

void TIBQuery::ClearLines()
{
    CloseQuery();
    sql_.clear();
    Params.clear();
}

void TIBQuery::AddLine(const QString &line)
{
    CloseQuery();
    sql_.append(line);
}

QString TIBQuery::StatementText() const
{
    return ::StatementText(sql_);
}

void TIBQuery::ensureReady()
{
    if (!Database->Connected())
        Database->SetConnected(true);
    if (!Transaction->Active())
        Transaction->SetActive(true);
}

TIBQuery::Statement &TIBQuery::prepare(const QString &text)
{
    return prepareBytes(StatementBytes(text));
}

TIBQuery::Statement &TIBQuery::prepareBytes(const QByteArray &bytes)
{
    if (const auto found = preparedByText_.constFind(bytes); found != preparedByText_.cend()) {
        prepared_.splice(prepared_.end(), prepared_, *found);
        return *prepared_.back();
    }
    auto statement = std::make_unique<Statement>(Database, bytes);
    statement->prepare(Transaction->Handle());
    if (statement->type == isc_info_sql_stmt_ddl) {
        // A schema change fails while any prepared statement uses the table.
        Database->releaseStatements(this);
        releaseStatements(nullptr);
        schemaChange_ = std::move(statement);
        return *schemaChange_;
    }
    // A loader's statements come back as the user types; keep a few.
    constexpr qsizetype kKept = 32;
    if (preparedByText_.size() >= kKept) {
        const auto victim = prepared_.front().get() != statement_ ? prepared_.begin() : std::next(prepared_.begin());
        preparedByText_.remove((*victim)->text);
        prepared_.erase(victim);
    }
    prepared_.push_back(std::move(statement));
    preparedByText_.insert(bytes, std::prev(prepared_.end()));
    return *prepared_.back();
}

void TIBQuery::releaseStatements(const Statement *keep)
{
    closeCursor();
    for (auto it = prepared_.begin(); it != prepared_.end();) {
        if (it->get() == keep) {
            ++it;
            continue;
        }
        preparedByText_.remove((*it)->text);
        it = prepared_.erase(it);
    }
    if (schemaChange_.get() != keep)
        schemaChange_.reset();
    if (statement_ != keep)
        statement_ = nullptr;
}

void TIBQuery::closeCursor()
{
    if (cursorOpen_ && statement_ && Database->Connected()) {
        Status status;
        Database->Client().isc_dsql_free_statement(status, &statement_->handle, DSQL_close);
    }
    cursorOpen_ = false;
}

void TIBQuery::clearResult()
{
    closeCursor();
    fields_.clear();
    for (NamedStatement &named : named_)
        named.fieldOf.clear();
    rows_.clear();
    old_.clear();
    current_ = -1;
    eof_ = true;
    fetchedAll_ = false;
    fetchError_.reset();
    state_ = State::Browse;
}

void TIBQuery::CloseQuery()
{
    clearResult();
    active_ = false;
}

void TIBQuery::OpenQuery()
{
    if (active_)
        return;
    ensureReady();
    Statement &statement = prepare(StatementText());
    if (!statement.isSelect())
        throw Exception(Name + QStringLiteral(": Die Anweisung liefert keine Datenmenge"));
    clearResult();
    statement_ = &statement;
    execute(statement);
    cursorOpen_ = true;
    active_ = true;
    describeFields(statement);
    try {
        ToFirstRow();
    } catch (const Exception &) {
        CloseQuery();  // a query whose first fetch failed is not open
        throw;
    }
}

void TIBQuery::ReleaseStatements()
{
    releaseStatements(nullptr);
}

void TIBQuery::TransactionEnded(const TIBTransaction *transaction)
{
    if (Transaction != transaction)
        return;
    closeCursor();
    fetchedAll_ = true;
}

long long TIBQuery::RunStatement()
{
    if (active_)
        throw Exception(Name + QStringLiteral(": Operation bei geöffneter Datenmenge nicht ausführbar"));
    if (sql_.isEmpty())
        throw Exception(QStringLiteral("Leere SQL-Anweisung."));
    ensureReady();
    Statement &statement = prepare(StatementText());
    execute(statement);
    if (statement.isSelect()) {
        Status status;
        statement.fb.isc_dsql_free_statement(status, &statement.handle, DSQL_close);
        return 0;
    }
    return statement.affectedRows();
}
