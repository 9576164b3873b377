// Fixture of the search and detail tests: a program folder holding a small
// known database, and the program's four long-lived objects on it, started
// the way the program starts (the first show of the main window connects and
// fills the product list).
#pragma once

#include "app/application.h"
#include "ui/msgbox.h"
#include "data/fmdm1.h"
#include "support/programrun.h"
#include "support/testsupport.h"
#include "ui/fmHaupt.h"
#include "ui/fmHinweis1.h"
#include "ui/fmWarten1.h"
#include "ui_fmHaupt.h"
#include "ui_fmHinweis1.h"

#include <QListWidget>
#include <QTest>

#include <algorithm>

#include <memory>

// The known data: umlauts, "&", a quote, "_", notices with and without "+".
//   products   1 Außenlack, 2 Holz & Metall, 3 Innenfarbe, 4 O'Brien Lasur,
//              5 Rostschutz, 6 Fassade_Plus
//   shades     1 Blau, 2 Gelb, 3 Grün, 4 Rot, 5 Schwarz & Weiß, 6 Weiß
//   collections 1 Classic, 2 Farben & Töne, 3 Natur
inline QStringList KnownDataStatements()
{
    QStringList statements;
    const auto insert = [&](const char *into, std::initializer_list<const char *> rows) {
        for (const char *row : rows)
            statements << QStringLiteral("insert into ") + QString::fromUtf8(into) + QStringLiteral(" values (") +
                              QString::fromUtf8(row) + QLatin1Char(')');
    };
    insert("PRODUKTE (PID, PNAME)", {"1, 'Außenlack'", "2, 'Holz & Metall'", "3, 'Innenfarbe'",
                                     "4, 'O''Brien Lasur'", "5, 'Rostschutz'", "6, 'Fassade_Plus'"});
    insert("FARBEN (FID, FNAME)",
           {"1, 'Blau'", "2, 'Gelb'", "3, 'Grün'", "4, 'Rot'", "5, 'Schwarz & Weiß'", "6, 'Weiß'"});
    insert("KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT)",
           {"0, 1, 'Classic', 'J'", "0, 2, 'Farben & Töne', 'J'", "0, 3, 'Natur', 'J'", "1, 1, 'Classic', 'J'",
            "1, 2, 'Farben & Töne', 'J'", "2, 1, 'Classic', 'J'", "4, 1, 'Classic', 'J'", "5, 3, 'Natur', 'J'"});
    insert("BASEN (BASEID, BNAME)", {"1, 'BA'", "2, 'BC'"});
    insert("RGBCOLORS (COLORID, RCOLOR, GCOLOR, BCOLOR)",
           {"1, 255, 255, 255", "2, 250, 250, 240", "3, 300, 0, 0", "4, 0, 106, 179"});
    // K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST
    insert("KOMBIDATEN", {"6, 1, 1, 1, 1, 10, 3", "6, 2, 1, 2, 2, 0, 2", "4, 1, 1, 3, 1, 11, 5",
                          "4, 2, 1, 2, 1, 16, 6", "1, 1, 2, 4, 99, 12, 1", "6, 1, 2, 99, 2, 13, NULL",
                          "2, 1, 2, 1, 2, 14, 8", "3, 3, 5, 4, 1, 15, 4", "5, 1, 4, 2, 2, -1, 7",
                          "3, 1, 2, 1, 1, NULL, 9"});
    insert("FORMULADETAILS",
           {"10, 'Nur außen+Nicht unter 5 Grad', 'Beschreibung zehn: Außenlack nicht unter 5 Grad verarbeiten.'",
            "11, 'Achtung & Vorsicht', 'Beschreibung elf'", "12, '+abc', 'Beschreibung zwölf'",
            "14, 'abc+def+ghi', 'Beschreibung vierzehn'", "15, 'abc+', ''", "16, '', 'Beschreibung sechzehn'"});
    return statements;
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

    // Builds the database, then starts the program on it and waits for it.
    void SetUp(const QStringList &data = KnownDataStatements())
    {
        folder = std::make_unique<TempProgramFolder>();
        CreateEmptyDatabase(folder->databasePath());
        CreateImportedSchema(folder->databasePath());
        RunSql(folder->databasePath(), data);
        run = std::make_unique<ProgramRun>(folder->path());
        fmWarten->installEventFilter(&popup);
        QVERIFY(QTest::qWaitForWindowActive(fmHaupt1));
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
    void ClickSearchTab(QWidget *page) const { ProgramRun::ClickTab(ui().pcSuche, page); }

    // No message box came up since the last check.
    void ExpectNoBoxes() const
    {
        const QList<MessageBoxRequest> boxes = run->TakeBoxes();
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.isEmpty() ? QString() : boxes.first().text));
    }

    // A row chosen with Enter, as the user does.
    void Choose(QListWidget *list, const QString &text) const
    {
        QVERIFY2(run->Choose(list, text), qPrintable(text));
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

inline bool Shown(const QWidget *widget)
{
    return widget->isVisibleTo(widget->window());
}

inline QStringList Rows(const QListWidget *list)
{
    return ProgramRun::Rows(list);
}

// Rows as "name=id", so that a list and its id list are checked in step.
inline QStringList Listed(const QListWidget *list, const QListWidget *ids)
{
    QStringList rows;
    for (int i = 0; i < std::max(list->count(), ids->count()); ++i)
        rows << (i < list->count() ? list->item(i)->text() : QStringLiteral("?")) + QLatin1Char('=') +
                    (i < ids->count() ? ids->item(i)->text() : QStringLiteral("?"));
    return rows;
}

// What the detail panel shows ("-" for hidden).
inline QStringList PanelOf(const Ui::TfmHaupt1 &ui)
{
    return {ui.edBase->text(),
            ui.edPG->text(),
            Shown(ui.mFarbton) ? ui.mFarbton->palette().color(QPalette::Base).name() : "-",
            Shown(ui.pHinweis) ? ui.lbHinweis->text() : "-",
            Shown(ui.lbHinweis2) ? ui.lbHinweis2->text() : "-",
            fmHinweis->DetailKey};
}

inline void PressEnter(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Return);
}

