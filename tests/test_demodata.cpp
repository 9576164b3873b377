// The demo database generator: the delivered shape, Windows-1252 names,
// the asked size, consistent rows and deterministic output.
#include "support/testsupport.h"

#include "data/ib.h"
#include "tools/demodata.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtTest>

#include <algorithm>

namespace {

// Column names of a table in their order, each with the character set id of
// its text columns ("" for other types).
QList<QStringList> Columns(const QString &path, const QString &table)
{
    return QueryRows(
        path, QStringLiteral("select trim(rf.RDB$FIELD_NAME), iif(f.RDB$FIELD_TYPE in (14, 37) or "
                             "(f.RDB$FIELD_TYPE = 261 and f.RDB$FIELD_SUB_TYPE = 1), f.RDB$CHARACTER_SET_ID, null) "
                             "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                             "where rf.RDB$RELATION_NAME = '%1' order by rf.RDB$FIELD_POSITION")
                  .arg(table));
}

QStringList Names(const QList<QStringList> &columns)
{
    QStringList names;
    for (const QStringList &c : columns)
        names << c.at(0);
    return names;
}

int Count(const QString &path, const QString &select)
{
    return QueryRows(path, select).at(0).at(0).toInt();
}

QByteArray Digest(const QString &path)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char *select : {"select * from MASTER", "select * from PRODUKTE",
                               "select * from FORMULADETAILS", "select * from KOLLEKTIONEN"})
        for (const QStringList &row : QueryRows(path, QLatin1String(select)))
            hash.addData(row.join(QChar(0x1F)).toUtf8() + '\n');
    return hash.result();
}

}  // namespace

class TestDemoData : public QObject {
    Q_OBJECT

private slots:
    void deliveredShape();
    void windows1252Names();
    void sizeAndConsistency();
    void determinism();
};

void TestDemoData::deliveredShape()
{
    TempProgramFolder folder;
    const QString path = folder.databasePath();
    CreateDemoDatabase(path, {200, 1});

    QStringList master = {QStringLiteral("COLORNAME"), QStringLiteral("COLORNUMBER"),
                          QStringLiteral("MFGPRODUCTNAME"), QStringLiteral("PRODUCTID"),
                          QStringLiteral("RCOLOR"), QStringLiteral("GCOLOR"), QStringLiteral("BCOLOR"),
                          QStringLiteral("BASENAME"), QStringLiteral("FORMULADETAILSKEY"),
                          QStringLiteral("COSTCODE")};
    for (int i = 0; i < 6; ++i)
        master << QStringLiteral("INGREDIENT%1ABBR").arg(i) << QStringLiteral("INGREDIENT%1AMT").arg(i);
    master << QStringLiteral("CANSIZE") << QStringLiteral("BASEAMT");
    QCOMPARE(Names(Columns(path, QStringLiteral("MASTER"))), master);
    QCOMPARE(Names(Columns(path, QStringLiteral("PRODUKTE"))), QStringList({"PID", "PNAME"}));
    QCOMPARE(Names(Columns(path, QStringLiteral("FORMULADETAILS"))),
             QStringList({"FORMULADETAILSKEY", "WARNINGTEXT", "FORMULADETAILSTEXT"}));
    QCOMPARE(Names(Columns(path, QStringLiteral("KOLLEKTIONEN"))), QStringList({"KPID", "KID", "KNAME"}));

    // Every text column holds raw bytes: character set NONE (id 0).
    for (const char *table : {"MASTER", "PRODUKTE", "FORMULADETAILS", "KOLLEKTIONEN"})
        for (const QStringList &column : Columns(path, QLatin1String(table)))
            if (!column.at(1).isEmpty())
                QVERIFY2(column.at(1) == QStringLiteral("0"), qPrintable(table + (' ' + column.at(0))));

    // The start-up check finds the database without the import's column.
    try {
        QueryRows(path, QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'\r\nand KPID>0"));
        QFAIL("KIMPORT must not exist yet");
    } catch (const EDatabaseError &e) {
        const QString text = e.Message().toUpper();
        QVERIFY2(text.contains(QStringLiteral("COLUMN UNKNOWN")) && text.contains(QStringLiteral("KIMPORT")),
                 qPrintable(e.Message()));
    }
    QCOMPARE(Count(path, QStringLiteral("select count(*) from KOLLEKTIONEN")), 0);

    // The import's schema changes apply to the delivered tables.
    QStringList rebuild = {QStringLiteral("ALTER TABLE KOLLEKTIONEN ADD KIMPORT VARCHAR(1) CHARACTER SET ASCII "
                                          "COLLATE ASCII ")};
    for (const QString &column : master.mid(10))
        rebuild << QStringLiteral("ALTER TABLE MASTER DROP ") + column;
    RunSql(path, rebuild);
    QCOMPARE(Names(Columns(path, QStringLiteral("MASTER"))), master.mid(0, 10));
    QCOMPARE(Count(path, QStringLiteral("select count(*) from MASTER")), 200);

    // A file that exists is never overwritten.
    const auto content = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = content();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, CreateDemoDatabase(path));
    QVERIFY(!before.isEmpty() && content() == before);
}

