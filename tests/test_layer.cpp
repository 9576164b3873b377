// The connection and query layer against real database files.
#include "data/ansi.h"
#include "data/engineconfig.h"
#include "data/faults.h"
#include "data/ib.h"
#include "data/validation.h"
#include "support/testsupport.h"
#include "tools/demodata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace {

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Exception &e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

// A connection with its query named like the data module's general one.
struct Session : AdminConnection {
    TIBQuery &q = query;
    explicit Session(const QString &path) : AdminConnection(path, QStringLiteral("qrS")) {}
    void sql(std::initializer_list<QString> lines)
    {
        q.ClearLines();
        for (const QString &line : lines)
            q.AddLine(line);
    }
};

}  // namespace

class TestLayer : public QObject {
    Q_OBJECT
private slots:
    void paramBlockBytes();
    void serviceNames();
    void statementText();
    void fieldValuesAndConversions();
    void postRowInsertAndModify();
    void cursorSurvivesCommitRetaining();
    void errorTexts();
    void attachOnFirstUseAfterFailure();
    void fetchErrorsAreNotTheEnd();
    void cancelFromAnotherThread();
    void writersCacheBypassesFileCache();
    void dialectOneDatabase();
    void textBlobAndOtherTypes();
    void windows1252RoundTrip();
    void markersTakeParams();
    void detachCommitsAndDestroyCommits();
};

void TestLayer::paramBlockBytes()
{
    const std::string dpb = TIBDatabase::BuildParamBlock(
        {QStringLiteral(" USER_NAME =SYSDBA"), QString(), QStringLiteral("=nothing"),
         QStringLiteral("isc_dpb_password=pw=x"), QStringLiteral("lc_ctype=ASCII"), QStringLiteral("num_buffers=65539")});
    const std::string expected = std::string("\x01", 1) + "\x1c\x06SYSDBA" + "\x1d\x04pw=x" + "\x30\x05" "ASCII" +
                                 std::string("\x05\x04\x03\x00\x01\x00", 6);
    QCOMPARE(QByteArray::fromStdString(dpb).toHex(' '), QByteArray::fromStdString(expected).toHex(' '));
}

void TestLayer::serviceNames()
{
    // A server's database goes to that server's service manager with the
    // path as the server knows it; a local file to the engine in the process.
    QCOMPARE(ServiceManagerOf(QStringLiteral("/var/lib/tintorel/Daten/QELMPREISE.fdb")), QStringLiteral("service_mgr"));
    QCOMPARE(ServiceDatabaseOf(QStringLiteral("/var/lib/tintorel/Daten/QELMPREISE.fdb")),
             QStringLiteral("/var/lib/tintorel/Daten/QELMPREISE.fdb"));
    QCOMPARE(ServiceManagerOf(QStringLiteral("192.168.1.5/3051:/srv/Daten/QELMPREISE.fdb")),
             QStringLiteral("192.168.1.5/3051:service_mgr"));
    QCOMPARE(ServiceDatabaseOf(QStringLiteral("kasse1:C:\\Daten\\QELMPREISE.fdb")), QStringLiteral("C:\\Daten\\QELMPREISE.fdb"));
}

