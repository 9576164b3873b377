// The day's log file.
#include "app/logfile.h"
#include "shell_fixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// The entry prefix: date, the time unless it is the first second of a day.
const QString Stamp = QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)? - ");

bool Matches(const QString &pattern, const QString &text)
{
    return QRegularExpression(QStringLiteral("\\A") + pattern + QStringLiteral("\\z")).match(text).hasMatch();
}

// Writes the messages into the program folder's log; the day's file it used
// (a test that runs over midnight may see either date).
QString WriteEntries(const QString &folder, const QStringList &messages)
{
    LogFile log(folder);
    const QDate before = QDate::currentDate();
    for (const QString &message : messages)
        log.Write(message);
    const QString after = folder + QLatin1Char('/') + LogFileName(QDate::currentDate());
    const QString first = folder + QLatin1Char('/') + LogFileName(before);
    return QFile::exists(after) || !QFile::exists(first) ? after : first;
}

}  // namespace

class TestLog : public QObject {
    Q_OBJECT
private slots:
    void nameAndEntryForm();
    void createsFolderAndAppends();
    void textAsWindows1252WithLineBreaks();
    void failuresAreSilent();
    void flushFollowsTheFileOnDisk();
};

void TestLog::nameAndEntryForm()
{
    QCOMPARE(LogFileName(QDate(2027, 1, 6)), QStringLiteral("log/log_20270106.txt"));
    const QDate day(2026, 12, 6);
    QCOMPARE(LogEntry(QDateTime(day, QTime(15, 4, 27)), QStringLiteral("START CreateTableKOMBIDATEN")),
             QStringLiteral("06.12.2026 15:04:27 - START CreateTableKOMBIDATEN\r\n"));
    // The first second after midnight has no time part, the next one has.
    for (const auto &[time, entry] : {std::pair{QTime(0, 0, 0), "06.12.2026 - x\r\n"},
                                      {QTime(0, 0, 0, 999), "06.12.2026 - x\r\n"},
                                      {QTime(0, 0, 1), "06.12.2026 00:00:01 - x\r\n"}})
        QCOMPARE(LogEntry(QDateTime(day, time), QStringLiteral("x")), QLatin1String(entry));
}

void TestLog::createsFolderAndAppends()
{
    QTemporaryDir dir;
    // The program folder itself is missing too: every parent is created.
    const QString path = WriteEntries(dir.path() + QStringLiteral("/a/b"), {QStringLiteral("eins"), QStringLiteral("zwei")});
    const QString content = QString::fromLatin1(ReadFile(path));
    QVERIFY2(Matches(Stamp + QStringLiteral("eins\r\n") + Stamp + QStringLiteral("zwei\r\n"), content),
             qPrintable(content));
    // The entry is dated with the day of the file.
    QVERIFY(content.startsWith(QFileInfo(path).fileName().mid(10, 2) + QLatin1Char('.')));
    // The other users of a shared log folder may append to it.
    QVERIFY(QFileInfo(path).permissions().testFlags(QFile::ReadGroup | QFile::WriteGroup));
}

void TestLog::textAsWindows1252WithLineBreaks()
{
    QTemporaryDir dir;
    const QByteArray bytes = ReadFile(WriteEntries(
        dir.path(), {QStringLiteral("Größe 5 €"), QStringLiteral("insert into X\r\nvalues (1)\r\n"), QString()}));
    // Single bytes, no byte order mark.
    QVERIFY(QChar::fromLatin1(bytes.at(0)).isDigit());
    QVERIFY(bytes.contains(QByteArray(" - Gr\xF6\xDF" "e 5 \x80\r\n")));
    // Only the first line of a multi-line message carries the stamp; the
    // closing CR LF leaves an empty line; the empty message ends in "- ".
    const QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 6);
    QVERIFY(Matches(Stamp + QStringLiteral("insert into X"), lines.at(1)));
    QCOMPARE(lines.mid(2, 2), (QStringList{QStringLiteral("values (1)"), QString()}));
    QVERIFY(Matches(Stamp, lines.at(4)));
    QCOMPARE(lines.at(5), QString());
}

