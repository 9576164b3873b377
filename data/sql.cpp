#include "data/sql.h"

#include "data/ib.h"

void SetStatement(TIBQuery &query, const QStringList &lines)
{
    query.CloseQuery();
    query.ClearLines();
    for (const QString &line : lines)
        query.AddLine(line);
}

QString DoubleQuotes(const QString &text)
{
    QString out = text;
    return out.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString QuotedLiteral(const QString &text)
{
    return QLatin1Char('\'') + DoubleQuotes(text) + QLatin1Char('\'');
}
