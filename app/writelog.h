// The day's log file of the master import.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// "log/log_YYYYMMDD.txt" relative to the program folder.
QString LogFileName(const QDate &date);

// "DD.MM.YYYY hh:mm:ss - text" and CR LF; the time is left out in the first
// second after midnight.
QString LogEntry(const QDateTime &now, const QString &text);
