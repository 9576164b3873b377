// The full "&Ja" import of a generated MASTER through the program's own code
// (offscreen, with its log, status texts and per-row lookups), against the
// engine's set-based equivalent on a copy of the same database.
//
//   bench_import [ROWS]   (default 100000 MASTER rows)
#include "app/application.h"
#include "app/msgbox.h"
#include "data/fmdm1.h"
#include "import/import.h"
#include "tools/demodata.h"
#include "ui/fmHaupt.h"
#include "ui/fmHinweis1.h"
#include "ui/fmWarten1.h"
#include "ui_fmHaupt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

struct Step {
    const char *name;
    const char *table;  // the table whose rows the step writes ("" for none)
    qint64 ours = 0;    // ms
    qint64 engine = 0;  // ms
    int rows = 0;
};

int Count(AdminConnection &c, const QString &table)
{
    return c.Rows(QStringLiteral("select count(*) from ") + table).at(0).at(0).toInt();
}

qint64 Timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.elapsed();
}

// The import as the engine would do it in whole sets.
void EngineImport(const QString &path, QList<Step> &steps)
{
    AdminConnection c(path);
    const auto dense = [&c](const QString &table, const QString &columns) {
        c.Run(QStringLiteral("insert into %1 select row_number() over (order by %2), %2 "
                             "from (select distinct %2 from MASTER)")
                  .arg(table, columns));
    };
    steps[0].engine = Timed([&] {
        for (const QStringList &statement : SchemaRebuildStatements()) {
            try {
                c.Run(statement.join(QStringLiteral("\r\n")));
            } catch (const Exception &) {
                // Refused exactly where the program's rebuild is refused.
            }
        }
    });
    steps[1].engine = Timed([&] { dense(QStringLiteral("RGBCOLORS"), QStringLiteral("RCOLOR, GCOLOR, BCOLOR")); });
    steps[2].engine = Timed([&] { dense(QStringLiteral("BASEN"), QStringLiteral("BASENAME")); });
    steps[3].engine = Timed([&] { dense(QStringLiteral("FARBEN"), QStringLiteral("COLORNUMBER")); });
    steps[4].engine = Timed([&] {
        c.Run(QStringLiteral("delete from KOLLEKTIONEN"));
        c.Run(QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) select 0, "
                             "row_number() over (order by COLORNAME), COLORNAME, 'J' "
                             "from (select distinct COLORNAME from MASTER)"));
        c.Run(QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME, KIMPORT) "
                             "select distinct M.PRODUCTID, K.KID, M.COLORNAME, 'J' from MASTER M "
                             "join KOLLEKTIONEN K on K.KNAME = M.COLORNAME and K.KPID = 0"));
    });
    steps[5].engine = Timed([&] {
        c.Run(QStringLiteral("insert into KOMBIDATEN select F.FID, K.KID, M.PRODUCTID, R.COLORID, B.BASEID, "
                             "M.FORMULADETAILSKEY, cast(M.COSTCODE as integer) from MASTER M "
                             "join FARBEN F on F.FNAME = M.COLORNUMBER "
                             "join BASEN B on B.BNAME = M.BASENAME "
                             "join KOLLEKTIONEN K on K.KNAME = M.COLORNAME and K.KPID = 0 "
                             "join RGBCOLORS R on R.RCOLOR = M.RCOLOR and R.GCOLOR = M.GCOLOR "
                             "and R.BCOLOR = M.BCOLOR"));
        c.Run(QStringLiteral("delete from MASTER"));
    });
    c.tr.Commit();
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

    QList<Step> steps{{"RecreateTables", ""},          {"CreateTableRGBCOLORS", "RGBCOLORS"},
                      {"CreateTableBASEN", "BASEN"},   {"CreateTableFARBEN", "FARBEN"},
                      {"CreateTableKOLLEKTIONEN", "KOLLEKTIONEN"}, {"CreateTableKOMBIDATEN", "KOMBIDATEN"}};

    // The program, as its entry creates it, on the program folder.
    TfmHaupt1::SetProgramFolder(programFolder);
    QStringList unexpected;
    SetMessageBoxHook([&unexpected](const MessageBoxRequest &request) {
        if (request.text != QStringLiteral("Fertig!") && request.buttons.size() == 1)
            unexpected << request.text;
        return request.defaultButton;
    });
    auto window = std::make_unique<TfmHaupt1>();
    fmHaupt1 = window.get();
    auto dataModule = std::make_unique<Tfmdm>();
    fmdm = dataModule.get();
    auto waitPopup = std::make_unique<TfmWarten>();
    fmWarten = waitPopup.get();
    auto noticeDialog = std::make_unique<TfmHinweis>();
    fmHinweis = noticeDialog.get();
    window->show();

    // Each builder starts with "SQL wird ausgeführt." (the collection builder
    // twice): the step boundaries.
    QElapsedTimer clock;
    QList<qint64> starts;
    QObject::connect(window->ui->sb1, &QStatusBar::messageChanged, [&](const QString &text) {
        if (text == QStringLiteral("SQL wird ausgeführt."))
            starts << clock.elapsed();
    });
    clock.start();
    window->btImportMasterClick();
    const qint64 total = clock.elapsed();
    if (starts.size() != 6) {
        std::printf("unexpected run: %lld status starts\n", static_cast<long long>(starts.size()));
        return 1;
    }
    const QList<qint64> bounds{0, starts[0], starts[1], starts[2], starts[3], starts[5], total};
    for (int i = 0; i < steps.size(); ++i)
        steps[i].ours = bounds[i + 1] - bounds[i];
    noticeDialog.reset();
    waitPopup.reset();
    window.reset();
    dataModule.reset();
    fmdm = nullptr;
    fmHaupt1 = nullptr;

    EngineImport(engine, steps);
    {
        AdminConnection c(ours);
        for (Step &step : steps)
            if (*step.table)
                step.rows = Count(c, QLatin1String(step.table));
    }
    const bool same = Combinations(ours) == Combinations(engine);

    qint64 engineTotal = 0;
    std::printf("%-24s %10s %12s %10s %12s %8s\n", "step", "rows", "ours ms", "rows/s", "engine ms", "ratio");
    for (const Step &step : steps) {
        engineTotal += step.engine;
        std::printf("%-24s %10d %12lld %10.0f %12lld %8.1f\n", step.name, step.rows, step.ours,
                    step.rows * 1000.0 / std::max<qint64>(step.ours, 1), step.engine,
                    double(step.ours) / std::max<qint64>(step.engine, 1));
    }
    std::printf("%-24s %10s %12lld %10.0f %12lld %8.1f\n", "whole import", "", total,
                masterRows * 1000.0 / std::max<qint64>(total, 1), engineTotal,
                double(total) / std::max<qint64>(engineTotal, 1));
    std::printf("combinations equal to the engine's: %s\n", same ? "yes" : "NO");
    for (const QString &text : unexpected)
        std::printf("message box: %s\n", qPrintable(text));
    return same && unexpected.isEmpty() ? 0 : 1;
}