void TestLog::failuresAreSilent()
{
    // "log" is a file: the folder cannot be made.
    {
        QTemporaryDir dir;
        WriteFile(dir.path() + QStringLiteral("/log"), "no folder");
        WriteEntries(dir.path(), {QStringLiteral("lost")});
        QCOMPARE(ReadFile(dir.path() + QStringLiteral("/log")), QByteArray("no folder"));
    }
    // The day's file cannot be opened (a folder of that name).
    {
        QTemporaryDir dir;
        const QString path = dir.path() + QLatin1Char('/') + LogFileName(QDate::currentDate());
        QVERIFY(QDir().mkpath(path));
        WriteEntries(dir.path(), {QStringLiteral("lost")});
        QVERIFY(QFileInfo(path).isDir());
    }
    // The day's file is read-only: the entry is missing, the next one after
    // the lock is gone is written again.
    QTemporaryDir dir;
    const QString path = WriteEntries(dir.path(), {QStringLiteral("first")});
    const QByteArray first = ReadFile(path);
    if (!SetLocked(path, true))
        QSKIP("the file system cannot make a file read-only for this user");
    WriteEntries(dir.path(), {QStringLiteral("lost")});
    const QByteArray locked = ReadFile(path);
    QVERIFY(SetLocked(path, false));
    QCOMPARE(locked, first);
    WriteEntries(dir.path(), {QStringLiteral("again")});
    QVERIFY(ReadFile(path).endsWith(" - again\r\n"));
}

void TestLog::flushFollowsTheFileOnDisk()
{
    QTemporaryDir dir;
    LogFile log(dir.path());
    const QString path = dir.path() + QLatin1Char('/') + LogFileName(QDate::currentDate());
    const auto written = [&](const QString &text) {
        log.Write(text);
        log.Flush();
    };
    // Entries wait for the flush, then reach the file together.
    log.Write(QStringLiteral("eins"));
    log.Write(QStringLiteral("zwei"));
    QVERIFY(!QFile::exists(path));
    log.Flush();
    QVERIFY(Matches(Stamp + QStringLiteral("eins\r\n") + Stamp + QStringLiteral("zwei\r\n"),
                    QString::fromLatin1(ReadFile(path))));
    if (QDate::currentDate() != QFileInfo(path).lastModified().date())
        QSKIP("the day changed during the test");

    // Rotated: the next entry goes to a new file of the day's name.
    QVERIFY(QFile::rename(path, path + QStringLiteral(".1")));
    written(QStringLiteral("drei"));
    QVERIFY(Matches(Stamp + QStringLiteral("drei\r\n"), QString::fromLatin1(ReadFile(path))));
    QVERIFY(ReadFile(path + QStringLiteral(".1")).endsWith(" - zwei\r\n"));
    QVERIFY(QFileInfo(path).permissions().testFlags(QFile::ReadGroup | QFile::WriteGroup));

    // Removed, with its folder: made anew.
    QVERIFY(QDir(dir.path() + QStringLiteral("/log")).removeRecursively());
    written(QStringLiteral("vier"));
    QVERIFY(Matches(Stamp + QStringLiteral("vier\r\n"), QString::fromLatin1(ReadFile(path))));

    // Read-only: the entries of that flush are lost, later ones are written.
    if (!SetLocked(path, true))
        QSKIP("the file system cannot make a file read-only for this user");
    written(QStringLiteral("lost"));
    QVERIFY(SetLocked(path, false));
    written(QStringLiteral("fünf"));
    QVERIFY(Matches(Stamp + QStringLiteral("vier\r\n") + Stamp + QStringLiteral("f\u00FCnf\r\n"),
                    QString::fromLatin1(ReadFile(path))));
}

TINTOREL_TEST_MAIN(TestLog)
#include "test_log.moc"
