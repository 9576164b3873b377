// A full "&Ja" import killed with SIGKILL at many moments, from the schema
// rebuild to the last pair, and started again until it completes: every
// start after a kill must offer the import, its default answers must finish
// the job, and the result must equal that of an uninterrupted run, ids
// included.
#include "ui_fmHaupt.h"
#include "test_import_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <signal.h>

namespace {

struct HelperRun {
    bool crashed = false;
    QStringList lines;
    QByteArray errors;  // the helper's own warnings, shown only with a failure

    bool Offered() const { return lines.contains(QStringLiteral("offered 1")); }
    bool Done() const { return lines.contains(QStringLiteral("done")); }
    // "Fertig!" was shown: the job was done, whatever came after.
    bool Finished() const
    {
        static const QRegularExpression finish(QStringLiteral("^box \\d+ \\d+ Fertig!$"));
        return !lines.filter(finish).isEmpty();
    }
    // The number of a "key value" line, -1 without one.
    qint64 Value(const QString &key) const
    {
        for (const QString &line : lines)
            if (line.startsWith(key + QLatin1Char(' ')))
                return line.section(QLatin1Char(' '), 1).toLongLong();
        return -1;
    }
    QByteArray Why(const QString &point) const
    {
        return (point + QLatin1Char('\n') + lines.join(QLatin1Char('\n'))).toUtf8() + '\n' + errors;
    }
};

HelperRun RunHelper(const QString &folder, const QStringList &options = {})
{
    QProcess process;
    process.start(qEnvironmentVariable("TINTOREL_TEST_HELPERS") + QStringLiteral("/helper_importrun"),
                  QStringList{folder} + options);
    HelperRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {false, {QStringLiteral("<timeout>")}, process.readAllStandardError()};
    }
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.errors = process.readAllStandardError();
    return run;
}

// The tables an import leaves; a table that is missing shows as the
// engine's message instead, so that the chain fails rather than the run.
QList<QList<QStringList>> TablesOf(const QString &database)
{
    try {
        return ImportedTables(database);
    } catch (const Exception &e) {
        return {{{QStringLiteral("<error>"), e.Message()}}};
    }
}

// Finished: nothing that makes the start-up offer the import again (no
// pending pair, no mark of an unfinished rebuild).
bool NothingLeft(const QString &database)
{
    return Count(database, QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KPID > 0 and KIMPORT <> 'J' or KPID = -2")) == 0;
}

// The engine's own validation of the file: any error fails, in Firebird's
// own catalogue tables too.
bool Sound(const QString &database, const QString &what)
{
    const QStringList errors = ValidationErrors(database);
    if (!errors.isEmpty())
        qWarning("%s: %s", qPrintable(what), qPrintable(errors.join(QStringLiteral("; "))));
    return errors.isEmpty();
}

struct KillPoint {
    QString name;
    QList<QStringList> kills;  // helper options of each killed start, in turn
};

}  // namespace

class TestImportCrash : public QObject {
    Q_OBJECT
    // The rows, the tables a full import makes of them, and a delivered
    // database of them that every run starts from a copy of.
    QList<MasterRow> rows;
    QList<QList<QStringList>> expected;
    TempProgramFolder delivered;
    // The uninterrupted run from the delivered database, and its log.
    HelperRun reference;
    QStringList referenceLog;
    // The kill points through a whole run, in four shares.
    QList<KillPoint> points;
    // A database whose tables are in shape and full, pairs pending, and how
    // long a plain run takes from the click to the combination step, from
    // the delivered database and from that one.
    TempProgramFolder built;
    qint64 phaseMs[2] = {0, 0};

    void MakeKillPoints();
    void KillPointsResume(int share);
    void RebuildChainsResume(quint32 seed, int kills);

private slots:
    void initTestCase();
    void killedRunsResume1() { KillPointsResume(0); }
    void killedRunsResume2() { KillPointsResume(1); }
    void killedRunsResume3() { KillPointsResume(2); }
    void killedRunsResume4() { KillPointsResume(3); }
    void killedRebuildsResume1() { RebuildChainsResume(20261208, 30); }
    void killedRebuildsResume2() { RebuildChainsResume(20261209, 30); }
    void killedRebuildsResume3() { RebuildChainsResume(20261210, 30); }
    void killedRebuildsResume4() { RebuildChainsResume(20261211, 30); }
    void signalsEndTheProgramCleanly();
};

