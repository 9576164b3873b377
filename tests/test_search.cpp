// The search lists and both search directions on a real database, driven
// through key events, clicks and the handlers the window wires.
#include "test_search_fixture.h"

#include "data/sql.h"
#include "search/filter.h"
#include "ui/keys.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

void ExpectPanelEmpty(const Ui::TfmHaupt1 &ui)
{
    QCOMPARE(PanelOf(ui).mid(0, 4), (QStringList{"", "", "-", "-"}));
}

const QStringList allProducts{"Außenlack=1",    "Fassade_Plus=6",  "Holz & Metall=2",
                              "Innenfarbe=3",   "O'Brien Lasur=4", "Rostschutz=5"};
const QStringList allShades{"Blau=1", "Gelb=2", "Grün=3", "Rot=4", "Schwarz & Weiß=5", "Weiß=6"};

// The controls of a search page by level: forward product, collection,
// shade; backward shade, collection, product.
struct Page {
    std::array<QLineEdit *, 3> field;
    std::array<QLabel *, 2> caption;
    std::array<QLabel *, 2> id;
    std::array<QPushButton *, 3> clear;
};

Page ForwardPage(const Ui::TfmHaupt1 &ui)
{
    return {{ui.edSelProd, ui.edSelKol, ui.edSelFarb}, {ui.lbProdText, ui.lbKolText}, {ui.lbPID, ui.lbKID},
            {ui.bbDelProd, ui.bbDelKol, ui.bbDelFarb}};
}

Page BackwardPage(const Ui::TfmHaupt1 &ui)
{
    return {{ui.edRSelFarb, ui.edRSelKol, ui.edRSelProd}, {ui.lbRFarbText, ui.lbRKolText}, {ui.lbRFID, ui.lbRKID},
            {ui.bbRDelFarb, ui.bbRDelKol, ui.bbRDelProd}};
}

// The page right after reaching a level: only that level's field open and
// focused, captions for the chosen levels, the later ones empty and unset.
void ExpectLevel(const Page &page, int level)
{
    QCOMPARE(fmHaupt1->SearchLevel(), level);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(Shown(page.field[i]), i == level);
        QCOMPARE(page.field[i]->isEnabled(), i == level);
        QCOMPARE(Shown(page.clear[i]), i <= level || i == 0);
    }
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(Shown(page.caption[i]), i < level);
        if (i >= level) {
            QCOMPARE(page.caption[i]->text(), QString());
            QCOMPARE(page.id[i]->text(), QStringLiteral("-1"));
        }
    }
    QCOMPARE(QApplication::focusWidget(), page.field[level]);
}

// A full reset: level 0, every filter empty, the panel empty.
void ExpectReset(const Ui::TfmHaupt1 &ui, const Page &page)
{
    ExpectLevel(page, 0);
    for (QLineEdit *field : page.field)
        QCOMPARE(field->text(), QString());
    ExpectPanelEmpty(ui);
}

// Runs a statement in the program's own transaction, so that the running
// searches see it at once.
void RunInProgram(const QString &statement)
{
    SetStatement(fmdm->qrK1, {statement});
    fmdm->qrK1.RunStatement();
}

}  // namespace

class TestSearch : public QObject {
    Q_OBJECT
    SearchFixture f;

private slots:
    void initTestCase() { f.SetUp(); }
    void init() { f.ToStart(); }
    void cleanup() { f.ExpectNoBoxes(); }
    void cleanupTestCase() { f.TearDown(); }

    void filterFragmentAndHelpers();
    void startUpAndForwardRoadMeetBackwardRoad();
    void debounceAndEnter();
    void loaderStatements();
    void failingLoad();
    void forwardClearButtonsAndReset();
    void backwardClearButtonsResetsAndPageSwitch();
    void missingCombination();
    void ampersandInNames();
};

void TestSearch::filterFragmentAndHelpers()
{
    QCOMPARE(TrimControls(QStringLiteral("\t\r\n  a b\x01 \x1f")), QStringLiteral("a b"));
    // Code 160 (no-break space) is no control character.
    QCOMPARE(TrimControls(QStringLiteral("\u00a0x\u00a0")), QStringLiteral("\u00a0x\u00a0"));
    const auto fragment = [](const char *typed) {
        return FilterFragment(QString::fromUtf8(typed), QStringLiteral("L1"), QStringLiteral("L2"));
    };
    QCOMPARE(fragment(" \t "), QStringList());
    // Quotes doubled, wildcards and everything else left alone.
    QCOMPARE(fragment("\to'b%_\"x\\ "), (QStringList{"L1O''B%_\"X\\%'", "L2o''b%_\"x\\%')"}));
    // The Windows-1252 upper case: umlauts, š œ ž ÿ; ß and µ stay.
    QCOMPARE(fragment("äöüéšœžÿßµ"), (QStringList{"L1ÄÖÜÉŠŒŽŸßµ%'", "L2äöüéšœžÿßµ%')"}));
    QCOMPARE(LabelCaption(QStringLiteral("a&b&&c")), QStringLiteral("a&&b&&&&c"));
    QVERIFY(IsEnterKey(Qt::Key_Return) && IsEnterKey(Qt::Key_Enter) && !IsEnterKey(Qt::Key_Space));
    QCOMPARE(StrToInt(QStringLiteral("-7")), -7);
    QVERIFY_THROWS_EXCEPTION(EConvertError, StrToInt(QString()));
}

