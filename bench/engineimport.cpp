// The anchor is the set-based import script: the program's own schema
// rebuild, then one INSERT ... SELECT per table, the fastest way to those
// tables we know of in the engine:
// - every index of the lookup tables and of KOMBIDATEN is inactive while
//   its table fills and is built once from the rows afterwards (ALTER INDEX
//   ... INACTIVE / ACTIVE); the lookups' indexes come back before
//   KOMBIDATEN fills, as its join finds the ids through them;
// - the ids are numbered in sort order over the distinct values
//   (row_number, dense_rank), as the program numbers them;
// - the product-collection rows come from one pass over MASTER, the
//   collection rows from those rows instead of a second pass;
// - MASTER is emptied by dropping it and creating it anew in the shape the
//   rebuild trims it to, rather than by deleting its rows one by one;
// - one transaction, committed where the engine needs it (before an index
//   is built, before MASTER is dropped) and at the end.
#include "engineimport.h"

#include "measure.h"
#include "rawclient.h"

#include "app/startup.h"
#include "data/engineconfig.h"
#include "data/sql.h"
#include "import/masterimport.h"
#include "tools/demodata.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>

namespace {

// The program's indexes by table, as its schema rebuild creates them.
QMap<QString, QStringList> IndexesByTable()
{
    static const QRegularExpression createIndex(QStringLiteral("^CREATE INDEX (\\w+) ON (\\w+) "));
    QMap<QString, QStringList> indexes;
    for (const QStringList &statement : SchemaRebuildStatements()) {
        const QRegularExpressionMatch m = createIndex.match(statement.first());
        if (m.hasMatch())
            indexes[m.captured(2)] << m.captured(1);
    }
    return indexes;
}

void SetIndexesActive(AdminConnection &c, const QStringList &tables, bool active)
{
    static const QMap<QString, QStringList> indexes = IndexesByTable();
    for (const QString &table : tables)
        for (const QString &index : indexes.value(table))
            c.Run(QStringLiteral("ALTER INDEX %1 %2").arg(index, active ? QStringLiteral("ACTIVE")
                                                                        : QStringLiteral("INACTIVE")));
}

// Refused exactly where the program's rebuild is refused (a table to drop
// that is not there, a column that cannot be narrowed).
void RunWhereAccepted(AdminConnection &c, const QStringList &statement)
{
    try {
        c.Run(statement.join(QStringLiteral("\r\n")));
    } catch (const Exception &) {
    }
}

// MASTER without rows, in the shape the program's rebuild leaves: made anew
// as delivered, then trimmed by the rebuild's own statements.
void EmptyMaster(AdminConnection &c)
{
    // Dropping a table waits for every statement that read it to be gone.
    c.tr.Commit();
    c.Run(QStringLiteral("DROP TABLE MASTER"));
    for (const QString &statement : DeliveredSchemaStatements())
        if (statement.contains(QLatin1String(" MASTER")))
            c.Run(statement);
    for (const QStringList &statement : SchemaRebuildStatements())
        if (statement.first().startsWith(QLatin1String("ALTER TABLE MASTER")))
            RunWhereAccepted(c, statement);
}

const QStringList kLookups = {QStringLiteral("RGBCOLORS"), QStringLiteral("BASEN"), QStringLiteral("FARBEN")};

// Each pair's combinations with the commits the program's import makes for
// it: its old combinations deleted, its rows written, its MASTER rows
// deleted and its mark set, each committed. The pair's rows go in one set
// and one commit, where the program commits every 100 rows. The indexes are
// those the program's import keeps for the pairs.
void CombinationsPairByPair(AdminConnection &c, bool inPairOrderFirst)
{
    if (inPairOrderFirst) {
        QStringList columns;
        for (const QStringList &row : c.Rows(MasterColumnsSelect()))
            columns << row.first();
        for (const QStringList &statement : MasterInPairOrder(columns)) {
            SetStatement(c.query, statement);
            c.query.RunStatement();
        }
        c.tr.CommitRetaining();
    }
    for (const ImportIndex &index : ImportIndexes())
        c.Run(index.CreateStatement());
    c.Run(QStringLiteral("ALTER INDEX KOMBIDATEN_IDX3 ACTIVE"));
    c.Run(QStringLiteral("ALTER INDEX KOMBIDATEN_IDX4 ACTIVE"));
    const QString name = QStringLiteral("cast(? as varchar(8191) character set none)");
    const auto run = [&c](const QString &statement, const QVariantList &values) {
        SetStatement(c.query, {statement});
        c.query.Params = values;
        c.query.RunStatement();
        c.tr.CommitRetaining();
    };
    for (const QStringList &pair :
         c.Rows(QStringLiteral("select KPID, KID, KNAME from KOLLEKTIONEN where KPID > 0 order by KID"))) {
        const QVariant kpid = pair.at(0), kid = pair.at(1), kname = pair.at(2);
        run(QStringLiteral("delete from KOMBIDATEN where K_PID = ? and K_KID = ?"), {kpid, kid});
        run(QStringLiteral("insert into KOMBIDATEN select F.FID, cast(? as integer), M.PRODUCTID, R.COLORID, "
                           "B.BASEID, M.FORMULADETAILSKEY, cast(M.COSTCODE as integer) from MASTER M "
                           "join FARBEN F on F.FNAME = M.COLORNUMBER "
                           "join BASEN B on B.BNAME = M.BASENAME "
                           "join RGBCOLORS R on R.RCOLOR = M.RCOLOR and R.GCOLOR = M.GCOLOR "
                           "and R.BCOLOR = M.BCOLOR "
                           "where M.PRODUCTID = ? and M.COLORNAME = %1")
                .arg(name),
            {kid, kpid, kname});
        run(QStringLiteral("delete from MASTER where PRODUCTID = ? and COLORNAME = %1").arg(name), {kpid, kname});
        run(QStringLiteral("update KOLLEKTIONEN set KIMPORT = 'J' where KPID = ? and KID = ?"), {kpid, kid});
    }
    c.Run(QStringLiteral("ALTER INDEX KOMBIDATEN_IDX1 ACTIVE"));
    c.Run(QStringLiteral("ALTER INDEX KOMBIDATEN_IDX2 ACTIVE"));
    for (const QStringList &statement : SchemaRebuildStatements())
        if (statement.first().startsWith(QLatin1String("ALTER TABLE MASTER")))
            RunWhereAccepted(c, statement);
}

}  // namespace

