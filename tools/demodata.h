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
// give the same database. A 0 takes the default. Without products,
// collections and shades the fixed paint shop is written (20 products,
// 8 colour fans); with any of them the products, fans and shades get
// generated names.
struct DemoOptions {
    int masterRows = 0;      // MASTER rows, up to kDemoMaxRows; 0 = kDemoMasterRows
    std::uint32_t seed = 0;  // 0 = kDemoSeed
    int products = 0;        // up to kDemoMaxProducts; 0 = 20
    int collections = 0;     // colour fans; 0 = enough that a product is in about four
    int shades = 0;          // up to kDemoMaxShades; 0 = one per four MASTER rows
    // Generated names only: MASTER lists its rows product by product, each
    // product's fans and shades in name order, as a formula export does;
    // false keeps the order of generation, shade by shade with the fans
    // taking turns, which scatters every product-collection pair over the
    // whole table.
    bool byProduct = true;
};

inline constexpr int kDemoMasterRows = 3000;
inline constexpr std::uint32_t kDemoSeed = 1957;
inline constexpr int kDemoMaxRows = 2000000;
inline constexpr int kDemoMaxProducts = 2000;
inline constexpr int kDemoMaxShades = 100000;

// The sizes of a demo database with every default filled in.
struct DemoSize {
    int products = 0;
    int collections = 0;
    int shades = 0;  // 0 for the fixed paint shop: as many as the rows take
    int rows = 0;
    std::uint32_t seed = kDemoSeed;

    // Products, collections or shades were asked for.
    bool GeneratedNames() const { return shades > 0; }
};

// Throws Exception for sizes out of range or that do not fit together
// (every shade needs a row, a shade comes at most once per product).
DemoSize ResolveDemoSize(const DemoOptions &options);

struct DemoProduct {
    int id;
    QString name;
};

// DDL of the delivered tables, one statement per entry, in order; text
// columns take the database's character set NONE. Ends with the grants for
// the program's own user QELMMASTER.
QStringList DeliveredSchemaStatements();

// The PRODUKTE rows and the collection names of the fixed paint shop.
QList<DemoProduct> DemoProducts();
QStringList DemoCollections();

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

// Creates the database file (it must not exist yet) with the delivered tables
// and their rows. A file left half-filled by a failure is removed again.
void CreateDemoDatabase(const QString &path, const DemoOptions &options = {});
