// The main window: controls, first state, anchors, page switch, the wheel
// hook, the wiring of the search controls; the wait popup, the message boxes
// and the general error box.
#include "shell_fixture.h"
#include "ui_fmHaupt.h"
#include "ui_fmWarten1.h"

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QWheelEvent>

#include <stdexcept>

namespace {

void Wheel(QWidget *target, int distance, Qt::Orientation orientation = Qt::Vertical)
{
    const QPoint angle = orientation == Qt::Vertical ? QPoint(0, distance) : QPoint(distance, 0);
    const QPointF at(10, 10);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

const QStringList Products{
    QStringLiteral("insert into PRODUKTE (PID, PNAME) values (1, 'Acryllack')"),
    QStringLiteral("insert into PRODUKTE (PID, PNAME) values (2, 'Binderfarbe')"),
    QStringLiteral("insert into PRODUKTE (PID, PNAME) values (3, 'Cremeweiß')"),
    QStringLiteral("insert into PRODUKTE (PID, PNAME) values (4, 'Dachlack')"),
    QStringLiteral("insert into PRODUKTE (PID, PNAME) values (5, 'Emaille')"),
    QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (2, 9, 'Kollektion B', 'J')"),
};

// A program on a database with the products above, its window active.
void StartWithProducts(ShellProgram &program)
{
    program.CreateDatabase(Products);
    program.Start();
    program.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window));
}

// Thrown out of an event handler.
class Thrower : public QObject {
public:
    int handled = 0;
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw Exception(QStringLiteral("Verbindung verloren"));
        if (event->type() == QEvent::User + 1)
            throw std::runtime_error("kaputt");
        if (event->type() == QEvent::User + 2) {
            ++handled;
            return true;
        }
        return QObject::event(event);
    }
};

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void controlsAndPlaces();
    void fontsColoursAndPictures();
    void firstState();
    void anchorsAndMinimumSize();
    void pageSwitch();
    void wheelGivesOneArrowKey();
    void searchControlsWired();
    void exceptionsReachGeneralErrorBox();
    void messageBoxes();
    void waitPopup();
};

