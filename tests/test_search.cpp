// The search lists and both search directions on a real database, driven
// through key events, clicks and the handlers the window wires.
#include "test_search_fixture.h"

#include "search/searchlists.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

// What the detail panel shows, to compare the two roads.
struct Panel {
    QString base;
    QString priceGroup;
    QColor swatch;
    bool swatchShown;
    bool noticeShown;
    QString notice1;
    QString notice2;
    bool notice2Shown;
    QString detailKey;
    bool operator==(const Panel &) const = default;
};

Panel PanelOf(const Ui::TfmHaupt1 &ui)
{
    return {ui.edBase->text(),
            ui.edPG->text(),
            ui.mFarbton->palette().color(QPalette::Base),
            ui.mFarbton->isVisibleTo(fmHaupt1),
            ui.pHinweis->isVisibleTo(fmHaupt1),
            ui.lbHinweis->text(),
            ui.lbHinweis2->text(),
            ui.lbHinweis2->isVisibleTo(fmHaupt1),
            fmHinweis->DetailKey};
}

// Runs a statement in the program's own transaction, so that the running
// searches see it at once.
void RunInProgram(const QString &statement)
{
    fmdm->qrK1.ClearLines();
    fmdm->qrK1.AddLine(statement);
    fmdm->qrK1.RunStatement();
}

bool Shown(const QWidget *widget)
{
    return widget->isVisibleTo(fmHaupt1);
}

}  // namespace

class TestSearch : public QObject {
    Q_OBJECT
    SearchFixture f;

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void filterFragmentAndHelpers();
    void startUpAndForwardRoadMeetBackwardRoad();
    void debounceAndEnter();
    void loaderStatements();
    void failingLoad();
    void forwardClearButtonsAndReset();
    void backwardClearButtonsResetsAndPageSwitch();
    void missingCombination();
    void ampersandInNames();
    void backwardShadeLoadGuardedAgainstReentry();
};

void TestSearch::initTestCase()
{
    f.SetUp();
    QVERIFY(QTest::qWaitForWindowActive(fmHaupt1));
}

void TestSearch::init()
{
    f.ToStart();
}

void TestSearch::cleanup()
{
    f.ExpectNoBoxes();
}

void TestSearch::cleanupTestCase()
{
    f.TearDown();
}

void TestSearch::filterFragmentAndHelpers()
{
    QCOMPARE(TrimControls(QStringLiteral("\t\r\n  a b\x01 \x1f")), QStringLiteral("a b"));
    // Code 160 (no-break space) is no control character.
    QCOMPARE(TrimControls(QStringLiteral("\u00a0x\u00a0")), QStringLiteral("\u00a0x\u00a0"));
    QCOMPARE(FilterFragment(QStringLiteral(" \t "), QStringLiteral("A"), QStringLiteral("B")), QStringList());
    QCOMPARE(FilterFragment(QString(), QStringLiteral("A"), QStringLiteral("B")), QStringList());
    QCOMPARE(FilterFragment(QStringLiteral("  rot"), QStringLiteral(" where (upper(PNAME) like '%"),
                            QStringLiteral("    or        PNAME  like '%")),
             (QStringList{QStringLiteral(" where (upper(PNAME) like '%ROT%'"),
                          QStringLiteral("    or        PNAME  like '%rot%')")}));
    // Quotes doubled, wildcards and everything else left alone.
    QCOMPARE(FilterFragment(QStringLiteral("\to'b%_\"x\\ "), QStringLiteral("L1"), QStringLiteral("L2")),
             (QStringList{QStringLiteral("L1O''B%_\"X\\%'"), QStringLiteral("L2o''b%_\"x\\%')")}));
    // The Windows-1252 upper case: umlauts, š œ ž ÿ; ß and µ stay.
    QCOMPARE(FilterFragment(QStringLiteral("äöüéšœžÿßµ"), QStringLiteral("L1"), QStringLiteral("L2")),
             (QStringList{QStringLiteral("L1ÄÖÜÉŠŒŽŸßµ%'"), QStringLiteral("L2äöüéšœžÿßµ%')")}));
    QCOMPARE(LabelCaption(QStringLiteral("a&b&&c")), QStringLiteral("a&&b&&&&c"));
    QCOMPARE(LabelCaption(QStringLiteral("abc")), QStringLiteral("abc"));
    QVERIFY(IsEnterKey(Qt::Key_Return));
    QVERIFY(IsEnterKey(Qt::Key_Enter));
    QVERIFY(!IsEnterKey(Qt::Key_Space));
    QCOMPARE(StrToInt(QStringLiteral("42")), 42);
    QCOMPARE(StrToInt(QStringLiteral("-7")), -7);
    QVERIFY_THROWS_EXCEPTION(EConvertError, StrToInt(QString()));
}

