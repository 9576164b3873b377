// The embedded engine of the program folder: one database file open in
// several processes at once.
#include "data/engineconfig.h"
#include "support/testsupport.h"
#include "tools/demodata.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace {

// isql-fb in a process of its own on the file; its output.
QString Isql(const QString &path, const QString &script)
{
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), path});
    if (!isql.waitForStarted(10000))
        return QStringLiteral("isql-fb did not start");
    isql.write(script.toLocal8Bit());
    isql.closeWriteChannel();
    isql.waitForFinished(60000);
    return QString::fromLocal8Bit(isql.readAll());
}

}  // namespace

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    void configurationOfTheProgramFolder();
    void twoProcessesOnOneFile();
    void whatToFix();
};

void TestEngine::configurationOfTheProgramFolder()
{
    // This process runs with the build's program folder (or a FIREBIRD of
    // the caller's own, which is left alone).
    const QString root = EngineRoot(QStringLiteral(TINTOREL_BUILD_PROGRAM_DIR));
    QCOMPARE(qEnvironmentVariable("FIREBIRD"), root);
    QCOMPARE(qEnvironmentVariable("FIREBIRD_LOCK"), root + QStringLiteral("/lock"));
    QVERIFY(QFile::exists(root + QStringLiteral("/firebird.conf")));

    // A set FIREBIRD stands; a folder without a root changes nothing.
    QTemporaryDir other;
    UseEngineConfiguration(other.path());
    QCOMPARE(qEnvironmentVariable("FIREBIRD"), root);
}

void TestEngine::twoProcessesOnOneFile()
{
    TempProgramFolder folder;
    const QString path = folder.databasePath();
    CreateEmptyDatabase(path);
    AdminConnection here(path);
    here.Run(QStringLiteral("create table T (A integer)"));
    here.Run(QStringLiteral("insert into T values (1)"));

    // While this process holds the file, another one reads and writes it.
    const QString out = Isql(path, QStringLiteral("select 'seen ' || count(*) from T;\n"
                                                  "insert into T values (2);\ncommit;\n"));
    QVERIFY2(out.contains(QStringLiteral("seen 1")), qPrintable(out));
    QVERIFY2(!out.contains(QStringLiteral("Statement failed")), qPrintable(out));
    // Its row is in the file, seen by a second connection while the first
    // stays open.
    QCOMPARE(QueryInt(path, QStringLiteral("select count(*) from T")), 2);
    QCOMPARE(here.Rows(QStringLiteral("select count(*) from T")).size(), 1);
    // The lock files are in the program folder's lock folder.
    QVERIFY(!QDir(qEnvironmentVariable("FIREBIRD_LOCK")).entryList(QDir::Files).isEmpty());
}

void TestEngine::whatToFix()
{
    TempProgramFolder folder;
    const QString path = folder.databasePath();
    // A server's database is not this machine's business.
    QCOMPARE(LocalAccessHint(QStringLiteral("192.0.2.10:") + path), QString());
    QVERIFY(LocalAccessHint(path).startsWith(QStringLiteral("Die Datenbank %1 fehlt").arg(path)));
    CreateEmptyDatabase(path);
    QCOMPARE(LocalAccessHint(path), QString());
}

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
