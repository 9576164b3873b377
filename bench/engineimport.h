// The master import as the engine does it in whole sets: the same tables,
// ids and combinations as the program's import, for comparison and for
// building imported databases quickly.
#pragma once

#include <QString>

struct DemoOptions;

// Runs the set-based import on the database file; returns its time in ms.
// With pairByPair, the combinations are written pair by pair with the
// commits the program's import must make (set-based within each pair, one
// commit for a pair's rows instead of one per 100): the least any import
// that keeps those commits can take, as both benchmark profiles have over
// 100 rows per pair. inPairOrderFirst: MASTER is first written again in
// pair order, as the program's import does with a scattered one.
qint64 EngineImport(const QString &path, bool pairByPair = false, bool inPairOrderFirst = false);

// The first row in which the program's tables of the two databases differ,
// as "TABLE: row / row" (a missing row is empty); empty when they are the
// same. The rows are compared in the order of all their columns, one at a
// time, so that a table of millions needs no memory.
QString FirstDifference(const QString &path, const QString &otherPath);

// A generated MASTER of that size (the fixed paint shop for 0 products and
// shades).
DemoOptions DemoOptionsOf(int rows, int products, int shades);

// The database of a program folder in the root, its data folder made.
QString ProgramDatabase(const QString &root);

// A program folder in the root with a delivered demo database of those
// options in its data folder; returns the database's path, and the time it
// took to generate in generatedMs.
QString CreateDemoProgram(const QString &root, const DemoOptions &options, qint64 &generatedMs);
