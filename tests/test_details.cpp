// The combination detail display and the notice dialog on a real database.
#include "test_search_fixture.h"

#include "details/detailpanel.h"

#include <QPlainTextEdit>
#include <QTimer>

namespace {

bool Shown(const QWidget *widget)
{
    return widget->isVisibleTo(widget->window());
}

QColor Swatch()
{
    return fmHaupt1->ui->mFarbton->palette().color(QPalette::Base);
}

}  // namespace

class TestDetails : public QObject {
    Q_OBJECT
    SearchFixture f;

    void ShowForward(const char *product, const char *collection, int shade)
    {
        f.ui().lbPID->setText(QString::fromLatin1(product));
        f.ui().lbKID->setText(QString::fromLatin1(collection));
        fmHaupt1->ShowForwardCombination(shade);
    }

    // Opens the dialog through its button; `act` runs while it is up and
    // must close it.
    void WithDialog(const std::function<void()> &act)
    {
        bool ran = false;
        QTimer::singleShot(0, fmHinweis, [&] {
            ran = true;
            act();
            if (fmHinweis->isVisible())
                fmHinweis->btnOkClick();  // never leave a test hanging
        });
        QTest::mouseClick(f.ui().BitBtn2, Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(!fmHinweis->isVisible());
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void splitAndPack();
    void combinationStatementAndValues();
    void noticeCases();
    void backwardEntry();
    void noticeDialog();
};

void TestDetails::initTestCase()
{
    f.SetUp();
    QVERIFY(QTest::qWaitForWindowActive(fmHaupt1));
}

void TestDetails::init()
{
    f.ToStart();
}

void TestDetails::cleanup()
{
    f.ExpectNoBoxes();
}

void TestDetails::cleanupTestCase()
{
    f.TearDown();
}

void TestDetails::splitAndPack()
{
    const auto split = [](const char *text) {
        const WarningLines lines = SplitWarningText(QString::fromUtf8(text));
        return QStringList{lines.first, lines.second, lines.twoLines ? "2" : "1"};
    };
    QCOMPARE(split("abc+def+ghi"), (QStringList{"abc", "+def+ghi", "2"}));
    QCOMPARE(split("+abc"), (QStringList{"", "+abc", "2"}));
    QCOMPARE(split("abc+"), (QStringList{"abc", "+", "2"}));
    QCOMPARE(split("abc & def"), (QStringList{"abc & def", "", "1"}));
    QCOMPARE(split(""), (QStringList{"", "", "1"}));
    QCOMPARE(PackRGB(0, 106, 179), quint32(179 * 65536 + 106 * 256));
    QCOMPARE(PackRGB(1, 2, 3) & 0xFF000000u, 0u);
}

void TestDetails::combinationStatementAndValues()
{
    Ui::TfmHaupt1 &ui = f.ui();
    ShowForward("1", "1", 6);
    QCOMPARE(fmdm->qrS.SQL(), (QStringList{"select * from KOMBIDATEN", " left join BASEN     on BASEID  = K_BASEID",
                                           " left join RGBCOLORS on COLORID = K_COLORID", "where K_PID  = 1",
                                           "and   K_KID  = 1", "and   K_FID  = 6"}));
    QCOMPARE(fmdm->qrFORMULADETAILS.SQL(),
             (QStringList{"select * from FORMULADETAILS", "where FORMULADETAILSKEY = 10"}));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    QCOMPARE(ui.edPG->text(), QStringLiteral("3"));
    QCOMPARE(Swatch(), QColor(255, 255, 255));
    QVERIFY(Shown(ui.mFarbton) && Shown(ui.pBase) && Shown(ui.pPG) && Shown(ui.pFarbe));

    // The channel 300 counts as 44.
    ShowForward("1", "1", 4);
    QCOMPARE(Swatch(), QColor(44, 0, 0));
    QCOMPARE(ui.edPG->text(), QStringLiteral("5"));

    // No BASEN row: empty base; the window blue as swatch.
    ShowForward("2", "1", 1);
    QCOMPARE(ui.edBase->text(), QString());
    QCOMPARE(Swatch(), DisplayColor(PackRGB(0, 106, 179)));
    QCOMPARE(Swatch(), QColor(0, 106, 179));

    // No RGBCOLORS row: black swatch; empty price group for an empty K_COST.
    ShowForward("2", "1", 6);
    QCOMPARE(Swatch(), QColor(0, 0, 0));
    QVERIFY(Shown(ui.mFarbton));
    QCOMPARE(ui.edPG->text(), QString());
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));

