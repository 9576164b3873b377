// The start-up when the main window first shows: database name, publishing,
// connection, first list and import check.
#include "app/konstant.h"
#include "app/startup.h"
#include "shell_fixture.h"
#include "ui_fmHaupt.h"

#include <QDir>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTimer>

namespace {

const QStringList AdministratorParams{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=pendoxilu"),
                                      QStringLiteral("lc_ctype=ASCII")};
const QStringList ProgramUserParams{QStringLiteral("user_name=QELMMASTER"), QStringLiteral("password=MUBRELT"),
                                    QStringLiteral("lc_ctype=ASCII")};

const QString DeleteFailedText = QStringLiteral(
    "Fehler: Verarbeitung der Datei dbconnect.txt fehlgeschlagen!\r\n\r\nDas Programm wird beendet.");

// Addresses of the documentation range: never reached, only written.
class FixedAddresses {
public:
    FixedAddresses(bool started, QStringList addresses)
    {
        SetAddressSource([started, addresses](QStringList &list) {
            list << addresses;
            return started;
        });
    }
    ~FixedAddresses() { SetAddressSource({}); }
};

QStringList ListRows(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

QList<MsgKind> Kinds(const QList<MessageBoxRequest> &boxes)
{
    QList<MsgKind> kinds;
    for (const MessageBoxRequest &box : boxes)
        kinds << box.kind;
    return kinds;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void connectFileRules();
    void importCheckMessage();
    void databaseNameFromConnectFile();
    void emptyConnectFileIsDeleted();
    void undeletableConnectFileEndsProgram();
    void unreadableConnectFile();
    void publishingOnLan();
    void hostAddresses();
    void databaseThatCannotBeOpened();
    void importCheck();
    void stateAfterStartUp();
};

void TestStartup::connectFileRules()
{
    QCOMPARE(SplitTextLines(QString()), QStringList());
    QCOMPARE(SplitTextLines(QStringLiteral("a")), QStringList{QStringLiteral("a")});
    QCOMPARE(SplitTextLines(QStringLiteral("a\r\n")), QStringList{QStringLiteral("a")});
    QCOMPARE(SplitTextLines(QStringLiteral("a\r\nb\rc\nd")),
             (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    QCOMPARE(SplitTextLines(QStringLiteral("\r\nx\r\n")), (QStringList{QString(), QStringLiteral("x")}));
    QCOMPARE(SplitTextLines(QStringLiteral("a\n\n")), (QStringList{QStringLiteral("a"), QString()}));
    QCOMPARE(SplitTextLines(QStringLiteral("a\n\r")), (QStringList{QStringLiteral("a"), QString()}));
    QCOMPARE(SplitTextLines(QStringLiteral(" a \r\n")), QStringList{QStringLiteral(" a ")});

    // A Windows host's folder keeps "\", every other line gets "/".
    QCOMPARE(DatabaseNameFromLine(QStringLiteral("srv:C:\\X\\Daten")),
             QStringLiteral("srv:C:\\X\\Daten\\QELMPREISE.fdb"));
    QCOMPARE(DatabaseNameFromLine(QStringLiteral("C:\\X\\Daten ")), QStringLiteral("C:\\X\\Daten \\QELMPREISE.fdb"));
    QCOMPARE(DatabaseNameFromLine(QStringLiteral("C:\\X\\")), QStringLiteral("C:\\X\\\\QELMPREISE.fdb"));
    QCOMPARE(DatabaseNameFromLine(QStringLiteral("srv:/data/Daten")), QStringLiteral("srv:/data/Daten/QELMPREISE.fdb"));
    QCOMPARE(DatabaseNameFromLine(QString()), QStringLiteral("/QELMPREISE.fdb"));

    QCOMPARE(FolderPart(QStringLiteral("/opt/p/Daten/QELMPREISE.fdb")), QStringLiteral("/opt/p/Daten"));
    QCOMPARE(FolderPart(QStringLiteral("srv:C:\\X\\Daten\\QELMPREISE.fdb")), QStringLiteral("srv:C:\\X\\Daten"));
    QCOMPARE(FolderPart(QStringLiteral("srv:/a\\b/QELMPREISE.fdb")), QStringLiteral("srv:/a\\b"));
    QCOMPARE(FolderPart(QStringLiteral("QELMPREISE.fdb")), QString());
}

void TestStartup::importCheckMessage()
{
    QVERIFY(IsMissingKimportColumn(
        QStringLiteral("Dynamic SQL Error\r\nSQL error code = -206\r\nColumn unknown\r\nKIMPORT\r\nAt line 1, column 35")));
    QVERIFY(IsMissingKimportColumn(QStringLiteral("column unknown kimport")));
    QVERIFY(!IsMissingKimportColumn(QStringLiteral("Column unknown\r\nKPID")));
    QVERIFY(!IsMissingKimportColumn(QStringLiteral("Table unknown\r\nKOLLEKTIONEN\r\nKIMPORT")));
    // Only a to z are raised: a dotless i does not become I.
    QVERIFY(!IsMissingKimportColumn(QStringLiteral("column unknown k\u0131mport")));
}

void TestStartup::databaseNameFromConnectFile()
{
    struct Case {
        QByteArray content;
        QString expected;  // "%1" stands for the data folder
        bool opens;
    };
    const QList<Case> cases{
        // A folder of this machine: the program works on it.
        {QByteArray("%1\r\nignored\r\n"), QStringLiteral("%1/QELMPREISE.fdb"), true},
        {QByteArray("%1"), QStringLiteral("%1/QELMPREISE.fdb"), true},
        // A host part stays in the name.
        {QByteArray("localhost:/nirgends/Daten\r\n"), QStringLiteral("localhost:/nirgends/Daten/QELMPREISE.fdb"),
         false},
        // No trimming: the trailing blank stays.
        {QByteArray("/nirgends/Daten \r\n"), QStringLiteral("/nirgends/Daten /QELMPREISE.fdb"), false},
        // A trailing separator doubles.
        {QByteArray("/nirgends/Daten/\n"), QStringLiteral("/nirgends/Daten//QELMPREISE.fdb"), false},
        // An empty first line with more lines: the bare file name, the file stays.
        {QByteArray("\r\n%1\r\n"), QStringLiteral("/QELMPREISE.fdb"), false},
        // The line is Windows-1252 text.
        {QByteArray("/nirgends/D\xE4ten\r"), QStringLiteral("/nirgends/D\u00E4ten/QELMPREISE.fdb"), false},
    };
    for (const Case &c : cases) {
        ShellProgram program;
        program.CreateDatabase();
        const QString daten = program.folder.daten();
        QByteArray content = c.content;
        content.replace("%1", daten.toLocal8Bit());
        WriteFile(program.connectFile(), content);
        WriteFile(program.folder.daten() + QStringLiteral("/LAN.dat"), QByteArray());
        program.Start();
        QCOMPARE(fmdm->ib1.DatabaseName, QString(c.expected).replace(QStringLiteral("%1"), daten));
        // The file is kept as it was; the marker writes nothing.
        QCOMPARE(ReadFile(program.connectFile()), content);
        QCOMPARE(fmdm->ib1.Connected(), c.opens);
        if (c.opens) {
            QVERIFY(program.boxes.isEmpty());
            QCOMPARE(fmdm->ib1.Params, AdministratorParams);
        } else {
            // The second attempt's error, in the general error box.
            QCOMPARE(Kinds(program.boxes), QList<MsgKind>{MsgKind::General});
            QCOMPARE(program.boxes.first().caption, QStringLiteral("Tintorel"));
            QCOMPARE(fmdm->ib1.Params, ProgramUserParams);
        }
    }
}

void TestStartup::emptyConnectFileIsDeleted()
{
    // Without the marker: deleted, the stored default stays in force.
    {
        ShellProgram program;
        WriteFile(program.connectFile(), QByteArray());
        program.Start();
        QVERIFY(!QFile::exists(program.connectFile()));
        QCOMPARE(fmdm->ib1.DatabaseName, Tfmdm::DefaultDatabaseName);
        QCOMPARE(Kinds(program.boxes), QList<MsgKind>{MsgKind::General});
    }
    // With the marker: deleted and written anew from the default's folder.
    {
        ShellProgram program;
        const FixedAddresses addresses(true, {QStringLiteral("192.0.2.10")});
        WriteFile(program.connectFile(), QByteArray());
        WriteFile(program.folder.daten() + QStringLiteral("/LAN.dat"), QByteArray("x"));
        program.Start();
        QCOMPARE(fmdm->ib1.DatabaseName, Tfmdm::DefaultDatabaseName);
        QCOMPARE(QString::fromLatin1(ReadFile(program.connectFile())),
                 QStringLiteral("192.0.2.10:") + FolderPart(Tfmdm::DefaultDatabaseName) + QStringLiteral("\r\n"));
    }
}

void TestStartup::undeletableConnectFileEndsProgram()
{
    ShellProgram program;
    program.CreateDatabase();
    WriteFile(program.connectFile(), QByteArray());
    const QString daten = program.folder.daten();
    if (!SetLocked(daten, true))
        QSKIP("the file system cannot protect a folder against deletion for this user");
    bool timedOut = false;
    QTimer::singleShot(0, program.window, [&program] { program.Start(); });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [&timedOut] {
        timedOut = true;
        qApp->exit(1);
    });
    guard.start(20000);
    // The posted end request finishes the event loop.
    const int result = qApp->exec();
    QVERIFY(SetLocked(daten, false));
    QVERIFY(!timedOut);
    QCOMPARE(result, 0);
    QVERIFY(QFile::exists(program.connectFile()));
    QVERIFY(program.boxes.size() >= 1);
    const MessageBoxRequest &box = program.boxes.first();
    QCOMPARE(box.kind, MsgKind::Error);
    QCOMPARE(box.caption, QStringLiteral("Fehler"));
    QCOMPARE(box.text, DeleteFailedText);
    QCOMPARE(box.buttons, QList<MsgButton>{MsgButton::Ok});
    // The start-up still ran to its end with the stored default.
    QCOMPARE(fmdm->ib1.DatabaseName, Tfmdm::DefaultDatabaseName);
    QCOMPARE(Kinds(program.boxes), (QList<MsgKind>{MsgKind::Error, MsgKind::General}));
}

void TestStartup::unreadableConnectFile()
{
    ShellProgram program;
    const FixedAddresses addresses(true, {QStringLiteral("192.0.2.10")});
    // A folder of that name exists but cannot be read as a file.
    QVERIFY(QDir().mkpath(program.connectFile()));
    WriteFile(program.folder.daten() + QStringLiteral("/LAN.dat"), QByteArray());
    program.Start();
    QCOMPARE(fmdm->ib1.DatabaseName, Tfmdm::DefaultDatabaseName);
    QVERIFY(QFileInfo(program.connectFile()).isDir());
    // Only the failed connection speaks.
    QCOMPARE(Kinds(program.boxes), QList<MsgKind>{MsgKind::General});
}

void TestStartup::publishingOnLan()
{
    // Two addresses: only the first is written; the program itself still
    // opens the local file.
    {
        ShellProgram program;
        program.CreateDatabase();
        const FixedAddresses addresses(true, {QStringLiteral("192.0.2.10"), QStringLiteral("198.51.100.7")});
        WriteFile(program.folder.daten() + QStringLiteral("/LAN.dat"), QByteArray());
        program.Start();
        QCOMPARE(QString::fromLatin1(ReadFile(program.connectFile())),
                 QStringLiteral("192.0.2.10:") + program.folder.daten() + QStringLiteral("\r\n"));
        QCOMPARE(fmdm->ib1.DatabaseName, program.folder.databasePath());
        QVERIFY(fmdm->ib1.Connected());
        QVERIFY(program.boxes.isEmpty());
    }
    // No marker: nothing is written.
    {
        ShellProgram program;
        program.CreateDatabase();
        const FixedAddresses addresses(true, {QStringLiteral("192.0.2.10")});
        program.Start();
        QVERIFY(!QFile::exists(program.connectFile()));
        QVERIFY(fmdm->ib1.Connected());
    }
    // No address: nothing is written, nothing is said.
    {
        ShellProgram program;
        program.CreateDatabase();
        const FixedAddresses addresses(true, {});
        WriteFile(program.folder.daten() + QStringLiteral("/LAN.dat"), QByteArray());
        program.Start();
        QVERIFY(!QFile::exists(program.connectFile()));
        QVERIFY(program.boxes.isEmpty());
        QVERIFY(fmdm->ib1.Connected());
    }
    // The lookup cannot start: the error box, then the start-up goes on.
    {
        ShellProgram program;
        program.CreateDatabase();
        const FixedAddresses addresses(false, {});
        WriteFile(program.folder.daten() + QStringLiteral("/LAN.dat"), QByteArray());
        program.Start();
        QVERIFY(!QFile::exists(program.connectFile()));
        QCOMPARE(program.boxes.size(), 1);
        QCOMPARE(program.boxes.first().caption, QStringLiteral("Fehler"));
        QCOMPARE(program.boxes.first().text, QStringLiteral("Die IP Adresse konnte nicht ermittelt werden."));
        QVERIFY(fmdm->ib1.Connected());
        QCOMPARE(program.ui().pcSuche->currentWidget(), program.ui().tsVor);
    }
}

void TestStartup::hostAddresses()
{
    QStringList list{QStringLiteral("stale")};
    QVERIFY(TfmHaupt1::GetIPAddresses(list));
    QVERIFY(!list.contains(QStringLiteral("stale")));
    const QRegularExpression dotted(QStringLiteral("\\A\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\z"));
    for (const QString &address : list)
        QVERIFY2(dotted.match(address).hasMatch(), qPrintable(address));
    QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), list.size());
}

void TestStartup::databaseThatCannotBeOpened()
{
    ShellProgram program;
    program.Start();
    Ui::TfmHaupt1 &ui = program.ui();

    // Both attempts failed; the second one's text is shown.
    QCOMPARE(program.boxes.size(), 1);
    const MessageBoxRequest &box = program.boxes.first();
    QCOMPARE(box.kind, MsgKind::General);
    QCOMPARE(box.caption, QStringLiteral("Tintorel"));
    QCOMPARE(box.buttons, QList<MsgButton>{MsgButton::Ok});
    QVERIFY2(box.text.contains(program.folder.databasePath()), qPrintable(box.text));
    QCOMPARE(box.text, WithFullStop(box.text));
    QCOMPARE(fmdm->ib1.Params, ProgramUserParams);
    QVERIFY(!fmdm->ib1.Connected());

    // Steps before the connection ran, the ones after it did not.
    QCOMPARE(program.window->windowTitle(), Konstant::VersionCaption);
    QCOMPARE(ui.Label24->text(), Konstant::VersionCaption);
    QCOMPARE(program.window->WindowColor, PackRGB(0, 106, 179));
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsRueck);
    QVERIFY(ui.btImportMaster->isVisible());
    QVERIFY(!ui.pHinweis->isVisible());
    QCOMPARE(ui.lbSel->count(), 0);
    QCOMPARE(ui.lbRSel->count(), 0);