void TestDemoData::windows1252Names()
{
    TempProgramFolder folder;
    const QString path = folder.databasePath();
    CreateDemoDatabase(path);

    QList<QStringList> expected;
    for (const DemoProduct &p : DemoProducts())
        expected << QStringList{QString::number(p.id), p.name};
    std::sort(expected.begin(), expected.end(),
              [](const QStringList &a, const QStringList &b) { return a.at(0).toInt() < b.at(0).toInt(); });
    QCOMPARE(QueryRows(path, QStringLiteral("select PID, PNAME from PRODUKTE order by PID")), expected);
    QVERIFY(expected.size() >= 15);

    // Names with umlauts, "&", a single quote and typographic quotes, stored
    // as single Windows-1252 bytes.
    QCOMPARE(QueryRows(path, QStringLiteral("select PNAME from PRODUKTE where PNAME = 'Lack & Lasur'")).size(), 1);
    QCOMPARE(QueryRows(path, QStringLiteral("select distinct COLORNAME from MASTER where COLORNAME = "
                                            "'Farben d''Italia'")),
             QList<QStringList>({{QStringLiteral("Farben d'Italia")}}));
    QCOMPARE(QueryRows(path, QStringLiteral("select distinct COLORNAME, octet_length(COLORNAME), ascii_val(substring("
                                            "COLORNAME from 7 for 1)) from MASTER where COLORNAME starting with 'Wandgr'")),
             QList<QStringList>({{QStringLiteral("Wandgrün"), QStringLiteral("8"), QStringLiteral("252")}}));
    QCOMPARE(QueryRows(path, QStringLiteral("select distinct COLORNAME, octet_length(COLORNUMBER) from MASTER "
                                            "where COLORNUMBER = 'Weiß 9010'")),
             QList<QStringList>({{QStringLiteral("RAL Classic"), QStringLiteral("9")}}));
    QCOMPARE(QueryRows(path, QStringLiteral("select ascii_val(substring(PNAME from 12 for 1)), PNAME from PRODUKTE "
                                            "where PNAME starting with 'Innenfarbe „'")),
             QList<QStringList>({{QStringLiteral("132"), QString::fromUtf16(u"Innenfarbe „Atelier“ matt")}}));
    const QStringList collections = DemoCollections();
    const QList<QStringList> stored = QueryRows(path, QStringLiteral("select distinct COLORNAME from MASTER"));
    QCOMPARE(stored.size(), collections.size());
    for (const QStringList &row : stored)
        QVERIFY2(collections.contains(row.at(0)), qPrintable(row.at(0)));

    // Notices with one and two lines of warning, descriptions of several lines.
    const QList<QStringList> notices = QueryRows(
        path, QStringLiteral("select FORMULADETAILSKEY, WARNINGTEXT, FORMULADETAILSTEXT from FORMULADETAILS "
                             "order by FORMULADETAILSKEY"));
    int split = 0, single = 0;
    for (const QStringList &n : notices) {
        (n.at(1).contains(QLatin1Char('+')) ? split : single) += 1;
        QVERIFY2(n.at(2).count(QStringLiteral("\r\n")) >= 1, qPrintable(n.at(0)));
    }
    QVERIFY(split >= 2);
    QVERIFY(single >= 2);
    QVERIFY(notices.at(0).at(0) == QStringLiteral("1") && notices.at(0).at(2).startsWith(QString::fromUtf16(u"Dieser Farbton enthält ")));
}

