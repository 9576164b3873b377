// "tintorel --import": the program itself, without a window, on a program
// folder of its own: the options, its end on SIGTERM where the next run
// resumes, the resumed run's result, and a database named by dbconnect.txt.
#include "ui_fmHaupt.h"
#include "test_import_fixture.h"

#include <QFile>
#include <QProcess>

#include <functional>
#include <thread>

#include <signal.h>

namespace {

struct TerminalRun {
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
    QByteArray Why() const { return (out + QStringLiteral("\n--\n") + err).toUtf8(); }
};

// The program copied into the folder, started with the options; `watch`
// sees the output so far as it grows.
TerminalRun RunTerminal(const QString &folder, const QStringList &options,
                        const std::function<void(QProcess &, const QString &)> &watch = {})
{
    const QString program = folder + QStringLiteral("/tintorel");
    if (!QFile::exists(program))
        QFile::copy(qEnvironmentVariable("TINTOREL_PROGRAM"), program);
    QProcess process;
    TerminalRun run;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] {
        run.out += QString::fromLocal8Bit(process.readAllStandardOutput());
        if (watch)
            watch(process, run.out);
    });
    process.start(program, QStringList{QStringLiteral("--import")} + options);
    if (!process.waitForFinished(120000))
        process.kill();
    process.waitForFinished();
    run.out += QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    return run;
}

int PendingPairs(const QString &database)
{
    return Count(database, QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KPID > 0 and KIMPORT <> 'J'"));
}

}  // namespace

class TestTerminalImport : public QObject {
    Q_OBJECT
private slots:
    void stopsOnSignalAndResumes();
    void databaseOfTheConnectFile();
};

void TestTerminalImport::stopsOnSignalAndResumes()
{
    // 40 pairs of 100 rows.
    const QList<MasterRow> rows = GeneratedMaster(20, 100, 2);
    TempProgramFolder folder;
    CreateDeliveredDatabase(folder.databasePath(), rows);

    // A wrong option changes nothing.
    TerminalRun run = RunTerminal(folder.path(), {QStringLiteral("--everything")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains(QStringLiteral("--import [--full|--pending]")));
    QCOMPARE(Count(folder.databasePath(), QStringLiteral("RDB$RELATION_FIELDS"), QStringLiteral("RDB$FIELD_NAME = 'KIMPORT'")),
             0);

    // SIGTERM once the first pair is done (its log entry is on disk with its
    // commit): the run ends at its next resumable point, with 3, and pairs
    // stay pending.
    bool signalled = false;
    std::thread signaller;
    run = RunTerminal(folder.path(), {}, [&](QProcess &process, const QString &out) {
        if (signalled || !out.contains(QStringLiteral("\nKombinationen")))
            return;
        signalled = true;
        signaller = std::thread([&folder, pid = static_cast<pid_t>(process.processId())] {
            for (int i = 0; i < 6000 && !LogMessages(folder.path()).join(QLatin1Char('\n')).contains(
                                            QStringLiteral("Neue Datei nach Produkt-ID"));
                 ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ::kill(pid, SIGTERM);
        });
    });
    signaller.join();
    QVERIFY(signalled);
    QVERIFY2(!run.crashed && run.exitCode == 3, run.Why().constData());
    QVERIFY2(run.out.contains(QStringLiteral("Sollen die Stammdatentabellen auch neu erzeugt werden?\n-> Ja")),
             run.Why().constData());
    QVERIFY(!run.out.contains(QStringLiteral("Fertig!")));
    QVERIFY(run.err.contains(QStringLiteral("angehalten")));
    const int pending = PendingPairs(folder.databasePath());
    QVERIFY2(pending > 0 && pending < 40, qPrintable(QString::number(pending)));

    // The next run resumes the pairs (the default "Nein") and finishes: 0,
    // the tables of an uninterrupted run, and the day's log.
    run = RunTerminal(folder.path(), {});
    QVERIFY2(run.exitCode == 0, run.Why().constData());
    QVERIFY(run.out.contains(QStringLiteral("-> Nein")));
    QVERIFY(run.out.contains(QStringLiteral("\nFertig!\n")));
    QCOMPARE(ImportedTables(folder.databasePath()), ExpectedImport(rows).Tables());
    QVERIFY(LogMessages(folder.path()).count(QStringLiteral("START CreateTableKOMBIDATEN")) == 2);

    // --full on a MASTER the runs consumed: the warning is answered "Nein"
    // on a terminal, nothing is lost, and the run did not finish.
    run = RunTerminal(folder.path(), {QStringLiteral("--full")});
    QVERIFY2(run.exitCode == 1, run.Why().constData());
    QVERIFY(run.out.contains(QStringLiteral("trotzdem neu erzeugt werden?\n-> Nein")));
    QCOMPARE(ImportedTables(folder.databasePath()), ExpectedImport(rows).Tables());
}

void TestTerminalImport::databaseOfTheConnectFile()
{
    // The database lies elsewhere, named by dbconnect.txt's folder line.
    const QList<MasterRow> rows = GeneratedMaster(3, 20, 2);
    TempProgramFolder folder;
    TempProgramFolder elsewhere;
    CreateDeliveredDatabase(elsewhere.databasePath(), rows);
    QFile connect(folder.path() + QStringLiteral("/Daten/dbconnect.txt"));
    QVERIFY(connect.open(QIODevice::WriteOnly));
    connect.write(elsewhere.path().toLocal8Bit() + "/Daten\r\n");
    connect.close();

    // "--pending" on a database that never saw an import: what to run
    // instead, the engine's message about the missing mark column, and 1.
    TerminalRun run = RunTerminal(folder.path(), {QStringLiteral("--pending")});
    QVERIFY2(run.exitCode == 1 && run.err.contains(QStringLiteral("(tintorel --import --full)")) &&
                 run.err.toUpper().contains(QStringLiteral("KIMPORT")),
             run.Why().constData());
    run = RunTerminal(folder.path(), {QStringLiteral("--full")});
    QVERIFY2(run.exitCode == 0 && run.out.contains(elsewhere.databasePath()), run.Why().constData());
    QCOMPARE(ImportedTables(elsewhere.databasePath()), ExpectedImport(rows).Tables());
    QVERIFY(!QFile::exists(folder.databasePath()));
}

TINTOREL_TEST_MAIN(TestTerminalImport)
#include "test_terminalimport.moc"