void TestLayer::statementText()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    Session s(folder.databasePath());
    s.sql({QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'"), QStringLiteral("and KPID>0")});
    QCOMPARE(s.q.StatementText(),
             QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'\r\nand KPID>0\r\n"));

    // Changing the lines closes an open query.
    s.sql({QStringLiteral("select 1 as A from RDB$DATABASE")});
    s.q.OpenQuery();
    QVERIFY(s.q.Active());
    s.q.AddLine(QStringLiteral("where 1=1"));
    QVERIFY(!s.q.Active());

    // Literals holding characters outside ASCII travel with the _NONE introducer;
    // quotes inside literals and already introduced literals stay as they are.
    QCOMPARE(StatementBytes(QStringLiteral("where A like '%WEIß%'\r\n or B = 'd''Ital' and C = _NONE 'ä'")),
             ToAnsi(QStringLiteral("where A like _NONE '%WEIß%'\r\n or B = 'd''Ital' and C = _NONE 'ä'")));
    QCOMPARE(StatementBytes(QStringLiteral("x = 'it''s grün' -- 'ö'")),
             ToAnsi(QStringLiteral("x = _NONE 'it''s grün' -- 'ö'")));
}

void TestLayer::fieldValuesAndConversions()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    RunSql(folder.databasePath(),
           {QStringLiteral("create table T (I integer, V varchar(10), N integer, S varchar(10))"),
            QStringLiteral("insert into T values (7, '12', null, 'abc')")});
    Session s(folder.databasePath());
    s.sql({QStringLiteral("select I, V, N, S, I as V from T")});
    s.q.OpenQuery();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("n")).AsString(), QString());
    QCOMPARE(s.q.ColumnByName(QStringLiteral("N")).AsInteger(), 0);
    QVERIFY(s.q.ColumnByName(QStringLiteral("N")).IsNull());
    QCOMPARE(s.q.ColumnByName(QStringLiteral("i")).AsString(), QStringLiteral("7"));
    // Duplicate names: the first column of that name.
    QCOMPARE(s.q.ColumnByName(QStringLiteral("V")).AsString(), QStringLiteral("12"));
    QCOMPARE(s.q.ColumnByName(QStringLiteral("V")).AsInteger(), 12);
    QCOMPARE(errorOf([&] { s.q.ColumnByName(QStringLiteral("S")).AsInteger(); }),
             QStringLiteral("'abc' ist kein gültiger Integerwert"));

    // Writes go through an insert object; text is cut to the column width.
    TIBUpdateSQL update(QStringLiteral("upd"));
    update.InsertSQL = QStringList{QStringLiteral("insert into T (I, V, N, S)"), QStringLiteral("values (:I, :V, :N, :S)")};
    s.q.UpdateObject = &update;
    s.q.AppendRow();
    s.q.ColumnByName(QStringLiteral("V")).SetAsString(QStringLiteral("ABCDEFGHIJKL"));
    QCOMPARE(errorOf([&] { s.q.ColumnByName(QStringLiteral("I")).SetAsString(QStringLiteral("3a")); }),
             QStringLiteral("'3a' ist kein gültiger Integerwert für Feld 'I'"));
    s.q.ColumnByName(QStringLiteral("I")).SetAsString(QStringLiteral("8"));
    s.q.ColumnByName(QStringLiteral("S")).SetAsInteger(42);
    s.q.PostRow();
    s.tr.CommitRetaining();
    QCOMPARE(QueryRows(folder.databasePath(), QStringLiteral("select I, V, N, S, N is null from T where I = 8")),
             (QList<QStringList>{{QStringLiteral("8"), QStringLiteral("ABCDEFGHIJ"), QString(), QStringLiteral("42"),
                                  QStringLiteral("1")}}));
}

void TestLayer::postRowInsertAndModify()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    RunSql(folder.databasePath(),
           {QStringLiteral("create table K (KPID integer, KID integer, KNAME varchar(60), KIMPORT varchar(1))"),
            QStringLiteral("insert into K values (1, 5, 'A', 'N')"), QStringLiteral("insert into K values (2, 5, 'B', 'N')"),
            QStringLiteral("insert into K values (2, 5, 'C', 'N')")});
    Session s(folder.databasePath());
    TIBUpdateSQL update(QStringLiteral("qrKollektionen_U"));
    update.ModifySQL = QStringList{QStringLiteral("update K"), QStringLiteral("set"), QStringLiteral("  KPID = :KPID,"),
                                   QStringLiteral("  KID = :KID,"), QStringLiteral("  KNAME = :KNAME,"),
                                   QStringLiteral("  KIMPORT = :KIMPORT"), QStringLiteral("where"),
                                   QStringLiteral("  KPID = :old_KPID and"), QStringLiteral("  KID = :OLD_KID")};
    s.q.UpdateObject = &update;

    // The key changes too: the old values find the row.
    s.sql({QStringLiteral("select * from K where KPID = 1")});
    s.q.OpenQuery();
    s.q.EditRow();
    s.q.ColumnByName(QStringLiteral("KPID")).SetAsInteger(9);
    s.q.ColumnByName(QStringLiteral("KIMPORT")).SetAsString(QStringLiteral("J"));
    s.q.PostRow();
    QCOMPARE(s.q.CurrentState(), TIBQuery::State::Browse);

    // A key that matches two rows changes both (each takes the posted row's
    // values) and fails; the change stays in the transaction and the next
    // CommitRetaining makes it durable.
    s.sql({QStringLiteral("select * from K where KPID = 2 and KNAME = 'B'")});
    s.q.OpenQuery();
    s.q.EditRow();
    s.q.ColumnByName(QStringLiteral("KIMPORT")).SetAsString(QStringLiteral("J"));
    QCOMPARE(errorOf([&] { s.q.PostRow(); }), QStringLiteral("Aktualisierung nicht erfolgreich"));
    QCOMPARE(s.q.CurrentState(), TIBQuery::State::Edit);
    s.tr.CommitRetaining();
    QCOMPARE(QueryRows(folder.databasePath(), QStringLiteral("select KPID, KNAME, KIMPORT from K order by KNAME")),
             (QList<QStringList>{{QStringLiteral("9"), QStringLiteral("A"), QStringLiteral("J")},
                                 {QStringLiteral("2"), QStringLiteral("B"), QStringLiteral("J")},
                                 {QStringLiteral("2"), QStringLiteral("B"), QStringLiteral("J")}}));
}

