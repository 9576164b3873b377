// The shared database: programs that reach their database through a Firebird
// server, found through dbconnect.txt, published through LAN.dat; refused
// credentials, a server that goes away, two programs on one database. Every
// connection stays on loopback: a server of the tests' own on 127.0.0.1.
#include "app/application.h"
#include "app/msgbox.h"
#include "data/fmdm1.h"
#include "data/ib.h"
#include "support/fbserver.h"
#include "support/programrun.h"
#include "support/testsupport.h"
#include "tools/demodata.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>

#include <memory>

namespace {

QString RemoteDatabase(const TempProgramFolder &folder, const QString &host = QStringLiteral("127.0.0.1"))
{
    return host + QLatin1Char(':') + folder.databasePath();
}

// dbconnect.txt with one line, as the program writes it.
void WriteConnectFile(const TempProgramFolder &folder, const QString &line)
{
    const QByteArray content = (line + QStringLiteral("\r\n")).toLocal8Bit();
    QFile file(folder.daten() + QStringLiteral("/dbconnect.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// The line that sends the program to the test server for the folder's database.
QString ServedLine(const TempProgramFolder &folder, const QString &host = QStringLiteral("127.0.0.1"))
{
    return host + QLatin1Char(':') + folder.daten();
}

QByteArray ConnectFileContent(const TempProgramFolder &folder)
{
    QFile file(folder.daten() + QStringLiteral("/dbconnect.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The message the client library gives for an attach with these credentials.
QString AttachError(const QString &database, const QString &user, const QString &password)
{
    TIBDatabase db(QStringLiteral("ibProbe"));
    db.DatabaseName = database;
    db.Params = QStringList{QStringLiteral("user_name=") + user, QStringLiteral("password=") + password,
                            QStringLiteral("lc_ctype=ASCII")};
    try {
        db.SetConnected(true);
    } catch (const EDatabaseError &e) {
        return e.Message();
    }
    return QString();
}

// The attachments to a served database other than the asking one: protocol
// and user, as the server sees them.
QList<QStringList> ServerAttachments(const QString &remoteDatabase)
{
    return QueryRows(remoteDatabase, QStringLiteral("select trim(MON$REMOTE_PROTOCOL), trim(MON$USER) "
                                                    "from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                                                    "and MON$SYSTEM_FLAG = 0"));
}

QStringList Column(const QList<QStringList> &rows, int column = 0)
{
    QStringList values;
    for (const QStringList &row : rows)
        values << row.value(column).trimmed();
    return values;
}

// Every table the import fills, whole and ordered, as one text per table.
QStringList ImportedTables(const QString &database)
{
    QStringList tables;
    for (const char *select :
         {"select FID, FNAME from FARBEN order by FID", "select BASEID, BNAME from BASEN order by BASEID",
          "select COLORID, RCOLOR, GCOLOR, BCOLOR from RGBCOLORS order by COLORID",
          "select KPID, KID, KNAME, KIMPORT from KOLLEKTIONEN order by KPID, KID",
          "select K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST from KOMBIDATEN "
          "order by K_PID, K_KID, K_FID, K_COLORID, K_BASEID, K_FDETID, K_COST",
          "select count(*) from MASTER"}) {
        QStringList lines;
        for (const QStringList &row : QueryRows(database, QString::fromLatin1(select)))
            lines << row.join(QLatin1Char('|'));
        tables << lines.join(QLatin1Char('\n'));
    }
    return tables;
}

// The import's question is answered "&Ja" (rebuild everything); every other
// box gets its default.
MsgButton RebuildAll(const MessageBoxRequest &request)
{
    return request.buttons.contains(MsgButton::Yes) ? MsgButton::Yes : request.defaultButton;
}

// Runs the import on a running program and checks that it ended with "Fertig!".
void RunImport(ProgramRun &program)
{
    QVERIFY(!program.ui().btImportMaster->isHidden());
    program.TakeBoxes();
    program.Click(program.ui().btImportMaster);
    const QList<MessageBoxRequest> boxes = program.TakeBoxes();
    QVERIFY2(ProgramRun::GeneralErrors(boxes).isEmpty(), qPrintable(ProgramRun::GeneralErrors(boxes).join('\n')));
    QVERIFY(!boxes.isEmpty());
    QCOMPARE(boxes.first().caption, QStringLiteral("Warnung"));
    QCOMPARE(boxes.last().text, QStringLiteral("Fertig!"));
}

// What a forward lookup shows: the lists on the way and the detail panel.
struct Lookup {
    QStringList collections;
    QStringList shades;
    QString base;
    QString priceGroup;
    QColor swatch;
    bool operator==(const Lookup &) const = default;
};

Lookup ForwardLookup(ProgramRun &program, const QString &product, const QString &collection, const QString &shade)
{
    Lookup result;
    Ui::TfmHaupt1 &ui = program.ui();
    program.Click(ui.bbDelAll);
    if (!program.Choose(ui.lbSel, product))
        return result;
    result.collections = ProgramRun::Rows(ui.lbSel);
    if (!program.Choose(ui.lbSel, collection))
        return result;
    result.shades = ProgramRun::Rows(ui.lbSel);
    if (!program.Choose(ui.lbSel, shade))
        return result;
    result.base = ui.edBase->text();
    result.priceGroup = ui.edPG->text();
    result.swatch = !ui.mFarbton->isHidden() ? ui.mFarbton->palette().color(QPalette::Base) : QColor();
    return result;
}

// A click on a tab of the search pages, as the user makes it.
void ClickTab(ProgramRun &program, QWidget *page)
{
    QTabBar *bar = program.ui().pcSuche->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(program.ui().pcSuche->indexOf(page)).center());
}

// A program of its own: a helper process with its own data module.
class HelperProgram {
public:
    HelperProgram(const QString &programFolder, const QStringList &arguments)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        DieWithParent(process);
        process.start(QString::fromLocal8Bit(qgetenv("TINTOREL_TEST_HELPERS")) + QStringLiteral("/helper_lan"),
                      QStringList{programFolder} + arguments);
    }
    ~HelperProgram()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // Keeps the complete lines written so far, waiting up to the time given
    // for more.
    void Read(int milliseconds)
    {
        process.waitForReadyRead(milliseconds);
        while (process.canReadLine())
            lines << QString::fromUtf8(process.readLine()).chopped(1);
    }
    // Waits for a line that starts with the prefix.
    bool WaitForLine(const QString &prefix, int milliseconds = 120000)
    {
        QElapsedTimer clock;
        clock.start();
        for (qsizetype seen = 0;; Read(200)) {
            for (; seen < lines.size(); ++seen)
                if (lines[seen].startsWith(prefix))
                    return true;
            if (process.state() == QProcess::NotRunning || clock.elapsed() > milliseconds)
                return false;
        }
    }
    // Waits for the end; true when the program ended normally with 0.
    bool Finish(int milliseconds = 120000)
    {
        const bool finished = process.state() == QProcess::NotRunning || process.waitForFinished(milliseconds);
        Read(0);
        const QByteArray rest = process.readAll();
        if (!rest.isEmpty())
            lines << QString::fromUtf8(rest);
        lines << QStringLiteral("exit %1 %2").arg(process.exitStatus()).arg(process.exitCode());
        return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    QStringList Lines(const QString &prefix) const
    {
        QStringList found;
        for (const QString &line : lines)
            if (line.startsWith(prefix))
                found << line.mid(prefix.size());
        return found;
    }

    QProcess process;
    QStringList lines;
};

}  // namespace

class TestLan : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FirebirdServer> server;

private slots:
    void init()
    {
        // A failed test may have left the server stopped.
        server->Start();
    }

    void initTestCase()
    {
        // First of all: the fixture points this process's client at its server.
        server = std::make_unique<FirebirdServer>();
    }

    void cleanupTestCase()
    {
        server.reset();
    }

    void startUpThroughTheServer()
    {
        // The same delivered database twice: one served, one opened locally.
        TempProgramFolder served;
        TempProgramFolder local;
        CreateDemoDatabase(served.databasePath(), {300, 77});
        CreateDemoDatabase(local.databasePath(), {300, 77});
        const QString remote = RemoteDatabase(served);

        WriteConnectFile(served, ServedLine(served));
        {
            ProgramRun program(served.path(), RebuildAll);
            QVERIFY(fmdm->ib1.Connected());
            QCOMPARE(fmdm->ib1.DatabaseName, remote);
            // The server holds the attachment, over TCP, as the administrator.
            QCOMPARE(ServerAttachments(remote),
                     (QList<QStringList>{{QStringLiteral("TCPv4"), QStringLiteral("SYSDBA")}}));
            QCOMPARE(program.TakeBoxes().size(), 0);
            QCOMPARE(ProgramRun::Rows(program.ui().lbSel),
                     Column(QueryRows(remote, QStringLiteral("select PNAME from PRODUKTE order by PNAME"))));
            QVERIFY(program.ui().lbSel->count() > 0);
            // A delivered database: the import is offered, and runs over the server.
            RunImport(program);
        }
        {
            ProgramRun program(local.path(), RebuildAll);
            QCOMPARE(fmdm->ib1.DatabaseName, local.databasePath());
            RunImport(program);
        }
        const QStringList servedTables = ImportedTables(remote);
        QCOMPARE(servedTables, ImportedTables(local.databasePath()));
        QVERIFY(!servedTables.at(4).isEmpty());

        // Lookups over the server ("localhost:" form) show what the local
        // database shows, for a few combinations.
        const QList<QStringList> triples =
            QueryRows(remote, QStringLiteral("select first 3 skip 5 PNAME, KNAME, FNAME from KOMBIDATEN "
                                             "join PRODUKTE on PID = K_PID join FARBEN on FID = K_FID "
                                             "join KOLLEKTIONEN on KID = K_KID and KPID = K_PID "
                                             "order by K_PID, K_KID, K_FID"));
        QCOMPARE(triples.size(), 3);
        QList<Lookup> localLookups;
        {
            ProgramRun program(local.path());
            QVERIFY(program.ui().btImportMaster->isHidden());
            for (const QStringList &t : triples)
                localLookups << ForwardLookup(program, t[0].trimmed(), t[1].trimmed(), t[2].trimmed());
        }
        WriteConnectFile(served, ServedLine(served, QStringLiteral("localhost")));
        {
            ProgramRun program(served.path());
            QCOMPARE(fmdm->ib1.DatabaseName, RemoteDatabase(served, QStringLiteral("localhost")));
            QCOMPARE(Column(ServerAttachments(remote)), QStringList{QStringLiteral("TCPv4")});
            QVERIFY(program.ui().btImportMaster->isHidden());
            for (int i = 0; i < triples.size(); ++i) {
                const Lookup lookup =
                    ForwardLookup(program, triples[i][0].trimmed(), triples[i][1].trimmed(), triples[i][2].trimmed());
                QVERIFY(!lookup.base.isEmpty());
                QVERIFY(lookup.swatch.isValid());
                QVERIFY(lookup.shades.contains(triples[i][2].trimmed()));
                QVERIFY(lookup == localLookups[i]);
            }
            QCOMPARE(ProgramRun::GeneralErrors(program.TakeBoxes()), QStringList());
        }
        // Closed programs leave no attachment behind.
        QCOMPARE(ServerAttachments(remote).size(), 0);
    }

    void publishing()
    {
        TempProgramFolder folder;
        CreateDemoDatabase(folder.databasePath(), {100, 5});
        QFile marker(folder.daten() + QStringLiteral("/LAN.dat"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();

        // The publishing start opens its own file and writes this machine's
        // first address with the data folder.
        QStringList addresses;
        QVERIFY(TfmHaupt1::GetIPAddresses(addresses));
        QVERIFY2(!addresses.isEmpty(), "this machine's name resolves to no IPv4 address");
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(addresses.first()).hasMatch());
        QStringList products;
        {
            ProgramRun program(folder.path());
            QCOMPARE(fmdm->ib1.DatabaseName, folder.databasePath());
            QVERIFY(fmdm->ib1.Connected());
            QCOMPARE(program.TakeBoxes().size(), 0);
            products = ProgramRun::Rows(program.ui().lbSel);
            QVERIFY(!products.isEmpty());
        }
        const QString published = ServedLine(folder, addresses.first());
        QCOMPARE(ConnectFileContent(folder), (published + QStringLiteral("\r\n")).toLocal8Bit());

        // Only loopback is reached from here: where the name resolves to an
        // address outside 127.0.0.0/8 (a real network card), the written line
        // is pointed at 127.0.0.1 before the next start.
        QString line = published;
        if (!addresses.first().startsWith(QLatin1String("127."))) {
            line = ServedLine(folder);
            WriteConnectFile(folder, line);
        }
        const QByteArray written = ConnectFileContent(folder);
        const QString remote = line + QStringLiteral("/QELMPREISE.fdb");

        // The next start from the same program folder goes through the server,
        // and so does a second program started beside it.
        {
            ProgramRun program(folder.path());
            QCOMPARE(fmdm->ib1.DatabaseName, remote);
            QCOMPARE(ServerAttachments(remote),
                     (QList<QStringList>{{QStringLiteral("TCPv4"), QStringLiteral("SYSDBA")}}));
            QCOMPARE(ProgramRun::Rows(program.ui().lbSel), products);
            QCOMPARE(program.TakeBoxes().size(), 0);

            HelperProgram second(folder.path(), {QStringLiteral("list")});
            QVERIFY(second.Finish());
            QCOMPARE(second.Lines(QStringLiteral("database ")), QStringList{remote});
            QCOMPARE(second.Lines(QStringLiteral("product ")), products);
            QCOMPARE(second.Lines(QStringLiteral("box ")), QStringList());
        }
        // A connection file that exists is never rewritten.
        QCOMPARE(ConnectFileContent(folder), written);
    }

    void credentials()
    {
        TempProgramFolder folder;
        CreateDemoDatabase(folder.databasePath(), {100, 9});
        const QString remote = RemoteDatabase(folder);
        WriteConnectFile(folder, ServedLine(folder));
        const QStringList products =
            Column(QueryRows(remote, QStringLiteral("select PNAME from PRODUKTE order by PNAME")));
        const QStringList programUser{QStringLiteral("user_name=QELMMASTER"), QStringLiteral("password=MUBRELT"),
                                      QStringLiteral("lc_ctype=ASCII")};
        // The server's passwords go back to the program's whatever happens here.
        struct Restore {
            FirebirdServer &server;
            ~Restore()
            {
                try {
                    server.SetPassword(QStringLiteral("QELMMASTER"), QString::fromLatin1(FirebirdServer::ProgramUserPassword));
                    server.SetPassword(QStringLiteral("SYSDBA"), QString::fromLatin1(FirebirdServer::AdminPassword));
                } catch (const Exception &e) {
                    qWarning("passwords not restored: %s", qPrintable(e.Message()));
                }
            }
        } restore{*server};

        // The administrator set refused, the program's user accepted: a normal
        // start without any message.
        server->SetPassword(QStringLiteral("SYSDBA"), QStringLiteral("anderswo"));
        QVERIFY(!AttachError(remote, QStringLiteral("SYSDBA"), QString::fromLatin1(FirebirdServer::AdminPassword)).isEmpty());
        {
            ProgramRun program(folder.path());
            QCOMPARE(program.TakeBoxes().size(), 0);
            QVERIFY(fmdm->ib1.Connected());
            QCOMPARE(fmdm->ib1.Params, programUser);
            QCOMPARE(program.ui().pcSuche->currentWidget(), program.ui().tsVor);
            QCOMPARE(ProgramRun::Rows(program.ui().lbSel), products);
            // A delivered database: the import check ran and offers the import.
            QVERIFY(!program.ui().btImportMaster->isHidden());
        }

        // Both refused: the server's text in the general error box, and the
        // window without a connection.
        server->SetPassword(QStringLiteral("QELMMASTER"), QStringLiteral("woanders"));
        const QString refused =
            AttachError(remote, QStringLiteral("QELMMASTER"), QString::fromLatin1(FirebirdServer::ProgramUserPassword));
        QVERIFY(!refused.isEmpty());
        {
            ProgramRun program(folder.path());
            const QList<MessageBoxRequest> boxes = program.TakeBoxes();
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].kind, MsgKind::General);
            QCOMPARE(boxes[0].caption, QStringLiteral("Tintorel"));
            QCOMPARE(boxes[0].text, WithFullStop(refused));
            QCOMPARE(boxes[0].buttons, QList<MsgButton>{MsgButton::Ok});
            QVERIFY(!fmdm->ib1.Connected());
            QVERIFY(fmHaupt1->isVisible());
            QCOMPARE(program.ui().pcSuche->currentWidget(), program.ui().tsRueck);
            QCOMPARE(program.ui().lbSel->count(), 0);
            QCOMPARE(program.ui().lbRSel->count(), 0);
            QVERIFY(!program.ui().btImportMaster->isHidden());

            // A list load tries again, and fails the same way while refused.
            ClickTab(program, program.ui().tsVor);
            QCOMPARE(ProgramRun::GeneralErrors(program.TakeBoxes()), QStringList{WithFullStop(refused)});
            QVERIFY(!fmdm->ib1.Connected());
            QCOMPARE(program.ui().lbSel->count(), 0);

            // Once the program's user works, the next list load connects.
            server->SetPassword(QStringLiteral("QELMMASTER"), QString::fromLatin1(FirebirdServer::ProgramUserPassword));
            program.Click(program.ui().bbDelAll);
            QCOMPARE(program.TakeBoxes().size(), 0);
            QVERIFY(fmdm->ib1.Connected());
            QCOMPARE(fmdm->ib1.Params, programUser);
            QCOMPARE(ProgramRun::Rows(program.ui().lbSel), products);
        }
    }

    void serverStopsAndComesBack()
    {
        TempProgramFolder folder;
        CreateDemoDatabase(folder.databasePath(), {200, 13});
        const QString remote = RemoteDatabase(folder);
        WriteConnectFile(folder, ServedLine(folder));

        QStringList committed;
        QStringList products;
        {
            ProgramRun program(folder.path(), RebuildAll);
            products = ProgramRun::Rows(program.ui().lbSel);
            RunImport(program);
            // What another connection sees is what the import committed.
            committed = ImportedTables(remote);
            QVERIFY(!committed.at(4).isEmpty());

            // A connection of the test's own gives the client's text for a
            // server that went away.
            TIBDatabase probe(QStringLiteral("ibProbe"));
            TIBTransaction probeTransaction(&probe);
            TIBQuery probeQuery(QStringLiteral("qrProbe"), &probe, &probeTransaction);
            probe.DefaultTransaction = &probeTransaction;
            probe.DatabaseName = remote;
            probe.Params = QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=pendoxilu"),
                                       QStringLiteral("lc_ctype=ASCII")};
            probeQuery.AddLine(QStringLiteral("select PNAME from PRODUKTE"));
            probeQuery.OpenQuery();
            probeQuery.ToLastRow();
            probeQuery.CloseQuery();

            server->Stop();
            // The client's texts for the lost connection, for a first and a
            // later list load.
            QStringList lost;
            for (int i = 0; i < 2; ++i) {
                try {
                    probeQuery.CloseQuery();
                    probeQuery.OpenQuery();
                } catch (const EDatabaseError &e) {
                    lost << WithFullStop(e.Message());
                }
            }
            QCOMPARE(lost.size(), 2);

            // The next database action shows the general error box with the
            // client's text; the program goes on, and so does the next one.
            for (int i = 0; i < 2; ++i) {
                program.Click(program.ui().bbDelAll);
                const QStringList shown = ProgramRun::GeneralErrors(program.TakeBoxes());
                QCOMPARE(shown.size(), 1);
                QVERIFY2(lost.contains(shown.first()), qPrintable(shown.first() + " / " + lost.join(" / ")));
                QVERIFY(fmHaupt1->isVisible());
            }

            // With the server back the program closes normally.
            server->Start();
        }
        QCOMPARE(ServerAttachments(remote).size(), 0);

        // A restart works, and every committed row is there.
        {
            ProgramRun program(folder.path());
            QCOMPARE(program.TakeBoxes().size(), 0);
            QVERIFY(fmdm->ib1.Connected());
            QCOMPARE(ProgramRun::Rows(program.ui().lbSel), products);
            QVERIFY(program.ui().btImportMaster->isHidden());
        }
        QCOMPARE(ImportedTables(remote), committed);
    }

    void twoProgramsOneDatabase()
    {
        TempProgramFolder folder;
        CreateDemoDatabase(folder.databasePath(), {1200, 21});
        const QString remote = RemoteDatabase(folder);
        WriteConnectFile(folder, ServedLine(folder));

        // Lookup tables and collections built, every pair still pending.
        {
            ProgramRun program(folder.path());
            fmHaupt1->RecreateTables();
            fmHaupt1->CreateTableRGBCOLORS();
            fmHaupt1->CreateTableBASEN();
            fmHaupt1->CreateTableFARBEN();
            fmHaupt1->CreateTableKOLLEKTIONEN();
            QCOMPARE(ProgramRun::GeneralErrors(program.TakeBoxes()), QStringList());
        }
        QCOMPARE(QueryRows(remote, QStringLiteral("select count(*) from KOMBIDATEN")).at(0).at(0), QStringLiteral("0"));
        QVERIFY(QueryRows(remote, QStringLiteral("select count(*) from KOLLEKTIONEN where KIMPORT = 'N'"))
                    .at(0).at(0).toInt() > 0);

        // One program searches; the other imports meanwhile.
        const QString stopFile = folder.path() + QStringLiteral("/stop");
        HelperProgram searching(folder.path(), {QStringLiteral("search"), stopFile});
        QVERIFY(searching.WaitForLine(QStringLiteral("ready")));
        searching.Read(50);
        const qsizetype roundsBefore = searching.Lines(QStringLiteral("round ")).size();
        HelperProgram importing(folder.path(), {QStringLiteral("import"), QStringLiteral("no")});
        qsizetype roundsDuring = roundsBefore;
        while (importing.process.state() != QProcess::NotRunning) {
            // Every round read while the import still runs was written before.
            roundsDuring = searching.Lines(QStringLiteral("round ")).size();
            importing.process.waitForFinished(50);
            searching.Read(50);
        }
        QVERIFY2(importing.Finish(), qPrintable(importing.lines.join('\n')));
        QFile(stopFile).open(QIODevice::WriteOnly);
        QVERIFY(searching.Finish());

        QCOMPARE(importing.Lines(QStringLiteral("box ")).last(), QStringLiteral("Informationen|Fertig!"));
        QVERIFY2(!importing.Lines(QStringLiteral("box ")).join('\n').contains(QLatin1String("Tintorel|")),
                 qPrintable(importing.Lines(QStringLiteral("box ")).join('\n')));
        QCOMPARE(searching.Lines(QStringLiteral("box ")), QStringList());
        // One whole round at least between the import's start and its end.
        QVERIFY2(roundsDuring - roundsBefore >= 2, "the search did not run while the import ran");
        // Its one transaction began before the import wrote anything: the
        // searching program sees no combination in this run.
        const QStringList rounds = searching.Lines(QStringLiteral("round "));
        QVERIFY(!rounds.isEmpty());
        for (const QString &round : rounds)
            QCOMPARE(round.section(QLatin1Char(' '), 1), QStringLiteral("0"));
        QCOMPARE(QueryRows(remote, QStringLiteral("select count(*) from KOLLEKTIONEN where KIMPORT = 'N'")).at(0).at(0),
                 QStringLiteral("0"));

        // After a restart it sees them, as the database holds them.
        HelperProgram restarted(folder.path(), {QStringLiteral("search"), stopFile});
        QVERIFY(restarted.Finish());
        QCOMPARE(restarted.Lines(QStringLiteral("round ")).size(), 1);
        QVERIFY(restarted.Lines(QStringLiteral("round ")).first().section(QLatin1Char(' '), 1).toInt() > 0);
        ProgramRun program(folder.path());
        QCOMPARE(program.TakeBoxes().size(), 0);
        const QList<QStringList> pairs = QueryRows(
            remote, QStringLiteral("select first 4 PNAME, KNAME, K_PID, K_KID from KOMBIDATEN "
                                   "join PRODUKTE on PID = K_PID join KOLLEKTIONEN on KID = K_KID and KPID = K_PID "
                                   "group by PNAME, KNAME, K_PID, K_KID order by K_PID, K_KID"));
        QCOMPARE(pairs.size(), 4);
        for (const QStringList &pair : pairs) {
            const QStringList shades = Column(QueryRows(
                remote, QStringLiteral("select FNAME from KOMBIDATEN join FARBEN on FID = K_FID where K_PID = %1 "
                                       "and K_KID = %2 group by FNAME order by FNAME")
                            .arg(pair[2], pair[3])));
            program.Click(program.ui().bbDelAll);
            QVERIFY(program.Choose(program.ui().lbSel, pair[0].trimmed()));
            QVERIFY(program.Choose(program.ui().lbSel, pair[1].trimmed()));
            QVERIFY(!shades.isEmpty());
            QCOMPARE(ProgramRun::Rows(program.ui().lbSel), shades);
        }
    }
};

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    TestLan test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_lan.moc"
