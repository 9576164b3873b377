// Long list loads that hand the window its messages while they fill: typing,
// choosing, resetting and switching pages in the middle of them, once each
// and then in a few hundred seeded random interleavings.
#include "test_search_fixture.h"

#include "search/filter.h"

#include <QRandomGenerator>
#include <QTimer>

#include <array>
#include <map>

namespace {

// The data: shades "Ton 00001 Rot" ... (every fifth a "Weiß" one), all of
// them for product 1 in collection 1; products "Produkt 0001" ...; shade 1
// in collection 1 for every product; shade 2 in collections 1 to 3.
constexpr int kShades = 30000;
constexpr int kProducts = 3000;
const QStringList kWords{"Rot", "Blau", "Gelb", "Grau", "Weiss"};

QString ShadeName(int id)
{
    return QStringLiteral("Ton %1 %2").arg(id, 5, 10, QLatin1Char('0')).arg(kWords.at(id % kWords.size()));
}

QString ProductName(int id)
{
    return QStringLiteral("Produkt %1").arg(id, 4, 10, QLatin1Char('0'));
}

QString CollectionName(int id)
{
    return QStringLiteral("Kollektion %1").arg(QChar(QLatin1Char('A').unicode() + id - 1));
}

QStringList LongListStatements()
{
    const QString block = QStringLiteral("execute block as declare i integer = 1; begin ");
    return {block + QStringLiteral("while (i <= %1) do begin insert into FARBEN values (:i, 'Ton ' || "
                                   "lpad(:i, 5, '0') || ' ' || decode(mod(:i, 5), 0, 'Rot', 1, 'Blau', 2, 'Gelb', "
                                   "3, 'Grau', 'Weiss')); insert into KOMBIDATEN values (:i, 1, 1, 1, 1, 0, 1); "
                                   "i = i + 1; end end")
                        .arg(kShades),
            block + QStringLiteral("while (i <= %1) do begin insert into PRODUKTE values (:i, 'Produkt ' || "
                                   "lpad(:i, 4, '0')); if (i > 1) then insert into KOMBIDATEN values (1, 1, :i, 1, 1, "
                                   "0, 1); i = i + 1; end end")
                        .arg(kProducts),
            QStringLiteral("insert into KOLLEKTIONEN values (0, 1, 'Kollektion A', 'J')"),
            QStringLiteral("insert into KOLLEKTIONEN values (0, 2, 'Kollektion B', 'J')"),
            QStringLiteral("insert into KOLLEKTIONEN values (0, 3, 'Kollektion C', 'J')"),
            QStringLiteral("insert into KOLLEKTIONEN values (1, 1, 'Kollektion A', 'J')"),
            QStringLiteral("insert into KOLLEKTIONEN values (1, 2, 'Kollektion B', 'J')"),
            QStringLiteral("insert into KOMBIDATEN values (2, 2, 1, 1, 1, 0, 1)"),
            QStringLiteral("insert into KOMBIDATEN values (2, 3, 7, 1, 1, 0, 1)"),
            QStringLiteral("insert into BASEN values (1, 'BA')"),
            QStringLiteral("insert into RGBCOLORS values (1, 1, 2, 3)")};
}

// What a list of the data must hold: names and ids, by name.
using Names = std::map<QString, int>;

// The rows whose name holds the typed text, in either case (the names are
// ASCII); every row for a blank text.
QStringList Matching(const Names &rows, const QString &typed)
{
    const QString text = typed.trimmed();
    QStringList listed;
    for (const auto &[name, id] : rows)
        if (name.contains(text, Qt::CaseInsensitive))
            listed << name + QLatin1Char('=') + QString::number(id);
    return listed;
}

// The search of a page, and its filter fields by level.
SearchDirection &SearchOf(bool backward)
{
    return backward ? static_cast<SearchDirection &>(fmHaupt1->Backward()) : fmHaupt1->Forward();
}

std::array<QLineEdit *, 3> FieldsOf(const Ui::TfmHaupt1 &ui, bool backward)
{
    return backward ? std::array<QLineEdit *, 3>{ui.edRSelFarb, ui.edRSelKol, ui.edRSelProd}
                    : std::array<QLineEdit *, 3>{ui.edSelProd, ui.edSelKol, ui.edSelFarb};
}

}  // namespace