void TestLayer::cursorSurvivesCommitRetaining()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    RunSql(folder.databasePath(),
           {QStringLiteral("create table SRC (N integer)"), QStringLiteral("create table DST (N integer)"),
            QStringLiteral("execute block as declare i integer = 1; begin while (i <= 2500) do begin "
                           "insert into SRC values (:i); i = i + 1; end end")});
    Session s(folder.databasePath());
    TIBQuery writer(QStringLiteral("qrW"), &s.db, &s.tr);
    s.sql({QStringLiteral("select N from SRC order by N")});
    s.q.OpenQuery();
    QCOMPARE(s.q.RowCount(), 1);  // fetched on demand
    int seen = 0;
    long long sum = 0;
    while (!s.q.AtEnd()) {
        ++seen;
        sum += s.q.ColumnByName(QStringLiteral("N")).AsInteger();
        if (seen % 500 == 0) {
            writer.ClearLines();
            writer.AddLine(QStringLiteral("insert into DST values (%1)").arg(seen));
            writer.RunStatement();
            s.tr.CommitRetaining();
        }
        s.q.ToNextRow();
    }
    QCOMPARE(seen, 2500);
    QCOMPARE(sum, 2500LL * 2501 / 2);
    QCOMPARE(s.q.RowCount(), 2500);
    QCOMPARE(QueryRows(folder.databasePath(), QStringLiteral("select count(*) from DST")).at(0).at(0),
             QStringLiteral("5"));

    // ToLastRow fetches the rest; ToFirstRow goes back to the cached first row.
    s.sql({QStringLiteral("select N from SRC order by N")});
    s.q.OpenQuery();
    s.q.ToLastRow();
    QCOMPARE(s.q.RowCount(), 2500);
    QCOMPARE(s.q.ColumnByName(QStringLiteral("N")).AsInteger(), 2500);
    s.q.ToFirstRow();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("N")).AsInteger(), 1);
    QVERIFY(!s.q.AtEnd());
}

