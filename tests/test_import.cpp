// The master import on real database files: full rebuilds, resumed runs, the
// combination builder's edge cases, its commit and pumping points, its log,
// the safeguards around interrupted and partly consumed imports, and a run
// that keeps to itself while the window handles messages.
#include "ui_fmHaupt.h"
#include "test_import_fixture.h"

#include "import/import.h"
#include "tools/demodata.h"

#include <QFile>
#include <QListWidget>
#include <QTimer>
#include <QWheelEvent>

namespace {

const QString Question = QStringLiteral("Sollen die Stammdatentabellen auch neu erzeugt werden?");

// The shape of the program's tables and of MASTER, as read from the catalogue.
QStringList SchemaShape(const QString &path)
{
    QStringList shape;
    for (const QStringList &row : QueryRows(
             path, QStringLiteral(
                       "select trim(rf.RDB$RELATION_NAME) || '.' || trim(rf.RDB$FIELD_NAME) || ' ' || "
                       "f.RDB$FIELD_TYPE || ' ' || coalesce(f.RDB$CHARACTER_LENGTH, 0) || ' ' || "
                       "coalesce(f.RDB$CHARACTER_SET_ID, 0) || ' ' || coalesce(rf.RDB$NULL_FLAG, 0) "
                       "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                       "where rf.RDB$RELATION_NAME in ('FARBEN', 'BASEN', 'RGBCOLORS', 'KOMBIDATEN', 'MASTER') "
                       "or (rf.RDB$RELATION_NAME = 'KOLLEKTIONEN' and rf.RDB$FIELD_NAME = 'KIMPORT') "
                       "order by rf.RDB$RELATION_NAME, rf.RDB$FIELD_POSITION")))
        shape << row.at(0);
    for (const QStringList &row : QueryRows(
             path, QStringLiteral("select trim(i.RDB$INDEX_NAME) || ' ' || trim(i.RDB$RELATION_NAME) || ' ' || "
                                  "trim(s.RDB$FIELD_NAME) || ' ' || coalesce(i.RDB$UNIQUE_FLAG, 0) "
                                  "from RDB$INDICES i join RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
                                  "where i.RDB$RELATION_NAME in ('FARBEN', 'BASEN', 'RGBCOLORS', 'KOMBIDATEN') "
                                  "order by i.RDB$INDEX_NAME, s.RDB$FIELD_POSITION")))
        shape << row.at(0);
    for (const QStringList &row : QueryRows(
             path, QStringLiteral("select distinct trim(RDB$RELATION_NAME) || ' ' || trim(RDB$PRIVILEGE) "
                                  "from RDB$USER_PRIVILEGES where RDB$USER = 'QELMMASTER' and "
                                  "RDB$RELATION_NAME in ('FARBEN', 'BASEN', 'RGBCOLORS', 'KOMBIDATEN')")))
        shape << row.at(0);
    return shape;
}

// The shape a successful schema rebuild gives (INTEGER is type 8, VARCHAR 37;
// character set ASCII is 2; MASTER's BASENAME keeps its delivered width, which
// the server refuses to narrow).
QStringList RebuiltShape()
{
    QStringList shape{
        QStringLiteral("BASEN.BASEID 8 0 0 0"),         QStringLiteral("BASEN.BNAME 37 10 0 0"),
        QStringLiteral("FARBEN.FID 8 0 0 0"),           QStringLiteral("FARBEN.FNAME 37 50 0 0"),
        QStringLiteral("KOLLEKTIONEN.KIMPORT 37 1 2 0"), QStringLiteral("KOMBIDATEN.K_FID 8 0 0 0"),
        QStringLiteral("KOMBIDATEN.K_KID 8 0 0 0"),     QStringLiteral("KOMBIDATEN.K_PID 8 0 0 0"),
        QStringLiteral("KOMBIDATEN.K_COLORID 8 0 0 0"), QStringLiteral("KOMBIDATEN.K_BASEID 8 0 0 0"),
        QStringLiteral("KOMBIDATEN.K_FDETID 8 0 0 0"),  QStringLiteral("KOMBIDATEN.K_COST 8 0 0 0"),
        QStringLiteral("MASTER.COLORNAME 37 60 0 0"),   QStringLiteral("MASTER.COLORNUMBER 37 60 0 0"),
        QStringLiteral("MASTER.MFGPRODUCTNAME 37 60 0 0"), QStringLiteral("MASTER.PRODUCTID 8 0 0 0"),
        QStringLiteral("MASTER.RCOLOR 8 0 0 0"),        QStringLiteral("MASTER.GCOLOR 8 0 0 0"),
        QStringLiteral("MASTER.BCOLOR 8 0 0 0"),        QStringLiteral("MASTER.BASENAME 37 20 0 0"),
        QStringLiteral("MASTER.FORMULADETAILSKEY 8 0 0 0"), QStringLiteral("MASTER.COSTCODE 37 10 0 0"),
        QStringLiteral("RGBCOLORS.COLORID 8 0 0 1"),    QStringLiteral("RGBCOLORS.RCOLOR 8 0 0 0"),
        QStringLiteral("RGBCOLORS.GCOLOR 8 0 0 0"),     QStringLiteral("RGBCOLORS.BCOLOR 8 0 0 0"),
        QStringLiteral("BASEN_IDX1 BASEN BASEID 0"),    QStringLiteral("BASEN_IDX2 BASEN BNAME 0"),
        QStringLiteral("FARBEN_IDX1 FARBEN FNAME 0"),   QStringLiteral("FARBEN_IDX2 FARBEN FID 0"),
        QStringLiteral("KOMBIDATEN_IDX1 KOMBIDATEN K_FID 0"), QStringLiteral("KOMBIDATEN_IDX1 KOMBIDATEN K_KID 0"),
        QStringLiteral("KOMBIDATEN_IDX1 KOMBIDATEN K_PID 0"), QStringLiteral("KOMBIDATEN_IDX2 KOMBIDATEN K_FID 0"),
        QStringLiteral("KOMBIDATEN_IDX3 KOMBIDATEN K_KID 0"), QStringLiteral("KOMBIDATEN_IDX4 KOMBIDATEN K_PID 0"),
        QStringLiteral("RGBCOLORS_IDX1 RGBCOLORS COLORID 0"), QStringLiteral("RGBCOLORS_IDX2 RGBCOLORS RCOLOR 0"),
        QStringLiteral("RGBCOLORS_IDX2 RGBCOLORS GCOLOR 0"),  QStringLiteral("RGBCOLORS_IDX2 RGBCOLORS BCOLOR 0"),
    };
    for (const char *table : {"BASEN", "FARBEN", "KOMBIDATEN", "RGBCOLORS"})
        for (const char *privilege : {"D", "I", "R", "S", "U"})
            shape << QStringLiteral("%1 %2").arg(QLatin1String(table), QLatin1String(privilege));
    std::sort(shape.begin(), shape.end());
    return shape;
}

QStringList SortedShape(const QString &path)
{
    QStringList shape = SchemaShape(path);
    std::sort(shape.begin(), shape.end());
    return shape;
}

// The status texts of one lookup builder for n distinct values.
QStringList LookupStatuses(const QString &rowText, const QString &passText, int n)
{
    QStringList texts{QStringLiteral("SQL wird ausgeführt."), QStringLiteral("SQL beendet."),
                      QStringLiteral("Tabelle wird geleert."), QStringLiteral("Tabelle wird geöffnet.")};
    for (int id = 1; id <= n; ++id) {
        texts << rowText + QString::number(id);
        if (id % 500 == 0)
            texts << passText + QString::number(id - 1);
    }
    texts << QStringLiteral("Tabelle erstellt.");
    return texts;
}

// An imported database: the program tables hold the given rows.
void CreateImportedDatabase(const QString &path, const QStringList &rows)
{
    CreateEmptyDatabase(path);
    CreateImportedSchema(path);
    RunInOneTransaction(path, rows);
}

MasterRow Row(const QString &collection, const QString &shade, int product, std::optional<int> red,
              std::optional<int> green, std::optional<int> blue, const QString &base, int notice, const QString &cost)
{
    return {collection, shade, product, red, green, blue, base, notice, cost};
}

}  // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void fullRebuildFromGeneratedMaster();
    void schemaRebuild();
    void resumeWithNein();
    void combinationBuilderEdgeCases();
    void commitAndPumpingPoints();
    void logOfASmallRun();
    void collectionNames();
    void partlyConsumedMaster();
    void interruptedRebuildIsOffered();
    void runKeepsToItself();
    void importStartedInsideAListLoad();
    void emptyAndMissingStates();
};

