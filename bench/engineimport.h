// The master import as the engine does it in whole sets: the same tables,
// ids and combinations as the program's import, for comparison and for
// building imported databases quickly.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "measure.h"

struct DemoOptions;

// Runs the set-based import on the database file; returns its time in ms.
qint64 EngineImport(const QString &path);

// Every combination of the database, sorted.
QList<QStringList> Combinations(const QString &path);

// A generated MASTER of that size (the fixed paint shop for 0 products and
// shades).
DemoOptions DemoOptionsOf(int rows, int products, int shades);

// A program folder in the root with a delivered demo database of those
// options in its data folder; returns the database's path, and the time it
// took to generate in generatedMs.
QString CreateDemoProgram(const QString &root, const DemoOptions &options, qint64 &generatedMs);