void TestLayer::errorTexts()
{
    // No connection object is alive here, so the library is loaded anew.
    TIBDatabase::SetClientLibrary(QStringLiteral("libfbclient-missing.so.2"));
    const QString missing = errorOf([] { TIBDatabase other; });
    TIBDatabase::SetClientLibrary(QStringLiteral("libfbclient.so.2"));
    QCOMPARE(missing, QStringLiteral("InterBase-DLL libfbclient-missing.so.2 wurde im Pfad nicht gefunden"));

    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    RunSql(folder.databasePath(), {QStringLiteral("create table KOLLEKTIONEN (KPID integer, KID integer)")});
    Session s(folder.databasePath());
    QCOMPARE(errorOf([&] { s.q.RunStatement(); }), QStringLiteral("Leere SQL-Anweisung."));
    s.sql({QStringLiteral("select * from KOLLEKTIONEN")});
    s.q.OpenQuery();
    QCOMPARE(errorOf([&] { s.q.RunStatement(); }),
             QStringLiteral("qrS: Operation bei geöffneter Datenmenge nicht ausführbar"));
    QCOMPARE(errorOf([&] { s.q.ColumnByName(QStringLiteral("KNAME")); }),
             QStringLiteral("qrS: Das Feld 'KNAME' wurde nicht gefunden"));

    // The server's text: message lines joined by CR LF, no final full stop.
    s.sql({QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'"), QStringLiteral("and KPID>0")});
    const QString error = errorOf([&] { s.q.OpenQuery(); });
    QVERIFY2(error.toUpper().contains(QStringLiteral("COLUMN UNKNOWN")), qPrintable(error));
    QVERIFY(error.toUpper().indexOf(QStringLiteral("KIMPORT")) > error.toUpper().indexOf(QStringLiteral("COLUMN UNKNOWN")));
    QVERIFY(error.contains(QStringLiteral("\r\n")));
    QVERIFY(!error.endsWith(QLatin1Char('.')));

    TIBDatabase empty;
    QCOMPARE(errorOf([&] { empty.SetConnected(true); }), QStringLiteral("Der Name der Datenbank fehlt."));

}

void TestLayer::attachOnFirstUseAfterFailure()
{
    TempProgramFolder folder;
    Session s(folder.databasePath());
    QVERIFY(errorOf([&] { s.db.SetConnected(true); }) != QStringLiteral("<no error>"));
    QVERIFY(!s.db.Connected());
    CreateEmptyDatabase(folder.databasePath());
    s.sql({QStringLiteral("select 1 as ONE from RDB$DATABASE")});
    s.q.OpenQuery();
    QVERIFY(s.db.Connected());
    QVERIFY(s.tr.Active());
    QCOMPARE(s.q.ColumnByName(QStringLiteral("ONE")).AsInteger(), 1);
}

void TestLayer::fetchErrorsAreNotTheEnd()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    RunSql(folder.databasePath(), {QStringLiteral("create table T (N integer, V varchar(5))"),
                                   QStringLiteral("insert into T values (1, '1')"),
                                   QStringLiteral("insert into T values (2, 'abc')")});
    Session s(folder.databasePath());
    // The second row fails to convert on the server while it is fetched.
    s.sql({QStringLiteral("select cast(V as integer) as I from T order by N")});
    s.q.OpenQuery();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("I")).AsInteger(), 1);
    const QString error = errorOf([&] { s.q.ToNextRow(); });
    QVERIFY2(error.contains(QStringLiteral("conversion")), qPrintable(error));
    QCOMPARE(errorOf([&] { s.q.ToNextRow(); }), error);
    QVERIFY(!s.q.AtEnd());

    // A query whose first fetch fails is not left open: opening again runs it again.
    s.sql({QStringLiteral("select cast(V as integer) as I from T order by N desc")});
    QCOMPARE(errorOf([&] { s.q.OpenQuery(); }), error);
    QVERIFY(!s.q.Active());
    QCOMPARE(errorOf([&] { s.q.OpenQuery(); }), error);
}

void TestLayer::cancelFromAnotherThread()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    Session s(folder.databasePath());
    // Idle: nothing happens, and the next statement runs.
    s.db.CancelOperation();
    s.db.SetConnected(true);
    s.db.CancelOperation();
    s.sql({QStringLiteral("select count(*) as N from RDB$DATABASE")});
    s.q.OpenQuery();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("N")).AsInteger(), 1);
    s.q.CloseQuery();

    // Hundreds of millions of rows: stopped from another thread.
    s.sql({QStringLiteral("select count(*) as N from RDB$FIELDS a, RDB$FIELDS b, RDB$FIELDS c")});
    std::thread canceller([&s] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        s.db.CancelOperation();
    });
    bool cancelled = false;
    try {
        s.q.OpenQuery();
    } catch (const EDatabaseError &e) {
        cancelled = IsCancelled(e);
        QCOMPARE(FaultOf(e), Fault::None);
    }
    canceller.join();
    QVERIFY(cancelled);
    // The connection and its transaction go on.
    s.sql({QStringLiteral("select count(*) as N from RDB$DATABASE")});
    s.q.OpenQuery();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("N")).AsInteger(), 1);
}

namespace {

// The flags of the descriptors this process holds on a file.
QList<int> OpenFlags(const QString &path)
{
    QList<int> flags;
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo &fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files)) {
        if (fd.symLinkTarget() != target)
            continue;
        QFile info(QStringLiteral("/proc/self/fdinfo/") + fd.fileName());
        if (!info.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : info.readAll().split('\n')) {
            if (line.startsWith("flags:"))
                flags << line.mid(6).trimmed().toInt(nullptr, 8);
        }
    }
    return flags;
}

}  // namespace

