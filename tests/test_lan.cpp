// The shared database: programs that reach their database through a Firebird
// server, found through dbconnect.txt, published through LAN.dat; refused
// credentials, a server that goes away, two programs on one database. Every
// connection stays on loopback: a server of the tests' own on 127.0.0.1.
#include "app/application.h"
#include "ui/msgbox.h"
#include "data/credentials.h"
#include "data/fmdm1.h"
#include "data/ib.h"
#include "data/validation.h"
#include "app/startup.h"
#include "import/masterimport.h"
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
#include <QTest>

#include <memory>

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");

// The line that sends the program to a server for the folder's database.
QString ServedLine(const TempProgramFolder &folder, const QString &host = Loopback)
{
    return host + QLatin1Char(':') + folder.daten();
}

QString RemoteDatabase(const TempProgramFolder &folder, const QString &host = Loopback)
{
    return ServedLine(folder, host) + QStringLiteral("/QELMPREISE.fdb");
}

// dbconnect.txt with the served line, as the program writes it.
void WriteConnectFile(const TempProgramFolder &folder, const QString &host = Loopback)
{
    const QByteArray content = (ServedLine(folder, host) + QStringLiteral("\r\n")).toLocal8Bit();
    QFile file(folder.daten() + QStringLiteral("/dbconnect.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QByteArray ConnectFileContent(const TempProgramFolder &folder)
{
    QFile file(folder.daten() + QStringLiteral("/dbconnect.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A delivered database in the folder that the program reaches through the
// test server; its name there.
QString ServedDemoDatabase(const TempProgramFolder &folder, const DemoOptions &options)
{
    CreateDemoDatabase(folder.databasePath(), options);
    WriteConnectFile(folder);
    return RemoteDatabase(folder);
}

// The message the client library gives for an attach with these credentials.
QString AttachError(const QString &database, const QStringList &credentials)
{
    AdminConnection probe(database);
    probe.db.Params = credentials;
    try {
        probe.db.SetConnected(true);
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

const QList<QStringList> AdministratorOverTcp{{QStringLiteral("TCPv4"), QStringLiteral("SYSDBA")}};

QStringList Column(const QList<QStringList> &rows)
{
    QStringList values;
    for (const QStringList &row : rows)
        values << row.value(0).trimmed();
    return values;
}

QStringList ProductNames(const QString &database)
{
    return Column(QueryRows(database, QStringLiteral("select PNAME from PRODUKTE order by PNAME")));
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

// A start without any message, connected, listing these products.
void ExpectQuietStart(ProgramRun &program, const QStringList &products)
{
    QCOMPARE(program.TakeBoxes().size(), 0);
    QVERIFY(fmdm->ib1.Connected());
    QCOMPARE(ProgramRun::Rows(program.ui().lbSel), products);
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

// Product, collection and shade chosen in turn (names as the database pads them).
Lookup ForwardLookup(ProgramRun &program, const QStringList &names)
{
    Lookup result;
    Ui::TfmHaupt1 &ui = program.ui();
    program.Click(ui.bbDelAll);
    if (!program.Choose(ui.lbSel, names.at(0).trimmed()))
        return result;
    result.collections = ProgramRun::Rows(ui.lbSel);
    if (!program.Choose(ui.lbSel, names.at(1).trimmed()))
        return result;
    result.shades = ProgramRun::Rows(ui.lbSel);
    if (!program.Choose(ui.lbSel, names.at(2).trimmed()))
        return result;
    result.base = ui.edBase->text();
    result.priceGroup = ui.edPG->text();
    result.swatch = !ui.mFarbton->isHidden() ? ui.mFarbton->palette().color(QPalette::Base) : QColor();
    return result;
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
    // Waits up to two minutes for a line that starts with the prefix.
    bool WaitForLine(const QString &prefix)
    {
        QElapsedTimer clock;
        clock.start();
        while (Lines(prefix).isEmpty() && process.state() != QProcess::NotRunning && clock.elapsed() < 120000)
            Read(200);
        return !Lines(prefix).isEmpty();
    }
    // Waits up to two minutes for the end; true when it ended normally with 0.
    bool Finish()
    {
        const bool finished = process.state() == QProcess::NotRunning || process.waitForFinished(120000);
        Read(0);
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

    std::unique_ptr<FirebirdServer> server;

private slots:
    // First of all: the fixture points this process's client at its server.
    void initTestCase() { server = std::make_unique<FirebirdServer>(); }
    // A failed test may have left the server stopped.
    void init() { server->Start(); }
    void cleanupTestCase() { server.reset(); }

    void startUpThroughTheServer()
    {
        // The same delivered database twice: one served, one opened locally.
        TempProgramFolder served;
        TempProgramFolder local;
        const QString remote = ServedDemoDatabase(served, {300, 77});
        CreateDemoDatabase(local.databasePath(), {300, 77});
        {
            ProgramRun program(served.path(), RebuildAll);
            QCOMPARE(fmdm->ib1.DatabaseName, remote);
            // The server holds the attachment, over TCP, as the administrator.
            QCOMPARE(ServerAttachments(remote), AdministratorOverTcp);
            ExpectQuietStart(program, ProductNames(remote));
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
        {
            // The import's check through the server's services finds the
            // imported tables sound, for the program's own user too.
            AdminConnection probe(remote);
            QCOMPARE(TableDamage(probe.db), QStringList());
            probe.db.Params = ProgramUserParams;
            QCOMPARE(TableDamage(probe.db), QStringList());
        }
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
            for (const QStringList &triple : triples)
                localLookups << ForwardLookup(program, triple);
        }
        WriteConnectFile(served, QStringLiteral("localhost"));
        {
            ProgramRun program(served.path());
            QCOMPARE(fmdm->ib1.DatabaseName, RemoteDatabase(served, QStringLiteral("localhost")));
            QCOMPARE(Column(ServerAttachments(remote)), QStringList{QStringLiteral("TCPv4")});
            QVERIFY(program.ui().btImportMaster->isHidden());
            for (int i = 0; i < triples.size(); ++i) {
                const Lookup lookup = ForwardLookup(program, triples[i]);
                QVERIFY(!lookup.base.isEmpty() && lookup.swatch.isValid());
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
        QVERIFY(QFile(folder.daten() + QStringLiteral("/LAN.dat")).open(QIODevice::WriteOnly));

        // The publishing start opens its own file and writes this machine's
        // first address with the data folder.
        QStringList addresses;
        QVERIFY(StartUp::GetIPAddresses(addresses));
        QVERIFY2(!addresses.isEmpty(), "this machine's name resolves to no IPv4 address");
        const QStringList products = ProductNames(folder.databasePath());
        QVERIFY(!products.isEmpty());
        {
            ProgramRun program(folder.path());
            QCOMPARE(fmdm->ib1.DatabaseName, folder.databasePath());
            ExpectQuietStart(program, products);
        }
        // The first address another machine can reach; with none, nothing.
        const QString published = ReachableAddress(addresses);
        QCOMPARE(ConnectFileContent(folder),
                 published.isEmpty() ? QByteArray()
                                     : (ServedLine(folder, published) + QStringLiteral("\r\n")).toLocal8Bit());

        // Only loopback is reached from here: the line is pointed at
        // 127.0.0.1 before the next start.
        const QString host = Loopback;
        WriteConnectFile(folder);
        const QByteArray written = ConnectFileContent(folder);
        const QString remote = RemoteDatabase(folder, host);

        // The next start from the same program folder goes through the server,
        // and so does a second program started beside it.
        {
            ProgramRun program(folder.path());
            QCOMPARE(fmdm->ib1.DatabaseName, remote);
            QCOMPARE(ServerAttachments(remote), AdministratorOverTcp);
            ExpectQuietStart(program, products);

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
        const QString remote = ServedDemoDatabase(folder, {100, 9});
        const QStringList products = ProductNames(remote);
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
        QVERIFY(!AttachError(remote, AdministratorParams).isEmpty());
        {
            ProgramRun program(folder.path());
            ExpectQuietStart(program, products);
            QCOMPARE(fmdm->ib1.Params, ProgramUserParams);
            QCOMPARE(program.ui().pcSuche->currentWidget(), program.ui().tsVor);
            // A delivered database: the import check ran and offers the import.
            QVERIFY(!program.ui().btImportMaster->isHidden());
        }

        // Both refused: the server's text in the general error box, and the
        // window without a connection.
        server->SetPassword(QStringLiteral("QELMMASTER"), QStringLiteral("woanders"));
        const QString refused = WithFullStop(AttachError(remote, ProgramUserParams));
        QVERIFY(refused.size() > 1);
        {
            ProgramRun program(folder.path());
            Ui::TfmHaupt1 &ui = program.ui();
            const QList<MessageBoxRequest> boxes = program.TakeBoxes();
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(ProgramRun::GeneralErrors(boxes), QStringList{refused});
            QVERIFY(!fmdm->ib1.Connected());
            QVERIFY(fmHaupt1->isVisible());
            QCOMPARE(ui.pcSuche->currentWidget(), ui.tsRueck);
            QCOMPARE(ui.lbSel->count() + ui.lbRSel->count(), 0);
            QVERIFY(!ui.btImportMaster->isHidden());

            // A list load tries again, and fails the same way while refused.
            ProgramRun::ClickTab(ui.pcSuche, ui.tsVor);
            QCOMPARE(ProgramRun::GeneralErrors(program.TakeBoxes()), QStringList{refused});
            QVERIFY(!fmdm->ib1.Connected());
            QCOMPARE(ui.lbSel->count(), 0);

            // Once the program's user works, the next list load connects.
            server->SetPassword(QStringLiteral("QELMMASTER"), QString::fromLatin1(FirebirdServer::ProgramUserPassword));
            program.Click(ui.bbDelAll);
            ExpectQuietStart(program, products);
            QCOMPARE(fmdm->ib1.Params, ProgramUserParams);
        }
    }

    void serverStopsAndComesBack()
    {
        TempProgramFolder folder;
        const QString remote = ServedDemoDatabase(folder, {200, 13});
        QStringList committed;
        QStringList products;
        {
            ProgramRun program(folder.path(), RebuildAll);
            products = ProgramRun::Rows(program.ui().lbSel);
            RunImport(program);
            // What another connection sees is what the import committed.
            committed = ImportedTables(remote);
            QVERIFY(!committed.at(4).isEmpty());

            // A connection of the test's own gives the client's texts for a
            // server that went away, for a first and a later list load.
            AdminConnection probe(remote, QStringLiteral("qrProbe"));
            const QString select = QStringLiteral("select PNAME from PRODUKTE");
            probe.Rows(select);
            server->Stop();
            QStringList lost;
            for (int i = 0; i < 2; ++i) {
                try {
                    probe.Rows(select);
                } catch (const EDatabaseError &e) {
                    lost << WithFullStop(e.Message());
                }
            }
            QCOMPARE(lost.size(), 2);

            // The next database action shows the general error box with the
            // client's text; the program goes on, and so does the next one,
            // which tries to connect anew and cannot.
            for (int i = 0; i < 2; ++i) {
                program.Click(program.ui().bbDelAll);
                const QStringList shown = ProgramRun::GeneralErrors(program.TakeBoxes());
                QCOMPARE(shown.size(), 1);
                QVERIFY2(i > 0 || lost.contains(shown.first()), qPrintable(shown.first() + " / " + lost.join(" / ")));
                QVERIFY(fmHaupt1->isVisible());
            }
            // With the server back the next action connects anew and works.
            server->Start();
            program.Click(program.ui().bbDelAll);
            QCOMPARE(ProgramRun::GeneralErrors(program.TakeBoxes()), QStringList());
            QCOMPARE(ProgramRun::Rows(program.ui().lbSel), products);
            QCOMPARE(ServerAttachments(remote).size(), 1);
        }
        QCOMPARE(ServerAttachments(remote).size(), 0);

        // A restart works, and every committed row is there.
        {
            ProgramRun program(folder.path());
            ExpectQuietStart(program, products);
            QVERIFY(program.ui().btImportMaster->isHidden());
        }
        QCOMPARE(ImportedTables(remote), committed);
    }

    void twoProgramsOneDatabase()
    {
        TempProgramFolder folder;
        const QString remote = ServedDemoDatabase(folder, {1200, 21});
        const QString pending = QStringLiteral("select count(*) from KOLLEKTIONEN where KIMPORT = 'N'");

        // Lookup tables and collections built, every pair still pending.
        QCOMPARE(ProgramRun::GeneralErrors(BuildLookupsAndCollections(folder.path())), QStringList());
        QCOMPARE(QueryInt(remote, QStringLiteral("select count(*) from KOMBIDATEN")), 0);
        QVERIFY(QueryInt(remote, pending) > 0);

        // One program searches; the other imports meanwhile.
        const QString stopFile = folder.path() + QStringLiteral("/stop");
        const QString round = QStringLiteral("round ");
        HelperProgram searching(folder.path(), {QStringLiteral("search"), stopFile});
        QVERIFY(searching.WaitForLine(QStringLiteral("ready")));
        searching.Read(50);
        const qsizetype roundsBefore = searching.Lines(round).size();
        HelperProgram importing(folder.path(), {QStringLiteral("import")});
        qsizetype roundsDuring = roundsBefore;
        while (importing.process.state() != QProcess::NotRunning) {
            // Every round read while the import still runs was written before.
            roundsDuring = searching.Lines(round).size();
            importing.process.waitForFinished(50);
            searching.Read(50);
        }
        QVERIFY2(importing.Finish(), qPrintable(importing.lines.join('\n')));
        QFile(stopFile).open(QIODevice::WriteOnly);
        QVERIFY(searching.Finish());

        const QStringList importBoxes = importing.Lines(QStringLiteral("box "));
        QCOMPARE(importBoxes.last(), QStringLiteral("Informationen|Fertig!"));
        QVERIFY2(!importBoxes.join('\n').contains(QLatin1String("Tintorel|")), qPrintable(importBoxes.join('\n')));
        QCOMPARE(searching.Lines(QStringLiteral("box ")), QStringList());
        // One whole round at least between the import's start and its end.
        QVERIFY2(roundsDuring - roundsBefore >= 2, "the search did not run while the import ran");
        // Its one transaction began before the import wrote anything: the
        // searching program sees no combination in this run.
        const QStringList rounds = searching.Lines(round);
        QVERIFY(!rounds.isEmpty());
        for (const QString &line : rounds)
            QCOMPARE(line.section(QLatin1Char(' '), 1), QStringLiteral("0"));
        QCOMPARE(QueryInt(remote, pending), 0);

        // After a restart it sees them, as the database holds them.
        HelperProgram restarted(folder.path(), {QStringLiteral("search"), stopFile});
        QVERIFY(restarted.Finish());
        QCOMPARE(restarted.Lines(round).size(), 1);
        QVERIFY(restarted.Lines(round).first().section(QLatin1Char(' '), 1).toInt() > 0);
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
            QVERIFY(!shades.isEmpty());
            const Lookup lookup = ForwardLookup(program, pair + QStringList{QString()});
            QCOMPARE(lookup.shades, shades);
        }
    }

    void rebuildWhileAnotherCounterSearches()
    {
        TempProgramFolder folder;
        const QString remote = ServedDemoDatabase(folder, {1200, 23});
        // Lookup tables and collections built, MASTER whole.
        BuildLookupsAndCollections(folder.path());
        const QString stopFile = folder.path() + QStringLiteral("/stop");
        const auto startSearching = [&folder, &stopFile] {
            QFile::remove(stopFile);
            return std::make_unique<HelperProgram>(folder.path(), QStringList{QStringLiteral("search"), stopFile});
        };
        const auto stopSearching = [&stopFile](HelperProgram &searching) {
            QFile(stopFile).open(QIODevice::WriteOnly);
            QVERIFY(searching.Finish());
            QCOMPARE(searching.Lines(QStringLiteral("box ")), QStringList());
        };
        // A full rebuild asked for and confirmed: nothing is pending, so the
        // button is not offered; the administrator's click as if it were.
        const auto rebuild = [&folder] {
            ProgramRun program(folder.path(), RebuildAll);
            program.ui().btImportMaster->show();
            program.Click(program.ui().btImportMaster);
            return program.TakeBoxes();
        };

        // The tables are in shape: they are emptied and refilled while
        // another counter goes on searching.
        std::unique_ptr<HelperProgram> searching = startSearching();
        QVERIFY(searching->WaitForLine(QStringLiteral("round ")));
        QList<MessageBoxRequest> boxes = rebuild();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.last().text, QStringLiteral("Fertig!"));
        QVERIFY(QueryInt(remote, QStringLiteral("select count(*) from KOMBIDATEN")) > 0);
        stopSearching(*searching);

        // FARBEN's FID of another type: the index on it must go while the
        // alteration is made, and the other counter's search uses it. The
        // run ends with the message (after the question and the warning
        // that MASTER is consumed), its mark stays.
        RunSql(remote, {QStringLiteral("alter table FARBEN alter FID type bigint")});
        searching = startSearching();
        QVERIFY(searching->WaitForLine(QStringLiteral("round ")));
        boxes = rebuild();
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes.last().kind, MsgKind::General);
        QVERIFY2(boxes.last().text.startsWith(QStringLiteral("Die Tabellen werden gerade an einem anderen "
                                                             "Arbeitsplatz benutzt.")),
                 qPrintable(boxes.last().text));
        {
            AdminConnection probe(remote, QStringLiteral("qrCheck"));
            QVERIFY(ImportInterrupted(probe.query));
        }
        stopSearching(*searching);

        // Once it is closed, the run offered at the next start finishes.
        ProgramRun program(folder.path());
        RunImport(program);
        QCOMPARE(Column(QueryRows(remote, QStringLiteral(
                     "select trim(rf.RDB$FIELD_NAME) || ' ' || f.RDB$FIELD_TYPE from RDB$RELATION_FIELDS rf join "
                     "RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE where rf.RDB$RELATION_NAME = 'FARBEN' "
                     "order by rf.RDB$FIELD_POSITION"))),
                 (QStringList{"FID 8", "FNAME 37"}));
        QCOMPARE(Column(QueryRows(remote, QStringLiteral("select trim(RDB$INDEX_NAME) from RDB$INDICES where "
                                                         "RDB$RELATION_NAME = 'FARBEN' order by 1"))),
                 (QStringList{"FARBEN_IDX1", "FARBEN_IDX2"}));
    }
};

TINTOREL_TEST_MAIN(TestLan)

#include "test_lan.moc"