void TestSearch::startUpAndForwardRoadMeetBackwardRoad()
{
    Ui::TfmHaupt1 &ui = f.ui();
    // Start state: every product by name, the product field focused.
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Außenlack", "Fassade_Plus", "Holz & Metall", "Innenfarbe",
                                          "O'Brien Lasur", "Rostschutz"}));
    QCOMPARE(Rows(ui.lbSelID), (QStringList{"1", "6", "2", "3", "4", "5"}));
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsVor);
    QCOMPARE(QApplication::focusWidget(), ui.edSelProd);
    QCOMPARE(fmHaupt1->SearchLevel, 0);
    QCOMPARE(ui.lbPID->text(), QStringLiteral("-1"));
    QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));
    QVERIFY(!Shown(ui.bbDelKol) && !Shown(ui.bbDelFarb) && Shown(ui.bbDelProd));
    QVERIFY(!ui.lbSel->currentItem() || !ui.lbSel->currentItem()->isSelected());

    // Forward, by keyboard alone: type, Enter, Enter.
    QTest::keyClicks(ui.edSelProd, QStringLiteral("außen"));
    QTRY_COMPARE(Rows(ui.lbSel), QStringList{"Außenlack"});
    PressEnter(ui.edSelProd);
    QCOMPARE(ui.lbSel->currentRow(), 0);
    QCOMPARE(QApplication::focusWidget(), ui.lbSel);
    QCOMPARE(fmHaupt1->SearchLevel, 0);  // selected, not chosen yet
    PressEnter(ui.lbSel);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QCOMPARE(ui.lbPID->text(), QStringLiteral("1"));
    QCOMPARE(ui.edSelProd->text(), QStringLiteral("Außenlack"));
    QVERIFY(!Shown(ui.edSelProd) && !ui.edSelProd->isEnabled());
    QCOMPARE(ui.lbProdText->text(), QStringLiteral("Außenlack"));
    QVERIFY(Shown(ui.lbProdText));
    QVERIFY(Shown(ui.edSelKol) && ui.edSelKol->isEnabled());
    QVERIFY(Shown(ui.bbDelKol) && !Shown(ui.bbDelFarb) && !Shown(ui.edSelFarb));
    QCOMPARE(QApplication::focusWidget(), ui.edSelKol);
    // Only the collections of product 1.
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(Rows(ui.lbSelID), (QStringList{"1", "2"}));
    QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));

    PressEnter(ui.edSelKol);
    PressEnter(ui.lbSel);
    QCOMPARE(fmHaupt1->SearchLevel, 2);
    QCOMPARE(ui.lbKID->text(), QStringLiteral("1"));
    QCOMPARE(ui.lbKolText->text(), QStringLiteral("Classic"));
    QVERIFY(Shown(ui.lbKolText) && !Shown(ui.edSelKol) && !ui.edSelKol->isEnabled());
    QVERIFY(Shown(ui.edSelFarb) && ui.edSelFarb->isEnabled() && Shown(ui.bbDelFarb));
    QCOMPARE(QApplication::focusWidget(), ui.edSelFarb);
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Rot", "Weiß"}));
    QCOMPARE(Rows(ui.lbSelID), (QStringList{"4", "6"}));

    PressEnter(ui.edSelFarb);
    QTest::keyClick(ui.lbSel, Qt::Key_Down);
    QCOMPARE(ui.lbSel->currentItem()->text(), QStringLiteral("Weiß"));
    const int loads = f.popup.shows;
    PressEnter(ui.lbSel);
    QCOMPARE(ui.edSelFarb->text(), QStringLiteral("Weiß"));
    QCOMPARE(fmHaupt1->SearchLevel, 2);
    QCOMPARE(f.popup.shows, loads);  // no reload
    QCOMPARE(QApplication::focusWidget(), ui.lbSel);
    const Panel forward = PanelOf(ui);
    QCOMPARE(forward.base, QStringLiteral("BA"));
    QCOMPARE(forward.priceGroup, QStringLiteral("3"));
    QCOMPARE(forward.swatch, QColor(255, 255, 255));
    QVERIFY(forward.swatchShown && forward.noticeShown && forward.notice2Shown);
    QCOMPARE(forward.notice1, QStringLiteral("Nur außen"));
    QCOMPARE(forward.notice2, QStringLiteral("+Nicht unter 5 Grad"));
    QCOMPARE(forward.detailKey, QStringLiteral("10"));

    // Another shade of the same list, by double-click: no reload.
    const QRect rot = ui.lbSel->visualItemRect(ui.lbSel->item(0));
    QTest::mouseClick(ui.lbSel->viewport(), Qt::LeftButton, {}, rot.center());
    QTest::mouseDClick(ui.lbSel->viewport(), Qt::LeftButton, {}, rot.center());
    QCOMPARE(ui.edSelFarb->text(), QStringLiteral("Rot"));
    QCOMPARE(ui.edPG->text(), QStringLiteral("5"));
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Rot", "Weiß"}));
    QCOMPARE(f.popup.shows, loads);

    // Backward, by keyboard alone, to the same combination.
    f.ClickSearchTab(ui.tsRueck);
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsRueck);
    QVERIFY(Rows(ui.lbRSel).isEmpty());
    QCOMPARE(ui.edBase->text(), QString());
    QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis));
    QCOMPARE(QApplication::focusWidget(), ui.edRSelFarb);
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("Weiß"));
    QTRY_COMPARE(Rows(ui.lbRSel), (QStringList{"Schwarz & Weiß", "Weiß"}));
    QCOMPARE(Rows(ui.lbRSelID), (QStringList{"5", "6"}));
    PressEnter(ui.edRSelFarb);
    QCOMPARE(QApplication::focusWidget(), ui.lbRSel);
    QTest::keyClick(ui.lbRSel, Qt::Key_Down);
    PressEnter(ui.lbRSel);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("6"));
    QCOMPARE(ui.lbRFarbText->text(), QStringLiteral("Weiß"));
    // Classic has Weiß for two products and is listed once.
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(Rows(ui.lbRSelID), (QStringList{"1", "2"}));
    QCOMPARE(QApplication::focusWidget(), ui.edRSelKol);
    PressEnter(ui.edRSelKol);
    PressEnter(ui.lbRSel);
    QCOMPARE(fmHaupt1->SearchLevel, 2);
    QCOMPARE(ui.lbRKID->text(), QStringLiteral("1"));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Außenlack", "Holz & Metall"}));
    QCOMPARE(Rows(ui.lbRSelID), (QStringList{"1", "2"}));
    QCOMPARE(QApplication::focusWidget(), ui.edRSelProd);
    PressEnter(ui.edRSelProd);
    PressEnter(ui.lbRSel);
    QCOMPARE(ui.edRSelProd->text(), QStringLiteral("Außenlack"));
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(PanelOf(ui), forward);

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
    QVERIFY(!fmWarten->isVisible());
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
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QCOMPARE(ui.lbPID->text(), QStringLiteral("5"));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Natur"});

    // A filter that finds nothing: Enter does nothing.
    QTest::keyClicks(ui.edSelKol, QStringLiteral("zzz"));
    QTRY_COMPARE(ui.lbSel->count(), 0);
    PressEnter(ui.edSelKol);
    QCOMPARE(QApplication::focusWidget(), ui.edSelKol);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    // Enter or a double-click in an empty list, or with no row selected.
    fmHaupt1->lbSelDblClick();
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QTest::keyClick(ui.edSelKol, Qt::Key_Backspace);
    QTest::keyClick(ui.edSelKol, Qt::Key_Backspace);
    QTest::keyClick(ui.edSelKol, Qt::Key_Backspace);
    QTRY_COMPARE(Rows(ui.lbSel), QStringList{"Natur"});
    ui.lbSel->clearSelection();
    PressEnter(ui.lbSel);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
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
    QCOMPARE(fmdm->qrFarben_S.SQL().at(1), QStringLiteral(" where (upper(FNAME) like '%ROT%'"));
    // Deleting the filter to empty keeps the last list.
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(ui.edRSelFarb, Qt::Key_Backspace);
    QCOMPARE(ui.edRSelFarb->text(), QString());
    QVERIFY(!fmHaupt1->tmRSuchen->Enabled());
    QTest::qWait(500);
    QCOMPARE(f.popup.shows, loads + 1);
    QCOMPARE(Rows(ui.lbRSel), QStringList{"Rot"});
}

