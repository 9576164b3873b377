#include "data/field.h"

#include "data/errors.h"

#include <cmath>
#include <cstdint>

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
    return row_->cell(index_);
}

const QVariant &TField::OldValue() const
{
    return row_->oldCell(index_);
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
        row_->assign(index_, QVariant());
        return;
    }
    bool ok = false;
    switch (kind) {
    case Kind::Integer: {
        const QVariant parsed = parseInteger(value, &ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert für Feld '%2'").arg(value, Name));
        row_->assign(index_, parsed);
        return;
    }
    case Kind::Float: {
        const double d = value.trimmed().toDouble(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert für Feld '%2'").arg(value, Name));
        row_->assign(index_, QVariant(d));
        return;
    }
    case Kind::Text:
        // Cut to the declared width, silently.
        row_->assign(index_, QVariant(Width > 0 && value.size() > Width ? value.left(Width) : value));
        return;
    case Kind::Other:
        row_->assign(index_, QVariant(value));
        return;
    }
}

void TField::SetAsInteger(int value)
{
    switch (kind) {
    case Kind::Integer:
        row_->assign(index_, QVariant(static_cast<qlonglong>(value)));
        return;
    case Kind::Float:
        row_->assign(index_, QVariant(static_cast<double>(value)));
        return;
    case Kind::Text:
    case Kind::Other:
        SetAsString(QString::number(value));
        return;
    }
}