void TestLayer::writersCacheBypassesFileCache()
{
    QCOMPARE(WritersCachePages(QStringLiteral("192.168.0.10:/var/lib/tintorel/Daten/QELMPREISE.fdb")), 0);
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    QCOMPARE(WritersCachePages(folder.databasePath() + QStringLiteral(".missing")), 0);
    const int pages = WritersCachePages(folder.databasePath());
    if (pages == 0)
        QSKIP("this file system has no direct I/O");
    const auto direct = [](const QList<int> &flags) {
        return std::count_if(flags.begin(), flags.end(), [](int f) { return (f & O_DIRECT) != 0; });
    };
    Session searches(folder.databasePath());
    searches.sql({QStringLiteral("select 1 as ONE from RDB$DATABASE")});
    searches.q.OpenQuery();
    const QList<int> before = OpenFlags(folder.databasePath());
    QVERIFY(!before.isEmpty());
    QCOMPARE(direct(before), 0);

    Session writer(folder.databasePath());
    writer.db.Params << QStringLiteral("num_buffers=%1").arg(pages);
    writer.sql({QStringLiteral("create table T (A integer)")});
    writer.q.RunStatement();
    writer.tr.CommitRetaining();
    QCOMPARE(direct(OpenFlags(folder.databasePath())), 1);
    // A connection through the file cache reads what was written past it.
    Session later(folder.databasePath());
    later.sql({QStringLiteral("select count(*) as N from RDB$RELATIONS where RDB$RELATION_NAME = 'T'")});
    later.q.OpenQuery();
    QCOMPARE(later.q.ColumnByName(QStringLiteral("N")).AsInteger(), 1);
    QCOMPARE(direct(OpenFlags(folder.databasePath())), 1);
}

void TestLayer::dialectOneDatabase()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath(), 1);
    Session s(folder.databasePath());
    s.db.SetConnected(true);
    QCOMPARE(s.db.Dialect(), 1);
    // Double quotes are string delimiters in dialect 1.
    s.sql({QStringLiteral("select \"abc\" as T from RDB$DATABASE")});
    s.q.OpenQuery();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("T")).AsString(), QStringLiteral("abc"));
}

void TestLayer::textBlobAndOtherTypes()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    RunSql(folder.databasePath(),
           {QStringLiteral("create table F (B blob sub_type text, SM smallint, BI bigint, C char(4), "
                           "NU numeric(9,2), D double precision, DT date, TS timestamp)"),
            QStringLiteral("insert into F values ('Zeile 1' || ascii_char(13) || ascii_char(10) || 'Zeile 2', 5, "
                           "9000000000, 'ab', 12.5, 0.25, '2026-12-06', '2026-12-06 15:04:27')")});
    Session s(folder.databasePath());
    s.sql({QStringLiteral("select * from F")});
    s.q.OpenQuery();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("B")).AsString(), QStringLiteral("Zeile 1\r\nZeile 2"));
    QCOMPARE(s.q.ColumnByName(QStringLiteral("SM")).AsInteger(), 5);
    QCOMPARE(s.q.ColumnByName(QStringLiteral("BI")).AsString(), QStringLiteral("9000000000"));
    QCOMPARE(s.q.ColumnByName(QStringLiteral("C")).AsString(), QStringLiteral("ab  "));
    QCOMPARE(s.q.ColumnByName(QStringLiteral("NU")).AsString(), QStringLiteral("12.5"));
    QCOMPARE(s.q.ColumnByName(QStringLiteral("D")).AsString(), QStringLiteral("0.25"));
    QCOMPARE(s.q.ColumnByName(QStringLiteral("DT")).AsString(), QStringLiteral("06.12.2026"));
    QCOMPARE(s.q.ColumnByName(QStringLiteral("TS")).AsString(), QStringLiteral("06.12.2026 15:04:27"));
}