void TestSearch::startUpAndForwardRoadMeetBackwardRoad()
{
    Ui::TfmHaupt1 &ui = f.ui();
    const Page forward = ForwardPage(ui);
    // Start state: every product by name, none selected.
    QCOMPARE(Listed(ui.lbSel, ui.lbSelID), allProducts);
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsVor);
    ExpectLevel(forward, 0);
    QVERIFY(!ui.lbSel->currentItem() || !ui.lbSel->currentItem()->isSelected());

    // Forward, by keyboard alone: type, Enter, Enter.
    QTest::keyClicks(ui.edSelProd, QStringLiteral("außen"));
    QTRY_COMPARE(Rows(ui.lbSel), QStringList{"Außenlack"});
    PressEnter(ui.edSelProd);
    QCOMPARE(ui.lbSel->currentRow(), 0);
    QCOMPARE(QApplication::focusWidget(), ui.lbSel);
    QCOMPARE(fmHaupt1->SearchLevel(), 0);  // selected, not chosen yet
    PressEnter(ui.lbSel);
    ExpectLevel(forward, 1);
    QCOMPARE(ui.lbPID->text(), QStringLiteral("1"));
    QCOMPARE(ui.edSelProd->text(), QStringLiteral("Außenlack"));
    QCOMPARE(ui.lbProdText->text(), QStringLiteral("Außenlack"));
    // Only the collections of product 1.
    QCOMPARE(Listed(ui.lbSel, ui.lbSelID), (QStringList{"Classic=1", "Farben & Töne=2"}));

    PressEnter(ui.edSelKol);
    PressEnter(ui.lbSel);
    ExpectLevel(forward, 2);
    QCOMPARE(ui.lbKID->text(), QStringLiteral("1"));
    QCOMPARE(ui.lbKolText->text(), QStringLiteral("Classic"));
    QCOMPARE(Listed(ui.lbSel, ui.lbSelID), (QStringList{"Rot=4", "Weiß=6"}));

    PressEnter(ui.edSelFarb);
    QTest::keyClick(ui.lbSel, Qt::Key_Down);
    const int loads = f.popup.shows;
    PressEnter(ui.lbSel);
    QCOMPARE(ui.edSelFarb->text(), QStringLiteral("Weiß"));
    QCOMPARE(fmHaupt1->SearchLevel(), 2);
    QCOMPARE(QApplication::focusWidget(), ui.lbSel);
    const QStringList shown = PanelOf(ui);
    QCOMPARE(shown, (QStringList{"BA", "3", "#ffffff", "Nur außen", "+Nicht unter 5 Grad", "10"}));

    // Another shade of the same list, by double-click: no reload.
    const QRect rot = ui.lbSel->visualItemRect(ui.lbSel->item(0));
    QTest::mouseClick(ui.lbSel->viewport(), Qt::LeftButton, {}, rot.center());
    QTest::mouseDClick(ui.lbSel->viewport(), Qt::LeftButton, {}, rot.center());
    QCOMPARE(ui.edSelFarb->text(), QStringLiteral("Rot"));
    QCOMPARE(ui.edPG->text(), QStringLiteral("5"));
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Rot", "Weiß"}));
    QCOMPARE(f.popup.shows, loads);

    // Backward, by keyboard alone, to the same combination.
    const Page backward = BackwardPage(ui);
    f.ClickSearchTab(ui.tsRueck);
    QVERIFY(Rows(ui.lbRSel).isEmpty());
    ExpectPanelEmpty(ui);
    ExpectLevel(backward, 0);
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("Weiß"));
    QTRY_COMPARE(Listed(ui.lbRSel, ui.lbRSelID), (QStringList{"Schwarz & Weiß=5", "Weiß=6"}));
    PressEnter(ui.edRSelFarb);
    QCOMPARE(QApplication::focusWidget(), ui.lbRSel);
    QTest::keyClick(ui.lbRSel, Qt::Key_Down);
    PressEnter(ui.lbRSel);
    ExpectLevel(backward, 1);
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("6"));
    QCOMPARE(ui.lbRFarbText->text(), QStringLiteral("Weiß"));
    // Classic has Weiß for two products and is listed once.
    QCOMPARE(Listed(ui.lbRSel, ui.lbRSelID), (QStringList{"Classic=1", "Farben & Töne=2"}));
    PressEnter(ui.edRSelKol);
    PressEnter(ui.lbRSel);
    ExpectLevel(backward, 2);
    QCOMPARE(ui.lbRKID->text(), QStringLiteral("1"));
    QCOMPARE(Listed(ui.lbRSel, ui.lbRSelID), (QStringList{"Außenlack=1", "Holz & Metall=2"}));
    PressEnter(ui.edRSelProd);
    PressEnter(ui.lbRSel);
    QCOMPARE(ui.edRSelProd->text(), QStringLiteral("Außenlack"));
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(PanelOf(ui), shown);

    // Another product of the same list at once.
    QTest::keyClick(ui.lbRSel, Qt::Key_Down);
    PressEnter(ui.lbRSel);
    QCOMPARE(ui.edRSelProd->text(), QStringLiteral("Holz & Metall"));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Außenlack", "Holz & Metall"}));
}

