#include "engineimport.h"

#include "import/masterimport.h"
#include "tools/demodata.h"

#include <QDir>

#include <algorithm>

DemoOptions DemoOptionsOf(int rows, int products, int shades)
{
    DemoOptions options;
    options.masterRows = rows;
    options.products = products;
    options.shades = shades;
    return options;
}

QString CreateDemoProgram(const QString &root, const DemoOptions &options, qint64 &generatedMs)
{
    const QString data = root + QStringLiteral("/program/Daten");
    QDir().mkpath(data);
    const QString path = data + QStringLiteral("/QELMPREISE.fdb");
    generatedMs = Timed([&] { CreateDemoDatabase(path, options); });
    return path;
}

qint64 EngineImport(const QString &path)
{
    AdminConnection c(path);
    const auto dense = [&c](const QString &table, const QString &columns) {
        c.Run(QStringLiteral("insert into %1 select row_number() over (order by %2), %2 "
                             "from (select distinct %2 from MASTER)")
                  .arg(table, columns));
    };
    return Timed([&] {
        for (const QStringList &statement : SchemaRebuildStatements()) {
            try {
                c.Run(statement.join(QStringLiteral("\r\n")));
            } catch (const Exception &) {
                // Refused exactly where the program's rebuild is refused.
            }
        }
        dense(QStringLiteral("RGBCOLORS"), QStringLiteral("RCOLOR, GCOLOR, BCOLOR"));
        dense(QStringLiteral("BASEN"), QStringLiteral("BASENAME"));
        dense(QStringLiteral("FARBEN"), QStringLiteral("COLORNUMBER"));
        c.Run(QStringLiteral("delete from KOLLEKTIONEN"));
        c.Run(QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) select 0, "
                             "row_number() over (order by COLORNAME), COLORNAME, 'J' "
                             "from (select distinct COLORNAME from MASTER)"));
        c.Run(QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) "
                             "select distinct M.PRODUCTID, K.KID, M.COLORNAME, 'J' from MASTER M "
                             "join KOLLEKTIONEN K on K.KNAME = M.COLORNAME and K.KPID = 0"));
        c.Run(QStringLiteral("insert into KOMBIDATEN select F.FID, K.KID, M.PRODUCTID, R.COLORID, B.BASEID, "
                             "M.FORMULADETAILSKEY, cast(M.COSTCODE as integer) from MASTER M "
                             "join FARBEN F on F.FNAME = M.COLORNUMBER "
                             "join BASEN B on B.BNAME = M.BASENAME "
                             "join KOLLEKTIONEN K on K.KNAME = M.COLORNAME and K.KPID = 0 "
                             "join RGBCOLORS R on R.RCOLOR = M.RCOLOR and R.GCOLOR = M.GCOLOR "
                             "and R.BCOLOR = M.BCOLOR"));
        c.Run(QStringLiteral("delete from MASTER"));
        c.tr.Commit();
    });
}

QList<QStringList> Combinations(const QString &path)
{
    AdminConnection c(path);
    QList<QStringList> rows = c.Rows(QStringLiteral(
        "select K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST from KOMBIDATEN"));
    std::sort(rows.begin(), rows.end());
    return rows;
}