void TestDemoData::sizeAndConsistency()
{
    TempProgramFolder small;
    CreateDemoDatabase(small.databasePath(), {7, 99});
    QCOMPARE(Count(small.databasePath(), QStringLiteral("select count(*) from MASTER")), 7);

    TempProgramFolder folder;
    const QString path = folder.databasePath();
    const int rows = 4321;
    CreateDemoDatabase(path, {rows, 99});
    QCOMPARE(Count(path, QStringLiteral("select count(*) from MASTER")), rows);
    // No row breaks a rule.
    for (const char *broken : {
             // Every product id and name is one of PRODUKTE.
             "MASTER m where not exists (select 1 from PRODUKTE p where p.PID = m.PRODUCTID and "
             "p.PNAME = m.MFGPRODUCTNAME)",
             // Notice keys are 0 or keys of FORMULADETAILS.
             "MASTER m where m.FORMULADETAILSKEY <> 0 and not exists (select 1 from FORMULADETAILS f where "
             "f.FORMULADETAILSKEY = m.FORMULADETAILSKEY)",
             // Channels, price groups and the widths the import writes into.
             "MASTER where RCOLOR not between 0 and 255 or GCOLOR not between 0 and 255 or BCOLOR not between 0 and "
             "255 or RCOLOR is null or GCOLOR is null or BCOLOR is null",
             "MASTER where COSTCODE not in ('1','2','3','4','5','6','7','8','9') or COSTCODE is null",
             "MASTER where char_length(COLORNUMBER) > 50 or char_length(BASENAME) > 10 or BASENAME is null",
             "MASTER where INGREDIENT0ABBR is null or INGREDIENT0AMT <= 0 or CANSIZE is null or BASEAMT <= 0",
             // A shade belongs to one collection; no combination comes twice.
             "(select COLORNUMBER from MASTER group by COLORNUMBER having count(distinct COLORNAME) > 1)",
             "(select COLORNUMBER from MASTER group by COLORNUMBER, COLORNAME, PRODUCTID having count(*) > 1)"})
        QVERIFY2(Count(path, QStringLiteral("select count(*) from ") + QLatin1String(broken)) == 0, broken);

    // Some rows have a notice, most have none.
    QVERIFY(Count(path, QStringLiteral("select count(*) from MASTER where FORMULADETAILSKEY > 0")) > 0);
    QVERIFY(Count(path, QStringLiteral("select count(*) from MASTER where FORMULADETAILSKEY = 0")) > rows / 2);
    QVERIFY(Count(path, QStringLiteral("select count(distinct BASENAME) from MASTER")) >= 3);
    // A shade appears for several products; some colours are shared by
    // several shades.
    const int shades = Count(path, QStringLiteral("select count(distinct COLORNUMBER) from MASTER"));
    QVERIFY(shades > 300);
    QVERIFY(Count(path, QStringLiteral("select count(*) from (select COLORNUMBER from MASTER group by "
                                       "COLORNUMBER having count(*) >= 2)")) >= shades - 1);
    QVERIFY(Count(path, QStringLiteral("select count(*) from (select RCOLOR from MASTER group by RCOLOR, "
                                       "GCOLOR, BCOLOR having count(distinct COLORNUMBER) > 1)")) > 0);
}

void TestDemoData::determinism()
{
    TempProgramFolder folder;
    const QString a = folder.daten() + QStringLiteral("/a.fdb");
    const QString b = folder.daten() + QStringLiteral("/b.fdb");
    const QString c = folder.daten() + QStringLiteral("/c.fdb");
    CreateDemoDatabase(a, {1500, 7});
    CreateDemoDatabase(b, {1500, 7});
    CreateDemoDatabase(c, {1500, 8});
    QCOMPARE(Digest(a), Digest(b));
    QVERIFY(Digest(a) != Digest(c));
}

QTEST_GUILESS_MAIN(TestDemoData)
#include "test_demodata.moc"