void TestSearch::debounceAndEnter()
{
    Ui::TfmHaupt1 &ui = f.ui();
    // Five keys, each well within 300 ms of the last: one load, 300 ms after
    // the last release.
    int loads = f.popup.shows;
    for (const char c : {'r', 'o', 's', 't', 's'}) {
        QTest::keyClick(ui.edSelProd, c);
        QTest::qWait(20);
    }
    QElapsedTimer sinceLastKey;
    sinceLastKey.start();
    QVERIFY(fmHaupt1->tmSuchen->Enabled());
    QTRY_COMPARE_WITH_TIMEOUT(f.popup.shows, loads + 1, 5000);
    QVERIFY2(sinceLastKey.elapsed() >= 250, qPrintable(QString::number(sinceLastKey.elapsed())));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Rostschutz"});
    QVERIFY(!fmHaupt1->tmSuchen->Enabled());
    QTest::qWait(500);
    QCOMPARE(f.popup.shows, loads + 1);

    // A key that changes no text reloads as well.
    QTest::keyClick(ui.edSelProd, Qt::Key_Left);
    QTRY_COMPARE_WITH_TIMEOUT(f.popup.shows, loads + 2, 5000);
    QCOMPARE(Rows(ui.lbSel), QStringList{"Rostschutz"});

    // Enter right after a key: row 0 of the list from the previous filter,
    // no reload, focus to the list.
    loads = f.popup.shows;
    QTest::keyClick(ui.edSelProd, Qt::Key_End);
    QTest::keyClick(ui.edSelProd, 'x');
    PressEnter(ui.edSelProd);
    QVERIFY(!fmHaupt1->tmSuchen->Enabled());
    QCOMPARE(ui.edSelProd->text(), QStringLiteral("rostsx"));
    QCOMPARE(ui.lbSel->currentRow(), 0);
    QVERIFY(ui.lbSel->item(0)->isSelected());
    QCOMPARE(QApplication::focusWidget(), ui.lbSel);
    QTest::qWait(500);
    QCOMPARE(f.popup.shows, loads);
    QCOMPARE(Rows(ui.lbSel), QStringList{"Rostschutz"});
    // The second Enter chooses it.
    PressEnter(ui.lbSel);
    QCOMPARE(fmHaupt1->SearchLevel(), 1);
    QCOMPARE(ui.lbPID->text(), QStringLiteral("5"));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Natur"});

    // A filter that finds nothing: Enter does nothing.
    QTest::keyClicks(ui.edSelKol, QStringLiteral("zzz"));
    QTRY_COMPARE(ui.lbSel->count(), 0);
    PressEnter(ui.edSelKol);
    QCOMPARE(QApplication::focusWidget(), ui.edSelKol);
    QCOMPARE(fmHaupt1->SearchLevel(), 1);
    // Enter or a double-click in an empty list, or with no row selected.
    fmHaupt1->lbSelDblClick();
    QCOMPARE(fmHaupt1->SearchLevel(), 1);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(ui.edSelKol, Qt::Key_Backspace);
    QTRY_COMPARE(Rows(ui.lbSel), QStringList{"Natur"});
    ui.lbSel->clearSelection();
    PressEnter(ui.lbSel);
    QCOMPARE(fmHaupt1->SearchLevel(), 1);
    QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));

    // Backward shade field: blanks alone start no load, a letter does.
    f.ClickSearchTab(ui.tsRueck);
    loads = f.popup.shows;
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("  "));
    QVERIFY(!fmHaupt1->tmRSuchen->Enabled());
    QTest::qWait(500);
    QCOMPARE(f.popup.shows, loads);
    QVERIFY(Rows(ui.lbRSel).isEmpty());
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("rot"));
    QTRY_COMPARE_WITH_TIMEOUT(f.popup.shows, loads + 1, 5000);
    QCOMPARE(Rows(ui.lbRSel), QStringList{"Rot"});
    QCOMPARE(fmdm->qrFarben_S.SQL().at(1),
             QStringLiteral(" where (upper(cast(FNAME as varchar(32765) character set win1252)) like '%ROT%'"));
    // Deleting the filter to empty keeps the last list.
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(ui.edRSelFarb, Qt::Key_Backspace);
    QVERIFY(!fmHaupt1->tmRSuchen->Enabled());
    QTest::qWait(500);
    QCOMPARE(f.popup.shows, loads + 1);
    QCOMPARE(Rows(ui.lbRSel), QStringList{"Rot"});
}

