// The combination detail display and the notice dialog on a real database.
#include "test_search_fixture.h"

#include "details/colour.h"
#include "details/detailpanel.h"

#include <QPlainTextEdit>
#include <QTimer>

class TestDetails : public QObject {
    Q_OBJECT
    SearchFixture f;

    void ShowForward(int product, int collection, int shade)
    {
        fmHaupt1->Details().ShowForwardCombination(product, collection, shade);
    }

    // The text the dialog showed at its last opening.
    QString shownText;

    // Opens the dialog through its button; `act` runs while it is up, may
    // close it, and otherwise the OK button does.
    void WithDialog(const std::function<void()> &act = [] {})
    {
        bool ran = false;
        QTimer::singleShot(0, fmHinweis, [&] {
            ran = true;
            shownText = fmHinweis->ui->mHinweis->toPlainText();
            act();
            if (fmHinweis->isVisible())
                fmHinweis->btnOkClick();
        });
        QTest::mouseClick(f.ui().BitBtn2, Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(!fmHinweis->isVisible());
    }

private slots:
    void initTestCase() { f.SetUp(); }
    void init() { f.ToStart(); }
    void cleanup() { f.ExpectNoBoxes(); }
    void cleanupTestCase() { f.TearDown(); }

    void splitAndPack();
    void combinationStatementAndValues();
    void noticeCases();
    void backwardEntry();
    void noticeDialog();
};

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
    ShowForward(1, 1, 6);
    QCOMPARE(fmdm->qrS.SQL(), (QStringList{"select * from KOMBIDATEN", " left join BASEN     on BASEID  = K_BASEID",
                                           " left join RGBCOLORS on COLORID = K_COLORID", "where K_PID  = 1",
                                           "and   K_KID  = 1", "and   K_FID  = 6"}));
    QCOMPARE(fmdm->qrFORMULADETAILS.SQL(),
             (QStringList{"select * from FORMULADETAILS", "where FORMULADETAILSKEY = 10"}));
    // Base, price group, swatch ("-" hidden).
    const auto values = [&] { return PanelOf(ui).mid(0, 3); };
    QCOMPARE(values(), (QStringList{"BA", "3", "#ffffff"}));
    // The channel 300 counts as 44.
    ShowForward(1, 1, 4);
    QCOMPARE(values(), (QStringList{"BA", "5", "#2c0000"}));
    // No BASEN row: empty base; the window blue as swatch.
    ShowForward(2, 1, 1);
    QCOMPARE(values(), (QStringList{"", "1", "#006ab3"}));
    // No RGBCOLORS row: black swatch; empty price group for an empty K_COST.
    ShowForward(2, 1, 6);
    QCOMPARE(values(), (QStringList{"BC", "", "#000000"}));

    // No row: all cleared, no message, no warning on the forward side.
    ShowForward(1, 1, 6);
    ShowForward(3, 1, 6);
    QCOMPARE(values(), (QStringList{"", "", "-"}));
    QVERIFY(!Shown(ui.pHinweis) && !Shown(ui.lbWarning));
    QVERIFY(Shown(ui.pBase) && Shown(ui.pPG) && Shown(ui.pFarbe));
}

void TestDetails::noticeCases()
{
    Ui::TfmHaupt1 &ui = f.ui();
    const struct {
        int product, collection, shade;
        QStringList notice;  // shown: both lines ("-" hidden) and the key
    } cases[] = {
        {1, 1, 6, {"shown", "Nur außen", "+Nicht unter 5 Grad", "10"}},
        {2, 1, 2, {"shown", "abc", "+def+ghi", "14"}},
        {2, 1, 1, {"shown", "", "+abc", "12"}},
        {5, 3, 3, {"shown", "abc", "+", "15"}},
        // One line after two: the second line hides; "&" is not doubled.
        {1, 1, 4, {"shown", "Achtung & Vorsicht", "-", "11"}},
        // An empty warning still shows the panel.
        {1, 2, 4, {"shown", "", "-", "16"}},
        // K_FDETID 0, NULL, negative: no panel, the key stays.
        {1, 2, 6, {"hidden", "16"}},
        {2, 1, 3, {"hidden", "16"}},
        {4, 1, 5, {"hidden", "16"}},
        // A key without a FORMULADETAILS row: no panel, the new key kept.
        {2, 1, 6, {"hidden", "13"}},
    };
    for (const auto &c : cases) {
        ShowForward(c.product, c.collection, c.shade);
        const QStringList notice =
            Shown(ui.pHinweis) && Shown(ui.BitBtn2)
                ? QStringList{"shown", ui.lbHinweis->text(), Shown(ui.lbHinweis2) ? ui.lbHinweis2->text() : "-",
                              fmHinweis->DetailKey}
                : QStringList{"hidden", fmHinweis->DetailKey};
        QCOMPARE(notice, c.notice);
    }
    QCOMPARE(ui.Label5->text(), QStringLiteral("Achtung!"));
}

