// The start-up when the main window first shows: database name, publishing,
// connection, first list and import check.
#include "app/konstant.h"
#include "app/logfile.h"
#include "app/startup.h"
#include "data/credentials.h"
#include "details/colour.h"
#include "import/masterimport.h"
#include "shell_fixture.h"
#include "ui_fmHaupt.h"

#include <QDir>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTimer>

namespace {

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

void WriteMarker(const ShellProgram &program, const QByteArray &content = {})
{
    WriteFile(program.folder.daten() + QStringLiteral("/LAN.dat"), content);
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
    const QString a = QStringLiteral("a");
    QCOMPARE(SplitTextLines(QString()), QStringList());
    QCOMPARE(SplitTextLines(a), QStringList{a});
    QCOMPARE(SplitTextLines(QStringLiteral("a\r\n")), QStringList{a});
    QCOMPARE(SplitTextLines(QStringLiteral("a\r\nb\rc\nd")),
             (QStringList{a, QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    QCOMPARE(SplitTextLines(QStringLiteral("\r\nx\r\n")), (QStringList{QString(), QStringLiteral("x")}));
    QCOMPARE(SplitTextLines(QStringLiteral("a\n\n")), (QStringList{a, QString()}));
    QCOMPARE(SplitTextLines(QStringLiteral("a\n\r")), (QStringList{a, QString()}));

    // A Windows host's folder keeps "\", every other line gets "/".
    QCOMPARE(DatabaseNameFromLine(QStringLiteral("srv:C:\\X\\Daten")),
             QStringLiteral("srv:C:\\X\\Daten\\QELMPREISE.fdb"));
    QCOMPARE(DatabaseNameFromLine(QStringLiteral("C:\\X\\")), QStringLiteral("C:\\X\\\\QELMPREISE.fdb"));
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
        WriteMarker(program);
        program.Start();
        QCOMPARE(fmdm->ib1.DatabaseName, QString(c.expected).replace(QStringLiteral("%1"), daten));
        // The file is kept as it was; the marker writes nothing.
        QCOMPARE(ReadFile(program.connectFile()), content);
        QCOMPARE(fmdm->ib1.Connected(), c.opens);
        // Failing: the second attempt's error, in the general error box.
        QCOMPARE(Kinds(program.boxes), c.opens ? QList<MsgKind>{} : QList<MsgKind>{MsgKind::General});
        QCOMPARE(fmdm->ib1.Params, c.opens ? AdministratorParams : ProgramUserParams);
    }
}

void TestStartup::emptyConnectFileIsDeleted()
{
    // Without the marker: deleted, the stored default stays in force. With
    // it: written anew from the default's folder.
    for (const bool marker : {false, true}) {
        ShellProgram program;
        const FixedAddresses addresses(true, {QStringLiteral("192.0.2.10")});
        WriteFile(program.connectFile(), QByteArray());
        if (marker)
            WriteMarker(program, "x");
        program.Start();
        QCOMPARE(fmdm->ib1.DatabaseName, Tfmdm::DefaultDatabaseName);
        QCOMPARE(QString::fromLatin1(ReadFile(program.connectFile())),
                 marker ? QStringLiteral("192.0.2.10:") + FolderPart(Tfmdm::DefaultDatabaseName) + QStringLiteral("\r\n")
                        : QStringLiteral("<missing>"));
        QCOMPARE(Kinds(program.boxes), QList<MsgKind>{MsgKind::General});
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
    QTimer::singleShot(0, program.window, [&program] { program.Start(); });
    // The posted end request finishes the event loop; 1 if it never comes.
    QTimer guard;
    guard.callOnTimeout(qApp, [] { qApp->exit(1); });
    guard.start(20000);
    const int result = qApp->exec();
    QVERIFY(SetLocked(daten, false));
    QCOMPARE(result, 0);
    QVERIFY(QFile::exists(program.connectFile()));
    // The start-up still ran to its end with the stored default.
    QCOMPARE(Kinds(program.boxes), (QList<MsgKind>{MsgKind::Error, MsgKind::General}));
    const MessageBoxRequest &box = program.boxes.first();
    QCOMPARE(box.caption, QStringLiteral("Fehler"));
    QCOMPARE(box.text, QStringLiteral("Fehler: Verarbeitung der Datei dbconnect.txt fehlgeschlagen!\r\n\r\n"
                                      "Das Programm wird beendet."));
    QCOMPARE(box.buttons, QList<MsgButton>{MsgButton::Ok});
    QCOMPARE(fmdm->ib1.DatabaseName, Tfmdm::DefaultDatabaseName);
}

void TestStartup::unreadableConnectFile()
{
    ShellProgram program;
    const FixedAddresses addresses(true, {QStringLiteral("192.0.2.10")});
    // A folder of that name exists but cannot be read as a file.
    QVERIFY(QDir().mkpath(program.connectFile()));
    WriteMarker(program);
    program.Start();
    QCOMPARE(fmdm->ib1.DatabaseName, Tfmdm::DefaultDatabaseName);
    QVERIFY(QFileInfo(program.connectFile()).isDir());
    // Only the failed connection speaks.
    QCOMPARE(Kinds(program.boxes), QList<MsgKind>{MsgKind::General});
}

void TestStartup::publishingOnLan()
{
    struct Case {
        bool started;
        QStringList addresses;
        bool marker;
        QString written;  // "%1" stands for the data folder
        QStringList boxes;
    };
    const QString none = QStringLiteral("<missing>");
    const QList<Case> cases{
        // Two addresses: only the first is written; the program itself still
        // opens the local file.
        {true, {QStringLiteral("192.0.2.10"), QStringLiteral("198.51.100.7")}, true,
         QStringLiteral("192.0.2.10:%1\r\n"), {}},
        // Loopback addresses reach no other counter: the first other one.
        {true, {QStringLiteral("127.0.1.1"), QStringLiteral("127.0.0.1"), QStringLiteral("192.0.2.10")}, true,
         QStringLiteral("192.0.2.10:%1\r\n"), {}},
        // Only loopback: nothing is written; the log says why.
        {true, {QStringLiteral("127.0.1.1")}, true, none, {}},
        // No marker, or no address: nothing is written, nothing is said.
        {true, {QStringLiteral("192.0.2.10")}, false, none, {}},
        {true, {}, true, none, {}},
        // The lookup cannot start: the error box, then the start-up goes on.
        {false, {}, true, none, {QStringLiteral("Fehler|Die IP Adresse konnte nicht ermittelt werden.")}},
    };
    for (const Case &c : cases) {
        ShellProgram program;
        program.CreateDatabase();
        const FixedAddresses addresses(c.started, c.addresses);
        if (c.marker)
            WriteMarker(program);
        program.Start();
        QCOMPARE(QString::fromLatin1(ReadFile(program.connectFile())), QString(c.written).replace(QStringLiteral("%1"), program.folder.daten()));
        QStringList boxes;
        for (const MessageBoxRequest &box : program.boxes)
            boxes << box.caption + QLatin1Char('|') + box.text;
        QCOMPARE(boxes, c.boxes);
        const QString log = QString::fromLatin1(ReadFile(program.folder.path() + QLatin1Char('/') + LogFileName(QDate::currentDate())));
        QCOMPARE(log.contains(QStringLiteral("LAN.dat: dbconnect.txt nicht geschrieben")), c.marker && c.written == none);
        if (c.addresses == QStringList{QStringLiteral("127.0.1.1")})
            QVERIFY2(log.contains(QStringLiteral("(gefunden: 127.0.1.1)")), qPrintable(log));
        QCOMPARE(fmdm->ib1.DatabaseName, program.folder.databasePath());
        QVERIFY(fmdm->ib1.Connected());
        QCOMPARE(program.ui().pcSuche->currentWidget(), program.ui().tsVor);
    }
}

void TestStartup::hostAddresses()
{
    QStringList list{QStringLiteral("stale")};
    QVERIFY(StartUp::GetIPAddresses(list));
    QVERIFY(!list.contains(QStringLiteral("stale")));
    const QRegularExpression dotted(QStringLiteral("\\A\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\z"));
    for (const QString &address : list)
        QVERIFY2(dotted.match(address).hasMatch(), qPrintable(address));
    QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), list.size());

    QCOMPARE(ReachableAddress({QStringLiteral("127.0.1.1"), QStringLiteral("10.1.2.3"), QStringLiteral("192.0.2.1")}),
             QStringLiteral("10.1.2.3"));
    QCOMPARE(ReachableAddress({QStringLiteral("127.0.0.1"), QStringLiteral("127.255.0.9"), QStringLiteral("0.0.0.0")}),
             QString());
    QCOMPARE(ReachableAddress({}), QString());
    // 127 is loopback only as the first part.
    QCOMPARE(ReachableAddress({QStringLiteral("10.127.0.1")}), QStringLiteral("10.127.0.1"));
}

void TestStartup::databaseThatCannotBeOpened()
{
    ShellProgram program;
    program.Start();
    Ui::TfmHaupt1 &ui = program.ui();

    // Both attempts failed; the second one's text is shown.
    QCOMPARE(Kinds(program.boxes), QList<MsgKind>{MsgKind::General});
    const QString text = program.boxes.first().text;
    QVERIFY2(text.contains(program.folder.databasePath()), qPrintable(text));
    // The engine's text, then what to fix.
    QVERIFY2(text.contains(QStringLiteral("\r\n\r\nDie Datenbank %1 fehlt").arg(program.folder.databasePath())), qPrintable(text));
    QCOMPARE(text, WithFullStop(text));
    QCOMPARE(fmdm->ib1.Params, ProgramUserParams);
    QVERIFY(!fmdm->ib1.Connected());

    // Steps before the connection ran, the ones after it did not.
    QCOMPARE(ui.Label24->text(), Konstant::VersionCaption);
    QCOMPARE(program.window->WindowColor, PackRGB(0, 106, 179));
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsRueck);
    QVERIFY(ui.btImportMaster->isVisible());
    QVERIFY(!ui.pHinweis->isVisible());
    QCOMPARE(ui.lbSel->count() + ui.lbRSel->count(), 0);

    // A later list load attaches with the program user once the file exists.
    program.CreateDatabase({QStringLiteral("insert into PRODUKTE (PID, PNAME) values (7, 'Zinkweiß')"),
                            QStringLiteral("insert into PRODUKTE (PID, PNAME) values (3, 'Abtönfarbe')")});
    program.window->Forward().Load(0);
    QVERIFY(fmdm->ib1.Connected());
    QVERIFY(fmdm->ibTa1.Active());
    QCOMPARE(ProgramRun::Rows(ui.lbSel), (QStringList{QStringLiteral("Abtönfarbe"), QStringLiteral("Zinkweiß")}));
    QCOMPARE(ProgramRun::Rows(ui.lbSelID), (QStringList{QStringLiteral("3"), QStringLiteral("7")}));
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
            statements << QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) values (%1)").arg(row);
        program.CreateDatabase(statements);
        program.Start();
        QVERIFY2(program.boxes.isEmpty(), c.name);
        QVERIFY2(program.ui().btImportMaster->isVisible() == c.shown, c.name);
        // The check's query stays open on its statement.
        QVERIFY(fmdm->qrKollektionen.Active());
        QCOMPARE(fmdm->qrKollektionen.SQL(), (QStringList{QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'"),
                                                          QStringLiteral("and KPID>0")}));
    }
    // A database as delivered (no mark column yet): the import is due. Any
    // other failure: the warning with the error's text, no button.
    for (const bool delivered : {true, false}) {
        ShellProgram program;
        CreateEmptyDatabase(program.folder.databasePath());
        if (delivered)
            CreateDeliveredSchema(program.folder.databasePath());
        else
            RunSql(program.folder.databasePath(), {QStringLiteral("CREATE TABLE PRODUKTE (PID INTEGER, PNAME VARCHAR(60))")});
        program.Start();
        QCOMPARE(program.ui().btImportMaster->isVisible(), delivered);
        QCOMPARE(Kinds(program.boxes), delivered ? QList<MsgKind>{} : QList<MsgKind>{MsgKind::Warning});
        if (!delivered) {
            QCOMPARE(program.boxes.first().caption, QStringLiteral("Warnung"));
            QVERIFY2(program.boxes.first().text.contains(QStringLiteral("KOLLEKTIONEN")),
                     qPrintable(program.boxes.first().text));
        }
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
    QCOMPARE(program.window->WindowColor, PackRGB(0, 106, 179));
    for (QWidget *widget : QList<QWidget *>{program.window, ui.pNavigation, ui.pBase, ui.pPG, ui.pFarbe,
                                            ui.pHinweis})
        QCOMPARE(widget->palette().color(QPalette::Window), QColor(0, 106, 179));

    QCOMPARE(ui.PageControl1->currentWidget(), ui.tsDetails);
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsVor);
    QCOMPARE(QApplication::focusWidget(), ui.edSelProd);
    QCOMPARE(ProgramRun::Rows(ui.lbSel),
             (QStringList{QStringLiteral("Außenlack"), QStringLiteral("Mattlatex"), QStringLiteral("Zaunlasur")}));
    QCOMPARE(ProgramRun::Rows(ui.lbSelID), (QStringList{QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1")}));
    for (QWidget *shown : QList<QWidget *>{ui.pNavigation, ui.pBase, ui.pPG, ui.pFarbe})
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    for (QWidget *hidden : QList<QWidget *>{ui.mFarbton, ui.pHinweis, ui.lbWarning, ui.btImportMaster})
        QVERIFY2(!hidden->isVisibleTo(program.window), qPrintable(hidden->objectName()));
    QVERIFY(ui.edBase->text().isEmpty() && ui.edPG->text().isEmpty());
    QVERIFY(ui.sb1->currentMessage().isEmpty());
    QVERIFY(!program.window->tmSuchen->Enabled() && !program.window->tmRSuchen->Enabled());

    // A second showing does not run the start-up again.
    ui.lbSel->clear();
    program.window->hide();
    program.window->show();
    QCOMPARE(ui.lbSel->count(), 0);

    // The backward page opens through the user's switch only: its reset
    // hides the later filter fields, which the start-up left alone.
    QVERIFY(ui.edRSelKol->isVisibleTo(ui.tsRueck));
    ProgramRun::ClickTab(ui.pcSuche, ui.tsRueck);
    QCOMPARE(ui.pcSuche->currentWidget(), ui.tsRueck);
    QVERIFY(!ui.edRSelKol->isVisibleTo(ui.tsRueck));
}

TINTOREL_TEST_MAIN(TestStartup)
#include "test_startup.moc"