void TestSearch::loaderStatements()
{
    Ui::TfmHaupt1 &ui = f.ui();
    // A level of a search: its filter field, the query that loads it, its
    // statement around the filter lines and their leads.
    struct Level {
        SearchDirection &search;
        int level;
        QLineEdit *field;
        TIBQuery &query;
        QStringList head, tail;
        QString upperLead, typedLead;
        bool popup;
    };
    // A filter as typed, its two forms in the statement, the rows listed.
    struct Case {
        QString typed, upper, asTyped;
        QStringList listed;
    };
    const auto run = [&](const Level &l, std::initializer_list<Case> cases) {
        for (const Case &c : cases) {
            l.field->setText(c.typed);
            const int before = f.popup.shows;
            const QStringList filter = c.upper.isEmpty()
                                           ? QStringList()
                                           : QStringList{l.upperLead + c.upper + QStringLiteral("%'"),
                                                         l.typedLead + c.asTyped + QStringLiteral("%')")};
            QCOMPARE(l.search.Statement(l.level), l.head + filter + l.tail);
            l.search.Load(l.level);
            QCOMPARE(f.popup.shows, before + (l.popup ? 1 : 0));
            QVERIFY(!fmWarten->isVisible());
            QCOMPARE(l.query.SQL(), l.head + filter + l.tail);
            const bool backward = ui.tsRueck->isAncestorOf(l.field);
            QCOMPARE(backward ? Listed(ui.lbRSel, ui.lbRSelID) : Listed(ui.lbSel, ui.lbSelID), c.listed);
            QCOMPARE(l.search.Level(), l.level);
        }
    };
    ForwardSearch &forward = fmHaupt1->Forward();
    BackwardSearch &backward = fmHaupt1->Backward();

    run({forward, 0, ui.edSelProd, fmdm->qrProdukte_S, {"select * from PRODUKTE"}, {"order by PNAME"},
         " where (upper(cast(PNAME as varchar(32765) character set win1252)) like '%", "    or        PNAME  like '%", true},
        {{"", "", "", allProducts}, {" \t ", "", "", allProducts},
         {"  rost", "ROST", "rost", {"Rostschutz=5"}},
         {"ROST", "ROST", "ROST", {"Rostschutz=5"}},
         {"o'b", "O''B", "o''b", {"O'Brien Lasur=4"}},
         // "%" and "_" are wildcards.
         {"s%z", "S%Z", "s%z", {"Rostschutz=5"}},
         {"Holz_&", "HOLZ_&", "Holz_&", {"Holz & Metall=2"}},
         // Letters outside ASCII reach the server over the ASCII connection.
         {"außen", "AUßEN", "außen", {"Außenlack=1"}},
         // Case-blind across Windows-1252 letters; "ß" matches only "ß".
         {"AUßEN", "AUßEN", "AUßEN", {"Außenlack=1"}},
         {"aussen", "AUSSEN", "aussen", {}},
         {"\tšœžÿé ", "ŠŒŽŸÉ", "šœžÿé", {}}});
    QCOMPARE(ui.lbPID->text(), QStringLiteral("-1"));
    QCOMPARE(forward.ChosenId(0), -1);

    // Collections of product 1, chosen by its row.
    ui.edSelProd->clear();
    forward.Load(0);
    f.Choose(ui.lbSel, QStringLiteral("Außenlack"));
    QCOMPARE(forward.ChosenId(0), 1);
    run({forward, 1, ui.edSelKol, forward.Query(1), {"select kname,kid", "  from kollektionen", " where kpid = 1"},
         {"group by KNAME, KID", "order by KNAME"}, " and (upper(cast(KNAME as varchar(32765) character set win1252)) like '%", "  or        KNAME  like '%", true},
        {{"", "", "", {"Classic=1", "Farben & Töne=2"}}, {"Töne", "TÖNE", "Töne", {"Farben & Töne=2"}},
         {"TÖNE", "TÖNE", "TÖNE", {"Farben & Töne=2"}}});
    QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));
    QCOMPARE(ui.lbPID->text(), QStringLiteral("1"));

    // Shades of product 1 in collection 1.
    ui.edSelKol->clear();
    forward.Load(1);
    f.Choose(ui.lbSel, QStringLiteral("Classic"));
    run({forward, 2, ui.edSelFarb, forward.Query(2),
         {"select FNAME,FID from KOMBIDATEN, FARBEN", "where K_FID = FID", "and   K_KID = 1", "and   K_PID = 1"},
         {"group by FNAME,FID", "order by FNAME"},
         "   and (upper(cast(FNAME as varchar(32765) character set win1252)) like '%", "    or        FNAME  like '%", true},
        {{"", "", "", {"Rot=4", "Weiß=6"}},
         {"Weiß", "WEIß", "Weiß", {"Weiß=6"}}});
    QCOMPARE(ui.lbKID->text(), QStringLiteral("1"));
    QCOMPARE(ui.lbPID->text(), QStringLiteral("1"));

    // Backward shades.
    f.ClickSearchTab(ui.tsRueck);
    run({backward, 0, ui.edRSelFarb, fmdm->qrFarben_S, {"select * from FARBEN"},
         {"order by FNAME"}, " where (upper(cast(FNAME as varchar(32765) character set win1252)) like '%", "    or        FNAME  like '%", true},
        {{"", "", "", allShades},
         {"  rot", "ROT", "rot", {"Rot=4"}},
         {"Weiß", "WEIß", "Weiß", {"Schwarz & Weiß=5", "Weiß=6"}},
         {"Grün", "GRÜN", "Grün", {"Grün=3"}},
         {"grün", "GRÜN", "grün", {"Grün=3"}},
         {"GRÜN", "GRÜN", "GRÜN", {"Grün=3"}},
         {"WEIß", "WEIß", "WEIß", {"Schwarz & Weiß=5", "Weiß=6"}}});
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("-1"));

    // Backward collections of shade 6 and products of shade 6 in collection
    // 1: no popup.
    ui.edRSelFarb->setText(QStringLiteral("Weiß"));
    backward.Load(0);
    f.Choose(ui.lbRSel, QStringLiteral("Weiß"));
    run({backward, 1, ui.edRSelKol, backward.Query(1),
         {"select KNAME, KID from KOMBIDATEN, KOLLEKTIONEN", " where K_KID = KID and KPID=0", "   and K_FID = 6"},
         {" group by KNAME, KID", " order by KNAME"},
         " and (upper(cast(KNAME as varchar(32765) character set win1252)) like '%", "  or        KNAME  like '%", false},
        {{"", "", "", {"Classic=1", "Farben & Töne=2"}}, {"class", "CLASS", "class", {"Classic=1"}}});
    QCOMPARE(ui.lbRKID->text(), QStringLiteral("-1"));

    f.Choose(ui.lbRSel, QStringLiteral("Classic"));
    run({backward, 2, ui.edRSelProd, backward.Query(2),
         {"select PNAME, PID from KOMBIDATEN, PRODUKTE", " where K_PID = PID", "   and K_KID = 1", "   and K_FID = 6"},
         {" group by PNAME, PID", " order by PNAME"},
         " and (upper(cast(PNAME as varchar(32765) character set win1252)) like '%", "  or        PNAME  like '%", false},
        {{"", "", "", {"Außenlack=1", "Holz & Metall=2"}}, {"holz", "HOLZ", "holz", {"Holz & Metall=2"}}});
    QCOMPARE(ui.lbRKID->text(), QStringLiteral("1"));
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("6"));
    // The text goes out with CR LF after every line.
    QVERIFY(backward.Query(2).StatementText().startsWith(
        QStringLiteral("select PNAME, PID from KOMBIDATEN, PRODUKTE\r\n where K_PID = PID\r\n")));
}