void TestSearch::loaderStatements()
{
    Ui::TfmHaupt1 &ui = f.ui();
    const auto popupShows = [this] { return f.popup.shows; };

    // Products.
    const QStringList products{"Außenlack", "Fassade_Plus", "Holz & Metall", "Innenfarbe", "O'Brien Lasur",
                               "Rostschutz"};
    const auto loadProducts = [&](const QString &typed) {
        ui.edSelProd->setText(typed);
        ui.lbPID->setText(QStringLiteral("9"));
        const int before = popupShows();
        fmHaupt1->LoadProducts();
        QCOMPARE(popupShows(), before + 1);
        QVERIFY(!fmWarten->isVisible());
        QCOMPARE(ui.lbPID->text(), QStringLiteral("-1"));
        QCOMPARE(fmHaupt1->SearchLevel, 0);
        QCOMPARE(ui.lbSel->count(), ui.lbSelID->count());
    };
    const auto productLines = [](const QStringList &fragment) {
        return QStringList{"select * from PRODUKTE"} + fragment + QStringList{"order by PNAME"};
    };
    loadProducts(QString());
    QCOMPARE(fmdm->qrProdukte_S.SQL(), productLines({}));
    QCOMPARE(Rows(ui.lbSel), products);
    loadProducts(QStringLiteral(" \t "));
    QCOMPARE(fmdm->qrProdukte_S.SQL(), productLines({}));
    QCOMPARE(Rows(ui.lbSel), products);
    loadProducts(QStringLiteral("  rost"));
    QCOMPARE(fmdm->qrProdukte_S.SQL(), productLines({" where (upper(PNAME) like '%ROST%'",
                                                     "    or        PNAME  like '%rost%')"}));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Rostschutz"});
    QCOMPARE(Rows(ui.lbSelID), QStringList{"5"});
    loadProducts(QStringLiteral("ROST"));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Rostschutz"});
    loadProducts(QStringLiteral("o'b"));
    QCOMPARE(fmdm->qrProdukte_S.SQL(), productLines({" where (upper(PNAME) like '%O''B%'",
                                                     "    or        PNAME  like '%o''b%')"}));
    QCOMPARE(Rows(ui.lbSel), QStringList{"O'Brien Lasur"});
    // "%" and "_" are wildcards.
    loadProducts(QStringLiteral("s%z"));
    QCOMPARE(fmdm->qrProdukte_S.SQL(), productLines({" where (upper(PNAME) like '%S%Z%'",
                                                     "    or        PNAME  like '%s%z%')"}));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Rostschutz"});
    loadProducts(QStringLiteral("Holz_&"));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Holz & Metall"});
    // Letters outside ASCII reach the server over the ASCII connection.
    loadProducts(QStringLiteral("außen"));
    QCOMPARE(fmdm->qrProdukte_S.SQL(), productLines({" where (upper(PNAME) like '%AUßEN%'",
                                                     "    or        PNAME  like '%außen%')"}));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Außenlack"});
    loadProducts(QStringLiteral("Außenlack"));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Außenlack"});
    loadProducts(QStringLiteral("\tšœžÿé "));
    QCOMPARE(fmdm->qrProdukte_S.SQL(), productLines({" where (upper(PNAME) like '%ŠŒŽŸÉ%'",
                                                     "    or        PNAME  like '%šœžÿé%')"}));
    QVERIFY(Rows(ui.lbSel).isEmpty());

    // Collections of product 1.
    const auto loadCollections = [&](const QString &typed) {
        ui.lbPID->setText(QStringLiteral("1"));
        ui.lbKID->setText(QStringLiteral("9"));
        ui.edSelKol->setText(typed);
        const int before = popupShows();
        fmHaupt1->LoadCollections();
        QCOMPARE(popupShows(), before + 1);
        QVERIFY(!fmWarten->isVisible());
        QCOMPARE(fmHaupt1->SearchLevel, 1);
        QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));
        QCOMPARE(ui.lbPID->text(), QStringLiteral("1"));
    };
    const auto collectionLines = [](const QStringList &fragment) {
        return QStringList{"select kname,kid", "  from kollektionen", " where kpid = 1"} + fragment +
               QStringList{"group by KNAME, KID", "order by KNAME"};
    };
    loadCollections(QString());
    QCOMPARE(fmdm->qrS.SQL(), collectionLines({}));
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(Rows(ui.lbSelID), (QStringList{"1", "2"}));
    loadCollections(QStringLiteral("Töne"));
    QCOMPARE(fmdm->qrS.SQL(), collectionLines({" and (upper(KNAME) like '%TÖNE%'",
                                               "  or        KNAME  like '%Töne%')"}));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Farben & Töne"});
    QCOMPARE(Rows(ui.lbSelID), QStringList{"2"});

    // Shades of product 1 in collection 1.
    const auto loadShades = [&](const QString &typed) {
        ui.lbPID->setText(QStringLiteral("1"));
        ui.lbKID->setText(QStringLiteral("1"));
        ui.edSelFarb->setText(typed);
        const int before = popupShows();
        fmHaupt1->LoadShades();
        QCOMPARE(popupShows(), before + 1);
        QVERIFY(!fmWarten->isVisible());
        QCOMPARE(fmHaupt1->SearchLevel, 2);
        QCOMPARE(ui.lbKID->text(), QStringLiteral("1"));
        QCOMPARE(ui.lbPID->text(), QStringLiteral("1"));
    };
    const auto shadeLines = [](const QStringList &fragment) {
        return QStringList{"select FNAME,FID from KOMBIDATEN, FARBEN", "where K_FID = FID", "and   K_KID = 1",
                           "and   K_PID = 1"} +
               fragment + QStringList{"group by FNAME,FID", "order by FNAME"};
    };
    loadShades(QString());
    QCOMPARE(fmdm->qrS.SQL(), shadeLines({}));
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Rot", "Weiß"}));
    QCOMPARE(Rows(ui.lbSelID), (QStringList{"4", "6"}));
    loadShades(QStringLiteral("Weiß"));
    QCOMPARE(fmdm->qrS.SQL(), shadeLines({"   and (upper(FNAME) like '%WEIß%'",
                                          "    or        FNAME  like '%Weiß%')"}));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Weiß"});
    loadShades(QStringLiteral("weiß"));
    QCOMPARE(Rows(ui.lbSel), QStringList{"Weiß"});

    // Backward shades.
    const auto loadBackwardShades = [&](const QString &typed) {
        ui.edRSelFarb->setText(typed);
        ui.lbRFID->setText(QStringLiteral("9"));
        const int before = popupShows();
        fmHaupt1->LoadBackwardShades();
        QCOMPARE(popupShows(), before + 1);
        QVERIFY(!fmWarten->isVisible());
        QCOMPARE(fmHaupt1->SearchLevel, 0);
        QCOMPARE(ui.lbRFID->text(), QStringLiteral("-1"));
    };
    const auto backwardShadeLines = [](const QStringList &fragment) {
        return QStringList{"select * from FARBEN"} + fragment + QStringList{"order by FNAME"};
    };
    loadBackwardShades(QString());
    QCOMPARE(fmdm->qrFarben_S.SQL(), backwardShadeLines({}));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Blau", "Gelb", "Grün", "Rot", "Schwarz & Weiß", "Weiß"}));
    QCOMPARE(Rows(ui.lbRSelID), (QStringList{"1", "2", "3", "4", "5", "6"}));
    loadBackwardShades(QStringLiteral("  rot"));
    QCOMPARE(fmdm->qrFarben_S.SQL(), backwardShadeLines({" where (upper(FNAME) like '%ROT%'",
                                                         "    or        FNAME  like '%rot%')"}));
    QCOMPARE(Rows(ui.lbRSel), QStringList{"Rot"});
    QCOMPARE(Rows(ui.lbRSelID), QStringList{"4"});
    loadBackwardShades(QStringLiteral("Weiß"));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Schwarz & Weiß", "Weiß"}));
    loadBackwardShades(QStringLiteral("grün"));
    QCOMPARE(fmdm->qrFarben_S.SQL(), backwardShadeLines({" where (upper(FNAME) like '%GRÜN%'",
                                                         "    or        FNAME  like '%grün%')"}));

    // Backward collections of shade 6 and products of shade 6 in collection 1:
    // no popup.
    const auto collectionsOfShade = [](const QStringList &fragment) {
        return QStringList{"select KNAME, KID from KOMBIDATEN, KOLLEKTIONEN", " where K_KID = KID and KPID=0",
                           "   and K_FID = 6"} +
               fragment + QStringList{" group by KNAME, KID", " order by KNAME"};
    };
    ui.lbRFID->setText(QStringLiteral("6"));
    ui.lbRKID->setText(QStringLiteral("9"));
    ui.edRSelKol->clear();
    int before = popupShows();
    fmHaupt1->LoadBackwardCollections();
    QCOMPARE(popupShows(), before);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QCOMPARE(ui.lbRKID->text(), QStringLiteral("-1"));
    QCOMPARE(fmdm->qrS.SQL(), collectionsOfShade({}));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(Rows(ui.lbRSelID), (QStringList{"1", "2"}));
    ui.edRSelKol->setText(QStringLiteral("class"));
    fmHaupt1->LoadBackwardCollections();
    QCOMPARE(fmdm->qrS.SQL(), collectionsOfShade({" and (upper(KNAME) like '%CLASS%'",
                                                  "  or        KNAME  like '%class%')"}));
    QCOMPARE(Rows(ui.lbRSel), QStringList{"Classic"});

    const auto productsOfShade = [](const QStringList &fragment) {
        return QStringList{"select PNAME, PID from KOMBIDATEN, PRODUKTE", " where K_PID = PID", "   and K_KID = 1",
                           "   and K_FID = 6"} +
               fragment + QStringList{" group by PNAME, PID", " order by PNAME"};
    };
    ui.lbRKID->setText(QStringLiteral("1"));
    ui.edRSelProd->clear();
    before = popupShows();
    fmHaupt1->LoadBackwardProducts();
    QCOMPARE(popupShows(), before);
    QCOMPARE(fmHaupt1->SearchLevel, 2);
    QCOMPARE(ui.lbRKID->text(), QStringLiteral("1"));
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("6"));
    QCOMPARE(fmdm->qrS.SQL(), productsOfShade({}));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Außenlack", "Holz & Metall"}));
    QCOMPARE(Rows(ui.lbRSelID), (QStringList{"1", "2"}));
    ui.edRSelProd->setText(QStringLiteral("holz"));
    fmHaupt1->LoadBackwardProducts();
    QCOMPARE(fmdm->qrS.SQL(), productsOfShade({" and (upper(PNAME) like '%HOLZ%'",
                                                "  or        PNAME  like '%holz%')"}));
    QCOMPARE(Rows(ui.lbRSel), QStringList{"Holz & Metall"});
    QCOMPARE(Rows(ui.lbRSelID), QStringList{"2"});
    // The text goes out with CR LF after every line.
    QVERIFY(fmdm->qrS.StatementText().startsWith(
        QStringLiteral("select PNAME, PID from KOMBIDATEN, PRODUKTE\r\n where K_PID = PID\r\n")));
}