class TestSearchLoad : public QObject {
    Q_OBJECT
    SearchFixture f;
    Names shades, products;

    // The rows a level of a search lists for the state it is in.
    Names LevelRows(const SearchDirection &search, bool backward) const
    {
        const int level = search.Level();
        if (level == 0)
            return backward ? shades : products;
        Names rows;
        if (backward) {
            const int shade = search.ChosenId(0);
            if (level == 1) {
                for (int kid = 1; kid <= 3; ++kid)
                    if ((shade != 2 && kid == 1 && shade >= 1) || (shade == 2 && kid <= 3))
                        rows[CollectionName(kid)] = kid;
            } else if (search.ChosenId(1) == 1 && shade == 1) {
                rows = products;
            } else if (shade == 2) {
                rows[ProductName(search.ChosenId(1) == 3 ? 7 : 1)] = search.ChosenId(1) == 3 ? 7 : 1;
            } else if (search.ChosenId(1) == 1) {
                rows[ProductName(1)] = 1;
            }
            return rows;
        }
        const int product = search.ChosenId(0);
        if (level == 1) {
            if (product == 1)
                rows = {{CollectionName(1), 1}, {CollectionName(2), 2}};
            return rows;
        }
        if (product == 1 && search.ChosenId(1) == 1)
            return shades;
        if (product == 1 && search.ChosenId(1) == 2)
            rows[ShadeName(2)] = 2;
        return rows;
    }

    // Loads every shade of "Ton" and acts once from inside the load's
    // message handling, as soon as rows have arrived; counts the pumps.
    int loadWith(const std::function<void()> &action)
    {
        Ui::TfmHaupt1 &ui = f.ui();
        QTimer timer;
        int ticks = 0;
        bool acted = false;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++ticks;
            if (!acted && ui.lbRSel->count() > 0 && fmHaupt1->Lists().Filling()) {
                acted = true;
                action();
            }
        });
        timer.start(0);
        ui.edRSelFarb->setText(QStringLiteral("Ton"));
        fmHaupt1->Backward().Load(0);
        timer.stop();
        if (!acted)
            qWarning("the load ended before it handled any message");
        return acted ? ticks : -1;
    }

private slots:
    void initTestCase()
    {
        for (int id = 1; id <= kShades; ++id)
            shades[ShadeName(id)] = id;
        for (int id = 1; id <= kProducts; ++id)
            products[ProductName(id)] = id;
        f.SetUp(LongListStatements());
    }
    void init() { f.ToStart(); }
    void cleanup() { f.ExpectNoBoxes(); }
    void cleanupTestCase() { f.TearDown(); }

    void longBackwardLoadStaysInterruptible();
    void randomInterleavings();
};

