// The master import on real database files: full rebuilds, resumed runs, the
// combination builder's edge cases, its commit and pumping points, its log,
// the safeguards around interrupted and partly consumed imports, and a run
// that keeps to itself while the window handles messages.
#include "ui_fmHaupt.h"
#include "test_import_fixture.h"

#include "data/credentials.h"
#include "import/masterimport.h"

#include <QListWidget>
#include <QProgressBar>
#include <QTimer>
#include <QWheelEvent>

// Boxes compare field by field; QCOMPARE finds these through the type.
static bool operator==(const MessageBoxRequest &a, const MessageBoxRequest &b)
{
    return std::tie(a.kind, a.caption, a.text, a.buttons, a.defaultButton, a.escapeButton) ==
           std::tie(b.kind, b.caption, b.text, b.buttons, b.defaultButton, b.escapeButton);
}

static char *toString(const MessageBoxRequest &box)
{
    return QTest::toString(
        QStringLiteral("%1 %2 %3: %4").arg(int(box.kind)).arg(int(box.defaultButton)).arg(box.caption, box.text));
}

namespace {

// A "Warnung" box with "&Ja" and "&Nein", Escape answering "&Nein".
MessageBoxRequest YesNo(const QString &text, MsgButton defaultButton)
{
    return {MsgKind::Warning, "Warnung", text, {MsgButton::Yes, MsgButton::No}, defaultButton, MsgButton::No};
}

// The shape of the program's tables and of MASTER, as read from the catalogue, sorted.
QStringList SchemaShape(const QString &path)
{
    QStringList shape;
    for (const char *select :
         {"select trim(rf.RDB$RELATION_NAME) || '.' || trim(rf.RDB$FIELD_NAME) || ' ' || f.RDB$FIELD_TYPE || ' ' || "
          "coalesce(f.RDB$CHARACTER_LENGTH, 0) || ' ' || coalesce(f.RDB$CHARACTER_SET_ID, 0) || ' ' || "
          "coalesce(rf.RDB$NULL_FLAG, 0) from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = "
          "rf.RDB$FIELD_SOURCE where rf.RDB$RELATION_NAME in ('FARBEN', 'BASEN', 'RGBCOLORS', 'KOMBIDATEN', 'MASTER') "
          "or (rf.RDB$RELATION_NAME = 'KOLLEKTIONEN' and rf.RDB$FIELD_NAME = 'KIMPORT')",
          "select trim(i.RDB$INDEX_NAME) || ' ' || trim(i.RDB$RELATION_NAME) || ' ' || trim(s.RDB$FIELD_NAME) || ' ' || "
          "coalesce(i.RDB$UNIQUE_FLAG, 0) from RDB$INDICES i join RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = "
          "i.RDB$INDEX_NAME where i.RDB$RELATION_NAME in ('FARBEN', 'BASEN', 'RGBCOLORS', 'KOMBIDATEN')",
          "select distinct trim(RDB$RELATION_NAME) || ' ' || trim(RDB$PRIVILEGE) from RDB$USER_PRIVILEGES where "
          "RDB$USER = 'QELMMASTER' and RDB$RELATION_NAME in ('FARBEN', 'BASEN', 'RGBCOLORS', 'KOMBIDATEN')"})
        for (const QStringList &row : QueryRows(path, QString::fromUtf8(select)))
            shape << row.at(0);
    std::sort(shape.begin(), shape.end());
    return shape;
}

// The shape a successful schema rebuild gives (INTEGER is type 8, VARCHAR 37;
// character set ASCII is 2; MASTER's BASENAME keeps its delivered width, which
// the server refuses to narrow).
QStringList RebuiltShape()
{
    QStringList shape = QStringLiteral(
        "BASEN.BASEID 8 0 0 0;BASEN.BNAME 37 10 0 0;FARBEN.FID 8 0 0 0;FARBEN.FNAME 37 50 0 0;"
        "KOLLEKTIONEN.KIMPORT 37 1 2 0;MASTER.COLORNAME 37 60 0 0;MASTER.COLORNUMBER 37 60 0 0;"
        "MASTER.MFGPRODUCTNAME 37 60 0 0;MASTER.PRODUCTID 8 0 0 0;MASTER.RCOLOR 8 0 0 0;MASTER.GCOLOR 8 0 0 0;"
        "MASTER.BCOLOR 8 0 0 0;MASTER.BASENAME 37 20 0 0;MASTER.FORMULADETAILSKEY 8 0 0 0;MASTER.COSTCODE 37 10 0 0;"
        "RGBCOLORS.COLORID 8 0 0 1;RGBCOLORS.RCOLOR 8 0 0 0;RGBCOLORS.GCOLOR 8 0 0 0;RGBCOLORS.BCOLOR 8 0 0 0;"
        "BASEN_IDX1 BASEN BASEID 0;BASEN_IDX2 BASEN BNAME 0;FARBEN_IDX1 FARBEN FNAME 0;FARBEN_IDX2 FARBEN FID 0;"
        "KOMBIDATEN_IDX1 KOMBIDATEN K_FID 0;KOMBIDATEN_IDX1 KOMBIDATEN K_KID 0;KOMBIDATEN_IDX1 KOMBIDATEN K_PID 0;"
        "KOMBIDATEN_IDX2 KOMBIDATEN K_FID 0;KOMBIDATEN_IDX3 KOMBIDATEN K_KID 0;KOMBIDATEN_IDX4 KOMBIDATEN K_PID 0;"
        "RGBCOLORS_IDX1 RGBCOLORS COLORID 0;RGBCOLORS_IDX2 RGBCOLORS RCOLOR 0;RGBCOLORS_IDX2 RGBCOLORS GCOLOR 0;"
        "RGBCOLORS_IDX2 RGBCOLORS BCOLOR 0").split(QLatin1Char(';'));
    for (const char *column : {"FID", "KID", "PID", "COLORID", "BASEID", "FDETID", "COST"})
        shape << QStringLiteral("KOMBIDATEN.K_%1 8 0 0 0").arg(QLatin1String(column));
    for (const char *table : {"BASEN", "FARBEN", "KOMBIDATEN", "RGBCOLORS"})
        for (const char *privilege : {"D", "I", "R", "S", "U"})
            shape << QStringLiteral("%1 %2").arg(QLatin1String(table), QLatin1String(privilege));
    std::sort(shape.begin(), shape.end());
    return shape;
}

// The status texts that every run shows: those that change with every row
// are shown only as often as a person can read them.
QStringList Milestones(const QStringList &statuses)
{
    QStringList milestones;
    for (const QString &text : statuses)
        if (!text.startsWith(QLatin1String("Erstelle ")) && !text.startsWith(QLatin1String("Datensatz Produkt-ID")))
            milestones << text;
    return milestones;
}

// The milestones of one lookup builder for n distinct values.
QStringList LookupStatuses(const QString &passText, qsizetype n)
{
    QStringList texts{"SQL wird ausgeführt.", "SQL beendet.", "Tabelle wird geleert.", "Tabelle wird geöffnet."};
    for (qsizetype id = 500; id <= n; id += 500)
        texts << passText + QString::number(id - 1);
    return texts << "Tabelle erstellt.";
}

// An imported database: the program tables hold the given rows.
void CreateImportedDatabase(const QString &path, const QStringList &rows)
{
    CreateEmptyDatabase(path);
    CreateImportedSchema(path);
    RunInOneTransaction(path, rows);
}

}  // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void fullRebuildFromGeneratedMaster();
    void schemaRebuild();
    void resumeWithNein();
    void combinationBuilderEdgeCases();
    void scatteredPairsKeepTheirRows();
    void commitAndPumpingPoints();
    void logOfASmallRun();
    void collectionNames();
    void partlyConsumedMaster();
    void interruptedRebuildIsOffered();
    void runKeepsToItself();
    void importStartedInsideAListLoad();
    void emptyAndMissingStates();
    void damagedMasterChangesNothing();
    void rebuildLeavesNoGarbage();
};