    // No row: all cleared, no message, no warning on the forward side.
    ShowForward("1", "1", 6);
    ShowForward("3", "1", 6);
    QCOMPARE(ui.edBase->text(), QString());
    QCOMPARE(ui.edPG->text(), QString());
    QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis) && !Shown(ui.lbWarning));
    QVERIFY(Shown(ui.pBase) && Shown(ui.pPG) && Shown(ui.pFarbe));
    f.ExpectNoBoxes();
}

void TestDetails::noticeCases()
{
    Ui::TfmHaupt1 &ui = f.ui();
    const auto notice = [&] {
        return QStringList{Shown(ui.pHinweis) ? "shown" : "hidden", ui.lbHinweis->text(),
                           Shown(ui.lbHinweis2) ? ui.lbHinweis2->text() : "-", fmHinweis->DetailKey};
    };
    ShowForward("1", "1", 6);
    QCOMPARE(notice(), (QStringList{"shown", "Nur außen", "+Nicht unter 5 Grad", "10"}));
    QCOMPARE(ui.Label5->text(), QStringLiteral("Achtung!"));
    QVERIFY(Shown(ui.BitBtn2));
    ShowForward("2", "1", 2);
    QCOMPARE(notice(), (QStringList{"shown", "abc", "+def+ghi", "14"}));
    ShowForward("2", "1", 1);
    QCOMPARE(notice(), (QStringList{"shown", "", "+abc", "12"}));
    ShowForward("5", "3", 3);
    QCOMPARE(notice(), (QStringList{"shown", "abc", "+", "15"}));
    // One line after two: the second line hides; "&" is not doubled.
    ShowForward("1", "1", 4);
    QCOMPARE(notice(), (QStringList{"shown", "Achtung & Vorsicht", "-", "11"}));
    // An empty warning still shows the panel.
    ShowForward("1", "2", 4);
    QCOMPARE(notice(), (QStringList{"shown", "", "-", "16"}));
    // K_FDETID 0, NULL, negative: no panel, the key stays.
    ShowForward("1", "2", 6);
    QCOMPARE(notice().mid(0, 1), QStringList{"hidden"});
    QCOMPARE(fmHinweis->DetailKey, QStringLiteral("16"));
    ShowForward("2", "1", 3);
    QCOMPARE(notice().mid(0, 1), QStringList{"hidden"});
    ShowForward("4", "1", 5);
    QCOMPARE(notice().mid(0, 1), QStringList{"hidden"});
    QCOMPARE(fmHinweis->DetailKey, QStringLiteral("16"));
    // A key without a FORMULADETAILS row: no panel, the new key kept.
    ShowForward("2", "1", 6);
    QCOMPARE(notice().mid(0, 1), QStringList{"hidden"});
    QCOMPARE(fmHinweis->DetailKey, QStringLiteral("13"));
    f.ExpectNoBoxes();
}

void TestDetails::backwardEntry()
{
    Ui::TfmHaupt1 &ui = f.ui();
    f.ClickSearchTab(ui.tsRueck);
    ui.lbRKID->setText(QStringLiteral("1"));
    ui.lbRFID->setText(QStringLiteral("6"));
    ui.lbWarning->show();
    fmHaupt1->ShowBackwardCombination(1);
    QCOMPARE(fmdm->qrS.SQL().mid(3), (QStringList{"where K_PID  = 1", "and   K_KID  = 1", "and   K_FID  = 6"}));
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    QCOMPARE(ui.lbHinweis->text(), QStringLiteral("Nur außen"));
    fmHaupt1->ShowBackwardCombination(3);
    QVERIFY(Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QString());
    QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis));
    fmHaupt1->ShowBackwardCombination(3);
    QVERIFY(Shown(ui.lbWarning));
    fmHaupt1->ShowBackwardCombination(2);
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));
    f.ExpectNoBoxes();
}

