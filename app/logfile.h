// The day's log file of the master import, in the folder "log" beside the
// executable, one file per day.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>

// "log/log_YYYYMMDD.txt" relative to the program folder.
QString LogFileName(const QDate &date);

// "DD.MM.YYYY hh:mm:ss - text" and CR LF; the time is left out in the first
// second after midnight.
QString LogEntry(const QDateTime &now, const QString &text);

class LogFile {
public:
    explicit LogFile(QString programFolder) : folder_(std::move(programFolder)) {}

    // Appends one entry to the day's file. The file stays open between
    // entries, each entry reaches the system in one write (so a killed
    // program loses nothing it logged, and the entries of several programs
    // writing to the same file do not mix); any failure loses this entry
    // only and is not reported.
    void Write(const QString &text);

private:
    QString folder_;
    QFile file_;
};