void TestImport::fullRebuildFromGeneratedMaster()
{
    // 3120 rows: 24 pairs of 130 rows, more than 500 shades and colours.
    const QList<MasterRow> rows = GeneratedMaster(6, 130, 4);
    const ExpectedImport expected(rows);
    ImportFixture f(rows);
    // The batch commits, seen from another connection when their pass text
    // shows; the first collection pass is durable before the second begins.
    const QMap<QString, QString> watched{{"Durchlauf FARBEN: 499", "FARBEN"},
                                         {"Durchlauf RGB Colors: 499", "RGBCOLORS"},
                                         {"Erzeuge Vorwärtssuche: Kollektionen", "KOLLEKTIONEN where KPID >= 0"}};
    QMap<QString, int> committedAt;
    // The progress bar beside the status text: the step, and for the
    // combinations the pairs done of the pairs pending.
    QStringList steps;
    int pairsDone = -1, pairsPending = 0;
    f.onStatus = [&](const QString &text) {
        if (watched.contains(text))
            committedAt[text] = Count(f.db(), watched.value(text));
        const auto *bar = fmHaupt1->findChild<QProgressBar *>(QStringLiteral("pbImport"));
        QVERIFY(bar && bar->isVisible());
        const QString step = bar->format().section(QLatin1Char(':'), 0, 0);
        if (steps.isEmpty() || steps.last() != step)
            steps << step;
        if (step == QStringLiteral("Kombinationen")) {
            QVERIFY(bar->value() >= pairsDone);
            pairsDone = bar->value();
            pairsPending = bar->maximum();
        }
    };
    f.Start();
    QVERIFY(f.ImportOffered());
    f.Import();
    const QStringList statuses = f.statuses;
    QVERIFY(!fmHaupt1->findChild<QProgressBar *>(QStringLiteral("pbImport"))->isVisible());
    f.Stop();
    QCOMPARE(steps, (QStringList{"RGB-Farben", "Basen", "Farbtöne", "Kollektionen", "Kombinationen"}));
    QCOMPARE(pairsPending, 24);
    QCOMPARE(pairsDone, 23);

    QCOMPARE(f.boxes.size(), 2);
    QCOMPARE(f.boxes.at(0), YesNo(Question, MsgButton::Yes));
    const MessageBoxRequest &done = f.boxes.at(1);
    QVERIFY(done.kind == MsgKind::Information && done.caption == QStringLiteral("Informationen") &&
            done.text == QStringLiteral("Fertig!") && done.buttons == QList<MsgButton>{MsgButton::Ok});
    QCOMPARE(ImportedTables(f.db()), expected.Tables());
    QCOMPARE(SchemaShape(f.db()), RebuiltShape());
    QCOMPARE(committedAt, (QMap<QString, int>{{"Durchlauf FARBEN: 499", 500}, {"Durchlauf RGB Colors: 499", 500},
                                              {"Erzeuge Vorwärtssuche: Kollektionen", 6}}));

    const QStringList head = LookupStatuses("Durchlauf RGB Colors: ", expected.rgbcolors.size()) +
                             LookupStatuses("Durchlauf Basen: ", expected.basen.size()) +
                             LookupStatuses("Durchlauf FARBEN: ", expected.farben.size()) +
                             QStringList{"SQL wird ausgeführt.", "SQL wurde ausgeführt.",
                                         "Erzeuge Vorwärtssuche: Kollektionen", "SQL wird ausgeführt.",
                                         "SQL wurde ausgeführt.",
                                         // The combination builder follows; it ends the run.
                                         "SQL wird ausgeführt.", "Tabelle wird geleert."};
    const QStringList milestones = Milestones(statuses);
    QCOMPARE(milestones.mid(0, head.size()), head);
    QCOMPARE(milestones.last(), QStringLiteral("Tabelle erstellt."));
    QCOMPARE(milestones.count(QStringLiteral("MASTER wird geöffnet...")), 24);
    // The row texts that did show belong to their steps.
    for (const QString &text : statuses)
        QVERIFY2(!text.startsWith(QLatin1String("Erstelle")) ||
                     QRegularExpression(QStringLiteral("^Erstelle (RGB-Farbsatz: |BASE-Satz:|FARBE-Satz: |"
                                                       "KOLLEKTIONEN-Satz: )[1-9][0-9]*$"))
                         .match(text)
                         .hasMatch(),
                 qPrintable(text));
    // The log: each pair's statements and one colour lookup per row, in the
    // pairs' collection order.
    QCOMPARE(LogMessages(f.folder.path()), ExpectedLog(rows));
}

