// The full "&Ja" import of a generated MASTER through the program's own code
// (offscreen, its window's status bar, progress bar and log), against the
// engine's set-based equivalent on a copy of the same database.
//
//   bench_import [ROWS]   (default 100000 MASTER rows)
#include "app/application.h"
#include "app/program.h"
#include "data/fmdm1.h"
#include "import/masterimport.h"
#include "tools/demodata.h"
#include "ui/fmHaupt.h"
#include "ui/msgbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

namespace {

qint64 Timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.elapsed();
}

// The window as the import's observer, with the time of each step and the
// longest stretch without message handling taken down.
class Observer : public ImportObserver {
public:
    explicit Observer(TfmHaupt1 &window) : window_(window) { clock_.start(); }

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
    void ShowError(const QString &text) override { errors_ << text; }
    void ShowInformation(const QString &) override {}
    bool Ask(const QString &, bool yesByDefault) override { return yesByDefault; }

    void Finish() { Progress(QString(), 0, 0); }

    std::map<QString, qint64> steps_;
    std::vector<QString> order_;
    qint64 longestWithout_ = 0;
    QStringList errors_;

private:
    TfmHaupt1 &window_;
    QElapsedTimer clock_;
    QString step_;
    qint64 stepStart_ = 0;
    qint64 lastPump_ = 0;
};

// The import as the engine would do it in whole sets.
qint64 EngineImport(const QString &path)
{
    AdminConnection c(path);
    const auto dense = [&c](const QString &table, const QString &columns) {
        c.Run(QStringLiteral("insert into %1 select row_number() over (order by %2), %2 "
                             "from (select distinct %2 from MASTER)")
                  .arg(table, columns));
    };
    const qint64 ms = Timed([&] {
        for (const QStringList &statement : SchemaRebuildStatements()) {
            try {
                c.Run(statement.join(QStringLiteral("\r\n")));
            } catch (const Exception &) {
                // Refused exactly where the program's rebuild is refused.
            }
        }
        dense(QStringLiteral("RGBCOLORS"), QStringLiteral("RCOLOR, GCOLOR, BCOLOR"));
        dense(QStringLiteral("BASEN"), QStringLiteral("BASENAME"));
        dense(QStringLiteral("FARBEN"), QStringLiteral("COLORNUMBER"));
        c.Run(QStringLiteral("delete from KOLLEKTIONEN"));
        c.Run(QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) select 0, "
                             "row_number() over (order by COLORNAME), COLORNAME, 'J' "
                             "from (select distinct COLORNAME from MASTER)"));
        c.Run(QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) "
                             "select distinct M.PRODUCTID, K.KID, M.COLORNAME, 'J' from MASTER M "
                             "join KOLLEKTIONEN K on K.KNAME = M.COLORNAME and K.KPID = 0"));
        c.Run(QStringLiteral("insert into KOMBIDATEN select F.FID, K.KID, M.PRODUCTID, R.COLORID, B.BASEID, "
                             "M.FORMULADETAILSKEY, cast(M.COSTCODE as integer) from MASTER M "
                             "join FARBEN F on F.FNAME = M.COLORNUMBER "
                             "join BASEN B on B.BNAME = M.BASENAME "
                             "join KOLLEKTIONEN K on K.KNAME = M.COLORNAME and K.KPID = 0 "
                             "join RGBCOLORS R on R.RCOLOR = M.RCOLOR and R.GCOLOR = M.GCOLOR "
                             "and R.BCOLOR = M.BCOLOR"));
        c.Run(QStringLiteral("delete from MASTER"));
        c.tr.Commit();
    });
    return ms;
}

QList<QStringList> Combinations(const QString &path)
{
    AdminConnection c(path);
    QList<QStringList> rows = c.Rows(QStringLiteral(
        "select K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST from KOMBIDATEN"));
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    const int masterRows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir work;
    const QString programFolder = work.path() + QStringLiteral("/program");
    const QString ours = programFolder + QStringLiteral("/Daten/QELMPREISE.fdb");
    const QString engine = work.path() + QStringLiteral("/engine.fdb");
    QDir().mkpath(programFolder + QStringLiteral("/Daten"));

    const qint64 generated = Timed([&] {
        DemoOptions options;
        options.masterRows = masterRows;
        CreateDemoDatabase(ours, options);
    });
    QFile::copy(ours, engine);
    std::printf("MASTER: %d rows, generated in %lld ms\n", masterRows, generated);

    SetMessageBoxHook([](const MessageBoxRequest &request) { return request.defaultButton; });
    qint64 total = 0;
    {
        Program program(programFolder);
        program.Window().show();
        Observer observer(program.Window());
        total = Timed([&] { MasterImport(program.DataModule(), observer).Run(); });
        observer.Finish();
        std::printf("%-16s %10s\n", "step", "ours ms");
        for (const QString &step : observer.order_)
            std::printf("%-16s %10lld\n", qPrintable(step), observer.steps_[step]);
        std::printf("longest stretch without message handling: %lld ms\n", observer.longestWithout_);
        for (const QString &text : observer.errors_)
            std::printf("message box: %s\n", qPrintable(text));
    }
    const qint64 engineMs = EngineImport(engine);
    const bool same = Combinations(ours) == Combinations(engine);
    std::printf("whole import: ours %lld ms, engine %lld ms, %.0f rows/s\n", total, engineMs,
                masterRows * 1000.0 / std::max<qint64>(total, 1));
    std::printf("combinations equal to the engine's: %s\n", same ? "yes" : "NO");
    std::printf("ratio ours / engine: %.2f (target 4)\n", double(total) / std::max<qint64>(engineMs, 1));
    return same ? 0 : 1;
}