void TestSearchLoad::longBackwardLoadStaysInterruptible()
{
    Ui::TfmHaupt1 &ui = f.ui();
    f.ClickSearchTab(ui.tsRueck);
    const QStringList all = Matching(shades, QStringLiteral("Ton"));

    // Undisturbed: the window is served while the list fills.
    QVERIFY(loadWith([] {}) > 1);
    QCOMPARE(Listed(ui.lbRSel, ui.lbRSelID), all);

    // A second load fired by typing: its rows alone, in step with their ids.
    QVERIFY(loadWith([&] {
        ui.edRSelFarb->setText(QStringLiteral("00012"));
        fmHaupt1->tmRSuchenTimer();
    }) > 0);
    QCOMPARE(Listed(ui.lbRSel, ui.lbRSelID), Matching(shades, QStringLiteral("00012")));
    QCOMPARE(fmHaupt1->SearchLevel(), 0);

    // A choice in the half-filled list, by double-click and by Enter: ignored.
    QVERIFY(loadWith([&] {
        ui.lbRSel->setCurrentRow(0);
        fmHaupt1->lbRSelDblClick();
        PressEnter(ui.lbRSel);
    }) > 0);
    QCOMPARE(Listed(ui.lbRSel, ui.lbRSelID), all);
    QCOMPARE(fmHaupt1->SearchLevel(), 0);
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("-1"));
    QVERIFY(Shown(ui.edRSelFarb) && !Shown(ui.edRSelKol));
    // Once the load is over the same choice works.
    f.Choose(ui.lbRSel, ShadeName(2));
    QCOMPARE(fmHaupt1->SearchLevel(), 1);
    QCOMPARE(Rows(ui.lbRSel), (QStringList{CollectionName(1), CollectionName(2), CollectionName(3)}));
    QTest::mouseClick(ui.bbRDelAll, Qt::LeftButton);

    // The reset button: the list stays empty.
    QVERIFY(loadWith([&] { QTest::mouseClick(ui.bbRDelAll, Qt::LeftButton); }) > 0);
    QVERIFY(Listed(ui.lbRSel, ui.lbRSelID).isEmpty());
    QCOMPARE(ui.lbRFID->text(), QStringLiteral("-1"));

    // A page switch: the forward page is set up, the abandoned backward rows
    // are not added to, and the next switch back clears them.
    QStringList abandoned;
    QVERIFY(loadWith([&] {
        f.ClickSearchTab(ui.tsVor);
        abandoned = Listed(ui.lbRSel, ui.lbRSelID);
    }) > 0);
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsVor);
    QCOMPARE(fmHaupt1->SearchLevel(), 0);
    QCOMPARE(Listed(ui.lbSel, ui.lbSelID), Matching(products, QString()));
    QCOMPARE(Listed(ui.lbRSel, ui.lbRSelID), abandoned);
    f.ClickSearchTab(ui.tsRueck);
    QVERIFY(Rows(ui.lbRSel).isEmpty());

    // A choice on the forward page during a forward load's message handling
    // is ignored as well: the list still holds the previous level's rows.
    f.ClickSearchTab(ui.tsVor);
    f.Choose(ui.lbSel, ProductName(1));
    QTimer chooser;
    bool acted = false;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        if (!acted && fmHaupt1->Lists().Filling() && ui.lbSel->count() > 0) {
            acted = true;
            ui.lbSel->setCurrentRow(0);
            fmHaupt1->lbSelDblClick();
        }
    });
    chooser.start(0);
    f.Choose(ui.lbSel, CollectionName(1));
    chooser.stop();
    QVERIFY(acted);
    QCOMPARE(fmHaupt1->SearchLevel(), 2);
    QCOMPARE(Listed(ui.lbSel, ui.lbSelID), Matching(shades, QString()));
}