void TestSearch::failingLoad()
{
    Ui::TfmHaupt1 &ui = f.ui();
    // A statement the server refuses: the error propagates, the level and the
    // id label are as set at the start, the previous rows stay.
    ui.lbPID->setText(QStringLiteral("1"));
    fmHaupt1->LoadCollections();
    const QStringList collections = Rows(ui.lbSel);
    ui.lbPID->setText(QStringLiteral("x"));
    ui.lbKID->setText(QStringLiteral("2"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, fmHaupt1->LoadCollections());
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));
    QCOMPARE(Rows(ui.lbSel), collections);
    QVERIFY(!fmWarten->isVisible());
    // Choosing still works once the load is over.
    ui.edSelProd->clear();
    fmHaupt1->LoadProducts();
    SelectRow(ui.lbSel, QStringLiteral("Innenfarbe"));
    fmHaupt1->lbSelDblClick();
    QCOMPARE(fmHaupt1->SearchLevel, 1);
}

void TestSearch::forwardClearButtonsAndReset()
{
    Ui::TfmHaupt1 &ui = f.ui();
    // Product state: the level clear buttons are hidden and do nothing.
    QVERIFY(!Shown(ui.bbDelKol) && !Shown(ui.bbDelFarb));
    int loads = f.popup.shows;
    fmHaupt1->bbDelKolClick();
    fmHaupt1->bbDelFarbClick();
    QCOMPARE(f.popup.shows, loads);
    QCOMPARE(fmHaupt1->SearchLevel, 0);

    // Collection state, filtered.
    SelectRow(ui.lbSel, QStringLiteral("Außenlack"));
    PressEnter(ui.lbSel);
    QTest::keyClicks(ui.edSelKol, QStringLiteral("class"));
    QTRY_COMPARE(Rows(ui.lbSel), QStringList{"Classic"});
    loads = f.popup.shows;
    fmHaupt1->bbDelFarbClick();  // nothing at level 1
    QCOMPARE(f.popup.shows, loads);
    QCOMPARE(ui.edSelKol->text(), QStringLiteral("class"));
    QTest::mouseClick(ui.bbDelKol, Qt::LeftButton);
    QCOMPARE(ui.edSelKol->text(), QString());
    QCOMPARE(QApplication::focusWidget(), ui.edSelKol);
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(fmHaupt1->SearchLevel, 1);

    // Shade state with a combination on show.
    PressEnter(ui.edSelKol);
    PressEnter(ui.lbSel);
    QTest::keyClicks(ui.edSelFarb, QStringLiteral("wei"));
    QTRY_COMPARE(Rows(ui.lbSel), QStringList{"Weiß"});
    PressEnter(ui.edSelFarb);
    PressEnter(ui.lbSel);
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    QCOMPARE(ui.edSelFarb->text(), QStringLiteral("Weiß"));
    // Clear the shade row: all shades again, the panel as it was.
    QTest::mouseClick(ui.bbDelFarb, Qt::LeftButton);
    QCOMPARE(ui.edSelFarb->text(), QString());
    QCOMPARE(QApplication::focusWidget(), ui.edSelFarb);
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Rot", "Weiß"}));
    QCOMPARE(fmHaupt1->SearchLevel, 2);
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    QVERIFY(Shown(ui.mFarbton) && Shown(ui.pHinweis));

    // Clear the collection row from the shade state.
    QTest::mouseClick(ui.bbDelKol, Qt::LeftButton);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QVERIFY(Shown(ui.edSelKol) && ui.edSelKol->isEnabled());
    QCOMPARE(ui.edSelKol->text(), QString());
    QVERIFY(!Shown(ui.lbKolText));
    QCOMPARE(ui.lbKolText->text(), QString());
    QVERIFY(!Shown(ui.edSelFarb) && !ui.edSelFarb->isEnabled());
    QCOMPARE(ui.edSelFarb->text(), QString());
    QVERIFY(!Shown(ui.bbDelFarb) && Shown(ui.bbDelKol));
    QCOMPARE(QApplication::focusWidget(), ui.edSelKol);
    QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));
    QCOMPARE(ui.lbPID->text(), QStringLiteral("1"));
    QVERIFY(Shown(ui.lbProdText));
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    QVERIFY(Shown(ui.mFarbton));

    // The full reset, by either button, at any level.
    for (QPushButton *button : {ui.bbDelAll, ui.bbDelProd}) {
        SelectRow(ui.lbSel, QStringLiteral("Classic"));
        PressEnter(ui.lbSel);
        SelectRow(ui.lbSel, QStringLiteral("Weiß"));
        PressEnter(ui.lbSel);
        QVERIFY(Shown(ui.mFarbton));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(ui.edBase->text(), QString());
        QCOMPARE(ui.edPG->text(), QString());
        QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis));
        QCOMPARE(fmHaupt1->SearchLevel, 0);
        QVERIFY(Shown(ui.edSelProd) && ui.edSelProd->isEnabled());
        QVERIFY(!Shown(ui.edSelKol) && !ui.edSelKol->isEnabled());
        QVERIFY(!Shown(ui.edSelFarb) && !ui.edSelFarb->isEnabled());
        for (QLineEdit *field : {ui.edSelProd, ui.edSelKol, ui.edSelFarb})
            QCOMPARE(field->text(), QString());
        for (QLabel *label : {ui.lbProdText, ui.lbKolText}) {
            QVERIFY(!Shown(label));
            QCOMPARE(label->text(), QString());
        }
        QCOMPARE(ui.lbPID->text(), QStringLiteral("-1"));
        QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));
        QVERIFY(!Shown(ui.bbDelKol) && !Shown(ui.bbDelFarb) && Shown(ui.bbDelProd));
        QCOMPARE(QApplication::focusWidget(), ui.edSelProd);
        QCOMPARE(ui.lbSel->count(), 6);
        SelectRow(ui.lbSel, QStringLiteral("Außenlack"));
        PressEnter(ui.lbSel);
    }
}

