// A column of a query's result, read and written in the current row.
#pragma once

#include <QString>
#include <QVariant>

// Where a field's values live: the current row of its query.
class FieldRow {
public:
    virtual const QVariant &cell(int column) const = 0;
    // The value before the edit; the current one when no row is edited.
    virtual const QVariant &oldCell(int column) const = 0;
    virtual void assign(int column, QVariant value) = 0;

protected:
    ~FieldRow() = default;
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
    FieldRow *row_ = nullptr;
    int index_ = 0;
};

// Text as a decimal 32-bit integer, or "'%s' ist kein gültiger Integerwert".
int StrToInt(const QString &text);