void TestSearchLoad::randomInterleavings()
{
    Ui::TfmHaupt1 &ui = f.ui();
    QRandomGenerator random(20261208);
    const QString letters = QStringLiteral("tonrgbwe0123 ");
    // The visible page's search, its controls by level, and whether it is
    // the backward one.
    const auto backward = [&] { return ui.pcSuche->currentWidget() == ui.tsRueck; };
    const auto search = [&]() -> SearchDirection & { return SearchOf(backward()); };
    const auto field = [&](int level) { return FieldsOf(ui, backward())[level]; };
    const auto list = [&] { return backward() ? ui.lbRSel : ui.lbSel; };

    // One user action: typing, clearing, choosing, a clear button, the
    // reset, a page switch; the reload timer may expire at once.
    const auto act = [&] {
        const int level = search().Level();
        QLineEdit *typed = field(level);
        switch (random.bounded(9)) {
        case 0:
        case 1:
            QTest::keyClick(typed, letters.at(random.bounded(letters.size())).toLatin1());
            break;
        case 2:
            typed->selectAll();
            QTest::keyClick(typed, Qt::Key_Backspace);
            break;
        case 3:
        case 4:
            if (list()->count() > 0) {
                list()->setCurrentRow(random.bounded(list()->count()));
                PressEnter(list());
            }
            break;
        case 5:
            QTest::mouseClick(backward() ? ui.bbRDelKol : ui.bbDelKol, Qt::LeftButton);
            break;
        case 6:
            QTest::mouseClick(backward() ? ui.bbRDelProd : ui.bbDelFarb, Qt::LeftButton);
            break;
        case 7:
            QTest::mouseClick(backward() ? ui.bbRDelAll : ui.bbDelAll, Qt::LeftButton);
            break;
        default:
            f.ClickSearchTab(backward() ? ui.tsVor : ui.tsRueck);
            break;
        }
        // A reload the typing started may come due at once.
        TTimer *timer = backward() ? fmHaupt1->tmRSuchen : fmHaupt1->tmSuchen;
        if (timer->Enabled() && random.bounded(2) == 0)
            backward() ? fmHaupt1->tmRSuchenTimer() : fmHaupt1->tmSuchenTimer();
    };

    // The filter of each page's last load, taken down when the load empties
    // the list (a reset empties it too, with an empty filter).
    std::map<bool, QString> filter;
    QObject recording;
    for (QListWidget *names : {ui.lbSel, ui.lbRSel})
        QObject::connect(names->model(), &QAbstractItemModel::modelReset, &recording, [&, names] {
            const bool back = names == ui.lbRSel;
            filter[back] = FieldsOf(ui, back)[SearchOf(back).Level()]->text();
        });

    // Actions come at random moments of the loads' message handling too.
    bool inside = false;
    QTimer chaos;
    QObject::connect(&chaos, &QTimer::timeout, [&] {
        if (!inside && fmHaupt1->Lists().Filling() && random.bounded(3) == 0) {
            inside = true;
            act();
            inside = false;
        }
    });
    chaos.start(0);
    for (int round = 0; round < 300; ++round) {
        // Start on a long list now and then: all products, or the shades of
        // "Ton 0000".
        if (random.bounded(4) == 0) {
            f.ToStart();
            if (random.bounded(2) == 0) {
                f.ClickSearchTab(ui.tsRueck);
                ui.edRSelFarb->setText(QStringLiteral("Ton 0"));
                fmHaupt1->tmRSuchenTimer();
            }
        }
        act();
        act();
        // A reload still pending runs, as when the user waits.
        chaos.stop();
        if (fmHaupt1->tmSuchen->Enabled())
            fmHaupt1->tmSuchenTimer();
        if (fmHaupt1->tmRSuchen->Enabled())
            fmHaupt1->tmRSuchenTimer();
        chaos.start(0);

        const QString context = QStringLiteral("round %1").arg(round);
        QVERIFY2(ProgramRun::GeneralErrors(f.run->Boxes()).isEmpty(),
                 qPrintable(context + ": " + ProgramRun::GeneralErrors(f.run->Boxes()).join(" / ")));
        QVERIFY(!fmHaupt1->Lists().Filling());
        // The list of the visible page is the one its state and its last
        // filter ask for; the backward shade list is empty after a reset.
        const SearchDirection &s = search();
        const QStringList shown = Listed(list(), backward() ? ui.lbRSelID : ui.lbSelID);
        const QString last = filter[backward()];
        const QStringList expected = backward() && s.Level() == 0 && TrimControls(last).isEmpty()
                                         ? QStringList()
                                         : Matching(LevelRows(s, backward()), last);
        QVERIFY2(shown == expected, qPrintable(QStringLiteral("%1, level %2, filter '%3': %4 rows listed, %5 expected")
                                                   .arg(context)
                                                   .arg(s.Level())
                                                   .arg(last)
                                                   .arg(shown.size())
                                                   .arg(expected.size())));
    }
    chaos.stop();
    f.run->TakeBoxes();
}

TINTOREL_TEST_MAIN(TestSearchLoad)
#include "test_searchload.moc"
