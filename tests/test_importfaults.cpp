// Faults that are none of the data's own stop the import where the next run
// resumes, and say so: a full disk, another workstation's import. The
// resumed run must leave the tables of an uninterrupted one, in a database
// the engine finds sound.
#include "ui_fmHaupt.h"
#include "test_import_fixture.h"

#include "data/credentials.h"
#include "data/fmdm1.h"
#include "import/importobserver.h"
#include "import/masterimport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

namespace {

// A workstation's import without a window: every box answered by default.
struct QuietObserver : ImportObserver {
    void Status(const QString &) override {}
    void Progress(const QString &, int, int) override {}
    bool ProcessPendingMessages() override { return true; }
    void BringToFront() override {}
    void Log(const QString &) override {}
    void FlushLog() override {}
    void ShowError(const QString &) override {}
    void ShowInformation(const QString &) override {}
    bool Ask(const QString &, bool yesByDefault) override { return yesByDefault; }
};

// A small file system of its own, mounted for the test and gone after it.
class SmallFileSystem {
public:
    SmallFileSystem()
    {
        mounted_ = dir_.isValid() &&
                   QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                                QStringLiteral("-o"), QStringLiteral("size=48m"),
                                                                QStringLiteral("tmpfs"), dir_.path()}) == 0;
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), dir_.path()});
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;
    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }

    // Fills what is free with a file of its own, which Free() removes.
    void Fill() const
    {
        QFile filler(path() + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(64 * 1024, '\0');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    void Free() const { QVERIFY(QFile::remove(path() + QStringLiteral("/filler"))); }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

}  // namespace

class TestImportFaults : public QObject {
    Q_OBJECT
    // 8 pairs of 140 rows.
    const QList<MasterRow> rows = GeneratedMaster(4, 140, 2);

private slots:
    void fullDiskStopsTheRun();
    void secondImportIsRefused();
};

void TestImportFaults::fullDiskStopsTheRun()
{
    if (::geteuid() != 0)
        QSKIP("a small file system to fill can only be mounted as root");
    SmallFileSystem disk;
    if (!disk.mounted())
        QSKIP("tmpfs could not be mounted here");
    // The program folder, database and log on the small file system.
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", disk.path().toLocal8Bit());
    // Enough combinations to need more pages than the file keeps free.
    const QList<MasterRow> many = GeneratedMaster(8, 300, 4);
    ImportFixture f(many);
    qputenv("TMPDIR", tmp);
    QVERIFY(f.folder.path().startsWith(disk.path()));
    BuildLookupsAndCollections(f.folder.path());
    qInfo("database %lld bytes", QFileInfo(f.db()).size());

    // The pairs run out of space.
    disk.Fill();
    f.answers = {MsgButton::No};
    f.RunImport();
    const QStringList errors = ProgramRun::GeneralErrors(f.boxes);
    QVERIFY2(errors.size() == 1, qPrintable(f.BoxTexts().join(QLatin1Char('|'))));
    QVERIFY2(errors.first().startsWith(QStringLiteral("Der Import wurde angehalten. Auf dem Laufwerk der Datenbank "
                                                      "ist kein Platz mehr frei. Die fertigen Paare sind gespeichert, "
                                                      "das angefangene bleibt offen. Der Import kann wiederholt "
                                                      "werden, sobald die Ursache behoben ist.")),
             qPrintable(errors.first()));
    QVERIFY(!f.BoxTexts().contains(QStringLiteral("Fertig!")));

    // With space again the next start offers the import, and its default
    // answers finish the job as if nothing had happened.
    disk.Free();
    f.Start();
    QVERIFY(f.ImportOffered());
    f.Import();
    f.Stop();
    QVERIFY2(f.BoxTexts().endsWith(QStringLiteral("Fertig!")), qPrintable(f.BoxTexts().join(QLatin1Char('|'))));
    QCOMPARE(ImportedTables(f.db()), ExpectedImport(many).Tables());
    QCOMPARE(ValidationErrors(f.db()), QStringList());
}

void TestImportFaults::secondImportIsRefused()
{
    // While one run asks its question, another workstation starts an import
    // of the same database: it is refused at once, the first goes on.
    ImportFixture f(rows);
    QString refusal;
    bool tried = false;
    ProgramRun run(f.folder.path(), [&](const MessageBoxRequest &request) {
        if (request.text == Question && !tried) {
            tried = true;
            Tfmdm other;
            other.ib1.DatabaseName = f.db();
            other.ib1.Params = AdministratorParams;
            QuietObserver quiet;
            try {
                MasterImport(other, quiet).Run();
            } catch (const Exception &e) {
                refusal = e.Message();
            }
        }
        return request.defaultButton;
    });
    run.Click(run.ui().btImportMaster);
    QVERIFY(tried);
    QCOMPARE(refusal, QStringLiteral("An einem anderen Arbeitsplatz läuft gerade ein Import. Der Import kann "
                                     "wiederholt werden, sobald er dort beendet ist."));
    QCOMPARE(run.Boxes().last().text, QStringLiteral("Fertig!"));
    QCOMPARE(ProgramRun::GeneralErrors(run.Boxes()), QStringList());
}

TINTOREL_TEST_MAIN(TestImportFaults)
#include "test_importfaults.moc"