void TestSearch::failingLoad()
{
    Ui::TfmHaupt1 &ui = f.ui();
    ForwardSearch &forward = fmHaupt1->Forward();
    // A statement the server refuses (its column renamed meanwhile): the
    // error propagates, the level and the id label are as set at the start,
    // the previous rows stay.
    f.Choose(ui.lbSel, QStringLiteral("Außenlack"));
    f.Choose(ui.lbSel, QStringLiteral("Classic"));
    QCOMPARE(ui.lbKID->text(), QStringLiteral("1"));
    forward.ClearMiddleLevel();
    const QStringList collections = Rows(ui.lbSel);
    const auto rename = [](const char *from, const char *to) {
        RunInProgram(QStringLiteral("alter table KOLLEKTIONEN alter %1 to %2").arg(from, to));
        fmdm->ibTa1.CommitRetaining();
    };
    rename("KNAME", "KNAME2");
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, forward.Load(1));
    rename("KNAME2", "KNAME");
    QCOMPARE(forward.Level(), 1);
    QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));
    QCOMPARE(Rows(ui.lbSel), collections);
    QVERIFY(!fmWarten->isVisible());
    // Choosing still works once the load is over.
    forward.Load(1);
    f.Choose(ui.lbSel, QStringLiteral("Classic"));
    QCOMPARE(forward.Level(), 2);
}