void TestWindow::controlsAndPlaces()
{
    TfmHaupt1 window;
    struct Place {
        const char *name;
        const char *kind;
        QRect rect;
    };
    const QList<Place> places{
        {"PageControl1", "QTabWidget", {4, 8, 837, 612}}, {"Panel1", "QFrame", {634, 524, 195, 89}},
        {"pcSuche", "QTabWidget", {0, 8, 825, 329}}, {"pNavigation", "QFrame", {404, 4, 425, 329}},
        {"pBase", "QFrame", {0, 346, 398, 41}}, {"lbBase", "QLabel", {8, 10, 110, 20}},
        {"edBase", "QLineEdit", {120, 4, 274, 32}}, {"pPG", "QFrame", {0, 393, 398, 41}},
        {"edPG", "QLineEdit", {120, 4, 60, 32}}, {"pFarbe", "QFrame", {0, 440, 398, 41}},
        {"mFarbton", "QPlainTextEdit", {120, 4, 274, 32}}, {"pHinweis", "QFrame", {404, 346, 424, 135}},
        {"BitBtn2", "QPushButton", {8, 98, 177, 28}}, {"btImportMaster", "QPushButton", {64, 552, 217, 25}},
        {"edSelProd", "QLineEdit", {2, 32, 365, 28}}, {"edSelKol", "QLineEdit", {2, 94, 365, 28}},
        {"edSelFarb", "QLineEdit", {2, 156, 365, 28}}, {"bbDelProd", "QPushButton", {366, 32, 28, 28}},
        {"bbDelKol", "QPushButton", {366, 94, 28, 28}}, {"bbDelFarb", "QPushButton", {366, 156, 28, 28}},
        {"bbDelAll", "QPushButton", {2, 200, 145, 28}}, {"lbSel", "QListWidget", {408, 13, 409, 276}},
        {"edRSelFarb", "QLineEdit", {2, 32, 365, 28}}, {"edRSelKol", "QLineEdit", {2, 94, 365, 28}},
        {"edRSelProd", "QLineEdit", {2, 156, 365, 28}}, {"bbRDelFarb", "QPushButton", {366, 32, 28, 28}},
        {"bbRDelKol", "QPushButton", {366, 94, 28, 28}}, {"bbRDelProd", "QPushButton", {366, 156, 28, 28}},
        {"bbRDelAll", "QPushButton", {2, 200, 145, 28}}, {"lbRSel", "QListWidget", {408, 13, 409, 276}},
    };
    for (const Place &place : places) {
        auto *widget = window.findChild<QWidget *>(QLatin1String(place.name));
        QVERIFY2(widget, place.name);
        QVERIFY2(widget->inherits(place.kind), place.name);
        QCOMPARE(widget->geometry(), place.rect);
    }
    // Labels by their top left corner.
    const QList<std::pair<const char *, QPoint>> labels{
        {"Label34", {2, 10}}, {"lbProdText", {2, 32}}, {"Label35", {2, 72}},   {"lbKolText", {2, 94}},
        {"Label36", {2, 134}}, {"lbPID", {170, 16}},   {"lbKID", {170, 80}},   {"Label33", {2, 10}},
        {"lbRFarbText", {2, 32}}, {"Label3", {2, 72}}, {"lbRKolText", {2, 94}}, {"Label1", {2, 134}},
        {"lbWarning", {168, 204}}, {"lbRFID", {170, 16}}, {"lbRKID", {170, 80}}, {"Label5", {8, 8}},
        {"lbHinweis", {8, 40}},   {"lbHinweis2", {8, 64}}, {"Label24", {256, 32}}, {"Label25", {304, 88}},
        {"Label26", {336, 120}},  {"Label27", {320, 152}}, {"Label28", {344, 184}},
    };
    for (const auto &[name, corner] : labels) {
        auto *label = window.findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(label, name);
        QCOMPARE(label->pos(), corner);
    }

    // Contact page: six departments in two columns of three, each a heading
    // with telephone and fax beside it.
    const QList<QLabel *> contact = window.ui->tsKontakt->findChildren<QLabel *>();
    QCOMPARE(contact.size(), 18);
    for (int department = 0; department < 6; ++department) {
        const int y = 64 + 80 * (department % 3), headingX = department < 3 ? 16 : 448, lineX = headingX + 176;
        const QList<QPoint> corners{{headingX, y}, {lineX, y}, {lineX, y + 19}};
        int found = 0;
        for (const QLabel *label : contact)
            found += corners.contains(label->pos()) && !label->text().isEmpty();
        QCOMPARE(found, 3);
    }
    QCOMPARE(window.ui->tsInfo->findChildren<QLabel *>().size(), 5);

    QStringList texts;
    for (QTabWidget *pages : {window.ui->PageControl1, window.ui->pcSuche})
        for (int i = 0; i < pages->count(); ++i)
            texts << pages->tabText(i);
    texts << window.ui->bbDelAll->text() << window.ui->BitBtn2->text() << window.ui->btImportMaster->text()
          << window.ui->lbWarning->text();
    QCOMPARE(texts, QString::fromUtf8("Details|Kontakt|Info|Vorwärtssuche|Rückwärtssuche|alles zurücksetzen|"
                                      "Beschreibung anzeigen|Import Master-Table|Ungültige Kombination!")
                        .split(QLatin1Char('|')));

    // No tab stops on the page controls and the bitmap buttons.
    for (QWidget *widget : QList<QWidget *>{window.ui->PageControl1, window.ui->PageControl1->tabBar(),
                                            window.ui->pcSuche, window.ui->pcSuche->tabBar(), window.ui->bbDelProd,
                                            window.ui->bbDelAll, window.ui->bbRDelAll, window.ui->BitBtn2,
                                            window.ui->edBase, window.ui->edPG, window.ui->mFarbton})
        QVERIFY2(widget->focusPolicy() == Qt::NoFocus, qPrintable(widget->objectName()));
    QCOMPARE(window.ui->lbSel->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(!window.ui->lbSel->isSortingEnabled());
}

void TestWindow::fontsColoursAndPictures()
{
    TfmHaupt1 window;
    QCOMPARE(window.font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(window.font().pixelSize(), 13);
    struct Font {
        QWidget *widget;
        int pixels;
        bool bold;
        bool italic;
    };
    const QList<Font> fonts{
        {window.ui->edSelProd, 16, true, false}, {window.ui->edRSelFarb, 16, true, false},
        {window.ui->Label34, 16, true, false},   {window.ui->edBase, 21, true, false},
        {window.ui->edPG, 21, true, false},      {window.ui->lbSel, 13, true, false},
        {window.ui->Label5, 16, true, false},    {window.ui->lbHinweis, 13, true, false},
        {window.ui->Label24, 19, true, false},   {window.ui->Label25, 16, true, false},
        {window.ui->Label28, 16, true, true},    {window.ui->lbWarning, 16, true, false},
    };
    for (const Font &font : fonts) {
        font.widget->ensurePolished();
        QCOMPARE(font.widget->font().pixelSize(), font.pixels);
        QCOMPARE(font.widget->font().bold(), font.bold);
        QCOMPARE(font.widget->font().italic(), font.italic);
    }
    const QColor white(Qt::white), silver(192, 192, 192), red(Qt::red);
    for (const auto &[label, colour] :
         {std::pair{window.ui->Label34, white}, {window.ui->Label33, white}, {window.ui->lbBase, white},
          {window.ui->Label24, white}, {window.ui->lbProdText, silver}, {window.ui->lbRKolText, silver},
          {window.ui->Label5, red}, {window.ui->lbHinweis, red}, {window.ui->lbWarning, red}}) {
        label->ensurePolished();
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    }
    QCOMPARE(window.ui->Label24->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QCOMPARE(window.ui->edBase->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

    QCOMPARE(window.ui->Image1->pixmap().size(), QSize(189, 87));
    QVERIFY(window.ui->Image1->pixmap().hasAlphaChannel());
    for (QPushButton *button : {window.ui->bbDelProd, window.ui->bbRDelKol, window.ui->bbDelAll, window.ui->BitBtn2})
        QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
}

void TestWindow::firstState()
{
    TfmHaupt1 window;
    Ui::TfmHaupt1 &ui = *window.ui;
    QCOMPARE(window.minimumSize(), QSize(843, 651));
    QCOMPARE(window.size(), QSize(843, 651));
    QCOMPARE(ui.PageControl1->currentWidget(), ui.tsDetails);
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsRueck);
    // Hidden or not by the form itself (the pages hide what they do not show).
    for (QWidget *shown : QList<QWidget *>{ui.btImportMaster, ui.pNavigation, ui.pBase, ui.pPG, ui.pFarbe,
                                           ui.edSelProd, ui.edRSelFarb, ui.bbDelAll, ui.bbRDelAll, ui.lbSel, ui.lbRSel})
        QVERIFY2(!shown->isHidden(), qPrintable(shown->objectName()));
    for (QWidget *hidden : QList<QWidget *>{ui.pHinweis, ui.mFarbton, ui.lbHinweis2, ui.lbWarning, ui.lbProdText,
                                            ui.lbKolText, ui.lbRFarbText, ui.lbRKolText, ui.lbSelID, ui.lbRSelID,
                                            ui.lbPID, ui.lbKID, ui.lbRFID, ui.lbRKID})
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
    for (QLabel *id : {ui.lbPID, ui.lbKID, ui.lbRFID, ui.lbRKID})
        QCOMPARE(id->text(), QStringLiteral("-1"));
    QVERIFY(ui.mFarbton->isReadOnly());
    QVERIFY(ui.edBase->isReadOnly() && ui.edPG->isReadOnly());
    QCOMPARE(window.statusBar(), ui.sb1);
    QVERIFY(ui.sb1->currentMessage().isEmpty());
    for (TTimer *timer : {window.tmSuchen, window.tmRSuchen}) {
        QCOMPARE(timer->interval(), 300);
        QVERIFY(!timer->Enabled());
    }
}

void TestWindow::anchorsAndMinimumSize()
{
    ShellProgram program;
    StartWithProducts(program);
    Ui::TfmHaupt1 &ui = program.ui();
    // At the first size every control is where the form puts it.
    QCOMPARE(ui.lbSel->geometry(), QRect(408, 13, 409, 276));

    const QSize first = program.window->size();
    program.window->resize(first + QSize(100, 60));
    QTRY_COMPARE(program.window->size(), first + QSize(100, 60));
    QTRY_COMPARE(ui.PageControl1->geometry(), QRect(4, 8, 937, 672));
    QCOMPARE(ui.Panel1->geometry(), QRect(734, 584, 195, 89));
    QCOMPARE(ui.pcSuche->geometry(), QRect(0, 8, 925, 389));
    QCOMPARE(ui.pNavigation->geometry(), QRect(404, 4, 525, 389));
    QCOMPARE(ui.lbSel->geometry(), QRect(408, 13, 509, 336));
    for (const auto &[panel, y] : {std::pair{ui.pBase, 346}, {ui.pPG, 393}, {ui.pFarbe, 440}})
        QCOMPARE(panel->geometry(), QRect(0, y + 60, 398, 41));
    QCOMPARE(ui.pHinweis->geometry(), QRect(404, 406, 424, 135));
    // Not anchored: stays.
    QCOMPARE(ui.edSelProd->geometry(), QRect(2, 32, 365, 28));
    QCOMPARE(ui.btImportMaster->geometry(), QRect(64, 552, 217, 25));

    // The page that was hidden meanwhile follows when it shows.
    ProgramRun::ClickTab(ui.pcSuche, ui.tsRueck);
    QTRY_COMPARE(ui.lbRSel->geometry(), QRect(408, 13, 509, 336));

    // Never smaller than the first size.
    program.window->resize(500, 400);
    QTest::qWait(50);
    QVERIFY(program.window->width() >= 843 && program.window->height() >= 651);
}

void TestWindow::pageSwitch()
{
    ShellProgram program;
    StartWithProducts(program);
    Ui::TfmHaupt1 &ui = program.ui();
    ui.edSelProd->setText(QStringLiteral("typed"));
    ui.lbSel->setCurrentRow(2);
    const QStringList rows = ProgramRun::Rows(ui.lbSel);

    for (QWidget *page : {ui.tsKontakt, ui.tsInfo}) {
        ProgramRun::ClickTab(ui.PageControl1, page);
        QCOMPARE(ui.PageControl1->currentWidget(), page);
        QVERIFY(!ui.pNavigation->isVisibleTo(ui.tsDetails));
    }
    ProgramRun::ClickTab(ui.PageControl1, ui.tsDetails);
    QVERIFY(ui.pNavigation->isVisible());
    // The search is as it was.
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsVor);
    QCOMPARE(ProgramRun::Rows(ui.lbSel), rows);
    QCOMPARE(ui.lbSel->currentRow(), 2);
    QCOMPARE(ui.edSelProd->text(), QStringLiteral("typed"));
    QCOMPARE(program.window->SearchLevel(), 0);

    // The handler itself follows the page shown.
    ui.PageControl1->blockSignals(true);
    ui.PageControl1->setCurrentWidget(ui.tsInfo);
    ui.PageControl1->blockSignals(false);
    program.window->PageControl1Change();
    QVERIFY(!ui.pNavigation->isVisibleTo(ui.tsDetails));
}

void TestWindow::wheelGivesOneArrowKey()
{
    ShellProgram program;
    StartWithProducts(program);
    Ui::TfmHaupt1 &ui = program.ui();
    QCOMPARE(ui.lbSel->count(), 5);

    ui.lbSel->setFocus();
    ui.lbSel->setCurrentRow(1);
    QCOMPARE(QApplication::focusWidget(), ui.lbSel);

    // Turned towards the user: one row down, however far.
    Wheel(ui.lbSel->viewport(), -120);
    QCOMPARE(ui.lbSel->currentRow(), 2);
    Wheel(ui.lbSel->viewport(), -360);
    QCOMPARE(ui.lbSel->currentRow(), 3);
    // Away from the user: one row up.
    Wheel(ui.lbSel->viewport(), 120);
    QCOMPARE(ui.lbSel->currentRow(), 2);
    QCOMPARE(ui.lbSel->selectedItems(), QList<QListWidgetItem *>{ui.lbSel->item(2)});
    // Small wheel messages: one row each.
    for (int i = 0; i < 2; ++i)
        Wheel(ui.lbSel->viewport(), -40);
    QCOMPARE(ui.lbSel->currentRow(), 4);
    // The key goes to the focused control wherever the pointer is.
    Wheel(ui.edBase, 120);
    QCOMPARE(ui.lbSel->currentRow(), 3);
    // A horizontal wheel is no vertical wheel message.
    Wheel(ui.lbSel->viewport(), -120, Qt::Horizontal);
    QCOMPARE(ui.lbSel->currentRow(), 3);

    // In a filter field the key goes down there: a pending reload stops.
    ui.edSelProd->setFocus();
    program.window->tmSuchen->SetEnabled(true);
    Wheel(ui.lbSel->viewport(), -120);
    QVERIFY(!program.window->tmSuchen->Enabled());
    QCOMPARE(ui.lbSel->currentRow(), 3);
}

void TestWindow::searchControlsWired()
{
    ShellProgram program;
    StartWithProducts(program);
    Ui::TfmHaupt1 &ui = program.ui();

    // A key going down stops the timer, coming up starts it.
    QTest::keyPress(ui.edSelProd, Qt::Key_B);
    QVERIFY(!program.window->tmSuchen->Enabled());
    QTest::keyRelease(ui.edSelProd, Qt::Key_B);
    QVERIFY(program.window->tmSuchen->Enabled());
    // An auto-repeated key only goes down.
    QTest::sendKeyEvent(QTest::Press, ui.edSelProd, Qt::Key_B, 'b', Qt::NoModifier);
    QVERIFY(!program.window->tmSuchen->Enabled());
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"), true);
    QApplication::sendEvent(ui.edSelProd, &repeatUp);
    QVERIFY(!program.window->tmSuchen->Enabled());
    QCOMPARE(ui.edSelProd->text(), QStringLiteral("bb"));
    ui.edSelProd->setText(QStringLiteral("b"));
    QTest::keyRelease(ui.edSelProd, Qt::Key_B);
    // The timer's expiry reloads the list with the filter.
    QTRY_COMPARE(ProgramRun::Rows(ui.lbSel), (QStringList{QStringLiteral("Binderfarbe")}));
    QVERIFY(!program.window->tmSuchen->Enabled());

    // Enter in the field moves to the list, Enter in the list chooses.
    QTest::keyClick(ui.edSelProd, Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), ui.lbSel);
    QTest::keyClick(ui.lbSel, Qt::Key_Return);
    QCOMPARE(ui.lbPID->text(), QStringLiteral("2"));
    QVERIFY(ui.lbProdText->isVisible());

    // "alles zurücksetzen" resets; a double-click chooses.
    QTest::mouseClick(ui.bbDelAll, Qt::LeftButton);
    QCOMPARE(ui.lbPID->text(), QStringLiteral("-1"));
    QCOMPARE(ui.lbSel->count(), 5);
    const QRect row = ui.lbSel->visualItemRect(ui.lbSel->item(3));
    QTest::mouseClick(ui.lbSel->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(ui.lbSel->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(ui.lbPID->text(), QStringLiteral("4"));
    QCOMPARE(program.window->SearchLevel(), 1);

    // The collection row's clear button.
    ui.edSelKol->setText(QStringLiteral("zz"));
    QTest::mouseClick(ui.bbDelKol, Qt::LeftButton);
    QVERIFY(ui.edSelKol->text().isEmpty());

    // The backward page through the user's switch, then its reset button.
    ProgramRun::ClickTab(ui.pcSuche, ui.tsRueck);
    QCOMPARE(QApplication::focusWidget(), ui.edRSelFarb);
    QTest::keyClick(ui.edRSelFarb, Qt::Key_X);
    QVERIFY(program.window->tmRSuchen->Enabled());
    QTest::mouseClick(ui.bbRDelAll, Qt::LeftButton);
    QVERIFY(ui.edRSelFarb->text().isEmpty());
    QVERIFY(program.boxes.isEmpty());
}

void TestWindow::exceptionsReachGeneralErrorBox()
{
    QList<MessageBoxRequest> boxes;
    SetMessageBoxHook([&boxes](const MessageBoxRequest &request) {
        boxes << request;
        return MsgButton::Ok;
    });
    Thrower thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 2)));
    QTRY_COMPARE(thrower.handled, 1);
    SetMessageBoxHook({});

    QCOMPARE(boxes.size(), 2);
    for (const MessageBoxRequest &box : boxes) {
        QCOMPARE(box.kind, MsgKind::General);
        QCOMPARE(box.caption, QStringLiteral("Tintorel"));
        QCOMPARE(box.buttons, QList<MsgButton>{MsgButton::Ok});
    }
    QCOMPARE(boxes.at(0).text, QStringLiteral("Verbindung verloren."));
    QCOMPARE(boxes.at(1).text, QStringLiteral("kaputt."));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Tintorel"));
}

