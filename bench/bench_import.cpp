// The full "&Ja" import of generated MASTER tables through the program's own
// code (offscreen, its window's status bar, progress bar and log), against
// the engine's set-based equivalent on a copy of the same database: 100,000
// rows (100 products, 10,000 shades), then 1,000,000 rows (1,000 products,
// 100,000 shades). The same shape at both sizes, so that the time per row
// shows whether a pair costs more when MASTER is larger.
//
//   bench_import [ROWS PRODUCTS SHADES]   (one run of that size instead)
#include "engineimport.h"

#include "app/application.h"
#include "app/program.h"
#include "data/fmdm1.h"
#include "import/masterimport.h"
#include "tools/demodata.h"
#include "ui/fmHaupt.h"
#include "ui/msgbox.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <map>

namespace {

// The window as the import's observer, with the time of each step and the
// longest stretch without message handling taken down.
class Observer : public ImportObserver {
public:
    // The time before the first step: the checks before the question.
    explicit Observer(TfmHaupt1 &window) : order_{QStringLiteral("Prüfungen")}, window_(window), step_(order_.front())
    {
        clock_.start();
    }

    void Status(const QString &text) override { window_.Status(text); }
    void Progress(const QString &step, int done, int total) override
    {
        if (step != step_) {
            steps_[step_] += clock_.elapsed() - stepStart_;
            stepStart_ = clock_.elapsed();
            step_ = step;
            order_.push_back(step);
        }
        window_.Progress(step, done, total);
        if (total > 0 && done != lastDone_) {
            ++progressMoves_;
            lastDone_ = done;
        }
    }
    bool ProcessPendingMessages() override
    {
        longestWithout_ = std::max(longestWithout_, clock_.elapsed() - lastPump_);
        const bool goOn = window_.ProcessPendingMessages();
        lastPump_ = clock_.elapsed();
        return goOn;
    }
    void BringToFront() override {}
    void Log(const QString &text) override { window_.Log(text); }
    void FlushLog() override { window_.FlushLog(); }
    void ShowError(const QString &text) override { errors_ << text; }
    void ShowInformation(const QString &) override {}
    bool Ask(const QString &, bool yesByDefault) override { return yesByDefault; }

    void Finish()
    {
        Progress(QString(), 0, 0);
        order_.pop_back();
    }

    std::vector<QString> order_;
    std::map<QString, qint64> steps_;
    qint64 longestWithout_ = 0;
    int progressMoves_ = 0;  // the pairs count shown anew
    QStringList errors_;

private:
    TfmHaupt1 &window_;
    QElapsedTimer clock_;
    QString step_;
    qint64 stepStart_ = 0;
    int lastDone_ = -1;
    qint64 lastPump_ = 0;
};

struct Run {
    int rows = 0;
    qint64 ours = 0;
    qint64 engine = 0;
    bool same = false;

    double Ratio() const { return double(ours) / std::max<qint64>(engine, 1); }
    double MsPerRow() const { return double(ours) / std::max(rows, 1); }
};

Run ImportRun(const DemoOptions &options)
{
    QTemporaryDir work;
    qint64 generated = 0;
    const QString ours = CreateDemoProgram(work.path(), options, generated);
    const QString engine = work.path() + QStringLiteral("/engine.fdb");
    QFile::copy(ours, engine);
    std::printf("\nMASTER: %d rows, %d products, %d shades, generated in %lld ms\n", options.masterRows,
                options.products, options.shades, generated);

    Run run;
    run.rows = options.masterRows;
    {
        Program program(work.path() + QStringLiteral("/program"));
        program.Window().show();
        Observer observer(program.Window());
        run.ours = Timed([&] { MasterImport(program.DataModule(), observer).Run(); });
        observer.Finish();
        for (const QString &step : observer.order_)
            std::printf("  %-16s %10lld ms\n", qPrintable(step), observer.steps_[step]);
        std::printf("  longest stretch without message handling: %lld ms; the progress bar moved %d times\n",
                    observer.longestWithout_, observer.progressMoves_);
        for (const QString &text : observer.errors_)
            std::printf("  message box: %s\n", qPrintable(text));
    }
    run.engine = EngineImport(engine);
    run.same = Combinations(ours) == Combinations(engine);
    std::printf("  whole import: ours %lld ms (%.1f us per row), engine %lld ms, ratio %.2f; combinations equal: %s\n",
                run.ours, run.MsPerRow() * 1000.0, run.engine, run.Ratio(), run.same ? "yes" : "NO");
    return run;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    SetMessageBoxHook([](const MessageBoxRequest &request) { return request.defaultButton; });
    QList<Run> runs;
    if (argc == 4) {
        // PRODUCTS and SHADES 0: the fixed paint shop of the demo database.
        runs << ImportRun(DemoOptionsOf(atoi(argv[1]), atoi(argv[2]), atoi(argv[3])));
    } else {
        runs << ImportRun(DemoOptionsOf(100000, 100, 10000)) << ImportRun(DemoOptionsOf(1000000, 1000, 100000));
    }
    bool ok = true;
    std::printf("\n");
    for (const Run &run : runs) {
        std::printf("%d rows: ours / engine %.2f (target 4)\n", run.rows, run.Ratio());
        ok = ok && run.same && run.Ratio() <= 4;
    }
    if (runs.size() == 2) {
        const double perRow = runs[1].MsPerRow() / runs[0].MsPerRow();
        std::printf("time per row, 1,000,000 / 100,000: %.2f (target 1.2)\n", perRow);
        ok = ok && perRow <= 1.2;
    }
    return ok ? 0 : 1;
}
