#include "app/logfile.h"

#include "data/ansi.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// Collected entries beyond this are written at once.
constexpr qsizetype FlushSize = 64 * 1024;

// Appends in one write; the file is opened by its name each time, so that a
// rotated or removed file is followed by a new one.
void AppendToFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QByteArray path = QFile::encodeName(name);
    int fd = open(path.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && QDir(folder).mkpath(QStringLiteral("log"))) {
        fd = open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        // The other users of a shared log folder append to the day's file too.
        struct stat status {};
        if (fd >= 0 && fstat(fd, &status) == 0)
            fchmod(fd, (status.st_mode & 07777) | S_IRGRP | S_IWGRP);
        else if (fd < 0 && errno == EEXIST)
            fd = open(path.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    }
    if (fd < 0)
        return;
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    close(fd);
}

}  // namespace

LogFile::~LogFile()
{
    Flush();
}

void LogFile::Write(const QString &text)
{
    // The day's file name and the time stamp, made once a second: an import
    // writes an entry per row.
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != second_) {
        const QDateTime now = QDateTime::fromSecsSinceEpoch(second);
        const QString name = folder_ + QLatin1Char('/') + LogFileName(now.date());
        // A new day starts a new file.
        if (name != fileName_) {
            Flush();
            fileName_ = name;
        }
        stamp_ = ToAnsi(LogEntry(now, QString()));
        stamp_.chop(2);
        second_ = second;
    }
    pending_ += stamp_;
    pending_ += ToAnsi(text);
    pending_ += "\r\n";
    if (pending_.size() >= FlushSize)
        Flush();
}

void LogFile::Flush()
{
    if (pending_.isEmpty())
        return;
    AppendToFile(folder_, fileName_, pending_);
    pending_.clear();
}
