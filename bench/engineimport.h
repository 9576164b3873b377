// The master import as the engine does it in whole sets: the same tables,
// ids and combinations as the program's import, for comparison and for
// building imported databases quickly.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Runs the set-based import on the database file; returns its time in ms.
qint64 EngineImport(const QString &path);

// Every combination of the database, sorted.
QList<QStringList> Combinations(const QString &path);

qint64 Timed(const std::function<void()> &work);
