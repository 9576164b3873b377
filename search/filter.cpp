#include "search/filter.h"

#include "data/ansi.h"
#include "data/sql.h"

QString TrimControls(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() < 33)
        ++first;
    while (last > first && text.at(last - 1).unicode() < 33)
        --last;
    return text.mid(first, last - first);
}

QStringList FilterFragment(const QString &typed, const QString &lead1, const QString &lead2)
{
    const QString text = TrimControls(typed);
    if (text.isEmpty())
        return {};
    const QString upper = TrimControls(AnsiUpperCase(typed));
    return {lead1 + DoubleQuotes(upper) + QStringLiteral("%'"), lead2 + DoubleQuotes(text) + QStringLiteral("%')")};
}

QString CaseBlind(const QString &column)
{
    // As wide as a text may be: a narrower cast fails on a longer name.
    return QStringLiteral("upper(cast(") + column + QStringLiteral(" as varchar(32765) character set win1252))");
}

QString LabelCaption(const QString &name)
{
    QString out = name;
    return out.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
