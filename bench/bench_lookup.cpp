// The six list loads and the detail lookup through the program's own code
// (offscreen), each against a raw fetch of the same statement, on an
// imported database of 1,000,000 combinations, 1,000 products and 100,000
// shades. Each load also takes down the longest stretch in which the window
// handled no message.
//
//   bench_lookup [ROWS PRODUCTS SHADES]
#include "engineimport.h"

#include "app/application.h"
#include "app/program.h"
#include "data/fmdm1.h"
#include "data/sql.h"
#include "tools/demodata.h"
#include "ui/fmHaupt.h"
#include "ui/msgbox.h"
#include "ui_fmHaupt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

struct Measure {
    qint64 ms = 0;
    qint64 longestWithoutMessages = 0;
};

// Runs the work with a zero-time timer that ticks whenever the window
// handles its messages; the longest gap between ticks (and to the start and
// the end) is the longest stretch without message handling.
Measure Watched(const std::function<void()> &work)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    ticks.setInterval(0);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticks.start();
    clock.start();
    work();
    const qint64 ms = clock.elapsed();
    return {ms, std::max(longest, ms - last)};
}

// Opens the statement on a query of its own and reads the two columns of
// every row: what any load has to do at least.
qint64 RawFetch(Tfmdm &dm, const QStringList &statement, const QString &name, const QString &id)
{
    TIBQuery query(QStringLiteral("qrRaw"), &dm.ib1, &dm.ibTa1);
    SetStatement(query, statement);
    return Timed([&] {
        query.OpenQuery();
        TField &n = query.ColumnByName(name);
        TField &i = query.ColumnByName(id);
        QString sink;
        for (; !query.AtEnd(); query.ToNextRow())
            sink = n.AsString() + i.AsString();
    });
}

// Selects the list's row of that id, as a click would.
void Select(QListWidget *names, QListWidget *ids, const QString &id)
{
    for (int i = 0; i < ids->count(); ++i)
        if (ids->item(i)->text() == id) {
            names->setCurrentRow(i);
            return;
        }
    std::printf("no row with id %s\n", qPrintable(id));
    std::exit(2);
}