void TestDetails::backwardEntry()
{
    Ui::TfmHaupt1 &ui = f.ui();
    f.ClickSearchTab(ui.tsRueck);
    ui.lbWarning->show();
    DetailPanel &details = fmHaupt1->Details();
    details.ShowBackwardCombination(1, 1, 6);
    QCOMPARE(fmdm->qrS.SQL().mid(3), (QStringList{"where K_PID  = 1", "and   K_KID  = 1", "and   K_FID  = 6"}));
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BA"));
    QCOMPARE(ui.lbHinweis->text(), QStringLiteral("Nur außen"));
    details.ShowBackwardCombination(3, 1, 6);
    QVERIFY(Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QString());
    QVERIFY(!Shown(ui.mFarbton) && !Shown(ui.pHinweis));
    details.ShowBackwardCombination(3, 1, 6);
    QVERIFY(Shown(ui.lbWarning));
    details.ShowBackwardCombination(2, 1, 6);
    QVERIFY(!Shown(ui.lbWarning));
    QCOMPARE(ui.edBase->text(), QStringLiteral("BC"));
}

void TestDetails::noticeDialog()
{
    Ui::TfmHinweis &dialog = *fmHinweis->ui;
    QCOMPARE(fmHinweis->windowTitle(), QStringLiteral("Hinweis"));
    // Fixed size.
    QVERIFY(fmHinweis->minimumSize() == QSize(743, 319) && fmHinweis->maximumSize() == QSize(743, 319));
    const Qt::WindowFlags flags = fmHinweis->windowFlags();
    QVERIFY((flags & Qt::WindowStaysOnTopHint) && (flags & Qt::CustomizeWindowHint));
    QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint)));
    QVERIFY(dialog.mHinweis->isReadOnly());
    QCOMPARE(dialog.mHinweis->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(!(dialog.mHinweis->focusPolicy() & Qt::TabFocus));

    // Two notices one after the other: the dialog shows the second.
    ShowForward(1, 1, 6);
    ShowForward(2, 1, 2);
    WithDialog([&] {
        QVERIFY(fmHinweis->isVisible());
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
    QCOMPARE(shownText, QStringLiteral("Beschreibung vierzehn"));
    QCOMPARE(fmHinweis->result(), 1);

    // The OK button closes it too; the text is read anew on every showing.
    ShowForward(1, 1, 6);
    WithDialog([&] {
        // Escape does not close it.
        QTest::keyClick(dialog.btnOk, Qt::Key_Escape);
        QVERIFY(fmHinweis->isVisible());
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
        QVERIFY(!fmHinweis->isVisible());
    });
    QCOMPARE(shownText, QStringLiteral("Beschreibung zehn: Außenlack nicht unter 5 Grad verarbeiten."));
    QCOMPARE(fmHinweis->result(), 1);

    // An empty description, and a key whose row has gone: an empty box.
    ShowForward(5, 3, 3);
    WithDialog();
    QCOMPARE(shownText, QString());
    fmHinweis->DetailKey = QStringLiteral("99");
    WithDialog();
    QCOMPARE(shownText, QString());
}

TINTOREL_TEST_MAIN(TestDetails)
#include "test_details.moc"
