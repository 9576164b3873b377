// Statement helpers shared by every user of the query layer.
#pragma once

#include <QString>
#include <QStringList>

class TIBQuery;

// Closes the query and gives it the statement lines, one line per call.
void SetStatement(TIBQuery &query, const QStringList &lines);

// The text as it goes between the quotes of an SQL string literal: every
// single quote written twice.
QString DoubleQuotes(const QString &text);

// The text as a whole SQL string literal, quotes included.
QString QuotedLiteral(const QString &text);