void TestSearch::backwardClearButtonsResetsAndPageSwitch()
{
    Ui::TfmHaupt1 &ui = f.ui();
    f.ClickSearchTab(ui.tsRueck);
    QCOMPARE(fmHaupt1->SearchLevel, 0);
    QVERIFY(!Shown(ui.bbRDelKol) && !Shown(ui.bbRDelProd) && Shown(ui.bbRDelFarb));
    QVERIFY(!Shown(ui.edRSelKol) && !Shown(ui.edRSelProd));
    fmHaupt1->bbRDelKolClick();
    fmHaupt1->bbRDelProdClick();
    QCOMPARE(fmHaupt1->SearchLevel, 0);
    QVERIFY(Rows(ui.lbRSel).isEmpty());

    // To the product level with a filter.
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("weiß"));
    QTRY_COMPARE(Rows(ui.lbRSel), (QStringList{"Schwarz & Weiß", "Weiß"}));
    SelectRow(ui.lbRSel, QStringLiteral("Weiß"));
    PressEnter(ui.lbRSel);
    QVERIFY(Shown(ui.bbRDelKol) && !Shown(ui.bbRDelProd) && !Shown(ui.edRSelProd));
    fmHaupt1->bbRDelProdClick();  // nothing at level 1
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    // The collection filter reloads although its own field raised the key:
    // the shade field holds the chosen name.
    QTest::keyClicks(ui.edRSelKol, QStringLiteral("farb"));
    QTRY_COMPARE(Rows(ui.lbRSel), QStringList{"Farben & Töne"});
    QTest::mouseClick(ui.bbRDelKol, Qt::LeftButton);
    QCOMPARE(ui.edRSelKol->text(), QString());
    QCOMPARE(QApplication::focusWidget(), ui.edRSelKol);
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Classic", "Farben & Töne"}));
    SelectRow(ui.lbRSel, QStringLiteral("Classic"));
    PressEnter(ui.lbRSel);
    QVERIFY(Shown(ui.bbRDelProd) && Shown(ui.edRSelProd) && ui.edRSelProd->isEnabled());
    QTest::keyClicks(ui.edRSelProd, QStringLiteral("holz"));
    QTRY_COMPARE(Rows(ui.lbRSel), QStringList{"Holz & Metall"});
    PressEnter(ui.edRSelProd);
    PressEnter(ui.lbRSel);
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));

    // Clear the product row: all products, panel kept.
    QTest::mouseClick(ui.bbRDelProd, Qt::LeftButton);
    QCOMPARE(ui.edRSelProd->text(), QString());
    QCOMPARE(QApplication::focusWidget(), ui.edRSelProd);
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Außenlack", "Holz & Metall"}));
    QCOMPARE(fmHaupt1->SearchLevel, 2);
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));

    // Clear the collection row from the product level.
    QTest::mouseClick(ui.bbRDelKol, Qt::LeftButton);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QVERIFY(Shown(ui.edRSelKol) && ui.edRSelKol->isEnabled());
    QCOMPARE(ui.edRSelKol->text(), QString());
    QVERIFY(!Shown(ui.lbRKolText));
    QCOMPARE(ui.lbRKolText->text(), QString());
    QVERIFY(!Shown(ui.edRSelProd) && !ui.edRSelProd->isEnabled());
    QCOMPARE(ui.edRSelProd->text(), QString());
    QVERIFY(!Shown(ui.bbRDelProd));
    QCOMPARE(ui.lbRKID->text(), QStringLiteral("-1"));
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("6"));
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Classic", "Farben & Töne"}));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));

    // The full reset by either button: empty list, nothing loaded.
    const auto checkReset = [&] {
        QCOMPARE(fmHaupt1->SearchLevel, 0);
        QVERIFY(Rows(ui.lbRSel).isEmpty());
        QVERIFY(Rows(ui.lbRSelID).isEmpty());
        QCOMPARE(ui.edBase->text(), QString());
        QCOMPARE(ui.edPG->text(), QString());
        QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis));
        QVERIFY(Shown(ui.edRSelFarb) && ui.edRSelFarb->isEnabled());
        QVERIFY(!Shown(ui.edRSelKol) && !ui.edRSelKol->isEnabled());
        QVERIFY(!Shown(ui.edRSelProd) && !ui.edRSelProd->isEnabled());
        for (QLineEdit *field : {ui.edRSelFarb, ui.edRSelKol, ui.edRSelProd})
            QCOMPARE(field->text(), QString());
        for (QLabel *label : {ui.lbRFarbText, ui.lbRKolText}) {
            QVERIFY(!Shown(label));
            QCOMPARE(label->text(), QString());
        }
        QCOMPARE(ui.lbRFID->text(), QStringLiteral("-1"));
        QCOMPARE(ui.lbRKID->text(), QStringLiteral("-1"));
        QVERIFY(!Shown(ui.bbRDelKol) && !Shown(ui.bbRDelProd) && Shown(ui.bbRDelFarb));
        QCOMPARE(QApplication::focusWidget(), ui.edRSelFarb);
    };
    for (QPushButton *button : {ui.bbRDelAll, ui.bbRDelFarb}) {
        SelectRow(ui.lbRSel, QStringLiteral("Classic"));
        PressEnter(ui.lbRSel);
        SelectRow(ui.lbRSel, QStringLiteral("Außenlack"));
        PressEnter(ui.lbRSel);
        QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
        const int loads = f.popup.shows;
        QTest::mouseClick(button, Qt::LeftButton);
        checkReset();
        QTest::qWait(400);
        QCOMPARE(f.popup.shows, loads);
        QTest::keyClicks(ui.edRSelFarb, QStringLiteral("Weiß"));
        QTRY_COMPARE(Rows(ui.lbRSel), (QStringList{"Schwarz & Weiß", "Weiß"}));
        SelectRow(ui.lbRSel, QStringLiteral("Weiß"));
        PressEnter(ui.lbRSel);
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
    QTest::keyClicks(ui.edRSelFarb, QStringLiteral("Weiß"));
    QTRY_COMPARE(ui.lbRSel->count(), 2);
    SelectRow(ui.lbRSel, QStringLiteral("Weiß"));
    PressEnter(ui.lbRSel);
    SelectRow(ui.lbRSel, QStringLiteral("Classic"));
    PressEnter(ui.lbRSel);
    SelectRow(ui.lbRSel, QStringLiteral("Außenlack"));
    PressEnter(ui.lbRSel);
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    f.ClickSearchTab(ui.tsVor);
    QCOMPARE(ui.edBase->text(), QString());
    QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis));
    QCOMPARE(fmHaupt1->SearchLevel, 0);
    QCOMPARE(ui.lbSel->count(), 6);
    QCOMPARE(QApplication::focusWidget(), ui.edSelProd);
    // A reload pending on the page left behind does not run on the other one.
    QTest::keyClicks(ui.edSelProd, QStringLiteral("Außen"));
    QVERIFY(fmHaupt1->tmSuchen->Enabled());
    f.ClickSearchTab(ui.tsRueck);
    QVERIFY(!fmHaupt1->tmSuchen->Enabled());
    checkReset();
}