void TestDetails::noticeDialog()
{
    Ui::TfmHinweis &dialog = *fmHinweis->ui;
    QCOMPARE(fmHinweis->windowTitle(), QStringLiteral("Hinweis"));
    QCOMPARE(fmHinweis->minimumSize(), QSize(743, 319));
    QCOMPARE(fmHinweis->maximumSize(), QSize(743, 319));
    QCOMPARE(dialog.mHinweis->geometry(), QRect(8, 8, 729, 249));
    QCOMPARE(dialog.btnOk->geometry(), QRect(312, 272, 99, 33));
    const Qt::WindowFlags flags = fmHinweis->windowFlags();
    QVERIFY(flags & Qt::WindowStaysOnTopHint);
    QVERIFY(flags & Qt::CustomizeWindowHint);
    QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint)));
    QCOMPARE(dialog.btnOk->text(), QStringLiteral("OK"));
    QVERIFY(dialog.mHinweis->isReadOnly());
    QCOMPARE(dialog.mHinweis->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(!(dialog.mHinweis->focusPolicy() & Qt::TabFocus));

    // Two notices one after the other: the dialog shows the second.
    ShowForward("1", "1", 6);
    ShowForward("2", "1", 2);
    QString text;
    WithDialog([&] {
        QVERIFY(fmHinweis->isVisible());
        text = dialog.mHinweis->toPlainText();
        QCOMPARE(fmHinweis->focusWidget(), dialog.btnOk);
        QCOMPARE(fmHinweis->palette().color(QPalette::Window), QColor(0, 106, 179));
        QCOMPARE(fmdm->qrFORMULADETAILS.SQL(),
                 (QStringList{"select * from FORMULADETAILS", "where FORMULADETAILSKEY = 14"}));
        // Enter closes it with the OK result, on its release.
        QTest::keyPress(dialog.btnOk, Qt::Key_Return);
        QVERIFY(fmHinweis->isVisible());
        QTest::keyRelease(dialog.btnOk, Qt::Key_Return);
        QVERIFY(!fmHinweis->isVisible());
    });
    QCOMPARE(text, QStringLiteral("Beschreibung vierzehn"));
    QCOMPARE(fmHinweis->result(), 1);

    // A notice, then a combination without: the key of the first stays.
    ShowForward("1", "1", 6);
    ShowForward("1", "2", 6);
    QVERIFY(!Shown(f.ui().pHinweis));
    QCOMPARE(fmHinweis->DetailKey, QStringLiteral("10"));

    // The OK button closes it too; the text is read anew on every showing.
    ShowForward("1", "1", 6);
    WithDialog([&] {
        text = dialog.mHinweis->toPlainText();
        // Escape does not close it.
        QTest::keyClick(dialog.btnOk, Qt::Key_Escape);
        QVERIFY(fmHinweis->isVisible());
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
        QVERIFY(!fmHinweis->isVisible());
    });
    QCOMPARE(text, QStringLiteral("Beschreibung zehn: Außenlack nicht unter 5 Grad verarbeiten."));
    QCOMPARE(fmHinweis->result(), 1);

    // An empty description, and a key whose row has gone: an empty box.
    ShowForward("5", "3", 3);
    WithDialog([&] { text = dialog.mHinweis->toPlainText(); });
    QCOMPARE(text, QString());
    fmHinweis->DetailKey = QStringLiteral("99");
    WithDialog([&] { text = dialog.mHinweis->toPlainText(); });
    QCOMPARE(text, QString());
    f.ExpectNoBoxes();
}

SEARCH_TEST_MAIN(TestDetails)
#include "test_details.moc"