void TestImport::schemaRebuild()
{
    // An older version's tables: columns of other types, widths and order,
    // one too many, an index on a column that goes, NOT NULL missing, one
    // table missing. Altered into shape, emptied, the missing one made.
    {
        ImportFixture old({{"K", "S1", 7, 1, 2, 3, "A", 0, "1"}});
        RunSql(old.db(), {"CREATE TABLE FARBEN (FNAME VARCHAR(40), FID INTEGER)",
                          "CREATE INDEX FARBEN_IDX1 ON FARBEN (FNAME)",
                          "CREATE TABLE BASEN (BASEID INTEGER, BNAME VARCHAR(30), ALT INTEGER)",
                          "CREATE TABLE RGBCOLORS (COLORID INTEGER, RCOLOR INTEGER, GCOLOR INTEGER, BCOLOR INTEGER)",
                          "insert into FARBEN values ('alt', 1)", "insert into BASEN values (1, 'alt', 2)",
                          "insert into RGBCOLORS values (1, 1, 1, 1)"});
        old.Start();
        MasterImport(*fmdm, *fmHaupt1).RecreateTables();
        old.Stop();
        QCOMPARE(SchemaShape(old.db()), RebuiltShape());
        for (const char *table : {"FARBEN", "BASEN", "RGBCOLORS", "KOMBIDATEN"})
            QCOMPARE(Count(old.db(), QLatin1String(table)), 0);
    }

    ImportFixture f({{"K", "S1", 7, 1, 2, 3, "A", 0, "1"}});
    f.Start();
    // A delivered database: no program table yet, they are made.
    MasterImport(*fmdm, *fmHaupt1).RecreateTables();
    QCOMPARE(SchemaShape(f.db()), RebuiltShape());
    // Data survives in MASTER's kept columns.
    QCOMPARE(QueryRows(f.db(), "select COLORNAME, COLORNUMBER, PRODUCTID, BASENAME from MASTER"), Table("K S1 7 A"));

    // Already in shape, with rows: the four tables come back empty; twice
    // gives the same shape as once.
    RunInOneTransaction(f.db(), {"insert into FARBEN values (1, 'x')", "insert into BASEN values (1, 'x')",
                                 "insert into RGBCOLORS values (1, 1, 1, 1)",
                                 "insert into KOMBIDATEN values (1, 1, 1, 1, 1, 1, 1)"});
    MasterImport(*fmdm, *fmHaupt1).RecreateTables();
    MasterImport(*fmdm, *fmHaupt1).RecreateTables();
    QCOMPARE(SchemaShape(f.db()), RebuiltShape());
    for (const char *table : {"FARBEN", "BASEN", "RGBCOLORS", "KOMBIDATEN"})
        QCOMPARE(Count(f.db(), QLatin1String(table)), 0);

    // A user who may not change the schema: the shape stays, nothing is
    // shown, and the tables are emptied all the same (that needs no right
    // on the schema).
    RunInOneTransaction(f.db(), {"insert into FARBEN values (1, 'weg')"});
    fmdm->ib1.SetConnected(false);
    fmdm->ib1.Params = ProgramUserParams;
    fmdm->ib1.SetConnected(true);
    fmdm->ibTa1.SetActive(true);
    MasterImport(*fmdm, *fmHaupt1).RecreateTables();
    QCOMPARE(SchemaShape(f.db()), RebuiltShape());
    QCOMPARE(Count(f.db(), "FARBEN"), 0);
    QVERIFY(f.boxes.isEmpty());
    QVERIFY(f.statuses.isEmpty());
    f.Stop();
}

void TestImport::resumeWithNein()
{
    // Lookups and collections as a full rebuild left them; pair (5, 1) is
    // built, (5, 2) and (6, 2) are pending; (6, 2) has an old combination.
    ImportFixture f;
    CreateImportedDatabase(f.db(), {"insert into FARBEN values (1, 'Blau')", "insert into FARBEN values (2, 'Rot')",
                 "insert into BASEN values (1, 'BA')", "insert into BASEN values (2, 'BC')",
                 "insert into RGBCOLORS values (1, 0, 0, 255)", "insert into RGBCOLORS values (2, 255, 0, 0)",
                 "insert into KOLLEKTIONEN values (0, 1, 'Eins', 'J')", "insert into KOLLEKTIONEN values (0, 2, 'Zwei', 'J')",
                 "insert into KOLLEKTIONEN values (5, 1, 'Eins', 'J')", "insert into KOLLEKTIONEN values (5, 2, 'Zwei', 'N')",
                 "insert into KOLLEKTIONEN values (6, 2, 'Zwei', 'N')",
                 "insert into KOMBIDATEN values (1, 2, 6, 1, 1, 0, 9)", "insert into KOMBIDATEN values (2, 1, 5, 2, 2, 0, 4)",
                 MasterInsert({"Eins", "Blau", 5, 0, 0, 255, "BA", 0, "1"}),
                 MasterInsert({"Zwei", "Blau", 5, 0, 0, 255, "BC", 3, "2"}),
                 MasterInsert({"Zwei", "Rot", 5, 255, 0, 0, "BA", 0, "3"}),
                 MasterInsert({"Zwei", "Rot", 6, 255, 0, 0, "BC", 0, "4"})});
    f.answers = {MsgButton::No};
    f.Start();
    QVERIFY(f.ImportOffered());
    f.Import();
    f.Stop();
    QCOMPARE(f.BoxTexts(), AskedAndDone);
    // Not partly consumed as far as the question can tell: the built pair
    // still has its MASTER row.
    QCOMPARE(f.boxes.at(0).defaultButton, MsgButton::Yes);
    QCOMPARE(KombidatenRows(f.db()), Table("2 1 5 2 2 0 4; 1 2 5 1 2 3 2; 2 2 5 2 1 0 3; 2 2 6 2 2 0 4"));
    // The built pair's MASTER row stays: only pending pairs are consumed.
    QCOMPARE(QueryRows(f.db(), "select COLORNAME, PRODUCTID from MASTER"), Table("Eins 5"));
    QCOMPARE(Count(f.db(), "KOLLEKTIONEN", "KIMPORT <> 'J'"), 0);
}

