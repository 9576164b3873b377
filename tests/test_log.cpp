// The day's log file.
#include "app/writelog.h"
#include "shell_fixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// The entry prefix: date, the time unless it is the first second of a day.
const QString Stamp = QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)? - ");

// The day's file as WriteLog names it, for a call made between the two dates
// (a test that runs over midnight may see either).
QString TodaysFile(const QString &folder, const QDate &before, const QDate &after)
{
    for (const QDate &date : {after, before}) {
        const QString path = folder + QLatin1Char('/') + LogFileName(date);
        if (QFile::exists(path))
            return path;
    }
    return folder + QLatin1Char('/') + LogFileName(after);
}

}  // namespace

class TestLog : public QObject {
    Q_OBJECT
private slots:
    void nameAndEntryForm();
    void createsFolderAndAppends();
    void textAsWindows1252WithLineBreaks();
    void failuresAreSilent();
};

void TestLog::nameAndEntryForm()
{
    QCOMPARE(LogFileName(QDate(2026, 12, 6)), QStringLiteral("log/log_20261206.txt"));
    QCOMPARE(LogFileName(QDate(2027, 1, 31)), QStringLiteral("log/log_20270131.txt"));

    const QDate day(2026, 12, 6);
    QCOMPARE(LogEntry(QDateTime(day, QTime(15, 4, 27)), QStringLiteral("START CreateTableKOMBIDATEN")),
             QStringLiteral("06.12.2026 15:04:27 - START CreateTableKOMBIDATEN\r\n"));
    // The first second after midnight has no time part, the next one has.
    QCOMPARE(LogEntry(QDateTime(day, QTime(0, 0, 0)), QStringLiteral("x")), QStringLiteral("06.12.2026 - x\r\n"));
    QCOMPARE(LogEntry(QDateTime(day, QTime(0, 0, 0, 999)), QStringLiteral("x")),
             QStringLiteral("06.12.2026 - x\r\n"));
    QCOMPARE(LogEntry(QDateTime(day, QTime(0, 0, 1)), QStringLiteral("x")),
             QStringLiteral("06.12.2026 00:00:01 - x\r\n"));
    QCOMPARE(LogEntry(QDateTime(day, QTime(0, 1, 0)), QStringLiteral("")),
             QStringLiteral("06.12.2026 00:01:00 - \r\n"));
}

void TestLog::createsFolderAndAppends()
{
    QTemporaryDir dir;
    // The program folder itself is missing too: every parent is created.
    const QString folder = dir.path() + QStringLiteral("/a/b");
    TfmHaupt1::SetProgramFolder(folder);
    const QDate before = QDate::currentDate();
    TfmHaupt1::WriteLog(QStringLiteral("eins"));
    TfmHaupt1::WriteLog(QStringLiteral("zwei"));
    const QString path = TodaysFile(folder, before, QDate::currentDate());
    const QString content = QString::fromLatin1(ReadFile(path));
    QVERIFY2(QRegularExpression(QStringLiteral("\\A") + Stamp + QStringLiteral("eins\r\n") + Stamp +
                                QStringLiteral("zwei\r\n\\z"))
                 .match(content)
                 .hasMatch(),
             qPrintable(content));
    // The entry is dated with the day of the file.
    QVERIFY(content.startsWith(QFileInfo(path).fileName().mid(10, 2) + QLatin1Char('.')));
    TfmHaupt1::SetProgramFolder(QString());
}

void TestLog::textAsWindows1252WithLineBreaks()
{
    QTemporaryDir dir;
    TfmHaupt1::SetProgramFolder(dir.path());
    const QDate before = QDate::currentDate();
    TfmHaupt1::WriteLog(QStringLiteral("Größe 5 €"));
    TfmHaupt1::WriteLog(QStringLiteral("insert into X\r\nvalues (1)\r\n"));
    TfmHaupt1::WriteLog(QString());
    const QByteArray bytes = ReadFile(TodaysFile(dir.path(), before, QDate::currentDate()));

    // Single bytes, no byte order mark.
    QVERIFY(QChar::fromLatin1(bytes.at(0)).isDigit());
    QVERIFY(bytes.contains(QByteArray(" - Gr\xF6\xDF" "e 5 \x80\r\n")));
    // Only the first line of a multi-line message carries the stamp; the
    // closing CR LF of the message leaves an empty line.
    const QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 6);
    QVERIFY(QRegularExpression(QStringLiteral("\\A") + Stamp + QStringLiteral("insert into X\\z"))
                .match(lines.at(1))
                .hasMatch());
    QCOMPARE(lines.at(2), QStringLiteral("values (1)"));
    QCOMPARE(lines.at(3), QString());
    // The empty message ends in the blank after the hyphen.
    QVERIFY(QRegularExpression(QStringLiteral("\\A") + Stamp + QStringLiteral("\\z")).match(lines.at(4)).hasMatch());
    QCOMPARE(lines.at(5), QString());
    TfmHaupt1::SetProgramFolder(QString());
}

void TestLog::failuresAreSilent()
{
    // "log" is a file: the folder cannot be made.
    {
        QTemporaryDir dir;
        TfmHaupt1::SetProgramFolder(dir.path());
        WriteFile(dir.path() + QStringLiteral("/log"), "no folder");
        TfmHaupt1::WriteLog(QStringLiteral("lost"));
        QCOMPARE(ReadFile(dir.path() + QStringLiteral("/log")), QByteArray("no folder"));
    }
    // The day's file cannot be opened (a folder of that name).
    {
        QTemporaryDir dir;
        TfmHaupt1::SetProgramFolder(dir.path());
        const QString path = dir.path() + QLatin1Char('/') + LogFileName(QDate::currentDate());
        QVERIFY(QDir().mkpath(path));
        TfmHaupt1::WriteLog(QStringLiteral("lost"));
        QVERIFY(QFileInfo(path).isDir());
    }
    // The day's file is read-only: the entry is missing, the next one after
    // the lock is gone is written again.
    {
        QTemporaryDir dir;
        TfmHaupt1::SetProgramFolder(dir.path());
        const QDate before = QDate::currentDate();
        TfmHaupt1::WriteLog(QStringLiteral("first"));
        const QString path = TodaysFile(dir.path(), before, QDate::currentDate());
        const QByteArray first = ReadFile(path);
        if (!SetLocked(path, true))
            QSKIP("the file system cannot make a file read-only for this user");
        TfmHaupt1::WriteLog(QStringLiteral("lost"));
        const QByteArray locked = ReadFile(path);
        QVERIFY(SetLocked(path, false));
        QCOMPARE(locked, first);
        TfmHaupt1::WriteLog(QStringLiteral("again"));
        QVERIFY(ReadFile(path).endsWith(" - again\r\n"));
    }
    TfmHaupt1::SetProgramFolder(QString());
}

SHELL_TEST_MAIN(TestLog)
#include "test_log.moc"
