// Quoting for SQL text: pure helpers below the query layer.
#pragma once

#include <QString>

// The text as it goes between the quotes of an SQL string literal: every
// single quote written twice.
QString DoubleQuotes(const QString &text);

// The text as a whole SQL string literal, quotes included.
QString QuotedLiteral(const QString &text);

// A column or table name as a delimited identifier: in double quotes, every
// double quote in it written twice.
QString QuotedIdentifier(const QString &name);