void TestSearch::forwardClearButtonsAndReset()
{
    Ui::TfmHaupt1 &ui = f.ui();
    const Page forward = ForwardPage(ui);
    // Product state: the level clear buttons are hidden and do nothing.
    int loads = f.popup.shows;
    fmHaupt1->bbDelKolClick();
    fmHaupt1->bbDelFarbClick();
    QCOMPARE(f.popup.shows, loads);
    ExpectLevel(forward, 0);

    // Collection state, filtered.
    f.Choose(ui.lbSel, QStringLiteral("Außenlack"));
    QTest::keyClicks(ui.edSelKol, QStringLiteral("class"));
    QTRY_COMPARE(Rows(ui.lbSel), QStringList{"Classic"});
    loads = f.popup.shows;
    fmHaupt1->bbDelFarbClick();  // nothing at level 1
    QCOMPARE(f.popup.shows, loads);
    QCOMPARE(ui.edSelKol->text(), QStringLiteral("class"));
    QTest::mouseClick(ui.bbDelKol, Qt::LeftButton);
    QCOMPARE(ui.edSelKol->text(), QString());
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Classic", "Farben & Töne"}));
    ExpectLevel(forward, 1);

    // Shade state with a combination on show.
    f.Choose(ui.lbSel, QStringLiteral("Classic"));
    QTest::keyClicks(ui.edSelFarb, QStringLiteral("wei"));
    QTRY_COMPARE(Rows(ui.lbSel), QStringList{"Weiß"});
    PressEnter(ui.edSelFarb);
    PressEnter(ui.lbSel);
    QCOMPARE(ui.edSelFarb->text(), QStringLiteral("Weiß"));
    const QStringList panel = PanelOf(ui);
    QCOMPARE(panel.mid(0, 3), (QStringList{"BA", "3", "#ffffff"}));
    // Clear the shade row: all shades again, the panel as it was.
    QTest::mouseClick(ui.bbDelFarb, Qt::LeftButton);
    QCOMPARE(ui.edSelFarb->text(), QString());
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Rot", "Weiß"}));
    ExpectLevel(forward, 2);
    QCOMPARE(PanelOf(ui), panel);

    // Clear the collection row from the shade state: the panel stays.
    QTest::mouseClick(ui.bbDelKol, Qt::LeftButton);
    ExpectLevel(forward, 1);
    QCOMPARE(ui.edSelKol->text(), QString());
    QCOMPARE(ui.edSelFarb->text(), QString());
    QCOMPARE(ui.lbPID->text(), QStringLiteral("1"));
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(PanelOf(ui), panel);

    // The full reset, by either button, at any level.
    for (QPushButton *button : {ui.bbDelAll, ui.bbDelProd}) {
        f.Choose(ui.lbSel, QStringLiteral("Classic"));
        f.Choose(ui.lbSel, QStringLiteral("Weiß"));
        QVERIFY(Shown(ui.mFarbton));
        QTest::mouseClick(button, Qt::LeftButton);
        ExpectReset(ui, forward);
        QCOMPARE(ui.lbSel->count(), 6);
        f.Choose(ui.lbSel, QStringLiteral("Außenlack"));
    }
}

