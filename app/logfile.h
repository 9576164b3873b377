// The day's log file of the master import, in the folder "log" beside the
// executable, one file per day.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QByteArray>
#include <QString>

// "log/log_YYYYMMDD.txt" relative to the program folder.
QString LogFileName(const QDate &date);

// "DD.MM.YYYY hh:mm:ss - text" and CR LF; the time is left out in the first
// second after midnight.
QString LogEntry(const QDateTime &now, const QString &text);

// Entries are collected and written by Flush, in one write that appends to
// the day's file as it stands on disk: a file that was rotated or removed
// since is made anew, one that is read-only loses the entries. Flush runs at
// each of the import's commits (an entry is on disk before the commit that
// follows it), when a day ends, when much has been collected and at the end.
class LogFile {
public:
    explicit LogFile(QString programFolder) : folder_(std::move(programFolder)) {}
    ~LogFile();
    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;

    // Adds one entry for the day's file; never fails towards the caller.
    void Write(const QString &text);
    // Writes the entries so far; any failure loses them and is not reported.
    void Flush();

private:
    QString folder_;
    QString fileName_;  // the day of the entries collected
    QByteArray pending_;
    qint64 second_ = -1;  // of the stamp: seconds since the epoch
    QByteArray stamp_;    // "DD.MM.YYYY hh:mm:ss - " of that second
};
