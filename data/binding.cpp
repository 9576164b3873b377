// The binding of a query's row to the named parameters of its update
// statements, and the write of the row.
#include "data/query.h"

#include "data/ansi.h"
#include "data/errors.h"
#include "data/statement.h"
#include "data/statementtext.h"
#include "data/transaction.h"

#include <algorithm>
#include <cstring>

TIBQuery::NamedStatement &TIBQuery::namedStatement(const QStringList &lines)
{
    NamedStatement &named = named_[state_ == State::Insert ? 0 : 1];
    if (named.lines == lines && !named.text.isEmpty())
        return named;
    // Named parameters become markers; the names are kept in statement order.
    named = {lines, QString(), QByteArray(), {}, {}};
    named.text = MarkNamedParameters(lines, named.names);
    named.bytes = StatementBytes(named.text);
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

const QVariant kUnbound;

// Every marker of the statement bound to the value valueAt(i) gives for it.
template <typename ValueAt>
void BindMarkers(PreparedStatement &statement, ValueAt valueAt)
{
    Sqlda &in = statement.in;
    statement.inData.resize(in.count());
    statement.inNull.assign(in.count(), -1);
    for (int i = 0; i < in.count(); ++i)
        BindValue(in.var(i), statement.inNull[i], statement.inData[i], valueAt(i));
}

}  // namespace

void TIBQuery::bindFields(Statement &statement, NamedStatement &named)
{
    if (named.fieldOf.empty()) {
        // "OLD_" takes the value before the edit; a parameter without a
        // field of its name stays unbound.
        for (QStringView name : std::as_const(named.names)) {
            const bool old = name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive);
            if (old)
                name = name.mid(4);
            const auto field = std::find_if(fields_.begin(), fields_.end(), [name](const TField &f) {
                return QStringView(f.Name).compare(name, Qt::CaseInsensitive) == 0;
            });
            named.fieldOf.emplace_back(field == fields_.end() ? -1 : static_cast<int>(field - fields_.begin()), old);
        }
    }
    BindMarkers(statement, [this, &named](int i) -> const QVariant & {
        if (i >= static_cast<int>(named.fieldOf.size()) || named.fieldOf[i].first < 0)
            return kUnbound;
        const TField &field = fields_[named.fieldOf[i].first];
        return named.fieldOf[i].second ? field.OldValue() : field.Value();
    });
}

void TIBQuery::execute(Statement &statement)
{
    if (Params.isEmpty()) {
        statement.execute(Transaction->Handle(), nullptr);
        return;
    }
    BindMarkers(statement, [this](int i) -> const QVariant & { return i < Params.size() ? Params.at(i) : kUnbound; });
    statement.execute(Transaction->Handle(), statement.in.get());
}

void TIBQuery::PostRow()
{
    if (state_ == State::Browse)
        return;
    if (!UpdateObject)
        throw Exception(Name + QStringLiteral(": Keine Aktualisierungsanweisung zugewiesen"));
    NamedStatement &update = namedStatement(state_ == State::Insert ? UpdateObject->InsertSQL : UpdateObject->ModifySQL);
    ensureReady();
    Statement &statement = prepareBytes(update.bytes);
    bindFields(statement, update);
    statement.execute(Transaction->Handle(), statement.in.get());
    // An insert of values stores its one row or fails; a modify may find
    // none.
    if (state_ == State::Edit && statement.affectedRows() != 1)
        throw EDatabaseError(QStringLiteral("Aktualisierung nicht erfolgreich"));
    state_ = State::Browse;
    old_.clear();
}