void TestSearch::backwardClearButtonsResetsAndPageSwitch()
{
    Ui::TfmHaupt1 &ui = f.ui();
    const Page backward = BackwardPage(ui);
    f.ClickSearchTab(ui.tsRueck);
    ExpectLevel(backward, 0);
    fmHaupt1->bbRDelKolClick();
    fmHaupt1->bbRDelProdClick();
    QCOMPARE(fmHaupt1->SearchLevel(), 0);
    QVERIFY(Rows(ui.lbRSel).isEmpty());

    // To the product level with a filter.
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("weiß"));
    QTRY_COMPARE(Rows(ui.lbRSel), (QStringList{"Schwarz & Weiß", "Weiß"}));
    f.Choose(ui.lbRSel, QStringLiteral("Weiß"));
    fmHaupt1->bbRDelProdClick();  // nothing at level 1
    ExpectLevel(backward, 1);
    // The collection filter reloads although its own field raised the key:
    // the shade field holds the chosen name.
    QTest::keyClicks(ui.edRSelKol, QStringLiteral("farb"));
    QTRY_COMPARE(Rows(ui.lbRSel), QStringList{"Farben & Töne"});
    QTest::mouseClick(ui.bbRDelKol, Qt::LeftButton);
    QCOMPARE(ui.edRSelKol->text(), QString());
    QCOMPARE(QApplication::focusWidget(), ui.edRSelKol);
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Classic", "Farben & Töne"}));
    f.Choose(ui.lbRSel, QStringLiteral("Classic"));
    ExpectLevel(backward, 2);
    QTest::keyClicks(ui.edRSelProd, QStringLiteral("holz"));
    QTRY_COMPARE(Rows(ui.lbRSel), QStringList{"Holz & Metall"});
    PressEnter(ui.edRSelProd);
    PressEnter(ui.lbRSel);
    const QStringList panel = PanelOf(ui);
    QCOMPARE(panel.first(), QStringLiteral("BC"));

    // Clear the product row: all products, panel kept.
    QTest::mouseClick(ui.bbRDelProd, Qt::LeftButton);
    QCOMPARE(ui.edRSelProd->text(), QString());
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Außenlack", "Holz & Metall"}));
    ExpectLevel(backward, 2);
    QCOMPARE(PanelOf(ui), panel);

    // Clear the collection row from the product level.
    QTest::mouseClick(ui.bbRDelKol, Qt::LeftButton);
    ExpectLevel(backward, 1);
    QCOMPARE(ui.edRSelKol->text(), QString());
    QCOMPARE(ui.edRSelProd->text(), QString());
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("6"));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(PanelOf(ui), panel);

    // The full reset by either button: empty list, nothing loaded.
    const auto chooseWeiss = [&] {
        QTest::keyClicks(ui.edRSelFarb, QStringLiteral("Weiß"));
        QTRY_COMPARE(Rows(ui.lbRSel), (QStringList{"Schwarz & Weiß", "Weiß"}));
        f.Choose(ui.lbRSel, QStringLiteral("Weiß"));
    };
    for (QPushButton *button : {ui.bbRDelAll, ui.bbRDelFarb}) {
        f.Choose(ui.lbRSel, QStringLiteral("Classic"));
        f.Choose(ui.lbRSel, QStringLiteral("Außenlack"));
        QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
        const int loads = f.popup.shows;
        QTest::mouseClick(button, Qt::LeftButton);
        ExpectReset(ui, backward);
        QVERIFY(Listed(ui.lbRSel, ui.lbRSelID).isEmpty());
        QTest::qWait(400);
        QCOMPARE(f.popup.shows, loads);
        chooseWeiss();
    }

    // A reload still pending when the page is reset does not run: the shade
    // list is never loaded for an empty filter.
    QTest::mouseClick(ui.bbRDelAll, Qt::LeftButton);
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("g"));
    QVERIFY(fmHaupt1->tmRSuchen->Enabled());
    QTest::mouseClick(ui.bbRDelAll, Qt::LeftButton);
    QTest::qWait(500);
    QVERIFY(Rows(ui.lbRSel).isEmpty());

    // Page switch to the forward page and back: both reset, panel emptied.
    chooseWeiss();
    f.Choose(ui.lbRSel, QStringLiteral("Classic"));
    f.Choose(ui.lbRSel, QStringLiteral("Außenlack"));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    f.ClickSearchTab(ui.tsVor);
    ExpectReset(ui, ForwardPage(ui));
    QCOMPARE(ui.lbSel->count(), 6);
    // A reload pending on the page left behind does not run on the other one.
    QTest::keyClicks(ui.edSelProd, QStringLiteral("Außen"));
    QVERIFY(fmHaupt1->tmSuchen->Enabled());
    f.ClickSearchTab(ui.tsRueck);
    QVERIFY(!fmHaupt1->tmSuchen->Enabled());
    ExpectReset(ui, backward);
    QVERIFY(Rows(ui.lbRSel).isEmpty());
}