void TestImport::combinationBuilderEdgeCases()
{
    // KID 1 missing RGB triple, 2 COSTCODE "3a", 3 a NULL channel, 4 twice
    // (two products), 5 no shade in FARBEN, 6 a name that would widen the
    // MASTER delete if pasted unquoted, 7 an umlaut, 8 a quote.
    const QString sneaky = QStringLiteral("Sechs' or COLORNAME <> 'x");
    const QList<MasterRow> master{
        {"Eins", "Blau", 1, 0, 0, 255, "BA", 0, "1"},     {"Eins", "Rot", 1, 9, 9, 9, "BA", 0, "2"},
        {"Eins", "Gelb", 1, 255, 255, 0, "BA", 0, "3"},   {"Zwei", "Blau", 2, 0, 0, 255, "BA", 0, "4"},
        {"Zwei", "Rot", 2, 255, 0, 0, "BA", 0, "5"},      {"Zwei", "Gelb", 2, 255, 255, 0, "BA", 0, "3a"},
        {"Drei", "Blau", 3, 0, std::nullopt, 255, "BA", 0, "1"},
        {"Vier", "Blau", 4, 0, 0, 255, "BA", 2, "6"},     {"Vier", "Rot", 3, 255, 0, 0, "BA", 0, "7"},
        {"Fünf", "Lila", 5, 0, 0, 255, "BA", 0, "1"},     {sneaky, "Rot", 6, 255, 0, 0, "BA", 0, "8"},
        {"Wandgrün", "Gelb", 7, 255, 255, 0, "BA", 0, "9"}, {"Farben d'Italia", "Blau", 8, 0, 0, 255, "BA", 1, "2"},
    };
    QStringList rows{"insert into FARBEN values (1, 'Blau')",        "insert into FARBEN values (2, 'Gelb')",
                     "insert into FARBEN values (3, 'Rot')",         "insert into BASEN values (1, 'BA')",
                     "insert into RGBCOLORS values (1, 0, 0, 255)",  "insert into RGBCOLORS values (2, 255, 0, 0)",
                     "insert into RGBCOLORS values (3, 255, 255, 0)"};
    const QList<std::pair<int, QString>> pairs{{1, "Eins"}, {2, "Zwei"}, {3, "Drei"}, {4, "Vier"}, {3, "Vier"},
                                               {5, "Fünf"}, {6, sneaky}, {7, "Wandgrün"}, {8, "Farben d'Italia"}};
    int kid = 0;
    QString previous;
    for (const auto &[product, name] : pairs) {
        kid += name != previous;
        previous = name;
        rows << QStringLiteral("insert into KOLLEKTIONEN values (%1, %2, %3, 'N')")
                    .arg(product)
                    .arg(kid)
                    .arg(QuotedLiteral(name));
    }
    for (const MasterRow &row : master)
        rows << MasterInsert(row);
    ImportFixture f;
    CreateImportedDatabase(f.db(), rows);
    f.answers = {MsgButton::No};
    f.RunImport();

    QCOMPARE(f.boxes.size(), 5);
    QCOMPARE(f.boxes.at(0).text, Question);
    const MessageBoxRequest &failed = f.boxes.at(1);
    QVERIFY(failed.kind == MsgKind::Error && failed.caption == QStringLiteral("Fehler") &&
            failed.text == QStringLiteral("FEHLER!") && failed.buttons == QList<MsgButton>{MsgButton::Ok});
    QCOMPARE(f.boxes.at(2).kind, MsgKind::Error);
    QCOMPARE(f.boxes.at(2).text, QStringLiteral("Fehler: '3a' ist kein gültiger Integerwert\r\n\r\n"
                                                "Debug-Point: #007\r\n Produkt-ID: 2\r\n Kollektions-ID: 2\r\n"));
    QCOMPARE(f.boxes.at(3).kind, MsgKind::Error);
    QVERIFY2(f.boxes.at(3).text.startsWith(QStringLiteral("Fehler: ")) && f.boxes.at(3).text.endsWith(
                     QStringLiteral("\r\n\r\nDebug-Point: #002\r\n Produkt-ID: 3\r\n Kollektions-ID: 3\r\n")),
             qPrintable(f.boxes.at(3).text));
    // Two pairs failed on their own data; two rows went without a
    // combination (Rot's colour 9/9/9, Fünf's shade Lila). Each is logged.
    QCOMPARE(f.boxes.at(4).text,
             QStringLiteral("Fertig!\r\n\r\n2 Paare mit Fehler: Sie sind als importiert markiert, ihre Datensätze "
                            "bleiben in MASTER.\r\n2 Datensätze aus MASTER ohne Kombination gelöscht: Farbton, Base "
                            "oder RGB-Farbe fehlt.\r\n\r\nDie Einzelheiten stehen im Protokoll."));
    const QStringList log = LogMessages(f.folder.path());
    QCOMPARE(log.filter(QRegularExpression(QStringLiteral("^Ohne Kombination: "))),
             (QStringList{"Ohne Kombination: Produkt-ID 1, Kollektions-ID 1, Farbton 'Rot', Base 'BA'",
                          "Ohne Kombination: Produkt-ID 5, Kollektions-ID 5, Farbton 'Lila', Base 'BA'"}));
    QCOMPARE(log.filter(QRegularExpression(QStringLiteral("^Fehler im Paar "))).size(), 2);
    QVERIFY(log.contains(QStringLiteral("Fehler im Paar Produkt-ID 2, Kollektions-ID 2: '3a' ist kein gültiger "
                                        "Integerwert - seine Datensätze bleiben in MASTER")));

    QCOMPARE(KombidatenRows(f.db()), Table("1 1 1 1 1 0 1; 2 1 1 3 1 0 3; 1 2 2 1 1 0 4; 3 2 2 2 1 0 5; 1 4 4 1 1 2 6; "
                                           "3 4 3 2 1 0 7; 3 6 6 2 1 0 8; 2 7 7 3 1 0 9; 1 8 8 1 1 1 2"));
    // What stays in MASTER: the pairs whose guarded stretch failed, and only they.
    QCOMPARE(Sorted(QueryRows(f.db(), "select COLORNAME, COLORNUMBER from MASTER")),
             Table("Zwei Blau; Zwei Rot; Zwei Gelb; Drei Blau"));
    QCOMPARE(Count(f.db(), "KOLLEKTIONEN", "KIMPORT <> 'J'"), 0);
    QCOMPARE(Count(f.db(), "KOLLEKTIONEN"), 9);
}