void TestImportCrash::initTestCase()
{
    // 1120 rows: 560 shades (a 500-row commit in FARBEN), 8 pairs of 140
    // rows (100-row commits inside and across pairs).
    rows = GeneratedMaster(4, 140, 2);
    expected = ExpectedImport(rows).Tables();
    CreateDeliveredDatabase(delivered.databasePath(), rows);

    // The uninterrupted run, with its status texts and timings.
    TempProgramFolder folder;
    QVERIFY(QFile::copy(delivered.databasePath(), folder.databasePath()));
    reference = RunHelper(folder.path(), {QStringLiteral("--statuses")});
    QVERIFY2(reference.Done() && !reference.crashed, reference.Why(QStringLiteral("reference")).constData());
    QCOMPARE(ImportedTables(folder.databasePath()), expected);
    QCOMPARE(ValidationErrors(folder.databasePath()), QStringList());
    referenceLog = LogMessages(folder.path());
    MakeKillPoints();

    QVERIFY(QFile::copy(delivered.databasePath(), built.databasePath()));
    // Tables in shape, pairs pending, MASTER whole: a "Ja" run again.
    BuildLookupsAndCollections(built.path());
    // How long those steps take, from the click, in plain runs just before
    // the chains (a first run, or one that prints its statuses, is slower).
    for (int start = 0; start < 2; ++start) {
        TempProgramFolder plainFolder;
        QVERIFY(QFile::copy((start == 0 ? delivered : built).databasePath(), plainFolder.databasePath()));
        const HelperRun plain = RunHelper(plainFolder.path());
        QVERIFY2(plain.Done(), plain.Why(QStringLiteral("reference")).constData());
        QCOMPARE(ImportedTables(plainFolder.databasePath()), expected);
        phaseMs[start] = plain.Value(QStringLiteral("built-ms"));
        QVERIFY(phaseMs[start] > 0);
    }
}

