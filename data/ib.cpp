#include "data/ib.h"

#include "data/ansi.h"
#include "data/credentials.h"
#include "data/quoting.h"

#include <ibase.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}

// ---------------------------------------------------------------------------
// The client library, loaded at run time.

namespace {

QString g_clientLibrary = QStringLiteral("libfbclient.so.2");

using Status = ISC_STATUS[ISC_STATUS_LENGTH];

bool Failed(const ISC_STATUS *status)
{
    return status[0] == 1 && status[1] != 0;
}

// An unsigned little-endian number of an information buffer, at most 4 bytes.
long long LittleEndian(const char *bytes, int length)
{
    long long value = 0;
    for (int i = 0; i < length && i < 4; ++i)
        value |= static_cast<long long>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

// The value of an information buffer that answers a single item.
long long SingleItem(const char *buffer, char item)
{
    if (buffer[0] != item)
        return -1;
    return LittleEndian(buffer + 3, static_cast<int>(LittleEndian(buffer + 1, 2)));
}

}  // namespace

#define FB_FUNCTIONS(X)                                                                              \
    X(isc_attach_database) X(isc_detach_database) X(isc_database_info) X(isc_start_multiple)           \
    X(isc_commit_retaining) X(isc_commit_transaction) X(isc_rollback_transaction)                      \
    X(isc_dsql_alloc_statement2) X(isc_dsql_prepare) X(isc_dsql_describe) X(isc_dsql_describe_bind)   \
    X(isc_dsql_execute) X(isc_dsql_fetch) X(isc_dsql_free_statement) X(isc_dsql_sql_info)             \
    X(isc_dsql_execute_immediate) X(fb_interpret) X(isc_open_blob2) X(isc_get_segment)                 \
    X(isc_close_blob) X(isc_decode_sql_date) X(isc_decode_sql_time) X(isc_decode_timestamp)

class FbClient {
public:
#define FB_MEMBER(name) decltype(&::name) name = nullptr;
    FB_FUNCTIONS(FB_MEMBER)
#undef FB_MEMBER