void TestSearch::missingCombination()
{
    Ui::TfmHaupt1 &ui = f.ui();
    // Forward: the row vanishes after the shade list was loaded; the panel
    // stays cleared and nothing is said.
    f.Choose(ui.lbSel, QStringLiteral("Außenlack"));
    f.Choose(ui.lbSel, QStringLiteral("Classic"));
    f.Choose(ui.lbSel, QStringLiteral("Rot"));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    RunInProgram(QStringLiteral("delete from KOMBIDATEN where K_FID = 6 and K_KID = 1 and K_PID = 1"));
    f.Choose(ui.lbSel, QStringLiteral("Weiß"));
    ExpectPanelEmpty(ui);
    QVERIFY(!Shown(ui.lbWarning));
    RunInProgram(QStringLiteral("insert into KOMBIDATEN values (6, 1, 1, 1, 1, 10, 3)"));

    // Backward: "Ungültige Kombination!" until the next backward display or a
    // page switch; resets and level clears leave it.
    f.ClickSearchTab(ui.tsRueck);
    // Holz & Metall chosen while its row is away.
    const auto missingHolz = [&] {
        RunInProgram(QStringLiteral("delete from KOMBIDATEN where K_FID = 6 and K_KID = 1 and K_PID = 2"));
        f.Choose(ui.lbRSel, QStringLiteral("Holz & Metall"));
        RunInProgram(QStringLiteral("insert into KOMBIDATEN values (6, 1, 2, 99, 2, 13, NULL)"));
        QVERIFY(Shown(ui.lbWarning));
    };
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("Weiß"));
    QTRY_COMPARE(ui.lbRSel->count(), 2);
    f.Choose(ui.lbRSel, QStringLiteral("Weiß"));
    f.Choose(ui.lbRSel, QStringLiteral("Classic"));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Außenlack", "Holz & Metall"}));
    missingHolz();
    QCOMPARE(ui.lbWarning->text(), QStringLiteral("Ungültige Kombination!"));
    ExpectPanelEmpty(ui);
    // The next backward display hides it first, and shows it only for a
    // missing row.
    f.Choose(ui.lbRSel, QStringLiteral("Außenlack"));
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    missingHolz();
    f.Choose(ui.lbRSel, QStringLiteral("Holz & Metall"));
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));
    // Level clears and resets leave it.
    missingHolz();
    for (QPushButton *button : {ui.bbRDelProd, ui.bbRDelKol, ui.bbRDelAll, ui.bbRDelFarb}) {
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(Shown(ui.lbWarning));
    }
    // The page switch hides it, both ways.
    f.ClickSearchTab(ui.tsVor);
    QVERIFY(!ui.lbWarning->isVisibleTo(ui.tsRueck));
    f.ClickSearchTab(ui.tsRueck);
    QVERIFY(!Shown(ui.lbWarning));
}

void TestSearch::ampersandInNames()
{
    Ui::TfmHaupt1 &ui = f.ui();
    f.Choose(ui.lbSel, QStringLiteral("Holz & Metall"));
    QCOMPARE(ui.lbProdText->text(), QStringLiteral("Holz && Metall"));
    QCOMPARE(ui.edSelProd->text(), QStringLiteral("Holz & Metall"));
    // On screen the doubled "&" reads as one.
    QLabel plain(QStringLiteral("Holz & Metall"));
    plain.setFont(ui.lbProdText->font());
    QCOMPARE(ui.lbProdText->sizeHint().width(), plain.sizeHint().width());
    f.ToStart();
    f.Choose(ui.lbSel, QStringLiteral("Außenlack"));
    f.Choose(ui.lbSel, QStringLiteral("Farben & Töne"));
    QCOMPARE(ui.lbKolText->text(), QStringLiteral("Farben && Töne"));
    QCOMPARE(ui.edSelKol->text(), QStringLiteral("Farben & Töne"));
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Rot", "Weiß"}));

    f.ClickSearchTab(ui.tsRueck);
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("&"));
    QTRY_COMPARE(Rows(ui.lbRSel), QStringList{"Schwarz & Weiß"});
    PressEnter(ui.edRSelFarb);
    PressEnter(ui.lbRSel);
    QCOMPARE(ui.lbRFarbText->text(), QStringLiteral("Schwarz && Weiß"));
    QCOMPARE(ui.edRSelFarb->text(), QStringLiteral("Schwarz & Weiß"));
    QCOMPARE(Rows(ui.lbRSel), QStringList{"Classic"});
    PressEnter(ui.edRSelKol);
    PressEnter(ui.lbRSel);
    QCOMPARE(Rows(ui.lbRSel), QStringList{"O'Brien Lasur"});
    PressEnter(ui.edRSelProd);
    PressEnter(ui.lbRSel);
    QCOMPARE(ui.edPG->text(), QStringLiteral("7"));
    QVERIFY(!Shown(ui.pHinweis));
}

TINTOREL_TEST_MAIN(TestSearch)
#include "test_search.moc"