qint64 EngineImport(const QString &path, bool pairByPair, bool inPairOrderFirst)
{
    AdminConnection c(path);
    // Its commits write as the program's import writes them.
    if (const int pages = WritersCachePages(path); pairByPair && pages > 0)
        c.db.Params << QStringLiteral("num_buffers=%1").arg(pages);
    const auto dense = [&c](const QString &table, const QString &columns) {
        c.Run(QStringLiteral("insert into %1 select row_number() over (order by %2), %2 "
                             "from (select distinct %2 from MASTER)")
                  .arg(table, columns));
    };
    return Timed([&] {
        for (const QStringList &statement : SchemaRebuildStatements())
            if (!statement.first().startsWith(QLatin1String("ALTER TABLE MASTER")))
                RunWhereAccepted(c, statement);
        SetIndexesActive(c, kLookups + QStringList{QStringLiteral("KOMBIDATEN")}, false);
        dense(QStringLiteral("RGBCOLORS"), QStringLiteral("RCOLOR, GCOLOR, BCOLOR"));
        dense(QStringLiteral("BASEN"), QStringLiteral("BASENAME"));
        dense(QStringLiteral("FARBEN"), QStringLiteral("COLORNUMBER"));
        SetIndexesActive(c, kLookups, true);
        c.Run(QStringLiteral("delete from KOLLEKTIONEN"));
        c.Run(QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) "
                             "select PRODUCTID, dense_rank() over (order by COLORNAME), COLORNAME, 'J' "
                             "from (select distinct COLORNAME, PRODUCTID from MASTER)"));
        c.Run(QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) "
                             "select distinct 0, KID, KNAME, 'J' from KOLLEKTIONEN"));
        if (pairByPair) {
            CombinationsPairByPair(c, inPairOrderFirst);
        } else {
            c.Run(QStringLiteral("insert into KOMBIDATEN select F.FID, K.KID, M.PRODUCTID, R.COLORID, B.BASEID, "
                                 "M.FORMULADETAILSKEY, cast(M.COSTCODE as integer) from MASTER M "
                                 "join FARBEN F on F.FNAME = M.COLORNUMBER "
                                 "join BASEN B on B.BNAME = M.BASENAME "
                                 "join KOLLEKTIONEN K on K.KNAME = M.COLORNAME and K.KPID = 0 "
                                 "join RGBCOLORS R on R.RCOLOR = M.RCOLOR and R.GCOLOR = M.GCOLOR "
                                 "and R.BCOLOR = M.BCOLOR"));
            SetIndexesActive(c, {QStringLiteral("KOMBIDATEN")}, true);
            EmptyMaster(c);
        }
        c.tr.Commit();
    });
}

QString FirstDifference(const QString &path, const QString &otherPath)
{
    static const std::pair<QString, QString> tables[] = {
        {QStringLiteral("RGBCOLORS"), QStringLiteral("COLORID, RCOLOR, GCOLOR, BCOLOR")},
        {QStringLiteral("BASEN"), QStringLiteral("BASEID, BNAME")},
        {QStringLiteral("FARBEN"), QStringLiteral("FID, FNAME")},
        {QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KPID, KID, KNAME, KIMPORT")},
        {QStringLiteral("KOMBIDATEN"), QStringLiteral("K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST")},
        {QStringLiteral("MASTER"), QStringLiteral("PRODUCTID, COLORNAME, COLORNUMBER")},
    };
    RawConnection one(path);
    RawConnection other(otherPath);
    for (const auto &[table, columns] : tables) {
        const QStringList select{QStringLiteral("select %1 from %2").arg(columns, table),
                                 QStringLiteral("order by ") + columns};
        RawCursor a(one, select);
        RawCursor b(other, select);
        for (;;) {
            const bool more = a.Next();
            const bool otherMore = b.Next();
            const QStringList row = more ? a.Row() : QStringList();
            const QStringList otherRow = otherMore ? b.Row() : QStringList();
            if (row != otherRow)
                return table + QStringLiteral(": ") + row.join(QLatin1Char(',')) + QStringLiteral(" / ") +
                       otherRow.join(QLatin1Char(','));
            if (!more)
                break;
        }
    }
    return QString();
}

DemoOptions DemoOptionsOf(int rows, int products, int shades)
{
    DemoOptions options;
    options.masterRows = rows;
    options.products = products;
    options.shades = shades;
    return options;
}

QString ProgramDatabase(const QString &root)
{
    const QString data = root + QStringLiteral("/program/Daten");
    QDir().mkpath(data);
    return data + QLatin1Char('/') + DatabaseFileName;
}

QString CreateDemoProgram(const QString &root, const DemoOptions &options, qint64 &generatedMs)
{
    const QString path = ProgramDatabase(root);
    generatedMs = Timed([&] { CreateDemoDatabase(path, options); });
    return path;
}