struct Load {
    QString name;
    int rows = 0;
    qint64 raw = 0;
    Measure ours;
};

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    SetMessageBoxHook([](const MessageBoxRequest &request) { return request.defaultButton; });
    DemoOptions options;
    options.masterRows = argc == 4 ? atoi(argv[1]) : 1000000;
    options.products = argc == 4 ? atoi(argv[2]) : 1000;
    options.shades = argc == 4 ? atoi(argv[3]) : 100000;

    QTemporaryDir work;
    const QString programFolder = work.path() + QStringLiteral("/program");
    const QString path = programFolder + QStringLiteral("/Daten/QELMPREISE.fdb");
    QDir().mkpath(programFolder + QStringLiteral("/Daten"));
    const qint64 generated = Timed([&] { CreateDemoDatabase(path, options); });
    const qint64 imported = EngineImport(path);
    std::printf("%d combinations, %d products, %d shades: generated in %lld ms, imported in %lld ms\n",
                options.masterRows, options.products, options.shades, generated, imported);

    Program program(programFolder);
    TfmHaupt1 &window = program.Window();
    Ui::TfmHaupt1 &ui = *window.ui;
    window.show();
    Tfmdm &dm = program.DataModule();
    ForwardSearch &forward = window.Forward();
    BackwardSearch &backward = window.Backward();

    // The busiest product, its busiest collection, the shade with most
    // collections: the longest lists of each level.
    AdminConnection admin(path);
    const auto first = [&admin](const QString &select) { return admin.Rows(select).at(0).at(0); };
    const QString product = first(QStringLiteral(
        "select first 1 K_PID from KOMBIDATEN group by K_PID order by count(distinct K_KID) desc, K_PID"));
    const QString collection = first(QStringLiteral("select first 1 K_KID from KOMBIDATEN where K_PID = %1 "
                                                    "group by K_KID order by count(*) desc, K_KID")
                                         .arg(product));
    const QString shade = first(QStringLiteral(
        "select first 1 K_FID from KOMBIDATEN group by K_FID order by count(distinct K_KID) desc, count(*) desc"));
    const QString shadeCollection =
        first(QStringLiteral("select first 1 K_KID from KOMBIDATEN where K_FID = %1 group by K_KID "
                             "order by count(*) desc, K_KID")
                  .arg(shade));

    QList<Load> loads;
    // A load through the program, its statement fetched raw; best of three
    // each, so that both read warm pages.
    const auto measure = [&](const QString &name, SearchDirection &search, int level,
                             const std::function<void()> &prepare, const std::function<void()> &load) {
        const bool back = &search == &backward;
        const QStringList columns = level == 0 ? (back ? QStringList{"FNAME", "FID"} : QStringList{"PNAME", "PID"})
                                    : level == 1 ? QStringList{"KNAME", "KID"}
                                                 : (back ? QStringList{"PNAME", "PID"} : QStringList{"FNAME", "FID"});
        Load result{name, 0, std::numeric_limits<qint64>::max(), {std::numeric_limits<qint64>::max(), 0}};
        for (int i = 0; i < 3; ++i) {
            prepare();
            result.raw = std::min(result.raw, RawFetch(dm, search.Statement(level), columns[0], columns[1]));
            const Measure ours = Watched(load);
            result.ours.ms = std::min(result.ours.ms, ours.ms);
            result.ours.longestWithoutMessages = std::max(result.ours.longestWithoutMessages,
                                                          ours.longestWithoutMessages);
        }
        result.rows = (back ? ui.lbRSel : ui.lbSel)->count();
        loads << result;
    };

    measure(QStringLiteral("products, all"), forward, 0, [&] { ui.edSelProd->clear(); },
            [&] { forward.Load(0); });
    measure(QStringLiteral("collections of a product"), forward, 1,
            [&] {
                forward.Reset();
                Select(ui.lbSel, ui.lbSelID, product);
                // The statement is read before the pick; the pick sets its id.
                forward.Choose();
            },
            [&] { forward.Load(1); });
    measure(QStringLiteral("shades of a collection"), forward, 2,
            [&] {
                forward.Load(1);
                Select(ui.lbSel, ui.lbSelID, collection);
                forward.Choose();
            },
            [&] { forward.Load(2); });
    // The detail lookup: the combination and its notice.
    Load detail{QStringLiteral("detail lookup"), 1, 0, {}};
    {
        const QStringList statement{QStringLiteral("select * from KOMBIDATEN"),
                                    QStringLiteral(" left join BASEN     on BASEID  = K_BASEID"),
                                    QStringLiteral(" left join RGBCOLORS on COLORID = K_COLORID"),
                                    QStringLiteral("where K_PID  = ") + product,
                                    QStringLiteral("and   K_KID  = ") + collection,
                                    QStringLiteral("and   K_FID  = ") + ui.lbSelID->item(0)->text()};
        detail.raw = RawFetch(dm, statement, QStringLiteral("BNAME"), QStringLiteral("K_COST"));
        ui.lbSel->setCurrentRow(0);
        detail.ours = Watched([&] { forward.Choose(); });
    }

    ui.pcSuche->setCurrentWidget(ui.tsRueck);
    measure(QStringLiteral("shades matching \"a\""), backward, 0, [&] { ui.edRSelFarb->setText(QStringLiteral("a")); },
            [&] { backward.Load(0); });
    measure(QStringLiteral("collections of a shade"), backward, 1,
            [&] {
                backward.Reset();
                ui.edRSelFarb->setText(first(QStringLiteral("select FNAME from FARBEN where FID = ") + shade));
                backward.Load(0);
                Select(ui.lbRSel, ui.lbRSelID, shade);
                backward.Choose();
            },
            [&] { backward.Load(1); });
    measure(QStringLiteral("products of a shade"), backward, 2,
            [&] {
                backward.Load(1);
                Select(ui.lbRSel, ui.lbRSelID, shadeCollection);
                backward.Choose();
            },
            [&] { backward.Load(2); });
    loads.insert(3, detail);

    bool ok = true;
    std::printf("%-26s %8s %9s %9s %10s %12s\n", "load", "rows", "raw ms", "ours ms", "target ms", "longest gap");
    for (const Load &l : loads) {
        const qint64 target = l.raw * 3 / 2 + 20;
        ok = ok && l.ours.ms <= target && l.ours.longestWithoutMessages < 100;
        std::printf("%-26s %8d %9lld %9lld %10lld %9lld ms\n", qPrintable(l.name), l.rows, l.raw, l.ours.ms, target,
                    l.ours.longestWithoutMessages);
    }
    const auto worst = std::max_element(loads.begin(), loads.end(), [](const Load &a, const Load &b) {
        return double(a.ours.ms) / (a.raw * 1.5 + 20) < double(b.ours.ms) / (b.raw * 1.5 + 20);
    });
    const qint64 gap = std::max_element(loads.begin(), loads.end(), [](const Load &a, const Load &b) {
                           return a.ours.longestWithoutMessages < b.ours.longestWithoutMessages;
                       })->ours.longestWithoutMessages;
    std::printf("worst load / (1.5 x raw + 20 ms): %.2f (target 1), %s\n",
                double(worst->ours.ms) / (worst->raw * 1.5 + 20), qPrintable(worst->name));
    std::printf("longest stretch without message handling: %lld ms (target under 100)\n", gap);
    return ok ? 0 : 1;
}
