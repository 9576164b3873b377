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

QString LabelCaption(const QString &name)
{
    QString out = name;
    return out.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