void TestWindow::messageBoxes()
{
    for (const auto &[text, shown] : {std::pair{"Zeile 7", "Zeile 7."}, {"Ende.", "Ende."}, {"Halt!", "Halt!"},
                                      {"(x)", "(x)"}, {"", ""}})
        QCOMPARE(WithFullStop(QLatin1String(text)), QLatin1String(shown));

    // The hook sees every box and hands back the previous hook.
    QList<MessageBoxRequest> seen;
    MessageBoxHook first = [&seen](const MessageBoxRequest &request) {
        seen << request;
        return MsgButton::No;
    };
    QVERIFY(!SetMessageBoxHook(first));
    ShowWarning(QStringLiteral("w"));
    ShowInformation(QStringLiteral("i"));
    ShowError(QStringLiteral("e"));
    QCOMPARE(ShowMessageBox(MsgKind::Warning, QStringLiteral("frage"), {MsgButton::Yes, MsgButton::No},
                            MsgButton::Yes, MsgButton::No),
             MsgButton::No);
    QVERIFY(SetMessageBoxHook({}));
    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen.at(0).caption, QStringLiteral("Warnung"));
    QCOMPARE(seen.at(1).caption, QStringLiteral("Informationen"));
    QCOMPARE(seen.at(2).caption, QStringLiteral("Fehler"));
    QCOMPARE(seen.at(2).buttons, QList<MsgButton>{MsgButton::Ok});
    QCOMPARE(seen.at(3).defaultButton, MsgButton::Yes);
    QCOMPARE(seen.at(3).escapeButton, MsgButton::No);

    // The real box, answered by a timer with a key: caption, icon, text,
    // default button, buttons.
    QStringList shown;
    const auto answerNextBox = [&shown](Qt::Key key) {
        QTimer::singleShot(0, [&shown, key] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = {box->windowTitle(), QString::number(box->icon()), box->text(),
                     box->defaultButton() ? box->defaultButton()->text() : QString()};
            for (QAbstractButton *button : box->buttons())
                shown << button->text();
            QTest::keyClick(box, key);
        });
    };
    // Escape gives the escape button.
    answerNextBox(Qt::Key_Escape);
    QCOMPARE(ShowMessageBox(MsgKind::Warning, QStringLiteral("eins\r\n\r\nzwei"), {MsgButton::Yes, MsgButton::No},
                            MsgButton::Yes, MsgButton::No),
             MsgButton::No);
    QCOMPARE(shown, (QStringList{QStringLiteral("Warnung"), QString::number(QMessageBox::Warning),
                                 QStringLiteral("eins\n\nzwei"), QStringLiteral("&Ja"), QStringLiteral("&Ja"),
                                 QStringLiteral("&Nein")}));
    // The general error box, answered with Enter.
    answerNextBox(Qt::Key_Return);
    ShowGeneralError(QStringLiteral("Datei fehlt"));
    QCOMPARE(shown.mid(0, 3), (QStringList{QStringLiteral("Tintorel"), QString::number(QMessageBox::Critical),
                                            QStringLiteral("Datei fehlt.")}));
}