    // A later list load attaches with the program user once the file exists.
    program.CreateDatabase({QStringLiteral("insert into PRODUKTE (PID, PNAME) values (7, 'Zinkweiß')"),
                            QStringLiteral("insert into PRODUKTE (PID, PNAME) values (3, 'Abtönfarbe')")});
    program.window->LoadProducts();
    QVERIFY(fmdm->ib1.Connected());
    QVERIFY(fmdm->ibTa1.Active());
    QCOMPARE(ListRows(ui.lbSel), (QStringList{QStringLiteral("Abtönfarbe"), QStringLiteral("Zinkweiß")}));
    QCOMPARE(ListRows(ui.lbSelID), (QStringList{QStringLiteral("3"), QStringLiteral("7")}));
    QCOMPARE(program.boxes.size(), 1);
}

void TestStartup::importCheck()
{
    struct Case {
        const char *name;
        QStringList kollektionen;  // rows (KPID, KID, KNAME, KIMPORT)
        bool shown;
    };
    const QList<Case> cases{
        {"no rows", {}, false},
        {"all marked", {QStringLiteral("1, 1, 'A', 'J'"), QStringLiteral("2, 1, 'A', 'J'")}, false},
        {"marks empty", {QStringLiteral("1, 1, 'A', NULL"), QStringLiteral("2, 1, 'A', 'J'")}, false},
        {"collection rows", {QStringLiteral("0, 1, 'A', 'N'"), QStringLiteral("0, 2, 'B', NULL")}, false},
        {"pending", {QStringLiteral("0, 1, 'A', 'J'"), QStringLiteral("3, 1, 'A', 'N'")}, true},
    };
    for (const Case &c : cases) {
        ShellProgram program;
        QStringList statements;
        for (const QString &row : c.kollektionen)
            statements << QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (") + row +
                              QLatin1Char(')');
        program.CreateDatabase(statements);
        program.Start();
        QVERIFY2(program.boxes.isEmpty(), c.name);
        QVERIFY2(program.ui().btImportMaster->isVisible() == c.shown, c.name);
        // The check's query stays open on its statement.
        QVERIFY(fmdm->qrKollektionen.Active());
        QCOMPARE(fmdm->qrKollektionen.SQL(), (QStringList{QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'"),
                                                          QStringLiteral("and KPID>0")}));
    }
    // A database as delivered: no mark column yet, the import is due.
    {
        ShellProgram program;
        CreateEmptyDatabase(program.folder.databasePath());
        CreateDeliveredSchema(program.folder.databasePath());
        program.Start();
        QVERIFY(program.boxes.isEmpty());
        QVERIFY(program.ui().btImportMaster->isVisible());
    }
    // Any other failure: the warning with the error's text, no button.
    {
        ShellProgram program;
        CreateEmptyDatabase(program.folder.databasePath());
        RunSql(program.folder.databasePath(), {QStringLiteral("CREATE TABLE PRODUKTE (PID INTEGER, PNAME VARCHAR(60))")});
        program.Start();
        QCOMPARE(program.boxes.size(), 1);
        const MessageBoxRequest &box = program.boxes.first();
        QCOMPARE(box.kind, MsgKind::Warning);
        QCOMPARE(box.caption, QStringLiteral("Warnung"));
        QVERIFY2(box.text.contains(QStringLiteral("KOLLEKTIONEN")), qPrintable(box.text));
        QVERIFY(!program.ui().btImportMaster->isVisible());
    }
}

void TestStartup::stateAfterStartUp()
{
    ShellProgram program;
    program.CreateDatabase({
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (1, 'Zaunlasur')"),
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (2, 'Außenlack')"),
        QStringLiteral("insert into PRODUKTE (PID, PNAME) values (3, 'Mattlatex')"),
        QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (2, 1, 'A', 'J')"),
    });
    program.window->show();
    program.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window));
    Ui::TfmHaupt1 &ui = program.ui();

    QVERIFY(program.boxes.isEmpty());
    QVERIFY(fmdm->ib1.Connected());
    QVERIFY(fmdm->ibTa1.Active());
    QCOMPARE(fmdm->ib1.Params, AdministratorParams);
    QCOMPARE(fmdm->ib1.DatabaseName, program.folder.databasePath());

    QCOMPARE(program.window->windowTitle(), Konstant::VersionCaption);
    QCOMPARE(ui.Label24->text(), Konstant::VersionCaption);
    QCOMPARE(ui.Image1->toolTip(), Konstant::VersionCaption);
    const QColor blue(0, 106, 179);
    QCOMPARE(program.window->WindowColor, PackRGB(0, 106, 179));
    for (QWidget *widget : QList<QWidget *>{program.window, ui.pNavigation, ui.pBase, ui.pPG, ui.pFarbe,
                                            ui.pHinweis})
        QCOMPARE(widget->palette().color(QPalette::Window), blue);

    QCOMPARE(ui.PageControl1->currentWidget(), ui.tsDetails);
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsVor);
    QCOMPARE(QApplication::focusWidget(), ui.edSelProd);
    QCOMPARE(ListRows(ui.lbSel),
             (QStringList{QStringLiteral("Außenlack"), QStringLiteral("Mattlatex"), QStringLiteral("Zaunlasur")}));
    QCOMPARE(ListRows(ui.lbSelID), (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1")}));
    QVERIFY(ui.pNavigation->isVisible());
    QVERIFY(ui.pBase->isVisible() && ui.pPG->isVisible() && ui.pFarbe->isVisible());
    QVERIFY(ui.edBase->text().isEmpty() && ui.edPG->text().isEmpty());
    QVERIFY(!ui.mFarbton->isVisible());
    QVERIFY(!ui.pHinweis->isVisible());
    QVERIFY(!ui.lbWarning->isVisibleTo(program.window));
    QVERIFY(!ui.btImportMaster->isVisible());
    QVERIFY(ui.sb1->currentMessage().isEmpty());
    QVERIFY(!program.window->tmSuchen->Enabled());
    QVERIFY(!program.window->tmRSuchen->Enabled());

    // A second showing does not run the start-up again.
    ui.lbSel->clear();
    program.window->hide();
    program.window->show();
    QCOMPARE(ui.lbSel->count(), 0);

    // The backward page opens through the user's switch only: its reset
    // hides the later filter fields, which the start-up left alone.
    QVERIFY(ui.edRSelKol->isVisibleTo(ui.tsRueck));
    QTabBar *bar = ui.pcSuche->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(ui.pcSuche->indexOf(ui.tsRueck)).center());
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsRueck);
    QVERIFY(!ui.edRSelKol->isVisibleTo(ui.tsRueck));
}

SHELL_TEST_MAIN(TestStartup)
#include "test_startup.moc"
