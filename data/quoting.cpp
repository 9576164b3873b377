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
