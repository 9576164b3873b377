// Fixture of the search and detail tests: a program folder holding a small
// known database, and the program's four long-lived objects on it, started
// the way the program starts (the first show of the main window connects and
// fills the product list).
#pragma once

#include "app/application.h"
#include "app/msgbox.h"
#include "data/fmdm1.h"
#include "support/programrun.h"
#include "support/testsupport.h"
#include "ui/fmHaupt.h"
#include "ui/fmHinweis1.h"
#include "ui/fmWarten1.h"
#include "ui_fmHaupt.h"
#include "ui_fmHinweis1.h"

#include <QListWidget>
#include <QTabBar>
#include <QTest>

#include <memory>

// The known data: umlauts, "&", a quote, "_", notices with and without "+".
//   products   1 Außenlack, 2 Holz & Metall, 3 Innenfarbe, 4 O'Brien Lasur,
//              5 Rostschutz, 6 Fassade_Plus
//   shades     1 Blau, 2 Gelb, 3 Grün, 4 Rot, 5 Schwarz & Weiß, 6 Weiß
//   collections 1 Classic, 2 Farben & Töne, 3 Natur
inline QStringList KnownDataStatements()
{
    return {
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (1, 'Außenlack')"),
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (2, 'Holz & Metall')"),
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (3, 'Innenfarbe')"),
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (4, 'O''Brien Lasur')"),
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (5, 'Rostschutz')"),
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (6, 'Fassade_Plus')"),
        QStringLiteral("insert into FARBEN (FID, FNAME) values (1, 'Blau')"),
        QStringLiteral("insert into FARBEN (FID, FNAME) values (2, 'Gelb')"),
        QStringLiteral("insert into FARBEN (FID, FNAME) values (3, 'Grün')"),
        QStringLiteral("insert into FARBEN (FID, FNAME) values (4, 'Rot')"),
        QStringLiteral("insert into FARBEN (FID, FNAME) values (5, 'Schwarz & Weiß')"),
        QStringLiteral("insert into FARBEN (FID, FNAME) values (6, 'Weiß')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (0, 1, 'Classic', 'J')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (0, 2, 'Farben & Töne', 'J')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (0, 3, 'Natur', 'J')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (1, 1, 'Classic', 'J')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (1, 2, 'Farben & Töne', 'J')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (2, 1, 'Classic', 'J')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (4, 1, 'Classic', 'J')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (5, 3, 'Natur', 'J')"),
        QStringLiteral("insert into BASEN (BASEID, BNAME) values (1, 'BA')"),
        QStringLiteral("insert into BASEN (BASEID, BNAME) values (2, 'BC')"),
        QStringLiteral("insert into RGBCOLORS (COLORID, RCOLOR, GCOLOR, BCOLOR) values (1, 255, 255, 255)"),
        QStringLiteral("insert into RGBCOLORS (COLORID, RCOLOR, GCOLOR, BCOLOR) values (2, 250, 250, 240)"),
        QStringLiteral("insert into RGBCOLORS (COLORID, RCOLOR, GCOLOR, BCOLOR) values (3, 300, 0, 0)"),
        QStringLiteral("insert into RGBCOLORS (COLORID, RCOLOR, GCOLOR, BCOLOR) values (4, 0, 106, 179)"),
        // K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST
        QStringLiteral("insert into KOMBIDATEN values (6, 1, 1, 1, 1, 10, 3)"),
        QStringLiteral("insert into KOMBIDATEN values (6, 2, 1, 2, 2, 0, 2)"),
        QStringLiteral("insert into KOMBIDATEN values (4, 1, 1, 3, 1, 11, 5)"),
        QStringLiteral("insert into KOMBIDATEN values (4, 2, 1, 2, 1, 16, 6)"),
        QStringLiteral("insert into KOMBIDATEN values (1, 1, 2, 4, 99, 12, 1)"),
        QStringLiteral("insert into KOMBIDATEN values (6, 1, 2, 99, 2, 13, NULL)"),
        QStringLiteral("insert into KOMBIDATEN values (2, 1, 2, 1, 2, 14, 8)"),
        QStringLiteral("insert into KOMBIDATEN values (3, 3, 5, 4, 1, 15, 4)"),
        QStringLiteral("insert into KOMBIDATEN values (5, 1, 4, 2, 2, -1, 7)"),
        QStringLiteral("insert into KOMBIDATEN values (3, 1, 2, 1, 1, NULL, 9)"),
        QStringLiteral("insert into FORMULADETAILS values (10, 'Nur außen+Nicht unter 5 Grad', "
                       "'Beschreibung zehn: Außenlack nicht unter 5 Grad verarbeiten.')"),
        QStringLiteral("insert into FORMULADETAILS values (11, 'Achtung & Vorsicht', 'Beschreibung elf')"),
        QStringLiteral("insert into FORMULADETAILS values (12, '+abc', 'Beschreibung zwölf')"),
        QStringLiteral("insert into FORMULADETAILS values (14, 'abc+def+ghi', 'Beschreibung vierzehn')"),
        QStringLiteral("insert into FORMULADETAILS values (15, 'abc+', '')"),
        QStringLiteral("insert into FORMULADETAILS values (16, '', 'Beschreibung sechzehn')"),
    };
}

// Counts how often a widget is shown.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

class SearchFixture {
public:
    std::unique_ptr<TempProgramFolder> folder;
    std::unique_ptr<ProgramRun> run;
    // Shows of the wait popup: one per load that uses it.
    ShowCounter popup;

    // Builds the database, then starts the program on it.
    void SetUp()
    {
        folder = std::make_unique<TempProgramFolder>();
        CreateEmptyDatabase(folder->databasePath());
        CreateImportedSchema(folder->databasePath());
        RunSql(folder->databasePath(), KnownDataStatements());
        run = std::make_unique<ProgramRun>(folder->path());
        fmWarten->installEventFilter(&popup);
    }

    void TearDown()
    {
        fmWarten->removeEventFilter(&popup);
        run.reset();
        folder.reset();
    }

    Ui::TfmHaupt1 &ui() const
    {
        return run->ui();
    }

    // A click on a tab of the search page control, as the user makes it.
    void ClickSearchTab(QWidget *page) const
    {
        QTabBar *bar = ui().pcSuche->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(ui().pcSuche->indexOf(page)).center());
    }

    // No message box came up since the last check.
    void ExpectNoBoxes() const
    {
        const QList<MessageBoxRequest> boxes = run->TakeBoxes();
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.isEmpty() ? QString() : boxes.first().text));
    }

    // Back to the start state: forward page, full product list, empty panel.
    void ToStart() const
    {
        if (ui().pcSuche->currentWidget() != ui().tsVor)
            ClickSearchTab(ui().tsVor);
        QTest::mouseClick(ui().bbDelAll, Qt::LeftButton);
        ui().lbWarning->hide();
    }
};

inline QStringList Rows(const QListWidget *list)
{
    return ProgramRun::Rows(list);
}

// Selects the row of that text (no choice yet).
inline void SelectRow(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(text));
    list->setCurrentItem(found.first());
}

inline void PressEnter(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Return);
}

// The test executables run on the program's own application object, so that
// an exception that leaves a handler ends up in the general error box.
#define SEARCH_TEST_MAIN(TestClass)                 \
    int main(int argc, char **argv)                 \
    {                                               \
        TApplication app(argc, argv);               \
        app.setAttribute(Qt::AA_Use96Dpi, true);    \
        TestClass test;                             \
        QTEST_SET_MAIN_SOURCE_PATH                  \
        return QTest::qExec(&test, argc, argv);     \
    }
