// The import runs beside the window: the window repaints while the run waits
// inside the engine, and "Abbrechen" stops the run where the next one
// resumes.
#include "ui_fmHaupt.h"
#include "test_import_fixture.h"

#include "data/credentials.h"
#include "data/fmdm1.h"
#include "data/sql.h"
#include "import/importobserver.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Another workstation's uncommitted change of every pending pair's row: the
// run's mark of its next pair waits in the engine until it is rolled back.
// Should the window never get to roll it back, a watchdog does after a
// while, so that a window that freezes fails the test instead of hanging it.
class PairRowsHeld {
public:
    explicit PairRowsHeld(const QString &database)
    {
        other_.ib1.DatabaseName = database;
        other_.ib1.Params = AdministratorParams;
        other_.ib1.SetConnected(true);
        other_.ibTa1.SetActive(true);
        SetStatement(other_.qrS, {QStringLiteral("update KOLLEKTIONEN set KIMPORT = KIMPORT"),
                                  QStringLiteral("where KPID > 0 and KIMPORT <> 'J'")});
        other_.qrS.RunStatement();
        watchdog_ = std::thread([this] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!released_.wait_for(lock, std::chrono::seconds(60), [this] { return !held_; }))
                ReleaseLocked(true);
        });
    }
    ~PairRowsHeld()
    {
        Release();
        watchdog_.join();
    }
    PairRowsHeld(const PairRowsHeld &) = delete;
    PairRowsHeld &operator=(const PairRowsHeld &) = delete;

    void Release()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ReleaseLocked(false);
    }
    bool ByWatchdog() const { return byWatchdog_; }

private:
    void ReleaseLocked(bool byWatchdog)
    {
        if (!held_)
            return;
        other_.ibTa1.SetActive(false);
        held_ = false;
        byWatchdog_ = byWatchdog;
        released_.notify_all();
    }

    Tfmdm other_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = true;
    bool byWatchdog_ = false;
    std::thread watchdog_;
};

const QString Cancelled = QStringLiteral("Der Import wurde abgebrochen. Ein neuer Import setzt ihn fort.");

}  // namespace

class TestImportThread : public QObject {
    Q_OBJECT
private slots:
    void cancelThenResumeWhileTheEngineWaits();
    void timeLeft();
};

void TestImportThread::cancelThenResumeWhileTheEngineWaits()
{
    const QList<MasterRow> rows = GeneratedMaster(20, 30, 2);
    ImportFixture f(rows);
    f.Start();
    auto *cancel = fmHaupt1->findChild<QPushButton *>(QStringLiteral("btImportCancel"));
    auto *bar = fmHaupt1->findChild<QProgressBar *>(QStringLiteral("pbImport"));
    QVERIFY(cancel && bar && cancel->isHidden());

    // "Abbrechen" once the third of 40 pairs reads its rows: two pairs at
    // least are done (the run is ahead of the window by a little), the run
    // ends without "Fertig!" and the window takes input again.
    int reads = 0;
    bool shownInRun = false;
    // Each step's count as the bar shows it: the lookup steps count the
    // rows they read, the combinations the pairs.
    QMap<QString, int> counts;
    f.onStatus = [&](const QString &text) {
        shownInRun = shownInRun || (cancel->isVisible() && cancel->isEnabled());
        if (bar->format().contains(QStringLiteral(": %v von %m")))
            counts[bar->format().section(QLatin1Char(':'), 0, 0)] = bar->maximum();
        if (text == QStringLiteral("MASTER wird geöffnet...") && ++reads == 3)
            QTest::mouseClick(cancel, Qt::LeftButton);
    };
    f.Import();
    QVERIFY(shownInRun);
    const ExpectedImport expected(rows);
    const QMap<QString, int> distinct{{QStringLiteral("RGB-Farben"), int(expected.rgbcolors.size())},
                                      {QStringLiteral("Basen"), int(expected.basen.size())},
                                      {QStringLiteral("Farbtöne"), int(expected.farben.size())},
                                      {QStringLiteral("Kombinationen"), 40}};
    for (auto step = distinct.cbegin(); step != distinct.cend(); ++step)
        QVERIFY2(counts.value(step.key()) == step.value(), qPrintable(step.key()));
    // The collections' two passes: the names, then the pairs.
    QCOMPARE(counts.value(QStringLiteral("Kollektionen")), 40);
    QCOMPARE(f.BoxTexts(), QStringList{Question});
    QCOMPARE(f.statuses.last(), Cancelled);
    QVERIFY(cancel->isHidden() && f.ui().edSelProd->isEnabled());
    const int consumed = Count(f.db(), QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KPID > 0 and KIMPORT = 'J'"));
    QVERIFY2(consumed >= 2 && consumed < 40, qPrintable(QString::number(consumed)));
    f.onStatus = nullptr;
    f.Stop();

    // The next run resumes the pairs by default. Another workstation holds
    // the pending pairs' rows: the run's next mark waits in the engine, and
    // meanwhile the window repaints and its timers run.
    f.Start();
    QVERIFY(f.ImportOffered());
    bar = fmHaupt1->findChild<QProgressBar *>(QStringLiteral("pbImport"));
    PairRowsHeld held(f.db());
    int paints = 0;
    struct PaintCounter : QObject {
        int &count;
        explicit PaintCounter(int &c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    bar->installEventFilter(&counter);
    bool released = false;
    f.onStatus = [&](const QString &text) {
        if (released || !text.startsWith(QStringLiteral("Lösche Datensätze")))
            return;
        released = true;
        // The pair's mark comes next and waits: the window goes on.
        QTimer::singleShot(300, [&] {
            const int before = paints;
            bar->update();
            QTRY_VERIFY_WITH_TIMEOUT(paints > before, 5000);
            held.Release();
        });
    };
    f.Import();
    bar->removeEventFilter(&counter);
    QVERIFY(released);
    QVERIFY2(!held.ByWatchdog(), "the window did not repaint while the run waited");
    QCOMPARE(f.BoxTexts(), (QStringList{Question, QStringLiteral("Fertig!")}));
    QCOMPARE(f.boxes.at(0).defaultButton, MsgButton::No);
    f.Stop();
    QCOMPARE(ImportedTables(f.db()), ExpectedImport(rows).Tables());
    // Whatever the cut-off rebuild switched off is on again.
    QCOMPARE(Count(f.db(), QStringLiteral("RDB$INDICES"),
                   QStringLiteral("RDB$RELATION_NAME in ('FARBEN', 'BASEN', 'RGBCOLORS', 'KOMBIDATEN') "
                                  "and RDB$INDEX_INACTIVE = 1")),
             0);
    QCOMPARE(Count(f.db(), QStringLiteral("RDB$INDICES"), QStringLiteral("RDB$RELATION_NAME = 'KOMBIDATEN'")), 4);
}

void TestImportThread::timeLeft()
{
    // Nothing before a tenth is done; then the rest at the pace so far.
    QCOMPARE(TimeLeftText(10000, 9, 100), QString());
    QCOMPARE(TimeLeftText(10000, 10, 100), QStringLiteral("noch etwa 2 min"));
    QCOMPARE(TimeLeftText(30000, 50, 100), QStringLiteral("noch etwa 30 s"));
    QCOMPARE(TimeLeftText(600000, 1, 10), QStringLiteral("noch etwa 90 min"));
    QCOMPARE(TimeLeftText(5000, 10, 10), QString());
    QCOMPARE(TimeLeftText(5000, 0, 0), QString());
}

TINTOREL_TEST_MAIN(TestImportThread)
#include "test_importthread.moc"