void TestLayer::windows1252RoundTrip()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    RunSql(folder.databasePath(), {QStringLiteral("create table N (ID integer, NAME varchar(20))")});
    const QString name = QStringLiteral("Weiß äöü € œ");
    Session s(folder.databasePath());
    TIBUpdateSQL update(QStringLiteral("upd"));
    update.InsertSQL = QStringList{QStringLiteral("insert into N (ID, NAME) values (:ID, :NAME)")};
    s.q.UpdateObject = &update;
    s.sql({QStringLiteral("select * from N where 1=0")});
    s.q.OpenQuery();
    s.q.AppendRow();
    s.q.ColumnByName(QStringLiteral("ID")).SetAsInteger(1);
    s.q.ColumnByName(QStringLiteral("NAME")).SetAsString(name);
    s.q.PostRow();
    // A pasted literal with the same characters, over the ASCII connection.
    s.sql({QStringLiteral("insert into N values (2, '") + name + QStringLiteral("')")});
    s.q.RunStatement();
    s.sql({QStringLiteral("select ID, NAME, octet_length(NAME) as L from N where NAME = '") + name +
           QStringLiteral("' order by ID")});
    s.q.OpenQuery();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("NAME")).AsString(), name);
    QCOMPARE(s.q.ColumnByName(QStringLiteral("L")).AsInteger(), name.size());  // one byte per character
    s.q.ToNextRow();
    QCOMPARE(s.q.ColumnByName(QStringLiteral("ID")).AsInteger(), 2);
    s.q.ToNextRow();
    QVERIFY(s.q.AtEnd());
    QCOMPARE(ToAnsi(QStringLiteral("€Ω")), QByteArray("\x80?"));
    QCOMPARE(ToAnsi(QStringLiteral("a\U0001F600ü")), QByteArray("a?\xfc"));  // one "?" for a surrogate pair
    QCOMPARE(AnsiUpperCase(QStringLiteral("weiß äöü šœžÿ µ")), QStringLiteral("WEIß ÄÖÜ ŠŒŽŸ µ"));
}

void TestLayer::markersTakeParams()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    const QString name = QStringLiteral("Farben d'Italia Weiß");
    RunSql(folder.databasePath(), {QStringLiteral("create table N (ID integer, NAME varchar(20))"),
                                   QStringLiteral("insert into N values (1, 'x')"), QStringLiteral("insert into N values (2, 'x')"),
                                   QStringLiteral("insert into N values (3, 'y')")});
    Session s(folder.databasePath());
    s.sql({QStringLiteral("update N set NAME = ? where ID = ?")});
    s.q.Params = {name, QStringLiteral("3")};  // text for the integer, as a pasted literal
    QCOMPARE(s.q.RunStatement(), 1);
    // The same statement with other values; a value wider than the column
    // matches nothing through the cast instead of failing.
    const QString select = QStringLiteral("select count(*) from N where NAME = cast(? as varchar(8191) character set none)");
    for (const auto &[value, count] : {std::pair{name, 1}, {QStringLiteral("x"), 2}, {name + name, 0}}) {
        s.sql({select});
        s.q.Params = {value};
        s.q.OpenQuery();
        QCOMPARE(s.q.Fields().front().AsInteger(), count);
    }
    s.sql({QStringLiteral("delete from N where NAME = ?")});
    s.q.Params = {QStringLiteral("x")};
    QCOMPARE(s.q.RunStatement(), 2);
    // New lines drop the values: a marker without one is the engine's error.
    s.sql({QStringLiteral("delete from N where ID = ?")});
    QVERIFY(s.q.Params.isEmpty());
    QVERIFY(errorOf([&] { s.q.RunStatement(); }) != QStringLiteral("<no error>"));
    s.tr.CommitRetaining();
    QCOMPARE(QueryRows(folder.databasePath(), QStringLiteral("select ID, NAME from N")),
             (QList<QStringList>{{QStringLiteral("3"), name}}));
}

void TestLayer::detachCommitsAndDestroyCommits()
{
    TempProgramFolder folder;
    CreateEmptyDatabase(folder.databasePath());
    RunSql(folder.databasePath(), {QStringLiteral("create table W (N integer)")});
    {
        Session s(folder.databasePath());
        s.sql({QStringLiteral("insert into W values (1)")});
        s.q.RunStatement();
        s.db.SetConnected(false);  // detach commits the running transaction
        s.sql({QStringLiteral("insert into W values (2)")});
        s.q.RunStatement();        // attaches again on first use
        // Leaving the scope destroys the query, then the transaction (commit).
    }
    QCOMPARE(QueryRows(folder.databasePath(), QStringLiteral("select count(*) from W")).at(0).at(0),
             QStringLiteral("2"));
}

QTEST_GUILESS_MAIN(TestLayer)
#include "test_layer.moc"
