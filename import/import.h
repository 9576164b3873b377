// The master import: what the start-up check and the tests need of it, and
// the pure pieces of its statements and messages.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TIBQuery;

// Whether a full rebuild was cut off before all its pairs were pending: the
// rebuild leaves a mark in KOLLEKTIONEN from before its first drop until its
// pairs are written, and the start-up check offers the import while the mark
// is there. Errors reach the caller.
bool ImportInterrupted(TIBQuery &query);

// The statements of the schema rebuild, in order, each as its lines.
const QList<QStringList> &SchemaRebuildStatements();

// A collection name as it goes between the quotes of a pair's statements:
// trailing blanks go (the server ignores them when comparing), everything
// else stays, so that the name can only ever match itself; quotes doubled.
QString PairNameLiteral(const QString &kname);

// The text of the error box of a failed pair: five lines, each ending in CR LF.
QString PairErrorText(const QString &message, const QString &debugPoint, int productId, int collectionId);
