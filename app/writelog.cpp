#include "app/writelog.h"

#include "data/ansi.h"
#include "ui/fmHaupt.h"

#include <QDir>
#include <QFile>

namespace {

QString ShortDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

}  // namespace

QString LogFileName(const QDate &date)
{
    // Year, month and day taken from the short date DD.MM.YYYY.
    const QString text = ShortDate(date);
    return QStringLiteral("log/log_") + text.mid(6, 4) + text.mid(3, 2) + text.mid(0, 2) + QStringLiteral(".txt");
}

QString LogEntry(const QDateTime &now, const QString &text)
{
    QString entry = ShortDate(now.date());
    const QTime time = now.time();
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        entry += QLatin1Char(' ') + time.toString(QStringLiteral("hh:mm:ss"));
    return entry + QStringLiteral(" - ") + text + QStringLiteral("\r\n");
}

void TfmHaupt1::WriteLog(const QString &text)
{
    // Opened and closed for every entry, so that nothing is lost when the
    // program stops half-way; any failure loses this entry only.
    const QString folder = ProgramFolder();
    if (!QDir(folder).mkpath(QStringLiteral("log")))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    QFile file(folder + QLatin1Char('/') + LogFileName(now.date()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(ToAnsi(LogEntry(now, text)));
}
