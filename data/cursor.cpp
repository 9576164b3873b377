// The query's cursor and its row cache: the columns described, rows
// fetched on demand and decoded, the current row moved, inserted and edited.
#include "data/query.h"

#include "data/ansi.h"
#include "data/errors.h"
#include "data/fbclient.h"
#include "data/statement.h"
#include "data/transaction.h"

#include <cmath>
#include <cstring>

void TIBQuery::describeFields(Statement &statement)
{
    const int columns = statement.out.count();
    fields_.resize(columns);
    for (NamedStatement &named : named_)
        named.fieldOf.clear();
    for (int i = 0; i < columns; ++i) {
        const XSQLVAR &var = statement.out.var(i);
        TField &field = fields_[i];
        field.row_ = this;
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
    if (fetchError_)
        throw *fetchError_;
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
        fetchError_ = statement.fb.error(status);
        closeCursor();
        throw *fetchError_;
    }
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
    const std::optional<EDatabaseError> error = failed ? std::optional(fb.error(status)) : std::nullopt;
    fb.isc_close_blob(status, &blob);
    if (error)
        throw *error;
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


const QVariant &TIBQuery::oldCell(int column) const
{
    if (state_ == State::Edit)
        return old_[column];
    return cell(column);
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