void TestImport::scatteredPairsKeepTheirRows()
{
    // Two pairs whose 30 rows each alternate in MASTER. The second lists its
    // shades backwards, and its 20th row (F11) has COSTCODE "3a": the pair
    // fails there, so its first 19 rows as delivered make its combinations,
    // and all of its rows stay in MASTER, the columns the program never
    // reads included.
    QStringList rows{"insert into BASEN values (1, 'BA')", "insert into RGBCOLORS values (1, 10, 20, 30)",
                     "insert into KOLLEKTIONEN values (1, 1, 'Eins', 'N')",
                     "insert into KOLLEKTIONEN values (2, 2, 'Zwei', 'N')"};
    QStringList combinations;
    for (int i = 1; i <= 30; ++i) {
        const QString cost = i == 20 ? QStringLiteral("3a") : QString::number(i);
        rows << QStringLiteral("insert into FARBEN values (%1, 'F%1')").arg(i)
             << MasterInsert({"Eins", QStringLiteral("F%1").arg(i), 1, 10, 20, 30, "BA", 0, QString::number(i)})
             << MasterInsert({"Zwei", QStringLiteral("F%1").arg(31 - i), 2, 10, 20, 30, "BA", 0, cost});
        combinations << QStringLiteral("%1 1 1 1 1 0 %1").arg(i);
        if (i < 20)
            combinations << QStringLiteral("%1 2 2 1 1 0 %2").arg(31 - i).arg(i);
    }
    ImportFixture f;
    CreateImportedDatabase(f.db(), rows);
    // Every column of the second pair's rows, as the table lies, and where.
    const QString secondPair = QStringLiteral("select MASTER.*, RDB$DB_KEY from MASTER where PRODUCTID = 2");
    const QList<QStringList> delivered = QueryRows(f.db(), secondPair);
    f.answers = {MsgButton::No};
    f.RunImport();

    QCOMPARE(f.boxes.size(), 3);
    QCOMPARE(f.boxes.at(1).text, QStringLiteral("Fehler: '3a' ist kein gültiger Integerwert\r\n\r\n"
                                                "Debug-Point: #007\r\n Produkt-ID: 2\r\n Kollektions-ID: 2\r\n"));
    QVERIFY(f.boxes.at(2).text.startsWith(QStringLiteral("Fertig!\r\n\r\n1 Paare mit Fehler")));
    QCOMPARE(KombidatenRows(f.db()), Table(combinations.join(QStringLiteral("; "))));
    // The failed pair's rows stay as delivered and in their order, each
    // written again (pair by pair, before the pairs were read).
    const QList<QStringList> left = QueryRows(f.db(), QStringLiteral("select MASTER.*, RDB$DB_KEY from MASTER"));
    QCOMPARE(left.size(), 30);
    for (int i = 0; i < 30; ++i) {
        QCOMPARE(left.at(i).mid(0, left.at(i).size() - 1), delivered.at(i).mid(0, delivered.at(i).size() - 1));
        QVERIFY(std::none_of(delivered.begin(), delivered.end(),
                             [&](const QStringList &row) { return row.last() == left.at(i).last(); }));
    }
}

void TestImport::commitAndPumpingPoints()
{
    // Pair (1, 1) with 250 rows, then pair (2, 2) with 60.
    QStringList rows{"insert into BASEN values (1, 'BA')", "insert into RGBCOLORS values (1, 10, 20, 30)",
                     "insert into KOLLEKTIONEN values (1, 1, 'Groß', 'N')",
                     "insert into KOLLEKTIONEN values (2, 2, 'Klein', 'N')"};
    for (int i = 1; i <= 250; ++i)
        rows << QStringLiteral("insert into FARBEN values (%1, 'F%1')").arg(i)
             << MasterInsert({"Groß", QStringLiteral("F%1").arg(i), 1, 10, 20, 30, "BA", 0, "1"});
    for (int i = 1; i <= 60; ++i)
        rows << MasterInsert({"Klein", QStringLiteral("F%1").arg(i), 2, 10, 20, 30, "BA", 0, "2"});
    ImportFixture f;
    CreateImportedDatabase(f.db(), rows);
    f.Start();

    // The import through an observer of the test's own: committed
    // combinations when each row's colour lookup is logged, seen from
    // another connection; the status when messages are handled.
    struct Probe : ImportObserver {
        QString db, status;
        QList<int> committedAtRow;
        QStringList pumps;
        int flushes = 0;
        void Status(const QString &text) override { status = text; }
        void Progress(const QString &, int, int) override {}
        bool ProcessPendingMessages() override
        {
            pumps << status;
            return true;
        }
        void BringToFront() override {}
        void Log(const QString &text) override
        {
            if (text.startsWith(QLatin1String("SQL: RGBCOLORS ")))
                committedAtRow << Count(db, "KOMBIDATEN");
        }
        void FlushLog() override { ++flushes; }
        void ShowError(const QString &text) override { QFAIL(qPrintable(text)); }
        void ShowInformation(const QString &) override {}
        bool Ask(const QString &, bool) override { return false; }
    } probe;
    probe.db = f.db();
    MasterImport(*fmdm, probe).CreateTableKOMBIDATEN();
    const int committedAtEnd = Count(f.db(), "KOMBIDATEN");
    f.Stop();

    QCOMPARE(probe.committedAtRow.size(), 310);
    for (int row = 1; row <= 310; ++row) {
        const int expected = row <= 250 ? (row - 1) / 100 * 100 : (row - 250 <= 50 ? 250 : 300);
        QVERIFY2(probe.committedAtRow.at(row - 1) == expected,
                 qPrintable(QStringLiteral("row %1: %2 committed").arg(row).arg(probe.committedAtRow.at(row - 1))));
    }
    QCOMPARE(committedAtEnd, 310);
    // The log is on disk before each of the commits above.
    QVERIFY2(probe.flushes >= 5, qPrintable(QString::number(probe.flushes)));

    // Messages are handled at the start of each pair's rows and before its
    // MASTER delete; in between only when it is time. On a busy machine a
    // pump that is due may come before the first row's status: it sees the
    // same status again and counts once.
    const QString opening = QStringLiteral("MASTER wird geöffnet...");
    QStringList named;
    for (const QString &text : probe.pumps)
        if ((text == opening || text.startsWith(QStringLiteral("Lösche"))) && (named.isEmpty() || named.last() != text))
            named << text;
    QCOMPARE(named, (QStringList{opening, "Lösche Datensätze Produkt-ID: (1)", opening,
                                 "Lösche Datensätze Produkt-ID: (2)"}));
}

void TestImport::logOfASmallRun()
{
    ImportFixture f;
    CreateImportedDatabase(f.db(), {"insert into FARBEN values (1, 'Blau')", "insert into FARBEN values (2, 'Grün')",
                 "insert into BASEN values (1, 'BA')", "insert into RGBCOLORS values (1, 0, 0, 255)",
                 "insert into RGBCOLORS values (2, 0, 255, 0)", "insert into KOLLEKTIONEN values (4, 2, 'Wandgrün', 'N')",
                 "insert into KOLLEKTIONEN values (3, 3, 'Zeta', 'N')",
                 MasterInsert({"Wandgrün", "Blau", 4, 0, 0, 255, "BA", 0, "1"}),
                 MasterInsert({"Wandgrün", "Grün", 4, 0, 255, 0, "BA", 0, "1"}),
                 MasterInsert({"Zeta", "Blau", 3, 0, 0, 255, "BA", 0, "1"})});
    f.answers = {MsgButton::No};
    f.RunImport();
    QCOMPARE(f.BoxTexts(), AskedAndDone);
    QCOMPARE(LogMessages(f.folder.path()),
             LogHead() + PairLog(4, 2, "Wandgrün", {{0, 0, 255}, {0, 255, 0}}) + PairLog(3, 3, "Zeta", {{0, 0, 255}}));
    QCOMPARE(Count(f.db(), "KOMBIDATEN"), 3);
}