void TestSearch::missingCombination()
{
    Ui::TfmHaupt1 &ui = f.ui();
    // Forward: the row vanishes after the shade list was loaded; the panel
    // stays cleared and nothing is said.
    SelectRow(ui.lbSel, QStringLiteral("Außenlack"));
    PressEnter(ui.lbSel);
    SelectRow(ui.lbSel, QStringLiteral("Classic"));
    PressEnter(ui.lbSel);
    SelectRow(ui.lbSel, QStringLiteral("Rot"));
    PressEnter(ui.lbSel);
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    RunInProgram(QStringLiteral("delete from KOMBIDATEN where K_FID = 6 and K_KID = 1 and K_PID = 1"));
    SelectRow(ui.lbSel, QStringLiteral("Weiß"));
    PressEnter(ui.lbSel);
    QCOMPARE(ui.edBase->text(), QString());
    QCOMPARE(ui.edPG->text(), QString());
    QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis));
    QVERIFY(!Shown(ui.lbWarning));
    f.ExpectNoBoxes();
    RunInProgram(QStringLiteral("insert into KOMBIDATEN values (6, 1, 1, 1, 1, 10, 3)"));

    // Backward: "Ungültige Kombination!" until the next backward display or a
    // page switch; resets and level clears leave it.
    f.ClickSearchTab(ui.tsRueck);
    const QString removeHolz =
        QStringLiteral("delete from KOMBIDATEN where K_FID = 6 and K_KID = 1 and K_PID = 2");
    const QString restoreHolz = QStringLiteral("insert into KOMBIDATEN values (6, 1, 2, 99, 2, 13, NULL)");
    const auto warnOnHolz = [&] {
        QTest::keyClicks(ui.edRSelFarb, QStringLiteral("Weiß"));
        QTRY_COMPARE(ui.lbRSel->count(), 2);
        SelectRow(ui.lbRSel, QStringLiteral("Weiß"));
        PressEnter(ui.lbRSel);
        SelectRow(ui.lbRSel, QStringLiteral("Classic"));
        PressEnter(ui.lbRSel);
        QCOMPARE(Rows(ui.lbRSel), (QStringList{"Außenlack", "Holz & Metall"}));
        RunInProgram(removeHolz);
        SelectRow(ui.lbRSel, QStringLiteral("Holz & Metall"));
        PressEnter(ui.lbRSel);
        RunInProgram(restoreHolz);
        QVERIFY(Shown(ui.lbWarning));
    };
    warnOnHolz();
    QCOMPARE(ui.lbWarning->text(), QStringLiteral("Ungültige Kombination!"));
    QCOMPARE(ui.edBase->text(), QString());
    QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis));
    f.ExpectNoBoxes();
    // The next backward display hides it first, and shows it only for a
    // missing row.
    SelectRow(ui.lbRSel, QStringLiteral("Außenlack"));
    PressEnter(ui.lbRSel);
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    RunInProgram(removeHolz);
    SelectRow(ui.lbRSel, QStringLiteral("Holz & Metall"));
    PressEnter(ui.lbRSel);
    RunInProgram(restoreHolz);
    QVERIFY(Shown(ui.lbWarning));
    SelectRow(ui.lbRSel, QStringLiteral("Holz & Metall"));
    PressEnter(ui.lbRSel);
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));
    // Level clears and resets leave it.
    RunInProgram(removeHolz);
    PressEnter(ui.lbRSel);
    RunInProgram(restoreHolz);
    QVERIFY(Shown(ui.lbWarning));
    for (QPushButton *button : {ui.bbRDelProd, ui.bbRDelKol, ui.bbRDelAll, ui.bbRDelFarb}) {
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(Shown(ui.lbWarning));
    }
    // The page switch hides it, both ways.
    f.ClickSearchTab(ui.tsVor);
    QVERIFY(!ui.lbWarning->isVisibleTo(ui.tsRueck));
    f.ClickSearchTab(ui.tsRueck);
    QVERIFY(!Shown(ui.lbWarning));
    warnOnHolz();
    f.ClickSearchTab(ui.tsVor);
    f.ClickSearchTab(ui.tsRueck);
    QVERIFY(!Shown(ui.lbWarning));
}