void TestImportCrash::MakeKillPoints()
{
    QStringList statuses;
    for (const QString &line : reference.lines)
        if (line.startsWith(QStringLiteral("status ")))
            statuses << line.section(QLatin1Char(' '), 2);
    const qint64 rebuildMs = reference.Value(QStringLiteral("rebuilt-ms"));
    const qint64 runMs = reference.Value(QStringLiteral("run-ms"));
    const int statusCount = int(statuses.size());
    QVERIFY(statusCount > 50 && rebuildMs > 0 && runMs > rebuildMs);

    const auto kill = [](const char *option, qint64 n) { return QStringList{QLatin1String(option), QString::number(n)}; };
    const auto atStatus = [&kill](qint64 n) { return kill("--kill-at-status", n); };
    const auto afterMs = [&kill](qint64 ms) { return kill("--kill-after-ms", ms); };
    // The Nth occurrence (from 1) of a status text, as a status number.
    const auto occurrence = [&statuses](const QString &text, int n) {
        for (int i = 0; i < statuses.size(); ++i)
            if (statuses.at(i) == text && --n == 0)
                return i + 1;
        return -1;
    };

    // Through the schema rebuild, by time (its statements commit one by one;
    // the tables are created in its first half), then the whole run by time
    // and by status text.
    for (int i = 0; i < 16; ++i)
        points << KillPoint{QStringLiteral("rebuild %1/24").arg(i), {afterMs(rebuildMs * i / 24)}};
    for (int i = 1; i <= 4; ++i)
        points << KillPoint{QStringLiteral("run %1/5").arg(i), {afterMs(rebuildMs + (runMs - rebuildMs) * i / 5)}};
    for (int i = 0; i < 20; ++i) {
        const int n = 1 + (statusCount - 1) * i / 19;
        points << KillPoint{QStringLiteral("status %1 (%2)").arg(n).arg(statuses.at(n - 1)), {atStatus(n)}};
    }
    // At and just after each commit that matters.
    for (const auto &[text, n] : {std::pair{QStringLiteral("Durchlauf FARBEN: 499"), 1},
                                  std::pair{QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen"), 1},
                                  std::pair{QStringLiteral("MASTER wird geöffnet..."), 1},
                                  std::pair{QStringLiteral("Lösche Datensätze Produkt-ID: (10)"), 1},
                                  std::pair{QStringLiteral("Tabelle wird geleert."), 5},
                                  std::pair{QStringLiteral("MASTER wird geöffnet..."), 8},
                                  std::pair{QStringLiteral("Tabelle erstellt."), 4}}) {
        const int at = occurrence(text, n);
        QVERIFY2(at > 0, qPrintable(text));
        for (int after : {0, 1})
            points << KillPoint{QStringLiteral("%1 #%2 +%3").arg(text).arg(n).arg(after), {atStatus(at + after)}};
    }
    // Around a consumed pair's MASTER delete and mark, by log entry: the
    // delete's entry comes just before it, "Neue Datei" just after the commit.
    int pair = 0;
    for (int i = 0; i < referenceLog.size(); ++i)
        if (referenceLog.at(i).startsWith(QStringLiteral("SQL:MASTER:DELETE ")) && ++pair % 3 == 1)
            for (int entry : {i + 1, i + 2})
                points << KillPoint{QStringLiteral("pair %1, log entry %2").arg(pair).arg(entry),
                                    {kill("--kill-at-log", entry)}};
    QCOMPARE(pair, 8);
    // Killed again while resuming.
    points << KillPoint{QStringLiteral("rebuild, then rebuild"), {afterMs(rebuildMs / 3), afterMs(rebuildMs / 2)}};
    points << KillPoint{QStringLiteral("rebuild, then lookups"),
                        {afterMs(rebuildMs / 2), atStatus(occurrence(QStringLiteral("Tabelle wird geöffnet."), 2))}};
    points << KillPoint{QStringLiteral("pairs, then pairs again"),
                        {atStatus(statusCount * 3 / 4), atStatus(statusCount / 8)}};
    points << KillPoint{QStringLiteral("collections, then lookups, then pairs"),
                        {atStatus(occurrence(QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen"), 1) + 3),
                         atStatus(occurrence(QStringLiteral("SQL beendet."), 2)), atStatus(statusCount * 9 / 10)}};

    QVERIFY(points.size() >= 60);
}

void TestImportCrash::KillPointsResume(int share)
{
    QElapsedTimer elapsed;
    elapsed.start();
    int kills = 0;
    int completedBeforeKill = 0;
    const qsizetype from = points.size() * share / 4;
    const qsizetype to = points.size() * (share + 1) / 4;
    for (const KillPoint &point : points.mid(from, to - from)) {
        TempProgramFolder folder;
        QVERIFY(QFile::copy(delivered.databasePath(), folder.databasePath()));
        bool complete = false;
        for (const QStringList &options : point.kills) {
            const HelperRun killed = RunHelper(folder.path(), options);
            // Not killed: the run was over before the kill and finished the job.
            complete = !killed.crashed;
            QVERIFY2(killed.crashed || killed.Done(), killed.Why(point.name).constData());
            if (complete)
                break;
            ++kills;
        }
        if (!complete) {
            // One start finishes the job.
            const HelperRun resumed = RunHelper(folder.path());
            QVERIFY2(!resumed.crashed, resumed.Why(point.name).constData());
            if (resumed.Offered()) {
                // Both boxes answered by default: the question, then "Fertig!".
                const QStringList boxes = resumed.lines.filter(QRegularExpression(QStringLiteral("^box ")));
                QVERIFY2(resumed.Done() && boxes.size() == 2 && boxes.first().endsWith(Question),
                         resumed.Why(point.name).constData());
            } else {
                // Only a run killed after its last pair was marked leaves
                // nothing to do.
                ++completedBeforeKill;
            }
        }
        QVERIFY2(TablesOf(folder.databasePath()) == expected, qPrintable(point.name));
        QVERIFY2(Sound(folder.databasePath(), point.name), qPrintable(point.name));
        QVERIFY2(NothingLeft(folder.databasePath()), qPrintable(point.name));
    }
    qInfo("%d kill points, %d kills, %d runs killed after their last pair; %lld ms in all", int(to - from), kills,
          completedBeforeKill, elapsed.elapsed());
    QVERIFY(kills >= 8);
}

void TestImportCrash::RebuildChainsResume(quint32 seed, int killCount)
{
    // Chains of one to three SIGKILLs at random moments of a full rebuild's
    // first steps (schema, lookup tables, collections), each in the run the
    // last kill left to resume; then one start with the default answers
    // must finish the job. Every chain must end with the tables of an
    // uninterrupted run, a database the engine finds sound, and nothing more
    // to do. Half the chains start from a delivered database (the tables are
    // made), half from one whose tables are in shape and full (they are
    // emptied and refilled).
    QElapsedTimer elapsed;
    elapsed.start();
    QRandomGenerator random(seed);
    int kills = 0;
    int chains = 0;
    while (kills < killCount) {
        const int start = chains % 2;
        TempProgramFolder folder;
        QVERIFY(QFile::copy((start == 0 ? delivered : built).databasePath(), folder.databasePath()));
        const int length = 1 + random.bounded(3);
        QStringList moments;
        bool complete = false;
        for (int k = 0; k < length && !complete; ++k) {
            const qint64 at = random.bounded(phaseMs[start] + 1);
            moments << QString::number(at);
            const HelperRun killed = RunHelper(folder.path(), {QStringLiteral("--kill-after-ms"), QString::number(at)});
            if (killed.crashed && !killed.Finished()) {
                ++kills;
                continue;
            }
            // Nothing offered (done before), or the run finished before the
            // kill's moment (it may still have come on the way out).
            QVERIFY2(killed.Finished() || !killed.Offered(), killed.Why(moments.join(' ')).constData());
            complete = true;
        }
        const QString chain = QStringLiteral("chain %1 from the %2 database, kills at %3 ms")
                                  .arg(chains)
                                  .arg(start == 0 ? QStringLiteral("delivered") : QStringLiteral("built"))
                                  .arg(moments.join(QStringLiteral(", ")));
        if (!complete) {
            // One start finishes the job; a run killed after its last
            // commit, before it could say "Fertig!", left none.
            const HelperRun resumed = RunHelper(folder.path());
            QVERIFY2(!resumed.crashed && (!resumed.Offered() || resumed.Done()), resumed.Why(chain).constData());
        }
        QVERIFY2(TablesOf(folder.databasePath()) == expected, qPrintable(chain));
        QVERIFY2(Sound(folder.databasePath(), chain), qPrintable(chain));
        QVERIFY2(NothingLeft(folder.databasePath()), qPrintable(chain));
        ++chains;
    }
    qInfo("%d kills in %d chains of the schema rebuild and the builders (%lld and %lld ms from the click); "
          "%lld ms in all",
          kills, chains, phaseMs[0], phaseMs[1], elapsed.elapsed());
}

void TestImportCrash::signalsEndTheProgramCleanly()
{
    // The program itself, idle on the demo database, and waiting in the
    // general error box for an answer (no database to open): SIGTERM closes
    // it as its window's close does, with a normal end.
    for (const bool withDatabase : {true, false}) {
        TempProgramFolder folder;
        if (withDatabase)
            CreateDemoDatabase(folder.databasePath());
        const QString program = folder.path() + QStringLiteral("/tintorel");
        QVERIFY(QFile::copy(qEnvironmentVariable("TINTOREL_PROGRAM"), program));
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {});
        QVERIFY(process.waitForStarted());
        QTest::qWait(1500);
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        QVERIFY2(process.waitForFinished(20000), "SIGTERM did not end the program");
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }
    // During an import, each of the three signals: the run stops where a
    // later run resumes, and the next start finishes the job.
    // At once (the schema rebuild runs to its end first: it handles no
    // messages), in the collections, in the combinations.
    const std::initializer_list<std::pair<int, QStringList>> moments{
        {SIGTERM, {QStringLiteral("--signal-after-ms"), QStringLiteral("0")}},
        {SIGINT, {QStringLiteral("--signal-at-status"), QStringLiteral("1:Erzeuge Vorwärtssuche: Kollektionen")}},
        {SIGHUP, {QStringLiteral("--signal-at-status"), QStringLiteral("3:MASTER wird geöffnet...")}}};
    for (const auto &[signal, when] : moments) {
        TempProgramFolder folder;
        QVERIFY(QFile::copy(delivered.databasePath(), folder.databasePath()));
        const HelperRun signalled =
            RunHelper(folder.path(), when + QStringList{QStringLiteral("--signal"), QString::number(signal)});
        QVERIFY2(!signalled.crashed && signalled.lines.contains(QStringLiteral("ending")),
                 signalled.Why(QStringLiteral("signal %1").arg(signal)).constData());
        QVERIFY2(!signalled.Done(), "the import ran to its end before the signal came");
        const HelperRun resumed = RunHelper(folder.path());
        QVERIFY2(resumed.Offered() && resumed.Done(), resumed.Why(QStringLiteral("resumed")).constData());
        QCOMPARE(ImportedTables(folder.databasePath()), expected);
    }
}

TINTOREL_TEST_MAIN(TestImportCrash)
#include "test_importcrash.moc"