void TestImport::collectionNames()
{
    // A narrow KNAME: a longer collection name fits MASTER but not KNAME.
    ImportFixture f;
    CreateEmptyDatabase(f.db());
    QStringList statements = DeliveredSchemaStatements();
    for (QString &statement : statements)
        statement.replace("KNAME VARCHAR(60)", QStringLiteral("KNAME VARCHAR(16)"));
    RunSql(f.db(), statements);
    statements.clear();
    for (const MasterRow &row : QList<MasterRow>{{"Wandgrün", "A1", 2, 1, 1, 1, "B", 0, "1"},
                                                 {"Wandgrün", "A2", 1, 2, 2, 2, "B", 0, "2"},
                                                 {"Farben d'Italia", "A1", 1, 1, 1, 1, "B", 0, "3"},
                                                 {"Langername1234567890", "A2", 1, 2, 2, 2, "B", 0, "4"},
                                                 {"Wandgrün", "A1", 2, 1, 1, 1, "B", 0, "5"}})
        statements << MasterInsert(row);
    RunInOneTransaction(f.db(), statements);
    f.Start();
    f.Import();
    const QStringList statuses = f.statuses;
    f.Stop();
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!\r\n\r\n1 Kollektionen mit zu langem Namen: "
                                                                 "Ihre Datensätze bleiben in MASTER.\r\n\r\nDie "
                                                                 "Einzelheiten stehen im Protokoll.")}));
    QVERIFY(LogMessages(f.folder.path())
                .contains(QStringLiteral("Kollektion länger als 16 Zeichen, ihre Datensätze bleiben in MASTER: "
                                         "'Langername1234567890'")));
    // Ids in byte order: "Farben d'Italia" < "Langername123456" < "Wandgrün".
    QCOMPARE(KollektionenRows(f.db()), Sorted({{"0", "1", "Farben d'Italia", "J"}, {"0", "2", "Langername123456", "J"},
                                               {"0", "3", "Wandgrün", "J"}, {"1", "1", "Farben d'Italia", "J"},
                                               {"1", "3", "Wandgrün", "J"}, {"2", "3", "Wandgrün", "J"}}));
    // The long name found no collection row, so it never became a pair: its
    // MASTER row stays, everything else is consumed.
    QCOMPARE(QueryRows(f.db(), "select COLORNAME from MASTER"), Table("Langername1234567890"));
    QCOMPARE(Count(f.db(), "KOMBIDATEN"), 4);
    QCOMPARE(Count(f.db(), "KOMBIDATEN", "K_KID = 3"), 3);
    // The second pass counts every pair, written or not.
    const QStringList milestones = Milestones(statuses);
    const qsizetype second = milestones.indexOf(QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen"));
    QCOMPARE(milestones.mid(second, 4), (QStringList{"Erzeuge Vorwärtssuche: Kollektionen", "SQL wird ausgeführt.",
                                                      "SQL wurde ausgeführt.", "SQL wird ausgeführt."}));

    QCOMPARE(PairNameLiteral(QStringLiteral("Farben d'Italia  ")), QStringLiteral("Farben d''Italia"));
    // Leading blanks and control characters belong to the name: trimming
    // them would let " X" read and delete the rows of "X".
    QCOMPARE(PairNameLiteral(QStringLiteral(" X\t")), QStringLiteral(" X\t"));
}

void TestImport::partlyConsumedMaster()
{
    const QList<MasterRow> rows = GeneratedMaster(2, 3, 2);
    const ExpectedImport expected(rows);
    ImportFixture f(rows);
    f.RunImport();
    QCOMPARE(KombidatenRows(f.db()), expected.kombidaten);
    // One pair pending again, its MASTER rows long gone.
    const int product = rows.first().product;
    RunSql(f.db(), {QStringLiteral("update KOLLEKTIONEN set KIMPORT = 'N' where KPID > 0 and KID = 1 and KPID = %1")
                        .arg(product)});

    // "&Ja", then "&Nein" to the confirmation: nothing happens.
    f.answers = {MsgButton::Yes, MsgButton::No};
    f.Start();
    QVERIFY(f.ImportOffered());
    f.Import();
    f.Stop();
    QCOMPARE(f.boxes.size(), 2);
    QCOMPARE(f.boxes.at(0), YesNo(Question, MsgButton::No));
    QCOMPARE(f.boxes.at(1), YesNo(f.boxes.at(1).text, MsgButton::No));
    QVERIFY(f.boxes.at(1).text.contains(QStringLiteral("MASTER")));
    QCOMPARE(KombidatenRows(f.db()), expected.kombidaten);
    QCOMPARE(Count(f.db(), "KOLLEKTIONEN", "KIMPORT = 'N'"), 1);

    // The default answer resumes: the pending pair's old combinations go and,
    // its MASTER rows being gone, none come back.
    f.RunImport();
    QCOMPARE(f.BoxTexts(), AskedAndDone);
    QCOMPARE(Count(f.db(), "KOMBIDATEN"),
             int(expected.kombidaten.size()) - int(std::count_if(rows.begin(), rows.end(), [&](const MasterRow &r) {
                 return r.collection == rows.first().collection && r.product == product;
             })));
    QCOMPARE(Count(f.db(), "KOMBIDATEN", QStringLiteral("K_KID = 1 and K_PID = %1").arg(product)), 0);

    // Confirmed twice, the rebuild runs on what MASTER holds: nothing.
    RunSql(f.db(), {"update KOLLEKTIONEN set KIMPORT = 'N' where KPID > 0 and KID = 2"});
    f.answers = {MsgButton::Yes, MsgButton::Yes};
    f.RunImport();
    QCOMPARE(f.boxes.size(), 3);
    QCOMPARE(f.boxes.at(2).text, QStringLiteral("Fertig!"));
    QCOMPARE(Count(f.db(), "KOMBIDATEN"), 0);
    QCOMPARE(Count(f.db(), "KOLLEKTIONEN"), 0);
    // Four runs made the index that finds a pair's MASTER rows once.
    QCOMPARE(QueryRows(f.db(), "select trim(s.RDB$FIELD_NAME) from RDB$INDICES i join RDB$INDEX_SEGMENTS s on "
                               "s.RDB$INDEX_NAME = i.RDB$INDEX_NAME where i.RDB$RELATION_NAME = 'MASTER' "
                               "order by s.RDB$FIELD_POSITION"),
             (QList<QStringList>{{"PRODUCTID"}, {"COLORNAME"}}));
}