void TestSearch::ampersandInNames()
{
    Ui::TfmHaupt1 &ui = f.ui();
    SelectRow(ui.lbSel, QStringLiteral("Holz & Metall"));
    PressEnter(ui.lbSel);
    QCOMPARE(ui.lbProdText->text(), QStringLiteral("Holz && Metall"));
    QCOMPARE(ui.edSelProd->text(), QStringLiteral("Holz & Metall"));
    // On screen the doubled "&" reads as one.
    QLabel plain(QStringLiteral("Holz & Metall"));
    plain.setFont(ui.lbProdText->font());
    QCOMPARE(ui.lbProdText->sizeHint().width(), plain.sizeHint().width());
    f.ToStart();
    SelectRow(ui.lbSel, QStringLiteral("Außenlack"));
    PressEnter(ui.lbSel);
    SelectRow(ui.lbSel, QStringLiteral("Farben & Töne"));
    PressEnter(ui.lbSel);
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

void TestSearch::backwardShadeLoadGuardedAgainstReentry()
{
    Ui::TfmHaupt1 &ui = f.ui();
    const QStringList allShades{"Blau", "Gelb", "Grün", "Rot", "Schwarz & Weiß", "Weiß"};
    const QStringList allIds{"1", "2", "3", "4", "5", "6"};

    // Acts once from inside the load's message pumps, as soon as the list
    // holds two rows; counts the pumps it sees.
    struct Interloper {
        QTimer timer;
        int ticks = 0;
        int rowsWhenActed = -1;
    };
    int ticks = 0;
    const auto loadWith = [&](const std::function<void()> &action) {
        Interloper in;
        in.timer.setInterval(0);
        QObject::connect(&in.timer, &QTimer::timeout, [&] {
            ++in.ticks;
            if (in.rowsWhenActed < 0 && ui.lbRSel->count() >= 2) {
                in.rowsWhenActed = ui.lbRSel->count();
                action();
            }
        });
        in.timer.start();
        ui.edRSelFarb->setText(QStringLiteral("%"));
        fmHaupt1->LoadBackwardShades();
        in.timer.stop();
        ticks = in.ticks;
        QCOMPARE(in.rowsWhenActed, 2);
        QVERIFY(!fmWarten->isVisible());
        QCOMPARE(ui.lbRSel->count(), ui.lbRSelID->count());
    };

    f.ClickSearchTab(ui.tsRueck);

    // Undisturbed: the window is served before every row.
    loadWith([] {});
    QVERIFY(ticks >= allShades.size());
    QCOMPARE(Rows(ui.lbRSel), allShades);
    QCOMPARE(Rows(ui.lbRSelID), allIds);

    // A second load fired by typing: its rows alone, in step with their ids.
    loadWith([&] {
        ui.edRSelFarb->setText(QStringLiteral("Weiß"));
        fmHaupt1->tmRSuchenTimer();
    });
    QCOMPARE(Rows(ui.lbRSel), (QStringList{"Schwarz & Weiß", "Weiß"}));
    QCOMPARE(Rows(ui.lbRSelID), (QStringList{"5", "6"}));
    QCOMPARE(fmHaupt1->SearchLevel, 0);

    // A choice in the half-filled list, by double-click and by Enter: ignored.
    loadWith([&] {
        ui.lbRSel->setCurrentRow(0);
        fmHaupt1->lbRSelDblClick();
        PressEnter(ui.lbRSel);
    });
    QCOMPARE(Rows(ui.lbRSel), allShades);
    QCOMPARE(Rows(ui.lbRSelID), allIds);
    QCOMPARE(fmHaupt1->SearchLevel, 0);
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("-1"));
    QVERIFY(Shown(ui.edRSelFarb) && !Shown(ui.edRSelKol));
    // Once the load is over the same choice works.
    SelectRow(ui.lbRSel, QStringLiteral("Blau"));
    PressEnter(ui.lbRSel);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QCOMPARE(Rows(ui.lbRSel), QStringList{"Classic"});
    QTest::mouseClick(ui.bbRDelAll, Qt::LeftButton);

    // The reset button: the list stays empty.
    loadWith([&] { QTest::mouseClick(ui.bbRDelAll, Qt::LeftButton); });
    QVERIFY(Rows(ui.lbRSel).isEmpty());
    QVERIFY(Rows(ui.lbRSelID).isEmpty());
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("-1"));

    // A page switch: the forward page is set up, the abandoned backward rows
    // are not added to, and the next switch back clears them.
    loadWith([&] { f.ClickSearchTab(ui.tsVor); });
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsVor);
    QCOMPARE(fmHaupt1->SearchLevel, 0);
    QCOMPARE(ui.lbSel->count(), 6);
    QCOMPARE(Rows(ui.lbRSel), allShades.mid(0, 2));
    f.ClickSearchTab(ui.tsRueck);
    QVERIFY(Rows(ui.lbRSel).isEmpty());

    // A choice on the forward page during a forward load's message pump is
    // ignored as well: the list still holds the previous level's rows.
    f.ClickSearchTab(ui.tsVor);
    bool acted = false;
    QTimer::singleShot(0, [&] {
        acted = true;
        SelectRow(ui.lbSel, QStringLiteral("Innenfarbe"));
        fmHaupt1->lbSelDblClick();
    });
    ui.lbPID->setText(QStringLiteral("1"));
    fmHaupt1->LoadCollections();
    QVERIFY(acted);
    QCOMPARE(fmHaupt1->SearchLevel, 1);
    QCOMPARE(ui.lbKID->text(), QStringLiteral("-1"));
    QCOMPARE(Rows(ui.lbSel), (QStringList{"Classic", "Farben & Töne"}));
}

SEARCH_TEST_MAIN(TestSearch)
#include "test_search.moc"