    static std::shared_ptr<FbClient> Load()
    {
        static std::weak_ptr<FbClient> loaded;
        if (auto client = loaded.lock())
            return client;
        auto client = std::make_shared<FbClient>();
        const Exception missing(QStringLiteral("InterBase-DLL %1 wurde im Pfad nicht gefunden").arg(g_clientLibrary));
        client->library_ = dlopen(g_clientLibrary.toLocal8Bit().constData(), RTLD_NOW | RTLD_GLOBAL);
        if (!client->library_)
            throw missing;
#define FB_RESOLVE(name)                                                                           \
    client->name = reinterpret_cast<decltype(&::name)>(dlsym(client->library_, #name));             \
    if (!client->name)                                                                             \
        throw missing;
        FB_FUNCTIONS(FB_RESOLVE)
#undef FB_RESOLVE
        loaded = client;
        return client;
    }

    FbClient() = default;
    FbClient(const FbClient &) = delete;
    FbClient &operator=(const FbClient &) = delete;
    // The library stays loaded: the engine keeps threads of its own that
    // must not lose their code while the process runs.
    ~FbClient() = default;

    // Raises the status vector's message lines as a database error.
    void check(const ISC_STATUS *status) const
    {
        if (Failed(status))
            throw EDatabaseError(interpret(status));
    }

    QString interpret(const ISC_STATUS *status) const
    {
        QStringList lines;
        const ISC_STATUS *vector = status;
        char buffer[1024];
        while (fb_interpret(buffer, sizeof buffer, &vector) > 0)
            lines << FromAnsi(QByteArray(buffer));
        QString text = lines.join(QStringLiteral("\r\n"));
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
        return text;
    }

private:
    void *library_ = nullptr;
};

void TIBDatabase::SetClientLibrary(const QString &file)
{
    g_clientLibrary = file;
}

namespace {

// An XSQLDA with room for n columns.
class Sqlda {
public:
    explicit Sqlda(int n = 1) { resize(n); }
    void resize(int n)
    {
        n = std::max(n, 1);
        memory_.assign((XSQLDA_LENGTH(n) + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t),
                       std::max_align_t{});
        get()->version = SQLDA_VERSION1;
        get()->sqln = static_cast<ISC_SHORT>(n);
    }
    XSQLDA *get() { return reinterpret_cast<XSQLDA *>(memory_.data()); }
    XSQLVAR &var(int i) { return get()->sqlvar[i]; }
    int count() { return get()->sqld; }

private:
    std::vector<std::max_align_t> memory_;
};

// Bytes per character of the column character sets the program may meet.
int bytesPerChar(int charset)
{
    switch (charset) {
    case 3: return 3;   // UNICODE_FSS
    case 4: return 4;   // UTF8
    default: return 1;
    }
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Where the part of the text that starts at i ends: a comment, a quoted name
// or a string literal (a doubled quote stays inside); i itself when none
// starts there.
qsizetype endOfToken(const QString &text, qsizetype i)
{
    const qsizetype n = text.size();
    const QChar c = text.at(i);
    const auto until = [&](qsizetype found, qsizetype extra) { return found < 0 ? n : found + extra; };
    if (c == QLatin1Char('-') && i + 1 < n && text.at(i + 1) == QLatin1Char('-'))
        return until(text.indexOf(QLatin1Char('\n'), i), 0);
    if (c == QLatin1Char('/') && i + 1 < n && text.at(i + 1) == QLatin1Char('*'))
        return until(text.indexOf(QStringLiteral("*/"), i + 2), 2);
    if (c == QLatin1Char('"'))
        return until(text.indexOf(QLatin1Char('"'), i + 1), 1);
    if (c != QLatin1Char('\''))
        return i;
    qsizetype j = i + 1;
    while (j < n) {
        if (text.at(j) == QLatin1Char('\'')) {
            if (j + 1 < n && text.at(j + 1) == QLatin1Char('\'')) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return n;
}

// Whether the text written so far ends in a character set introducer
// (_NONE, _WIN1252, ...).
bool endsInIntroducer(const QString &out)
{
    qsizetype k = out.size();
    while (k > 0 && out.at(k - 1).isSpace())
        --k;
    qsizetype start = k;
    while (start > 0 && isIdentChar(out.at(start - 1)))
        --start;
    return start < k && out.at(start) == QLatin1Char('_');
}

}  // namespace

// ---------------------------------------------------------------------------
// Statement text

QByteArray StatementBytes(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype stop = endOfToken(text, i);
        if (stop == i) {
            out += text.at(i++);
            continue;
        }
        const QStringView token = QStringView(text).mid(i, stop - i);
        const bool literal = token.front() == QLatin1Char('\'');
        const bool high = std::any_of(token.begin(), token.end(), [](QChar c) { return c.unicode() > 127; });
        if (literal && high && !endsInIntroducer(out))
            out += QStringLiteral("_NONE ");
        out += token;
        i = stop;
    }
    return ToAnsi(out);
}

// ---------------------------------------------------------------------------
// TIBDatabase

TIBDatabase::TIBDatabase(QString name) : Name(std::move(name)), client_(FbClient::Load()) {}

TIBDatabase::~TIBDatabase()
{
    try {
        SetConnected(false);
    } catch (const Exception &) {
        // Nothing can be reported while the program ends.
    }
}

std::string TIBDatabase::BuildParamBlock(const QStringList &params)
{
    std::string block(1, static_cast<char>(isc_dpb_version1));
    for (const QString &line : params) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        QString name = (eq < 0 ? line : line.left(eq)).trimmed().toLower();
        if (name.isEmpty())
            continue;
        if (name.startsWith(QLatin1String("isc_dpb_")))
            name = name.mid(8);
        const QByteArray value = eq < 0 ? QByteArray() : ToAnsi(line.mid(eq + 1));
        char code;
        if (name == QLatin1String("user_name"))
            code = isc_dpb_user_name;
        else if (name == QLatin1String("password"))
            code = isc_dpb_password;
        else if (name == QLatin1String("lc_ctype"))
            code = isc_dpb_lc_ctype;
        else if (name == QLatin1String("no_garbage_collect"))
            code = isc_dpb_no_garbage_collect;
        else
            throw Exception(QStringLiteral("Unbekannter Datenbankparameter '%1'").arg(name));
        const auto length = std::min<qsizetype>(value.size(), 255);
        block += code;
        block += static_cast<char>(length);
        block.append(value.constData(), length);
    }
    return block;
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

void TIBDatabase::releaseStatements(const TIBQuery *keep)
{
    for (TIBQuery *query : queries_)
        if (query != keep)
            query->releaseStatements(nullptr);
}

void TIBDatabase::transactionEnded(const TIBTransaction *transaction)
{
    for (TIBQuery *query : queries_) {
        if (query->Transaction != transaction)
            continue;
        query->closeCursor();
        query->fetchedAll_ = true;
    }
}

// ---------------------------------------------------------------------------
// TIBTransaction

TIBTransaction::TIBTransaction(TIBDatabase *database, QString name) : Name(std::move(name)), Database(database) {}

TIBTransaction::~TIBTransaction()
{
    try {
        Commit();
    } catch (const Exception &) {
        // Nothing can be reported while the program ends.
    }
}

std::string TIBTransaction::BuildParamBlock(const QStringList &params)
{
    if (params.isEmpty())
        return {};
    std::string block(1, static_cast<char>(isc_tpb_version3));
    bool waitGiven = false;
    for (const QString &line : params) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = (eq < 0 ? line : line.left(eq)).trimmed().toLower();
        if (name == QLatin1String("read"))
            block += static_cast<char>(isc_tpb_read);
        else if (name == QLatin1String("write"))
            block += static_cast<char>(isc_tpb_write);
        else if (name == QLatin1String("concurrency"))
            block += static_cast<char>(isc_tpb_concurrency);
        else if (name == QLatin1String("read_committed"))
            block += {static_cast<char>(isc_tpb_read_committed), static_cast<char>(isc_tpb_rec_version)};
        else if (name == QLatin1String("wait") || name == QLatin1String("nowait")) {
            block += static_cast<char>(name == QLatin1String("wait") ? isc_tpb_wait : isc_tpb_nowait);
            waitGiven = true;
        } else if (name == QLatin1String("lock_timeout")) {
            const quint32 seconds = line.mid(eq + 1).trimmed().toUInt();
            if (!waitGiven)
                block += static_cast<char>(isc_tpb_wait);
            waitGiven = true;
            block += {static_cast<char>(isc_tpb_lock_timeout), 4};
            for (int i = 0; i < 4; ++i)
                block += static_cast<char>((seconds >> (8 * i)) & 0xFF);
        } else if (!name.isEmpty()) {
            throw Exception(QStringLiteral("Unbekannter Transaktionsparameter '%1'").arg(name));
        }
    }
    return block;
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
        const QString text = Database->Client().interpret(status);
        Status ignored;
        Database->Client().isc_rollback_transaction(ignored, &handle_);
        handle_ = 0;
        throw EDatabaseError(text);
    }
    handle_ = 0;
}

// ---------------------------------------------------------------------------
// Prepared statements

struct TIBQuery::Statement {
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

    Statement(TIBDatabase *db, QByteArray bytes) : fb(db->Client()), database(db), text(std::move(bytes)) {}
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement()
    {
        if (handle && database->Connected()) {
            Status status;
            fb.isc_dsql_free_statement(status, &handle, DSQL_drop);
        }
    }

    bool isSelect() const { return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd; }

    // Grows the area when the statement has more columns or parameters than
    // it has room for, and describes again.
    void describeAll(Sqlda &area, decltype(FbClient::isc_dsql_describe) call)
    {
        if (area.count() <= area.get()->sqln)
            return;
        Status status;
        area.resize(area.count());
        call(status, &handle, SQLDA_VERSION1, area.get());
        fb.check(status);
    }

    void prepare(isc_tr_handle *transaction)
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

    void execute(isc_tr_handle *transaction, XSQLDA *parameters)
    {
        Status status;
        fb.isc_dsql_execute(status, transaction, &handle, SQLDA_VERSION1, parameters);
        fb.check(status);
    }

    long long affectedRows()
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
};

// ---------------------------------------------------------------------------
// TField

namespace {

QVariant parseInteger(const QString &text, bool *ok)
{
    const QString t = text.trimmed();
    bool good = false;
    const qlonglong value = t.toLongLong(&good, 10);
    *ok = good && value >= INT32_MIN && value <= INT32_MAX;
    return *ok ? QVariant(value) : QVariant();
}

}  // namespace

const QVariant &TField::Value() const
{
    return query_->cell(index_);
}

const QVariant &TField::OldValue() const
{
    if (query_->state_ == TIBQuery::State::Edit)
        return query_->old_[index_];
    return Value();
}

bool TField::IsNull() const
{
    return Value().isNull();
}

QString TField::AsString() const
{
    const QVariant &value = Value();
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

int TField::AsInteger() const
{
    const QVariant &value = Value();
    if (value.isNull())
        return 0;
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return static_cast<int>(value.toLongLong());
    case QMetaType::Double:
        return static_cast<int>(std::llround(value.toDouble()));
    default:
        return StrToInt(value.toString());
    }
}

int StrToInt(const QString &text)
{
    bool ok = false;
    const QVariant parsed = parseInteger(text, &ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
    return static_cast<int>(parsed.toLongLong());
}

void TField::SetAsString(const QString &value)
{
    if ((kind == Kind::Integer || kind == Kind::Float) && value.isEmpty()) {
        query_->assign(index_, QVariant());
        return;
    }
    bool ok = false;
    switch (kind) {
    case Kind::Integer: {
        const QVariant parsed = parseInteger(value, &ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert für Feld '%2'").arg(value, Name));
        query_->assign(index_, parsed);
        return;
    }
    case Kind::Float: {
        const double d = value.trimmed().toDouble(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert für Feld '%2'").arg(value, Name));
        query_->assign(index_, QVariant(d));
        return;
    }
    case Kind::Text:
        // Cut to the declared width, silently.
        query_->assign(index_, QVariant(Width > 0 && value.size() > Width ? value.left(Width) : value));
        return;
    case Kind::Other:
        query_->assign(index_, QVariant(value));
        return;
    }
}

void TField::SetAsInteger(int value)
{
    switch (kind) {
    case Kind::Integer:
        query_->assign(index_, QVariant(static_cast<qlonglong>(value)));
        return;
    case Kind::Float:
        query_->assign(index_, QVariant(static_cast<double>(value)));
        return;
    case Kind::Text:
    case Kind::Other:
        SetAsString(QString::number(value));
        return;
    }
}

// ---------------------------------------------------------------------------
// TIBQuery

TIBQuery::TIBQuery(QString name, TIBDatabase *database, TIBTransaction *transaction)
    : Name(std::move(name)), Database(database), Transaction(transaction)
{
    Database->queries_.push_back(this);
}

TIBQuery::~TIBQuery()
{
    releaseStatements(nullptr);
    auto &list = Database->queries_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TIBQuery::ClearLines()
{
    CloseQuery();
    sql_.clear();
}

void TIBQuery::AddLine(const QString &line)
{
    CloseQuery();
    sql_.append(line);
}

QString TIBQuery::StatementText() const
{
    QString text;
    for (const QString &line : sql_) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
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
    const QByteArray bytes = StatementBytes(text);
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
    rows_.clear();
    old_.clear();
    current_ = -1;
    eof_ = true;
    fetchedAll_ = false;
    fetchError_.clear();
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
    statement.execute(Transaction->Handle(), nullptr);
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

void TIBQuery::describeFields(Statement &statement)
{
    const int columns = statement.out.count();
    fields_.resize(columns);
    for (int i = 0; i < columns; ++i) {
        const XSQLVAR &var = statement.out.var(i);
        TField &field = fields_[i];
        field.query_ = this;
        field.index_ = i;
        field.Name = FromAnsi(var.aliasname, var.aliasname_length);
        switch (var.sqltype & ~1) {
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            field.kind = var.sqlscale < 0 ? TField::Kind::Float : TField::Kind::Integer;
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            field.kind = TField::Kind::Float;
            break;
        case SQL_TEXT:
        case SQL_VARYING:
            field.kind = TField::Kind::Text;
            field.Width = var.sqllen / bytesPerChar(var.sqlsubtype & 0xFF);
            break;
        default:
            field.kind = TField::Kind::Other;
        }
    }
}

bool TIBQuery::fetchOne()
{
    if (!fetchError_.isEmpty())
        throw EDatabaseError(fetchError_);
    if (!cursorOpen_ || fetchedAll_) {
        fetchedAll_ = true;
        return false;
    }
    Statement &statement = *statement_;
    Status status;
    const ISC_STATUS rc = statement.fb.isc_dsql_fetch(status, &statement.handle, SQLDA_VERSION1, statement.out.get());
    if (rc == 100) {
        fetchedAll_ = true;
        closeCursor();
        return false;
    }
    if (Failed(status)) {
        // After a failed fetch the client may answer the next one with a
        // plain end of data: never let that pass for the end of the result.
        fetchError_ = statement.fb.interpret(status);
        closeCursor();
        throw EDatabaseError(fetchError_);
    }
    if (rows_.capacity() == rows_.size())
        rows_.reserve(rows_.size() + 1000);  // the row cache grows in steps of 1000 rows
    Row row(fields_.size());
    for (size_t i = 0; i < fields_.size(); ++i)
        row[i] = columnValue(statement, static_cast<int>(i));
    rows_.push_back(std::move(row));
    return true;
}

QVariant TIBQuery::columnValue(Statement &statement, int column)
{
    const XSQLVAR &var = statement.out.var(column);
    if (*var.sqlind < 0)
        return {};
    const char *data = var.sqldata;
    const auto read = [data](auto value) {
        std::memcpy(&value, data, sizeof value);
        return value;
    };
    // Scaled integers (NUMERIC, DECIMAL) read as floating point.
    const auto number = [&var](auto value) {
        return var.sqlscale < 0 ? QVariant(static_cast<double>(value) * std::pow(10.0, var.sqlscale))
                                : QVariant(static_cast<qlonglong>(value));
    };
    FbClient &fb = statement.fb;
    tm t{};
    switch (var.sqltype & ~1) {
    case SQL_VARYING:
        return FromAnsi(data + 2, read(ISC_USHORT{}));
    case SQL_TEXT:
        return FromAnsi(data, var.sqllen);
    case SQL_SHORT:
        return number(read(ISC_SHORT{}));
    case SQL_LONG:
        return number(read(ISC_LONG{}));
    case SQL_INT64:
        return number(read(ISC_INT64{}));
    case SQL_FLOAT:
        return static_cast<double>(read(float{}));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return read(double{});
    case SQL_BOOLEAN:
        return static_cast<qlonglong>(data[0] ? 1 : 0);
    case SQL_TYPE_DATE:
        fb.isc_decode_sql_date(reinterpret_cast<const ISC_DATE *>(data), &t);
        return QString::asprintf("%02d.%02d.%04d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900);
    case SQL_TYPE_TIME:
        fb.isc_decode_sql_time(reinterpret_cast<const ISC_TIME *>(data), &t);
        return QString::asprintf("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    case SQL_TIMESTAMP:
        fb.isc_decode_timestamp(reinterpret_cast<const ISC_TIMESTAMP *>(data), &t);
        return QString::asprintf("%02d.%02d.%04d %02d:%02d:%02d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900,
                                 t.tm_hour, t.tm_min, t.tm_sec);
    case SQL_BLOB:
        return readBlob(data);
    default:
        throw Exception(QStringLiteral("Feldtyp %1 wird nicht unterstützt").arg(var.sqltype & ~1));
    }
}

QString TIBQuery::readBlob(const void *blobId)
{
    FbClient &fb = Database->Client();
    ISC_QUAD id;
    std::memcpy(&id, blobId, sizeof id);
    Status status;
    isc_blob_handle blob = 0;
    fb.isc_open_blob2(status, Database->Handle(), Transaction->Handle(), &blob, &id, 0, nullptr);
    fb.check(status);
    QByteArray bytes;
    char buffer[8192];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS r = fb.isc_get_segment(status, &blob, &got, sizeof buffer, buffer);
        if (r != 0 && status[1] != isc_segment)
            break;
        bytes.append(buffer, got);
    }
    const bool failed = status[1] != isc_segstr_eof;
    const QString error = failed ? fb.interpret(status) : QString();
    fb.isc_close_blob(status, &blob);
    if (failed)
        throw EDatabaseError(error);
    return FromAnsi(bytes);
}

void TIBQuery::fetchAll()
{
    while (fetchOne()) {
    }
}

void TIBQuery::ToFirstRow()
{
    if (rows_.empty())
        fetchOne();
    current_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
}

void TIBQuery::ToNextRow()
{
    if (current_ + 1 < RowCount() || fetchOne()) {
        ++current_;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void TIBQuery::ToLastRow()
{
    fetchAll();
    current_ = RowCount() - 1;
    eof_ = rows_.empty();
}

TField &TIBQuery::ColumnByName(const QString &name)
{
    for (TField &field : fields_)
        if (field.Name.compare(name, Qt::CaseInsensitive) == 0)
            return field;
    throw Exception(Name + QStringLiteral(": ") + QStringLiteral("Das Feld '%1' wurde nicht gefunden").arg(name));
}

const QVariant &TIBQuery::cell(int column) const
{
    static const QVariant null;
    if (current_ < 0 || current_ >= RowCount())
        return null;
    return rows_[current_][column];
}

void TIBQuery::assign(int column, QVariant value)
{
    if (state_ == State::Browse)
        throw Exception(Name + QStringLiteral(": Datenmenge nicht im Bearbeitungs- oder Einfügemodus"));
    rows_[current_][column] = std::move(value);
}

void TIBQuery::AppendRow()
{
    if (!active_)
        throw Exception(Name + QStringLiteral(": Operation bei geschlossener Datenmenge nicht ausführbar"));
    fetchAll();
    rows_.emplace_back(fields_.size());
    current_ = RowCount() - 1;
    eof_ = false;
    old_.assign(fields_.size(), QVariant());
    state_ = State::Insert;
}

void TIBQuery::EditRow()
{
    if (!active_ || current_ < 0)
        throw Exception(Name + QStringLiteral(": Keine Datensätze zum Bearbeiten"));
    old_ = rows_[current_];
    state_ = State::Edit;
}

const TIBQuery::NamedStatement &TIBQuery::namedStatement(const QStringList &lines)
{
    NamedStatement &named = named_[state_ == State::Insert ? 0 : 1];
    if (named.lines == lines && !named.text.isEmpty())
        return named;
    // Named parameters become markers; the names are kept in statement order.
    named = {lines, QString(), {}};
    for (const QString &line : lines) {
        bool quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('\''))
                quoted = !quoted;
            if (quoted || c != QLatin1Char(':') || i + 1 >= line.size() || !isIdentChar(line.at(i + 1))) {
                named.text += c;
                continue;
            }
            qsizetype j = i + 1;
            while (j < line.size() && isIdentChar(line.at(j)))
                ++j;
            named.names << line.mid(i + 1, j - i - 1);
            named.text += QLatin1Char('?');
            i = j - 1;
        }
        named.text += QStringLiteral("\r\n");
    }
    return named;
}

namespace {

// One parameter: NULL, or the value as a 64-bit integer, a double or
// character set NONE text (the server takes the Windows-1252 bytes as they
// are).
void BindValue(XSQLVAR &var, ISC_SHORT &null, std::vector<char> &buffer, const QVariant &value)
{
    null = -1;
    var.sqlind = &null;
    var.sqltype = static_cast<ISC_SHORT>(SQL_LONG | 1);
    var.sqlscale = 0;
    var.sqllen = 4;
    buffer.assign(8, 0);
    var.sqldata = buffer.data();
    if (value.isNull())
        return;
    null = 0;
    const auto number = [&](auto v, int type) {
        var.sqltype = static_cast<ISC_SHORT>(type | 1);
        var.sqllen = sizeof v;
        std::memcpy(buffer.data(), &v, sizeof v);
    };
    switch (value.typeId()) {
    case QMetaType::LongLong:
        number(static_cast<ISC_INT64>(value.toLongLong()), SQL_INT64);
        return;
    case QMetaType::Double:
        number(value.toDouble(), SQL_DOUBLE);
        return;
    default: {
        const QByteArray bytes = ToAnsi(value.toString());
        var.sqltype = SQL_TEXT | 1;
        var.sqlsubtype = 0;
        var.sqllen = static_cast<ISC_SHORT>(bytes.size());
        buffer.assign(bytes.begin(), bytes.end());
        buffer.push_back(0);
        var.sqldata = buffer.data();
    }
    }
}

}  // namespace

void TIBQuery::bindFields(Statement &statement, const QStringList &names)
{
    Sqlda &in = statement.in;
    statement.inData.resize(in.count());
    statement.inNull.assign(in.count(), -1);
    static const QVariant unbound;
    for (int i = 0; i < in.count(); ++i) {
        // "OLD_" takes the value before the edit; a parameter without a
        // field of its name stays unbound.
        const QVariant *value = &unbound;
        if (i < names.size()) {
            QStringView name = names[i];
            const bool old = name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive);
            if (old)
                name = name.mid(4);
            const auto field = std::find_if(fields_.begin(), fields_.end(), [name](const TField &f) {
                return QStringView(f.Name).compare(name, Qt::CaseInsensitive) == 0;
            });
            if (field != fields_.end())
                value = old ? &field->OldValue() : &field->Value();
        }
        BindValue(in.var(i), statement.inNull[i], statement.inData[i], *value);
    }
}

void TIBQuery::PostRow()
{
    if (state_ == State::Browse)
        return;
    if (!UpdateObject)
        throw Exception(Name + QStringLiteral(": Keine Aktualisierungsanweisung zugewiesen"));
    const NamedStatement &update =
        namedStatement(state_ == State::Insert ? UpdateObject->InsertSQL : UpdateObject->ModifySQL);
    ensureReady();
    Statement &statement = prepare(update.text);
    bindFields(statement, update.names);
    statement.execute(Transaction->Handle(), statement.in.get());
    if (statement.affectedRows() != 1)
        throw EDatabaseError(QStringLiteral("Aktualisierung nicht erfolgreich"));
    state_ = State::Browse;
    old_.clear();
}

void TIBQuery::RunStatement()
{
    if (active_)
        throw Exception(Name + QStringLiteral(": Operation bei geöffneter Datenmenge nicht ausführbar"));
    if (sql_.isEmpty())
        throw Exception(QStringLiteral("Leere SQL-Anweisung."));
    ensureReady();
    Statement &statement = prepare(StatementText());
    statement.execute(Transaction->Handle(), nullptr);
    if (statement.isSelect()) {
        Status status;
        statement.fb.isc_dsql_free_statement(status, &statement.handle, DSQL_close);
    }
}

// ---------------------------------------------------------------------------

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