void TestImport::interruptedRebuildIsOffered()
{
    // A trigger fails the second pass of the collection builder: the run
    // ends after the collection rows are durable, before any pair is.
    const QList<MasterRow> rows = GeneratedMaster(3, 4, 2);
    ImportFixture f(rows);
    RunSql(f.db(), {"CREATE EXCEPTION STOPPED 'stopped'",
                    QStringLiteral("CREATE TRIGGER STOP_PAIRS FOR KOLLEKTIONEN BEFORE INSERT AS BEGIN "
                                   "IF (NEW.KPID > 0) THEN EXCEPTION STOPPED; END")});
    f.Start();
    f.Import();
    QCOMPARE(f.boxes.size(), 2);
    QCOMPARE(f.boxes.at(1).kind, MsgKind::General);
    QVERIFY(f.boxes.at(1).text.contains(QStringLiteral("stopped")));
    // Seen from another connection while the program still runs.
    AdminConnection probe(f.db(), QStringLiteral("qrCheck"));
    QVERIFY(ImportInterrupted(probe.query));
    QCOMPARE(Count(f.db(), "KOLLEKTIONEN", "KIMPORT <> 'J' and KPID > 0"), 0);
    QCOMPARE(Count(f.db(), "KOLLEKTIONEN", "KPID = 0"), 3);
    f.Stop();

    // Without the mark the start-up would hide the button; with it the
    // import is offered and its default answer finishes the rebuild.
    RunSql(f.db(), {"DROP TRIGGER STOP_PAIRS"});
    f.Start();
    QVERIFY(f.ImportOffered());
    f.Import();
    f.Stop();
    QCOMPARE(f.BoxTexts(), AskedAndDone);
    QCOMPARE(f.boxes.at(0).defaultButton, MsgButton::Yes);
    QCOMPARE(ImportedTables(f.db()), ExpectedImport(rows).Tables());

    // Done: nothing pending, no mark, the button stays hidden.
    f.Start();
    QVERIFY(!f.ImportOffered());
    QVERIFY(!ImportInterrupted(fmdm->qrS));
    f.Stop();
    QVERIFY(f.boxes.isEmpty());
}

void TestImport::runKeepsToItself()
{
    const QList<MasterRow> rows = GeneratedMaster(2, 60, 2);
    ImportFixture f(rows);
    f.Start();
    QVERIFY(f.ImportOffered());
    QCOMPARE(f.ui().lbSel->count(), 4);

    // A search typed just before the click waits for the end of the run.
    QTest::keyClicks(f.ui().edSelProd, QStringLiteral("13"));
    QVERIFY(fmHaupt1->tmSuchen->Enabled());

    // At the run's pumping points: a second click, typing, a double-click
    // and the wheel all reach the window, and none may start anything.
    int pumpsInRun = 0;
    bool timerRan = false, listTouched = false, inputEnabled = false;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        ++pumpsInRun;
        timerRan = timerRan || fmHaupt1->tmSuchen->Enabled() || fmHaupt1->tmRSuchen->Enabled();
        inputEnabled = inputEnabled || f.ui().edSelProd->isEnabled() || f.ui().btImportMaster->isEnabled();
        listTouched = listTouched || f.ui().lbSel->count() != 4 || fmHaupt1->SearchLevel() != 0;
        QTest::mouseClick(f.ui().btImportMaster, Qt::LeftButton);
        fmHaupt1->btImportMasterClick();
        QTest::keyClicks(f.ui().edSelProd, QStringLiteral("1"));
        QTest::keyClick(f.ui().edSelProd, Qt::Key_Return);
        QTest::mouseDClick(f.ui().lbSel->viewport(), Qt::LeftButton, {},
                           f.ui().lbSel->visualItemRect(f.ui().lbSel->item(0)).center());
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
    QCOMPARE(f.BoxTexts(), AskedAndDone);
    QVERIFY(f.ui().edSelProd->isEnabled());
    QCOMPARE(f.ui().edSelProd->text(), QStringLiteral("13"));
    // The held search runs now.
    QVERIFY(fmHaupt1->tmSuchen->Enabled());
    QTRY_COMPARE(ProgramRun::Rows(f.ui().lbSel), QStringList{"Produkt 13"});
    f.Stop();
    QCOMPARE(ImportedTables(f.db()), ExpectedImport(rows).Tables());
}

void TestImport::importStartedInsideAListLoad()
{
    // The click arrives while a list load pumps messages: the import runs
    // there, and the load must not read the import's qrS afterwards.
    const QList<MasterRow> rows = GeneratedMaster(3, 10, 2);
    ImportFixture f(rows);
    f.Start();
    bool imported = false;
    QTimer::singleShot(0, [&] {
        f.Import();
        imported = true;
    });
    QVERIFY(f.run->Choose(f.ui().lbSel, QStringLiteral("Produkt 10")));
    QVERIFY(imported);
    QCOMPARE(f.BoxTexts(), AskedAndDone);
    f.Stop();
    QCOMPARE(ImportedTables(f.db()), ExpectedImport(rows).Tables());
}

void TestImport::emptyAndMissingStates()
{
    {
        // "&Ja" on an empty MASTER.
        ImportFixture f(QList<MasterRow>{});
        f.Start();
        QVERIFY(f.ImportOffered());
        f.Import();
        f.Stop();
        QCOMPARE(f.BoxTexts(), AskedAndDone);
        for (const char *table : {"FARBEN", "BASEN", "RGBCOLORS", "KOLLEKTIONEN", "KOMBIDATEN"})
            QCOMPARE(Count(f.db(), QLatin1String(table)), 0);
        QCOMPARE(f.statuses.mid(0, 5), LookupStatuses(QString(), 0));
        QCOMPARE(f.statuses.last(), QStringLiteral("Tabelle erstellt."));
        // The run left no mark: nothing to offer any more.
        f.Start();
        QVERIFY(!f.ImportOffered());
        f.Stop();
    }
    {
        // "&Nein" with no pending pair.
        ImportFixture f;
        CreateImportedDatabase(f.db(), {"insert into KOLLEKTIONEN values (1, 1, 'K', 'J')"});
        f.answers = {MsgButton::No};
        f.Start();
        QVERIFY(!f.ImportOffered());
        fmHaupt1->btImportMasterClick();
        f.Stop();
        QCOMPARE(f.BoxTexts(), AskedAndDone);
        QCOMPARE(f.statuses, (QStringList{"SQL wird ausgeführt.", "Tabelle erstellt."}));
        QCOMPARE(LogMessages(f.folder.path()), LogHead());
    }
    {
        // "&Nein" on a database without KIMPORT: the error box, no "Fertig!",
        // no progress bar left behind.
        ImportFixture f(GeneratedMaster(1, 2, 1));
        f.answers = {MsgButton::No};
        f.Start();
        f.Import();
        QVERIFY(!fmHaupt1->findChild<QProgressBar *>(QStringLiteral("pbImport"))->isVisible());
        f.Stop();
        QCOMPARE(f.boxes.size(), 2);
        QCOMPARE(f.boxes.at(1).kind, MsgKind::General);
        QVERIFY(f.boxes.at(1).text.toUpper().contains(QStringLiteral("KIMPORT")));
        QCOMPARE(Count(f.db(), "MASTER"), 2);
    }
}

