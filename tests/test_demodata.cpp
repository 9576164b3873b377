// The demo database generator: the delivered shape, Windows-1252 names,
// the asked size, consistent rows and deterministic output.
#include "support/testsupport.h"

#include "data/ib.h"
#include "tools/demodata.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
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

// The rules no MASTER row may break; returns the broken ones.
QStringList BrokenRules(const QString &path)
{
    QStringList broken;
    for (const char *rule : {
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
        if (QueryInt(path, QStringLiteral("select count(*) from ") + QLatin1String(rule)) != 0)
            broken << QLatin1String(rule);
    return broken;
}

// What makes the rows look like real ones; returns what is missing.
QStringList MissingVariety(const QString &path, int rows)
{
    QStringList missing;
    const auto expect = [&missing](bool ok, const char *what) {
        if (!ok)
            missing << QLatin1String(what);
    };
    expect(QueryInt(path, QStringLiteral("select count(*) from MASTER where FORMULADETAILSKEY > 0")) > 0,
           "some rows with a notice");
    expect(QueryInt(path, QStringLiteral("select count(*) from MASTER where FORMULADETAILSKEY = 0")) > rows / 2,
           "most rows without a notice");
    expect(QueryInt(path, QStringLiteral("select count(distinct BASENAME) from MASTER")) >= 3, "several bases");
    const int shades = QueryInt(path, QStringLiteral("select count(distinct COLORNUMBER) from MASTER"));
    expect(QueryInt(path, QStringLiteral("select count(*) from (select COLORNUMBER from MASTER group by "
                                         "COLORNUMBER having count(*) >= 2)")) >= shades - 1,
           "a shade for several products");
    expect(QueryInt(path, QStringLiteral("select count(*) from (select RCOLOR from MASTER group by RCOLOR, "
                                         "GCOLOR, BCOLOR having count(distinct COLORNUMBER) > 1)")) > 0,
           "colours shared by several shades");
    return missing;
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
    void generatedNames();
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
    QCOMPARE(QueryInt(path, QStringLiteral("select count(*) from KOLLEKTIONEN")), 0);

    // The import's schema changes apply to the delivered tables.
    QStringList rebuild = {QStringLiteral("ALTER TABLE KOLLEKTIONEN ADD KIMPORT VARCHAR(1) CHARACTER SET ASCII "
                                          "COLLATE ASCII ")};
    for (const QString &column : master.mid(10))
        rebuild << QStringLiteral("ALTER TABLE MASTER DROP ") + column;
    RunSql(path, rebuild);
    QCOMPARE(Names(Columns(path, QStringLiteral("MASTER"))), master.mid(0, 10));
    QCOMPARE(QueryInt(path, QStringLiteral("select count(*) from MASTER")), 200);

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
    QCOMPARE(QueryInt(small.databasePath(), QStringLiteral("select count(*) from MASTER")), 7);

    TempProgramFolder folder;
    const QString path = folder.databasePath();
    const int rows = 4321;
    CreateDemoDatabase(path, {rows, 99});
    QCOMPARE(QueryInt(path, QStringLiteral("select count(*) from MASTER")), rows);
    QCOMPARE(BrokenRules(path), QStringList());
    QCOMPARE(MissingVariety(path, rows), QStringList());
    QVERIFY(QueryInt(path, QStringLiteral("select count(distinct COLORNUMBER) from MASTER")) > 300);
}

void TestDemoData::generatedNames()
{
    TempProgramFolder folder;
    const QString path = folder.databasePath();
    const int rows = 5000;
    CreateDemoDatabase(path, {.masterRows = rows, .seed = 11, .products = 30, .collections = 12, .shades = 600});

    // Exactly the asked sizes; every product is offered.
    QCOMPARE(QueryRows(path, QStringLiteral("select count(*), count(distinct COLORNUMBER), count(distinct COLORNAME), "
                                            "count(distinct PRODUCTID) from MASTER")),
             QList<QStringList>({{"5000", "600", "12", "30"}}));
    QCOMPARE(QueryRows(path,
                       QStringLiteral("select count(*), count(distinct PID), count(distinct PNAME) from PRODUKTE")),
             QList<QStringList>({{"30", "30", "30"}}));
    QCOMPARE(QueryInt(path, QStringLiteral("select count(*) from KOLLEKTIONEN")), 0);
    QCOMPARE(BrokenRules(path), QStringList());
    QCOMPARE(MissingVariety(path, rows), QStringList());

    // A fan is offered for a run of several products, a product in several fans.
    QCOMPARE(QueryInt(path, QStringLiteral("select count(*) from (select COLORNAME from MASTER group by COLORNAME "
                                           "having count(distinct PRODUCTID) < 5)")),
             0);
    QVERIFY(QueryInt(path, QStringLiteral("select count(*) from (select PRODUCTID from MASTER group by PRODUCTID "
                                          "having count(distinct COLORNAME) >= 2)")) >= 25);

    // Products are named "<kind> <line> <PID>", fans "<theme> <number>", their
    // shades "<prefix><fan number> <number> <word>"; every character one byte.
    QString text;
    for (const QStringList &row :
         QueryRows(path, QStringLiteral("select PID, PNAME, octet_length(PNAME) from PRODUKTE"))) {
        QVERIFY2(row.at(1).endsWith(QLatin1Char(' ') + row.at(0)), qPrintable(row.at(1)));
        QCOMPARE(QString::number(row.at(1).size()), row.at(2));
        text += row.at(1);
    }
    static const QRegularExpression fan(QStringLiteral("^\\D+ (\\d+)$"));
    static const QRegularExpression shade(QStringLiteral("^[A-Z]+(\\d+) \\d+ \\D+$"));
    const QString shades = QStringLiteral(
        "select distinct COLORNAME, COLORNUMBER, octet_length(COLORNAME || COLORNUMBER) from MASTER");
    for (const QStringList &row : QueryRows(path, shades)) {
        const QRegularExpressionMatch f = fan.match(row.at(0)), s = shade.match(row.at(1));
        QVERIFY2(f.hasMatch() && s.hasMatch() && f.captured(1) == s.captured(1), qPrintable(row.join(" | ")));
        QCOMPARE(QString::number(row.at(0).size() + row.at(1).size()), row.at(2));
        text += row.at(0) + row.at(1);
    }
    for (const QChar c : QStringView(u"äöüßé&'"))
        QVERIFY2(text.contains(c), qPrintable(QString(c)));

    // Sizes that cannot fit are refused before a file is made.
    const QString refused = folder.daten() + QStringLiteral("/refused.fdb");
    QVERIFY_THROWS_EXCEPTION(Exception, CreateDemoDatabase(refused, {.masterRows = 10, .shades = 20}));
    QVERIFY(!QFile::exists(refused));
}

void TestDemoData::determinism()
{
    // The fixed paint shop and generated names alike.
    for (DemoOptions options : {DemoOptions{1500, 7}, DemoOptions{.masterRows = 1500, .seed = 7, .products = 25,
                                                                   .collections = 6, .shades = 300}}) {
        TempProgramFolder folder;
        const QString a = folder.daten() + QStringLiteral("/a.fdb");
        const QString b = folder.daten() + QStringLiteral("/b.fdb");
        const QString c = folder.daten() + QStringLiteral("/c.fdb");
        CreateDemoDatabase(a, options);
        CreateDemoDatabase(b, options);
        options.seed = 8;
        CreateDemoDatabase(c, options);
        QCOMPARE(Digest(a), Digest(b));
        QVERIFY(Digest(a) != Digest(c));
    }
}

QTEST_GUILESS_MAIN(TestDemoData)
#include "test_demodata.moc"