void TestWindow::waitPopup()
{
    TfmWarten popup;
    QCOMPARE(popup.size(), QSize(363, 72));
    QVERIFY(popup.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(qAbs(popup.windowOpacity() - 240.0 / 255) < 0.01);
    QCOMPARE(popup.windowTitle(), QStringLiteral("Bitte Warten"));
    QCOMPARE(popup.palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(popup.ui->label1->text(), QStringLiteral("Programmfunktion wird ausgeführt."));
    QCOMPARE(popup.ui->Label2->text(), QStringLiteral("Bitte warten..."));
    QCOMPARE(popup.ui->label1->pos(), QPoint(16, 8));
    QCOMPARE(popup.ui->Label2->pos(), QPoint(120, 34));

    // Showing it handles what is pending, so it paints before a query blocks.
    bool pending = false;
    QTimer::singleShot(0, [&pending] { pending = true; });
    popup.show();
    QVERIFY(pending);
    QCOMPARE(popup.ui->Panel1->geometry(), QRect(2, 2, 359, 68));
    popup.ui->label1->ensurePolished();
    QCOMPARE(popup.ui->label1->font().pixelSize(), 19);
    QVERIFY(popup.ui->label1->font().bold());
    QVERIFY(!popup.ui->Label2->font().bold());
    popup.hide();
}

TINTOREL_TEST_MAIN(TestWindow)
#include "test_window.moc"