namespace {

// The tables the searches read.
const char *const SearchedTables[] = {"FARBEN", "BASEN", "RGBCOLORS", "KOLLEKTIONEN", "KOMBIDATEN"};

// Zeroes one of the table's pages of a type, in the middle of them: data (5),
// whose relation id follows the 16 bytes of the page header and the page's
// sequence number, or index (7), whose relation id follows its sibling
// pointers and prefix total.
void DamagePage(const QString &path, const char *table, char type)
{
    const int relation = QueryRows(path, QStringLiteral("select RDB$RELATION_ID from RDB$RELATIONS where "
                                                        "RDB$RELATION_NAME = '%1'").arg(QLatin1String(table)))
                             .at(0).at(0).toInt();
    const int at = type == 5 ? 20 : 28;
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QList<qint64> pages;
    for (qint64 page = 0; page + 8192 <= file.size(); page += 8192) {
        file.seek(page);
        const QByteArray head = file.read(32);
        if (head.at(0) == type && (quint8(head.at(at)) | quint8(head.at(at + 1)) << 8) == relation)
            pages << page;
    }
    QVERIFY(!pages.isEmpty());
    file.seek(pages.at(pages.size() / 2));
    file.write(QByteArray(8192, '\0'));
}

}  // namespace

void TestImport::damagedMasterChangesNothing()
{
    // The engine's own check finds the damage before the question; the
    // box says what to do and names the table; nothing may have changed.
    const auto runDamaged = [](ImportFixture &f, const char *table) {
        f.Start();
        // A database with nothing pending does not offer the button: as if it did.
        f.ui().btImportMaster->show();
        f.Import();
        f.Stop();
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes.at(0).kind, MsgKind::General);
        const QString text = f.boxes.at(0).text;
        QVERIFY2(text.startsWith(QStringLiteral("Die Datenbank ist beschädigt, der Import wurde nicht begonnen.")) &&
                     text.contains(QStringLiteral("(%1) : ").arg(QLatin1String(table))),
                 qPrintable(text));
    };
    {
        // A delivered database: no mark column, no program table made.
        ImportFixture f(GeneratedMaster(5, 200, 3));
        const QStringList shape = SchemaShape(f.db());
        DamagePage(f.db(), "MASTER", 5);
        runDamaged(f, "MASTER");
        QCOMPARE(SchemaShape(f.db()), shape);
        QCOMPARE(QueryRows(f.db(), "select count(*) from RDB$RELATION_FIELDS where RDB$FIELD_NAME = 'KIMPORT'"),
                 Table("0"));
    }
    // An imported database with a new delivery in MASTER, and a MASTER
    // page or an index page of a lookup table lost: no mark, no table
    // emptied, no pair built on the damaged index.
    for (const auto &[table, type] : {std::pair{"MASTER", char(5)}, std::pair{"FARBEN", char(7)}}) {
        ImportFixture f(GeneratedMaster(2, 30, 2));
        f.RunImport();
        QStringList inserts;
        for (const MasterRow &row : GeneratedMaster(5, 200, 3))
            inserts << MasterInsert(row, false);
        RunInOneTransaction(f.db(), inserts);
        // The program tables, counted by scans: a damaged index cannot be read.
        const auto counts = [&f] {
            QList<int> n;
            for (const char *t : SearchedTables)
                n << Count(f.db(), QLatin1String(t));
            return n;
        };
        const QList<int> imported = counts();
        DamagePage(f.db(), table, type);
        runDamaged(f, table);
        QCOMPARE(counts(), imported);
        AdminConnection probe(f.db(), QStringLiteral("qrCheck"));
        QVERIFY(!ImportInterrupted(probe.query));
    }
}

void TestImport::rebuildLeavesNoGarbage()
{
    // A second delivery rebuilt over the first: the rows the rebuild
    // deleted are collected by the run, so that a first scan of every table
    // the searches read, on a connection of its own, has nothing to collect.
    const QList<MasterRow> rows = GeneratedMaster(4, 60, 3);
    ImportFixture f(rows);
    f.RunImport();
    QStringList inserts;
    for (const MasterRow &row : rows)
        inserts << MasterInsert(row, false);
    RunInOneTransaction(f.db(), inserts);
    f.boxes.clear();
    f.RunImport();
    QCOMPARE(f.BoxTexts(), AskedAndDone);
    // What a first scan of every searched table on a connection of its own
    // has to collect.
    const auto garbage = [&f] {
        AdminConnection probe(f.db());
        for (const char *table : SearchedTables)
            if (probe.Rows(QStringLiteral("select count(*) from ") + QLatin1String(table)).at(0).at(0).toInt() == 0)
                return -1;
        return probe
            .Rows(QStringLiteral("select r.MON$RECORD_BACKOUTS + r.MON$RECORD_PURGES + r.MON$RECORD_EXPUNGES from "
                                 "MON$RECORD_STATS r join MON$ATTACHMENTS a on a.MON$STAT_ID = r.MON$STAT_ID "
                                 "where a.MON$ATTACHMENT_ID = current_connection"))
            .at(0)
            .at(0)
            .toInt();
    };
    QCOMPARE(garbage(), 0);
    QCOMPARE(ImportedTables(f.db()), ExpectedImport(rows).Tables());

    // A third delivery, and the program ends as the collection begins: the
    // run is done and says so, and the next read collects instead.
    struct Ending : ImportObserver {
        QStringList told;
        bool collecting = false;
        void Status(const QString &) override {}
        void Progress(const QString &, int, int) override {}
        bool ProcessPendingMessages() override { return !collecting; }
        void BringToFront() override {}
        void Log(const QString &) override {}
        void FlushLog() override {}
        void ShowError(const QString &text) override { told << text; }
        void ShowInformation(const QString &text) override { told << text; }
        bool Ask(const QString &, bool yesByDefault) override { return yesByDefault; }
        void Collecting(TIBDatabase *connection) override { collecting = collecting || connection != nullptr; }
    } ending;
    RunInOneTransaction(f.db(), inserts);
    f.Start();
    MasterImport(*fmdm, ending).Run();
    f.Stop();
    QCOMPARE(ending.told, QStringList{QStringLiteral("Fertig!")});
    QVERIFY(ending.collecting);
    QVERIFY(garbage() > 0);
    QCOMPARE(ImportedTables(f.db()), ExpectedImport(rows).Tables());
}

TINTOREL_TEST_MAIN(TestImport)
#include "test_import.moc"
