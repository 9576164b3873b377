#include "data/quoting.h"

QString DoubleQuotes(const QString &text)
{
    QString out = text;
    return out.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString QuotedLiteral(const QString &text)
{
    return QLatin1Char('\'') + DoubleQuotes(text) + QLatin1Char('\'');
}

QString QuotedIdentifier(const QString &name)
{
    QString out = name;
    return QLatin1Char('"') + out.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}