void TestImport::fullRebuildFromGeneratedMaster()
{
    // 6 collections x 130 shades x 4 products: 3120 rows, 24 pairs of 130
    // rows, more than 500 shades and colours.
    const QList<MasterRow> rows = GeneratedMaster(6, 130, 4);
    const ExpectedImport expected(rows);
    QVERIFY(expected.farben.size() > 500 && expected.rgbcolors.size() > 500);
    ImportFixture f;
    CreateDeliveredDatabase(f.db(), rows);

    // The batch commits, seen from another connection when their pass text shows.
    QMap<QString, int> committedAt;
    f.onStatus = [&](const QString &text) {
        if (text == QStringLiteral("Durchlauf FARBEN: 499"))
            committedAt[text] = Count(f.db(), QStringLiteral("FARBEN"));
        if (text == QStringLiteral("Durchlauf RGB Colors: 499"))
            committedAt[text] = Count(f.db(), QStringLiteral("RGBCOLORS"));
        if (text == QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen"))
            committedAt[text] = Count(f.db(), QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KPID >= 0"));
    };
    f.Start();
    QVERIFY(f.ImportOffered());
    f.statuses.clear();
    f.Import();
    const QStringList statuses = f.statuses;
    f.Stop();

    QCOMPARE(f.boxes.size(), 2);
    const MessageBoxRequest &question = f.boxes.at(0);
    QCOMPARE(question.kind, MsgKind::Warning);
    QCOMPARE(question.caption, QStringLiteral("Warnung"));
    QCOMPARE(question.text, Question);
    QCOMPARE(question.buttons, (QList<MsgButton>{MsgButton::Yes, MsgButton::No}));
    QCOMPARE(question.defaultButton, MsgButton::Yes);
    QCOMPARE(question.escapeButton, MsgButton::No);
    QCOMPARE(f.boxes.at(1).kind, MsgKind::Information);
    QCOMPARE(f.boxes.at(1).caption, QStringLiteral("Informationen"));
    QCOMPARE(f.boxes.at(1).text, QStringLiteral("Fertig!"));
    QCOMPARE(f.boxes.at(1).buttons, QList<MsgButton>{MsgButton::Ok});

    QCOMPARE(QueryRows(f.db(), QStringLiteral("select FID, FNAME from FARBEN order by FID")), expected.farben);
    QCOMPARE(QueryRows(f.db(), QStringLiteral("select BASEID, BNAME from BASEN order by BASEID")), expected.basen);
    QCOMPARE(QueryRows(f.db(), QStringLiteral("select COLORID, RCOLOR, GCOLOR, BCOLOR from RGBCOLORS order by COLORID")),
             expected.rgbcolors);
    QCOMPARE(KollektionenRows(f.db()), expected.kollektionen);
    QCOMPARE(KombidatenRows(f.db()), expected.kombidaten);
    QCOMPARE(Count(f.db(), QStringLiteral("MASTER")), 0);
    QCOMPARE(SortedShape(f.db()), RebuiltShape());

    QCOMPARE(committedAt.value(QStringLiteral("Durchlauf FARBEN: 499")), 500);
    QCOMPARE(committedAt.value(QStringLiteral("Durchlauf RGB Colors: 499")), 500);
    // The first pass is durable before the second begins; the old rows
    // (none here) are gone with it.
    QCOMPARE(committedAt.value(QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen")), 6);

    QStringList lookups = LookupStatuses(QStringLiteral("Erstelle RGB-Farbsatz: "),
                                         QStringLiteral("Durchlauf RGB Colors: "), int(expected.rgbcolors.size())) +
                          LookupStatuses(QStringLiteral("Erstelle BASE-Satz:"), QStringLiteral("Durchlauf Basen: "),
                                         int(expected.basen.size())) +
                          LookupStatuses(QStringLiteral("Erstelle FARBE-Satz: "), QStringLiteral("Durchlauf FARBEN: "),
                                         int(expected.farben.size()));
    QStringList collections{QStringLiteral("SQL wird ausgeführt."), QStringLiteral("SQL wurde ausgeführt.")};
    for (int i = 1; i <= 6; ++i)
        collections << QStringLiteral("Erstelle KOLLEKTIONEN-Satz: %1").arg(i);
    collections << QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen") << QStringLiteral("SQL wird ausgeführt.")
                << QStringLiteral("SQL wurde ausgeführt.");
    for (int i = 1; i <= 24; ++i)
        collections << QStringLiteral("Erstelle KOLLEKTIONEN-Satz: %1").arg(i);
    const QStringList head = lookups + collections;
    QCOMPARE(statuses.mid(0, head.size()), head);
    // The combination builder follows; it ends the run.
    QCOMPARE(statuses.value(head.size()), QStringLiteral("SQL wird ausgeführt."));
    QCOMPARE(statuses.value(head.size() + 1), QStringLiteral("Tabelle wird geleert."));
    QCOMPARE(statuses.last(), QStringLiteral("Tabelle erstellt."));
    QCOMPARE(statuses.count(QStringLiteral("MASTER wird geöffnet...")), 24);
}

void TestImport::schemaRebuild()
{
    const QList<MasterRow> rows{Row(QStringLiteral("K"), QStringLiteral("S1"), 7, 1, 2, 3, QStringLiteral("A"), 0,
                                    QStringLiteral("1"))};
    ImportFixture f;
    CreateDeliveredDatabase(f.db(), rows);
    f.Start();
    // A delivered database: no program table yet, the drops fail silently.
    fmHaupt1->RecreateTables();
    QCOMPARE(SortedShape(f.db()), RebuiltShape());
    QVERIFY(f.boxes.isEmpty());
    QVERIFY(f.statuses.isEmpty());
    // Data survives in MASTER's kept columns.
    QCOMPARE(QueryRows(f.db(), QStringLiteral("select COLORNAME, COLORNUMBER, PRODUCTID, BASENAME from MASTER")),
             (QList<QStringList>{{QStringLiteral("K"), QStringLiteral("S1"), QStringLiteral("7"), QStringLiteral("A")}}));

    // Already in shape, with rows: the four tables come back empty; twice
    // gives the same shape as once.
    RunInOneTransaction(f.db(), {QStringLiteral("insert into FARBEN values (1, 'x')"),
                                 QStringLiteral("insert into BASEN values (1, 'x')"),
                                 QStringLiteral("insert into RGBCOLORS values (1, 1, 1, 1)"),
                                 QStringLiteral("insert into KOMBIDATEN values (1, 1, 1, 1, 1, 1, 1)")});
    fmHaupt1->RecreateTables();
    fmHaupt1->RecreateTables();
    QCOMPARE(SortedShape(f.db()), RebuiltShape());
    for (const char *table : {"FARBEN", "BASEN", "RGBCOLORS", "KOMBIDATEN"})
        QCOMPARE(Count(f.db(), QLatin1String(table)), 0);
    QVERIFY(f.boxes.isEmpty());

    // A user who may not change the schema: nothing changes, nothing is shown.
    RunInOneTransaction(f.db(), {QStringLiteral("insert into FARBEN values (1, 'bleibt')")});
    fmdm->ib1.SetConnected(false);
    fmdm->ib1.Params = QStringList{QStringLiteral("user_name=QELMMASTER"), QStringLiteral("password=MUBRELT"),
                                   QStringLiteral("lc_ctype=ASCII")};
    fmdm->ib1.SetConnected(true);
    fmdm->ibTa1.SetActive(true);
    fmHaupt1->RecreateTables();
    QCOMPARE(SortedShape(f.db()), RebuiltShape());
    QCOMPARE(Count(f.db(), QStringLiteral("FARBEN")), 1);
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(SchemaRebuildStatements().size(), 38);
    f.Stop();
}

void TestImport::resumeWithNein()
{
    // Lookups and collections as a full rebuild left them; pair (5, 1) is
    // built, (5, 2) and (6, 2) are pending; (6, 2) has an old combination.
    ImportFixture f;
    CreateImportedDatabase(
        f.db(), {QStringLiteral("insert into FARBEN values (1, 'Blau')"), QStringLiteral("insert into FARBEN values (2, 'Rot')"),
                 QStringLiteral("insert into BASEN values (1, 'BA')"), QStringLiteral("insert into BASEN values (2, 'BC')"),
                 QStringLiteral("insert into RGBCOLORS values (1, 0, 0, 255)"),
                 QStringLiteral("insert into RGBCOLORS values (2, 255, 0, 0)"),
                 QStringLiteral("insert into KOLLEKTIONEN values (0, 1, 'Eins', 'J')"),
                 QStringLiteral("insert into KOLLEKTIONEN values (0, 2, 'Zwei', 'J')"),
                 QStringLiteral("insert into KOLLEKTIONEN values (5, 1, 'Eins', 'J')"),
                 QStringLiteral("insert into KOLLEKTIONEN values (5, 2, 'Zwei', 'N')"),
                 QStringLiteral("insert into KOLLEKTIONEN values (6, 2, 'Zwei', 'N')"),
                 QStringLiteral("insert into KOMBIDATEN values (1, 2, 6, 1, 1, 0, 9)"),
                 QStringLiteral("insert into KOMBIDATEN values (2, 1, 5, 2, 2, 0, 4)"),
                 MasterInsert(Row(QStringLiteral("Eins"), QStringLiteral("Blau"), 5, 0, 0, 255, QStringLiteral("BA"), 0,
                                  QStringLiteral("1"))),
                 MasterInsert(Row(QStringLiteral("Zwei"), QStringLiteral("Blau"), 5, 0, 0, 255, QStringLiteral("BC"), 3,
                                  QStringLiteral("2"))),
                 MasterInsert(Row(QStringLiteral("Zwei"), QStringLiteral("Rot"), 5, 255, 0, 0, QStringLiteral("BA"), 0,
                                  QStringLiteral("3"))),
                 MasterInsert(Row(QStringLiteral("Zwei"), QStringLiteral("Rot"), 6, 255, 0, 0, QStringLiteral("BC"), 0,
                                  QStringLiteral("4")))});
    f.answers = {MsgButton::No};
    f.Start();
    QVERIFY(f.ImportOffered());
    f.Import();
    f.Stop();
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
    // Not partly consumed as far as the question can tell: the built pair
    // still has its MASTER row.
    QCOMPARE(f.boxes.at(0).defaultButton, MsgButton::Yes);
    QCOMPARE(KombidatenRows(f.db()),
             Sorted({{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("2"),
                      QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("4")},
                     {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5"), QStringLiteral("1"),
                      QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("2")},
                     {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("5"), QStringLiteral("2"),
                      QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("3")},
                     {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("6"), QStringLiteral("2"),
                      QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("4")}}));
    // The built pair's MASTER row stays: only pending pairs are consumed.
    QCOMPARE(QueryRows(f.db(), QStringLiteral("select COLORNAME, PRODUCTID from MASTER")),
             (QList<QStringList>{{QStringLiteral("Eins"), QStringLiteral("5")}}));
    QCOMPARE(Count(f.db(), QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KIMPORT <> 'J'")), 0);
}

void TestImport::combinationBuilderEdgeCases()
{
    // KID 1 missing RGB triple, 2 COSTCODE "3a", 3 a NULL channel, 4 twice
    // (two products), 5 no shade in FARBEN, 6 a name that would widen the
    // MASTER delete if pasted unquoted, 7 an umlaut, 8 a quote.
    const QString sneaky = QStringLiteral("Sechs' or COLORNAME <> 'x");
    const QList<MasterRow> master{
        Row(QStringLiteral("Eins"), QStringLiteral("Blau"), 1, 0, 0, 255, QStringLiteral("BA"), 0, QStringLiteral("1")),
        Row(QStringLiteral("Eins"), QStringLiteral("Rot"), 1, 9, 9, 9, QStringLiteral("BA"), 0, QStringLiteral("2")),
        Row(QStringLiteral("Eins"), QStringLiteral("Gelb"), 1, 255, 255, 0, QStringLiteral("BA"), 0, QStringLiteral("3")),
        Row(QStringLiteral("Zwei"), QStringLiteral("Blau"), 2, 0, 0, 255, QStringLiteral("BA"), 0, QStringLiteral("4")),
        Row(QStringLiteral("Zwei"), QStringLiteral("Rot"), 2, 255, 0, 0, QStringLiteral("BA"), 0, QStringLiteral("5")),
        Row(QStringLiteral("Zwei"), QStringLiteral("Gelb"), 2, 255, 255, 0, QStringLiteral("BA"), 0, QStringLiteral("3a")),
        Row(QStringLiteral("Drei"), QStringLiteral("Blau"), 3, 0, std::nullopt, 255, QStringLiteral("BA"), 0,
            QStringLiteral("1")),
        Row(QStringLiteral("Vier"), QStringLiteral("Blau"), 4, 0, 0, 255, QStringLiteral("BA"), 2, QStringLiteral("6")),
        Row(QStringLiteral("Vier"), QStringLiteral("Rot"), 3, 255, 0, 0, QStringLiteral("BA"), 0, QStringLiteral("7")),
        Row(QStringLiteral("Fünf"), QStringLiteral("Lila"), 5, 0, 0, 255, QStringLiteral("BA"), 0, QStringLiteral("1")),
        Row(sneaky, QStringLiteral("Rot"), 6, 255, 0, 0, QStringLiteral("BA"), 0, QStringLiteral("8")),
        Row(QStringLiteral("Wandgrün"), QStringLiteral("Gelb"), 7, 255, 255, 0, QStringLiteral("BA"), 0,
            QStringLiteral("9")),
        Row(QStringLiteral("Farben d'Italia"), QStringLiteral("Blau"), 8, 0, 0, 255, QStringLiteral("BA"), 1,
            QStringLiteral("2")),
    };
    QStringList rows{QStringLiteral("insert into FARBEN values (1, 'Blau')"),
                     QStringLiteral("insert into FARBEN values (2, 'Gelb')"),
                     QStringLiteral("insert into FARBEN values (3, 'Rot')"),
                     QStringLiteral("insert into BASEN values (1, 'BA')"),
                     QStringLiteral("insert into RGBCOLORS values (1, 0, 0, 255)"),
                     QStringLiteral("insert into RGBCOLORS values (2, 255, 0, 0)"),
                     QStringLiteral("insert into RGBCOLORS values (3, 255, 255, 0)")};
    const QList<std::pair<int, QString>> pairs{{1, QStringLiteral("Eins")}, {2, QStringLiteral("Zwei")},
                                               {3, QStringLiteral("Drei")}, {4, QStringLiteral("Vier")},
                                               {3, QStringLiteral("Vier")}, {5, QStringLiteral("Fünf")},
                                               {6, sneaky}, {7, QStringLiteral("Wandgrün")},
                                               {8, QStringLiteral("Farben d'Italia")}};
    int kid = 0;
    QString previous;
    for (const auto &[product, name] : pairs) {
        if (name != previous)
            ++kid;
        previous = name;
        rows << QStringLiteral("insert into KOLLEKTIONEN values (%1, %2, %3, 'N')").arg(product).arg(kid).arg(Literal(name));
    }
    for (const MasterRow &row : master)
        rows << MasterInsert(row);
    ImportFixture f;
    CreateImportedDatabase(f.db(), rows);
    f.answers = {MsgButton::No};
    f.Start();
    f.Import();
    f.Stop();

    QCOMPARE(f.boxes.size(), 5);
    QCOMPARE(f.boxes.at(0).text, Question);
    QCOMPARE(f.boxes.at(1).kind, MsgKind::Error);
    QCOMPARE(f.boxes.at(1).caption, QStringLiteral("Fehler"));
    QCOMPARE(f.boxes.at(1).text, QStringLiteral("FEHLER!"));
    QCOMPARE(f.boxes.at(1).buttons, QList<MsgButton>{MsgButton::Ok});
    QCOMPARE(f.boxes.at(2).kind, MsgKind::Error);
    QCOMPARE(f.boxes.at(2).text, QStringLiteral("Fehler: '3a' ist kein gültiger Integerwert\r\n\r\n"
                                                "Debug-Point: #007\r\n Produkt-ID: 2\r\n Kollektions-ID: 2\r\n"));
    QCOMPARE(f.boxes.at(3).kind, MsgKind::Error);
    QVERIFY2(f.boxes.at(3).text.startsWith(QStringLiteral("Fehler: ")) &&
                 f.boxes.at(3).text.endsWith(
                     QStringLiteral("\r\n\r\nDebug-Point: #002\r\n Produkt-ID: 3\r\n Kollektions-ID: 3\r\n")),
             qPrintable(f.boxes.at(3).text));
    QCOMPARE(f.boxes.at(4).text, QStringLiteral("Fertig!"));

    // K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST
    const auto combination = [](int fid, int k, int p, int color, int notice, int cost) {
        return QStringList{QString::number(fid), QString::number(k),      QString::number(p),
                           QString::number(color), QStringLiteral("1"), QString::number(notice),
                           QString::number(cost)};
    };
    QCOMPARE(KombidatenRows(f.db()), Sorted({combination(1, 1, 1, 1, 0, 1), combination(2, 1, 1, 3, 0, 3),
                                             combination(1, 2, 2, 1, 0, 4), combination(3, 2, 2, 2, 0, 5),
                                             combination(1, 4, 4, 1, 2, 6), combination(3, 4, 3, 2, 0, 7),
                                             combination(3, 6, 6, 2, 0, 8), combination(2, 7, 7, 3, 0, 9),
                                             combination(1, 8, 8, 1, 1, 2)}));
    // What stays in MASTER: the pairs whose guarded stretch failed, and only they.
    QCOMPARE(Sorted(QueryRows(f.db(), QStringLiteral("select COLORNAME, COLORNUMBER from MASTER"))),
             Sorted({{QStringLiteral("Zwei"), QStringLiteral("Blau")},
                     {QStringLiteral("Zwei"), QStringLiteral("Rot")},
                     {QStringLiteral("Zwei"), QStringLiteral("Gelb")},
                     {QStringLiteral("Drei"), QStringLiteral("Blau")}}));
    QCOMPARE(Count(f.db(), QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KIMPORT <> 'J'")), 0);
    QCOMPARE(Count(f.db(), QStringLiteral("KOLLEKTIONEN")), 9);
}

void TestImport::commitAndPumpingPoints()
{
    // Pair (1, 1) with 250 rows, then pair (2, 2) with 60.
    QStringList rows{QStringLiteral("insert into BASEN values (1, 'BA')"),
                     QStringLiteral("insert into RGBCOLORS values (1, 10, 20, 30)"),
                     QStringLiteral("insert into KOLLEKTIONEN values (1, 1, 'Groß', 'N')"),
                     QStringLiteral("insert into KOLLEKTIONEN values (2, 2, 'Klein', 'N')")};
    for (int i = 1; i <= 250; ++i)
        rows << QStringLiteral("insert into FARBEN values (%1, 'F%1')").arg(i);
    for (int i = 1; i <= 250; ++i)
        rows << MasterInsert(Row(QStringLiteral("Groß"), QStringLiteral("F%1").arg(i), 1, 10, 20, 30,
                                 QStringLiteral("BA"), 0, QStringLiteral("1")));
    for (int i = 1; i <= 60; ++i)
        rows << MasterInsert(Row(QStringLiteral("Klein"), QStringLiteral("F%1").arg(i), 2, 10, 20, 30,
                                 QStringLiteral("BA"), 0, QStringLiteral("2")));
    ImportFixture f;
    CreateImportedDatabase(f.db(), rows);
    f.answers = {MsgButton::No};
    f.Start();

    // Committed combinations when each row begins, seen from another connection.
    QList<int> committedAtRow;
    f.onStatus = [&](const QString &text) {
        if (text == QStringLiteral("Datensatz Produkt-ID: (0)") || text == QStringLiteral("Datensatz Produkt-ID: (1)") ||
            text == QStringLiteral("Datensatz Produkt-ID: (2)"))
            committedAtRow << Count(f.db(), QStringLiteral("KOMBIDATEN"));
    };
    // A zero-time timer fires once in every message pump.
    QStringList pumps;
    QTimer pumpProbe;
    pumpProbe.setInterval(0);
    QObject::connect(&pumpProbe, &QTimer::timeout, [&] { pumps << f.ui().sb1->currentMessage(); });
    pumpProbe.start();
    f.Import();
    pumpProbe.stop();
    const int committedAtEnd = Count(f.db(), QStringLiteral("KOMBIDATEN"));
    f.Stop();

    QCOMPARE(committedAtRow.size(), 310);
    for (int row = 1; row <= 310; ++row) {
        const int expected = row <= 250 ? (row - 1) / 100 * 100 : (row - 250 <= 50 ? 250 : 300);
        QVERIFY2(committedAtRow.at(row - 1) == expected,
                 qPrintable(QStringLiteral("row %1: %2 committed").arg(row).arg(committedAtRow.at(row - 1))));
    }
    QCOMPARE(committedAtEnd, 310);

    const QString opening = QStringLiteral("MASTER wird geöffnet...");
    const QString writing1 = QStringLiteral("Datensatz Produkt-ID: (1) Schreibe Kombidatensatu ");
    const QString writing2 = QStringLiteral("Datensatz Produkt-ID: (2) Schreibe Kombidatensatu ");
    QCOMPARE(pumps, (QStringList{opening, writing1, writing1, writing1, writing1, writing1,
                                 QStringLiteral("Lösche Datensätze Produkt-ID: (1)"), opening, writing2,
                                 QStringLiteral("Lösche Datensätze Produkt-ID: (2)"), QStringLiteral("Tabelle erstellt.")}));
}

void TestImport::logOfASmallRun()
{
    ImportFixture f;
    CreateImportedDatabase(
        f.db(), {QStringLiteral("insert into FARBEN values (1, 'Blau')"), QStringLiteral("insert into FARBEN values (2, 'Grün')"),
                 QStringLiteral("insert into BASEN values (1, 'BA')"),
                 QStringLiteral("insert into RGBCOLORS values (1, 0, 0, 255)"),
                 QStringLiteral("insert into RGBCOLORS values (2, 0, 255, 0)"),
                 QStringLiteral("insert into KOLLEKTIONEN values (4, 2, 'Wandgrün', 'N')"),
                 QStringLiteral("insert into KOLLEKTIONEN values (3, 3, 'Zeta', 'N')"),
                 MasterInsert(Row(QStringLiteral("Wandgrün"), QStringLiteral("Blau"), 4, 0, 0, 255,
                                  QStringLiteral("BA"), 0, QStringLiteral("1"))),
                 MasterInsert(Row(QStringLiteral("Wandgrün"), QStringLiteral("Grün"), 4, 0, 255, 0,
                                  QStringLiteral("BA"), 0, QStringLiteral("1"))),
                 MasterInsert(Row(QStringLiteral("Zeta"), QStringLiteral("Blau"), 3, 0, 0, 255, QStringLiteral("BA"),
                                  0, QStringLiteral("1")))});
    f.answers = {MsgButton::No};
    f.Start();
    f.Import();
    f.Stop();
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));

    const auto rgb = [](const QString &r, const QString &g, const QString &b) {
        return QStringLiteral("SQL: RGBCOLORS select * from RGBCOLORS\r\n where RCOLOR = %1\r\n   and GCOLOR = %2\r\n"
                              "   and BCOLOR = %3\r\n")
            .arg(r, g, b);
    };
    const QString read = QStringLiteral(
        "SQL: LESEN MASTER select COLORNUMBER,COLORNAME,COLORNUMBER,PRODUCTID,BASENAME,RCOLOR,GCOLOR,BCOLOR,"
        "FORMULADETAILSKEY,COSTCODE,FID,BASEID from MASTER,FARBEN,BASEN\r\nwhere PRODUCTID =%1\r\n"
        "and   COLORNAME ='%2'\r\nand   FNAME=COLORNUMBER\r\nand   BNAME=BASENAME\r\n");
    QCOMPARE(LogMessages(f.folder.path()),
             (QStringList{
                 QStringLiteral("START CreateTableKOMBIDATEN"),
                 QStringLiteral("SQL: KOLLEKTIONEN select * from KOLLEKTIONEN where KIMPORT<>'J'\r\nand KPID>0\r\n"
                                "order by KID\r\n"),
                 QStringLiteral("SQL: LÖSCHEN KOMBIDATEN delete from KOMBIDATEN\r\nwhere K_PID = 4\r\n"
                                "and   K_KID = 2\r\n"),
                 read.arg(QStringLiteral("4"), QStringLiteral("Wandgrün")),
                 rgb(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("255")),
                 rgb(QStringLiteral("0"), QStringLiteral("255"), QStringLiteral("0")),
                 QStringLiteral("SQL:MASTER:DELETE delete from MASTER\r\nwhere PRODUCTID =4\r\n"
                                "and   COLORNAME ='Wandgrün'\r\n"),
                 QStringLiteral("Neue Datei nach Produkt-ID 4"),
                 QStringLiteral("SQL: LÖSCHEN KOMBIDATEN delete from KOMBIDATEN\r\nwhere K_PID = 3\r\n"
                                "and   K_KID = 3\r\n"),
                 read.arg(QStringLiteral("3"), QStringLiteral("Zeta")),
                 rgb(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("255")),
                 QStringLiteral("SQL:MASTER:DELETE delete from MASTER\r\nwhere PRODUCTID =3\r\n"
                                "and   COLORNAME ='Zeta'\r\n"),
                 QStringLiteral("Neue Datei nach Produkt-ID 3"),
             }));
    QCOMPARE(Count(f.db(), QStringLiteral("KOMBIDATEN")), 3);
}

void TestImport::collectionNames()
{
    // A narrow KNAME: a longer collection name fits MASTER but not KNAME.
    ImportFixture f;
    CreateEmptyDatabase(f.db());
    QStringList schema = DeliveredSchemaStatements();
    for (QString &statement : schema)
        statement.replace(QStringLiteral("KNAME VARCHAR(60)"), QStringLiteral("KNAME VARCHAR(16)"));
    RunSql(f.db(), schema);
    const QList<MasterRow> rows{
        Row(QStringLiteral("Wandgrün"), QStringLiteral("A1"), 2, 1, 1, 1, QStringLiteral("B"), 0, QStringLiteral("1")),
        Row(QStringLiteral("Wandgrün"), QStringLiteral("A2"), 1, 2, 2, 2, QStringLiteral("B"), 0, QStringLiteral("2")),
        Row(QStringLiteral("Farben d'Italia"), QStringLiteral("A1"), 1, 1, 1, 1, QStringLiteral("B"), 0,
            QStringLiteral("3")),
        Row(QStringLiteral("Langername1234567890"), QStringLiteral("A2"), 1, 2, 2, 2, QStringLiteral("B"), 0,
            QStringLiteral("4")),
        Row(QStringLiteral("Wandgrün"), QStringLiteral("A1"), 2, 1, 1, 1, QStringLiteral("B"), 0, QStringLiteral("5")),
    };
    QStringList statements;
    for (const MasterRow &row : rows)
        statements << MasterInsert(row);
    RunInOneTransaction(f.db(), statements);
    f.Start();
    f.statuses.clear();
    f.Import();
    const QStringList statuses = f.statuses;
    f.Stop();
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
    // Ids in byte order: "Farben d'Italia" < "Langername123456" < "Wandgrün".
    QCOMPARE(KollektionenRows(f.db()),
             Sorted({{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("Farben d'Italia"), QStringLiteral("J")},
                     {QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("Langername123456"), QStringLiteral("J")},
                     {QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("Wandgrün"), QStringLiteral("J")},
                     {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("Farben d'Italia"), QStringLiteral("J")},
                     {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("Wandgrün"), QStringLiteral("J")},
                     {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("Wandgrün"), QStringLiteral("J")}}));
    // The long name found no collection row, so it never became a pair: its
    // MASTER row stays, everything else is consumed.
    QCOMPARE(QueryRows(f.db(), QStringLiteral("select COLORNAME from MASTER")),
             (QList<QStringList>{{QStringLiteral("Langername1234567890")}}));
    QCOMPARE(Count(f.db(), QStringLiteral("KOMBIDATEN")), 4);
    QCOMPARE(Count(f.db(), QStringLiteral("KOMBIDATEN"), QStringLiteral("K_KID = 3")), 3);
    // The second pass counts every pair, written or not.
    const qsizetype second = statuses.indexOf(QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen"));
    QCOMPARE(statuses.mid(second, 7),
             (QStringList{QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen"), QStringLiteral("SQL wird ausgeführt."),
                          QStringLiteral("SQL wurde ausgeführt."), QStringLiteral("Erstelle KOLLEKTIONEN-Satz: 1"),
                          QStringLiteral("Erstelle KOLLEKTIONEN-Satz: 2"), QStringLiteral("Erstelle KOLLEKTIONEN-Satz: 3"),
                          QStringLiteral("Erstelle KOLLEKTIONEN-Satz: 4")}));

    QCOMPARE(PairNameLiteral(QStringLiteral("Farben d'Italia  ")), QStringLiteral("Farben d''Italia"));
    // Leading blanks and control characters belong to the name: trimming
    // them would let " X" read and delete the rows of "X".
    QCOMPARE(PairNameLiteral(QStringLiteral(" X\t")), QStringLiteral(" X\t"));
}

void TestImport::partlyConsumedMaster()
{
    const QList<MasterRow> rows = GeneratedMaster(2, 3, 2);
    const ExpectedImport expected(rows);
    ImportFixture f;
    CreateDeliveredDatabase(f.db(), rows);
    f.Start();
    f.Import();
    f.Stop();
    QCOMPARE(KombidatenRows(f.db()), expected.kombidaten);
    // One pair pending again, its MASTER rows long gone.
    RunSql(f.db(), {QStringLiteral("update KOLLEKTIONEN set KIMPORT = 'N' where KPID > 0 and KID = 1 and KPID = %1")
                        .arg(rows.first().product)});

    // "&Ja", then "&Nein" to the confirmation: nothing happens.
    f.boxes.clear();
    f.answers = {MsgButton::Yes, MsgButton::No};
    f.Start();
    QVERIFY(f.ImportOffered());
    f.Import();
    f.Stop();
    QCOMPARE(f.boxes.size(), 2);
    QCOMPARE(f.boxes.at(0).text, Question);
    QCOMPARE(f.boxes.at(0).defaultButton, MsgButton::No);
    QCOMPARE(f.boxes.at(0).escapeButton, MsgButton::No);
    const MessageBoxRequest &confirm = f.boxes.at(1);
    QCOMPARE(confirm.kind, MsgKind::Warning);
    QCOMPARE(confirm.caption, QStringLiteral("Warnung"));
    QVERIFY(confirm.text.contains(QStringLiteral("MASTER")));
    QCOMPARE(confirm.buttons, (QList<MsgButton>{MsgButton::Yes, MsgButton::No}));
    QCOMPARE(confirm.defaultButton, MsgButton::No);
    QCOMPARE(confirm.escapeButton, MsgButton::No);
    QCOMPARE(KombidatenRows(f.db()), expected.kombidaten);
    QCOMPARE(Count(f.db(), QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KIMPORT = 'N'")), 1);

    // The default answer resumes: the pending pair's old combinations go and,
    // its MASTER rows being gone, none come back.
    f.boxes.clear();
    f.Start();
    f.Import();
    f.Stop();
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
    QCOMPARE(Count(f.db(), QStringLiteral("KOMBIDATEN")),
             int(expected.kombidaten.size()) - int(std::count_if(rows.begin(), rows.end(), [&](const MasterRow &r) {
                 return r.collection == rows.first().collection && r.product == rows.first().product;
             })));
    QCOMPARE(Count(f.db(), QStringLiteral("KOMBIDATEN"), QStringLiteral("K_KID = 1 and K_PID = %1").arg(rows.first().product)),
             0);

    // Confirmed twice, the rebuild runs on what MASTER holds: nothing.
    RunSql(f.db(), {QStringLiteral("update KOLLEKTIONEN set KIMPORT = 'N' where KPID > 0 and KID = 2")});
    f.boxes.clear();
    f.answers = {MsgButton::Yes, MsgButton::Yes};
    f.Start();
    f.Import();
    f.Stop();
    QCOMPARE(f.boxes.size(), 3);
    QCOMPARE(f.boxes.at(2).text, QStringLiteral("Fertig!"));
    QCOMPARE(Count(f.db(), QStringLiteral("KOMBIDATEN")), 0);
    QCOMPARE(Count(f.db(), QStringLiteral("KOLLEKTIONEN")), 0);
}

void TestImport::interruptedRebuildIsOffered()
{
    // A trigger fails the second pass of the collection builder: the run
    // ends after the collection rows are durable, before any pair is.
    const QList<MasterRow> rows = GeneratedMaster(3, 4, 2);
    const ExpectedImport expected(rows);
    ImportFixture f;
    CreateDeliveredDatabase(f.db(), rows);
    RunSql(f.db(), {QStringLiteral("CREATE EXCEPTION STOPPED 'stopped'"),
                    QStringLiteral("CREATE TRIGGER STOP_PAIRS FOR KOLLEKTIONEN BEFORE INSERT AS BEGIN "
                                   "IF (NEW.KPID > 0) THEN EXCEPTION STOPPED; END")});
    bool markDurable = false;
    int pendingDurable = -1;
    f.Start();
    f.Import();
    // Seen from another connection while the program still runs.
    {
        TIBDatabase db;
        TIBTransaction tr(&db);
        TIBQuery query(QStringLiteral("qrCheck"), &db, &tr);
        db.DatabaseName = f.db();
        db.Params = QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("lc_ctype=ASCII")};
        db.DefaultTransaction = &tr;
        markDurable = ImportInterrupted(query);
        pendingDurable = Count(f.db(), QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KIMPORT <> 'J' and KPID > 0"));
    }
    QCOMPARE(f.boxes.size(), 2);
    QCOMPARE(f.boxes.at(1).kind, MsgKind::General);
    QVERIFY(f.boxes.at(1).text.contains(QStringLiteral("stopped")));
    QVERIFY(markDurable);
    QCOMPARE(pendingDurable, 0);
    QCOMPARE(Count(f.db(), QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KPID = 0")), 3);
    f.Stop();

    // Without the mark the start-up would hide the button; with it the
    // import is offered and its default answer finishes the rebuild.
    RunSql(f.db(), {QStringLiteral("DROP TRIGGER STOP_PAIRS")});
    f.boxes.clear();
    f.Start();
    QVERIFY(f.ImportOffered());
    f.Import();
    f.Stop();
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
    QCOMPARE(f.boxes.at(0).defaultButton, MsgButton::Yes);
    QCOMPARE(KollektionenRows(f.db()), expected.kollektionen);
    QCOMPARE(KombidatenRows(f.db()), expected.kombidaten);

    // Done: nothing pending, no mark, the button stays hidden.
    f.boxes.clear();
    f.Start();
    QVERIFY(!f.ImportOffered());
    QVERIFY(!ImportInterrupted(fmdm->qrS));
    f.Stop();
    QVERIFY(f.boxes.isEmpty());
}

void TestImport::runKeepsToItself()
{
    const QList<MasterRow> rows = GeneratedMaster(2, 60, 2);
    const ExpectedImport expected(rows);
    ImportFixture f;
    CreateDeliveredDatabase(f.db(), rows);
    f.Start();
    QVERIFY(f.ImportOffered());
    QCOMPARE(f.ui().lbSel->count(), 4);

    // A search typed just before the click waits for the end of the run.
    QTest::keyClicks(f.ui().edSelProd, QStringLiteral("13"));
    QVERIFY(fmHaupt1->tmSuchen->Enabled());

    // At the run's pumping points: a second click, typing, a double-click
    // and the wheel all reach the window, and none may start anything.
    int pumpsInRun = 0;
    bool timerRan = false;
    bool listTouched = false;
    bool inputEnabled = false;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        ++pumpsInRun;
        timerRan = timerRan || fmHaupt1->tmSuchen->Enabled() || fmHaupt1->tmRSuchen->Enabled();
        inputEnabled = inputEnabled || f.ui().edSelProd->isEnabled() || f.ui().btImportMaster->isEnabled();
        listTouched = listTouched || f.ui().lbSel->count() != 4 || fmHaupt1->SearchLevel != 0;
        QTest::mouseClick(f.ui().btImportMaster, Qt::LeftButton);
        fmHaupt1->btImportMasterClick();
        QTest::keyClicks(f.ui().edSelProd, QStringLiteral("1"));
        QTest::keyClick(f.ui().edSelProd, Qt::Key_Return);
        QTest::mouseDClick(f.ui().lbSel->viewport(), Qt::LeftButton, {}, f.ui().lbSel->visualItemRect(f.ui().lbSel->item(0)).center());
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(f.ui().lbSel->viewport(), &wheel);
    });
    probe.start();
    f.Import();
    probe.stop();

    QVERIFY(pumpsInRun > 10);
    QVERIFY(!timerRan);
    QVERIFY(!inputEnabled);
    QVERIFY(!listTouched);
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
    QVERIFY(f.ui().edSelProd->isEnabled());
    QCOMPARE(f.ui().edSelProd->text(), QStringLiteral("13"));
    // The held search runs now.
    QVERIFY(fmHaupt1->tmSuchen->Enabled());
    QTRY_COMPARE(ProgramRun::Rows(f.ui().lbSel), QStringList{QStringLiteral("Produkt 13")});
    f.Stop();
    QCOMPARE(KollektionenRows(f.db()), expected.kollektionen);
    QCOMPARE(KombidatenRows(f.db()), expected.kombidaten);
    QCOMPARE(Count(f.db(), QStringLiteral("MASTER")), 0);
}

void TestImport::importStartedInsideAListLoad()
{
    // The click arrives while a list load pumps messages: the import runs
    // there, and the load must not read the import's qrS afterwards.
    const QList<MasterRow> rows = GeneratedMaster(3, 10, 2);
    const ExpectedImport expected(rows);
    ImportFixture f;
    CreateDeliveredDatabase(f.db(), rows);
    f.Start();
    bool imported = false;
    QTimer::singleShot(0, [&] {
        f.Import();
        imported = true;
    });
    QVERIFY(f.run->Choose(f.ui().lbSel, QStringLiteral("Produkt 10")));
    QVERIFY(imported);
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
    f.Stop();
    QCOMPARE(KombidatenRows(f.db()), expected.kombidaten);
    QCOMPARE(Count(f.db(), QStringLiteral("MASTER")), 0);
}

void TestImport::emptyAndMissingStates()
{
    {
        // "&Ja" on an empty MASTER.
        ImportFixture f;
        CreateDeliveredDatabase(f.db(), {});
        f.Start();
        QVERIFY(f.ImportOffered());
        f.statuses.clear();
        f.Import();
        f.Stop();
        QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
        for (const char *table : {"FARBEN", "BASEN", "RGBCOLORS", "KOLLEKTIONEN", "KOMBIDATEN"})
            QCOMPARE(Count(f.db(), QLatin1String(table)), 0);
        QCOMPARE(f.statuses.mid(0, 5), LookupStatuses(QStringLiteral("Erstelle RGB-Farbsatz: "), QString(), 0));
        QCOMPARE(f.statuses.last(), QStringLiteral("Tabelle erstellt."));
        // The run left no mark: nothing to offer any more.
        f.Start();
        QVERIFY(!f.ImportOffered());
        f.Stop();
    }
    {
        // "&Nein" with no pending pair.
        ImportFixture f;
        CreateImportedDatabase(f.db(), {QStringLiteral("insert into KOLLEKTIONEN values (1, 1, 'K', 'J')")});
        f.answers = {MsgButton::No};
        f.Start();
        QVERIFY(!f.ImportOffered());
        f.statuses.clear();
        fmHaupt1->btImportMasterClick();
        f.Stop();
        QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
        QCOMPARE(f.statuses, (QStringList{QStringLiteral("SQL wird ausgeführt."), QStringLiteral("Tabelle erstellt.")}));
        QCOMPARE(LogMessages(f.folder.path()),
                 (QStringList{QStringLiteral("START CreateTableKOMBIDATEN"),
                              QStringLiteral("SQL: KOLLEKTIONEN select * from KOLLEKTIONEN where KIMPORT<>'J'\r\n"
                                             "and KPID>0\r\norder by KID\r\n")}));
    }
    {
        // "&Nein" on a database without KIMPORT: the error box, no "Fertig!".
        ImportFixture f;
        CreateDeliveredDatabase(f.db(), GeneratedMaster(1, 2, 1));
        f.answers = {MsgButton::No};
        f.Start();
        f.Import();
        f.Stop();
        QCOMPARE(f.boxes.size(), 2);
        QCOMPARE(f.boxes.at(1).kind, MsgKind::General);
        QVERIFY(f.boxes.at(1).text.toUpper().contains(QStringLiteral("KIMPORT")));
        QCOMPARE(Count(f.db(), QStringLiteral("MASTER")), 2);
    }
}

IMPORT_TEST_MAIN(TestImport)
#include "test_import.moc"
