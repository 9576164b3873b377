#include "data/statementtext.h"

#include "data/ansi.h"

#include <algorithm>

namespace {

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Where the part of the text that starts at i ends: a comment, a quoted name
// or a string literal (a doubled quote stays inside); i itself when none
// starts there.
qsizetype endOfToken(const QString &text, qsizetype i)
{
    const qsizetype n = text.size();
    const QChar c = text.at(i);
    const auto until = [&](qsizetype found, qsizetype extra) { return found < 0 ? n : found + extra; };
    if (c == QLatin1Char('-') && i + 1 < n && text.at(i + 1) == QLatin1Char('-'))
        return until(text.indexOf(QLatin1Char('\n'), i), 0);
    if (c == QLatin1Char('/') && i + 1 < n && text.at(i + 1) == QLatin1Char('*'))
        return until(text.indexOf(QStringLiteral("*/"), i + 2), 2);
    if (c == QLatin1Char('"'))
        return until(text.indexOf(QLatin1Char('"'), i + 1), 1);
    if (c != QLatin1Char('\''))
        return i;
    qsizetype j = i + 1;
    while (j < n) {
        if (text.at(j) == QLatin1Char('\'')) {
            if (j + 1 < n && text.at(j + 1) == QLatin1Char('\'')) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return n;
}

// Whether the text written so far ends in a character set introducer
// (_NONE, _WIN1252, ...).
bool endsInIntroducer(const QString &out)
{
    qsizetype k = out.size();
    while (k > 0 && out.at(k - 1).isSpace())
        --k;
    qsizetype start = k;
    while (start > 0 && isIdentChar(out.at(start - 1)))
        --start;
    return start < k && out.at(start) == QLatin1Char('_');
}

}  // namespace

QByteArray StatementBytes(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype stop = endOfToken(text, i);
        if (stop == i) {
            out += text.at(i++);
            continue;
        }
        const QStringView token = QStringView(text).mid(i, stop - i);
        const bool literal = token.front() == QLatin1Char('\'');
        const bool high = std::any_of(token.begin(), token.end(), [](QChar c) { return c.unicode() > 127; });
        if (literal && high && !endsInIntroducer(out))
            out += QStringLiteral("_NONE ");
        out += token;
        i = stop;
    }
    return ToAnsi(out);
}

QString MarkNamedParameters(const QStringList &lines, QStringList &names)
{
    QString text;
    for (const QString &line : lines) {
        bool quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('\''))
                quoted = !quoted;
            if (quoted || c != QLatin1Char(':') || i + 1 >= line.size() || !isIdentChar(line.at(i + 1))) {
                text += c;
                continue;
            }
            qsizetype j = i + 1;
            while (j < line.size() && isIdentChar(line.at(j)))
                ++j;
            names << line.mid(i + 1, j - i - 1);
            text += QLatin1Char('?');
            i = j - 1;
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString StatementText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}
