#include "rawclient.h"

#include "data/ansi.h"
#include "data/credentials.h"
#include "data/database.h"
#include "data/fbclient.h"
#include "data/sqlda.h"
#include "data/transaction.h"

#include <QFile>

#include <cstring>

namespace {

constexpr unsigned short kDialect = 3;

}  // namespace

RawConnection::RawConnection(const QString &path) : fb_(FbClient::Load())
{
    const QByteArray name = QFile::encodeName(path);
    const std::string dpb = TIBDatabase::BuildParamBlock(AdministratorParams);
    Status status;
    fb_->isc_attach_database(status, static_cast<short>(name.size()), name.constData(), &db_,
                             static_cast<short>(dpb.size()), dpb.data());
    fb_->check(status);
    const std::string tpb = TIBTransaction::BuildParamBlock(
        {QStringLiteral("read"), QStringLiteral("read_committed"), QStringLiteral("nowait")});
    // The transaction's one database, as the client library takes it.
    struct {
        isc_db_handle *db;
        long tpbLength;
        const char *tpb;
    } teb{&db_, static_cast<long>(tpb.size()), tpb.data()};
    fb_->isc_start_multiple(status, &tr_, 1, &teb);
    if (Failed(status)) {
        Status ignored;
        fb_->isc_detach_database(ignored, &db_);
        fb_->check(status);
    }
}

RawConnection::~RawConnection()
{
    // Nothing was written: a failure here loses nothing.
    Status status;
    fb_->isc_commit_transaction(status, &tr_);
    fb_->isc_detach_database(status, &db_);
}

RawCursor::RawCursor(RawConnection &connection, const QStringList &statement)
    : c_(connection), out_(std::make_unique<Sqlda>(20))
{
    FbClient &fb = *c_.fb_;
    const QByteArray text = ToAnsi(statement.join(QStringLiteral("\r\n")));
    Status status;
    fb.isc_dsql_alloc_statement2(status, &c_.db_, &stmt_);
    fb.check(status);
    try {
        fb.isc_dsql_prepare(status, &c_.tr_, &stmt_, 0, text.constData(), kDialect, out_->get());
        fb.check(status);
        if (out_->count() > out_->get()->sqln) {
            out_->resize(out_->count());
            fb.isc_dsql_describe(status, &stmt_, 1, out_->get());
            fb.check(status);
        }
        data_.resize(out_->count());
        null_.resize(out_->count());
        for (int i = 0; i < out_->count(); ++i) {
            XSQLVAR &var = out_->var(i);
            // A text column's length word comes before its bytes.
            data_[i].resize(var.sqllen + sizeof(ISC_SHORT));
            var.sqldata = data_[i].data();
            var.sqlind = &null_[i];
        }
        fb.isc_dsql_execute(status, &c_.tr_, &stmt_, 1, nullptr);
        fb.check(status);
    } catch (...) {
        fb.isc_dsql_free_statement(status, &stmt_, DSQL_drop);
        throw;
    }
}

RawCursor::~RawCursor()
{
    Status status;
    c_.fb_->isc_dsql_free_statement(status, &stmt_, DSQL_drop);
}

bool RawCursor::Next()
{
    Status status;
    const ISC_STATUS result = c_.fb_->isc_dsql_fetch(status, &stmt_, 1, out_->get());
    if (result == 100)
        return false;
    c_.fb_->check(status);
    return true;
}

int RawCursor::Column(const QString &name) const
{
    for (int i = 0; i < ColumnCount(); ++i) {
        const XSQLVAR &var = out_->var(i);
        if (name == QLatin1String(var.aliasname, var.aliasname_length) ||
            name == QLatin1String(var.sqlname, var.sqlname_length))
            return i;
    }
    throw Exception(QStringLiteral("no column %1").arg(name));
}

QString RawCursor::Text(int column) const
{
    const XSQLVAR &var = out_->var(column);
    if ((var.sqltype & 1) != 0 && null_[column] < 0)
        return QString();
    const char *data = var.sqldata;
    const auto number = [data]<typename T>(T) {
        T value;
        std::memcpy(&value, data, sizeof value);
        return QString::number(value);
    };
    switch (var.sqltype & ~1) {
    case SQL_VARYING: {
        ISC_SHORT length;
        std::memcpy(&length, data, sizeof length);
        return FromAnsi(data + sizeof length, length);
    }
    case SQL_TEXT:
        return FromAnsi(data, var.sqllen);
    case SQL_SHORT:
        return number(ISC_SHORT());
    case SQL_LONG:
        return number(ISC_LONG());
    case SQL_INT64:
        return number(ISC_INT64());
    case SQL_DOUBLE:
        return number(double());
    default:
        throw Exception(QStringLiteral("column %1: type %2 not read here").arg(column).arg(var.sqltype));
    }
}

QStringList RawCursor::Row() const
{
    QStringList row;
    for (int i = 0; i < ColumnCount(); ++i)
        row << Text(i);
    return row;
}
