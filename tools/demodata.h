// Generator of delivered databases: the tables PRODUKTE, FORMULADETAILS,
// KOLLEKTIONEN (without KIMPORT) and MASTER as a customer receives them before
// the first import, filled with invented paint shop data.
#pragma once

#include "data/ib.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// Size and pseudo-random seed of a demo database; the same options always
// give the same rows.
struct DemoOptions {
    int masterRows = 0;  // MASTER rows to write; 0 = kDemoMasterRows
    std::uint32_t seed = 1957;
};

inline constexpr int kDemoMasterRows = 3000;

struct DemoProduct {
    int id;
    QString name;
};

// DDL of the delivered tables, one statement per entry, in order; text
// columns take the database's character set NONE. Ends with the grants for
// the program's own user QELMMASTER.
QStringList DeliveredSchemaStatements();

// The PRODUKTE rows and the collection names the generator writes.
QList<DemoProduct> DemoProducts();
QStringList DemoCollections();

// One EXECUTE BLOCK that writes exactly `rows` MASTER rows on the server.
QString MasterFillStatement(int rows, std::uint32_t seed);

// Creates the database file (it must not exist yet) with the delivered tables
// and their rows. A file left half-filled by a failure is removed again.
// A connection of its own to a database file, as the administrator, for the
// tools, the tests and the benchmarks (the program itself uses its data module).
class AdminConnection {
public:
    explicit AdminConnection(const QString &path, const QString &queryName = QStringLiteral("qrAdmin"));
    TIBDatabase db;
    TIBTransaction tr{&db};
    TIBQuery query;
    // Runs the statement and commits it: a table is usable only once created for good.
    void Run(const QString &statement);
    // Every row of the select, each value read as text (NULL as "").
    QList<QStringList> Rows(const QString &select);
};

void CreateDemoDatabase(const QString &path, const DemoOptions &options = {});
