#include "app/logfile.h"

#include "data/ansi.h"

#include <QDir>

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

void LogFile::Write(const QString &text)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString name = folder_ + QLatin1Char('/') + LogFileName(now.date());
    if (file_.fileName() != name || !file_.isOpen()) {
        // A new day starts a new file.
        file_.close();
        file_.setFileName(name);
        const bool created = !QFile::exists(name);
        if (!QDir(folder_).mkpath(QStringLiteral("log")) ||
            !file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return;
        // The other users of a shared log folder append to the day's file too.
        if (created)
            file_.setPermissions(file_.permissions() | QFile::ReadGroup | QFile::WriteGroup);
    }
    const QByteArray entry = ToAnsi(LogEntry(now, text));
    if (file_.write(entry) != entry.size())
        file_.close();  // tried afresh with the next entry
}
