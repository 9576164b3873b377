// Our full "&Ja" import of a generated MASTER as the administrator starts it
// in the window (offscreen): the click's handler, the run on a thread and a
// connection of its own, the status bar and the progress bar; every message
// box takes its default answer. Against it the engine's set-based import of
// the same database (engineimport.cpp), and beside that the engine's import
// pair by pair with the commits the program's import must make: what those
// commits alone cost. They take turns on fresh copies of one generated
// database, ours first, round after round, and each figure
// is the median of the rounds, so that a busy moment of the machine cannot
// decide it.
//
// Profiles:
//   ordered    1,000,000 rows, 1,000 products, 100,000 shades, MASTER listed
//              product by product as a formula export delivers it;
//              goal: ours within 2.5 times the engine.
//   scattered  100,000 rows, 200 products, 10,000 shades, MASTER in the
//              order of generation, so that the rows of each of its
//              product-collection pairs lie spread over the whole table;
//              goal: within 3 times the engine.
// For both: the window's thread handles its messages at least every 50 ms
// (the longest stretch without, taken by a 1 ms timer there), and the
// process writes at most 10 times the size of the database it leaves; then
// the program, started on the database ours left, runs its first filtered
// search within twice the time of the next and ends within half a second. The
// exit code is 0 only when every goal is met and ours leaves the same tables
// as the engine in every round.
//
//   bench_import                                     both profiles
//   bench_import --scattered                         the scattered profile
//   bench_import ROWS PRODUCTS SHADES [--scattered]  one profile of that size,
//                                                    ordered unless --scattered
//   any of them with --rounds N                      N rounds (default 3)
#include "coldstart.h"
#include "engineimport.h"
#include "measure.h"
#include "rawclient.h"

#include "app/application.h"
#include "app/program.h"
#include "tools/demodata.h"
#include "ui/fmHaupt.h"
#include "ui/msgbox.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Profile {
    QString name;
    DemoOptions options;
    double goal = 0;  // ours / engine
};

constexpr qint64 kLongestGoalMs = 50;
constexpr double kWrittenGoal = 10;  // bytes written / database size
// The window's timer: a zero-time one would spin on one of the machine's
// cores and more than double the time of the import's own thread.
constexpr int kTickMs = 1;

Profile Ordered(int rows, int products, int shades)
{
    return {QStringLiteral("ordered"), DemoOptionsOf(rows, products, shades), 2.5};
}

Profile Scattered(int rows, int products, int shades)
{
    Profile profile{QStringLiteral("scattered"), DemoOptionsOf(rows, products, shades), 3};
    profile.options.byProduct = false;
    return profile;
}

// How MASTER lies: its product-collection pairs, and the runs of rows of
// one pair in the table's own order (as many as the pairs when MASTER lists
// them pair by pair).
struct Layout {
    int pairs = 0;
    qint64 runs = 0;
};

Layout LayoutOf(const QString &path)
{
    RawConnection c(path);
    RawCursor rows(c, {QStringLiteral("select PRODUCTID, COLORNAME from MASTER")});
    QSet<QString> pairs;
    Layout layout;
    QString last;
    while (rows.Next()) {
        const QString pair = rows.Text(0) + QLatin1Char('\n') + rows.Text(1);
        if (pair != last)
            ++layout.runs;
        pairs.insert(pair);
        last = pair;
    }
    layout.pairs = static_cast<int>(pairs.size());
    return layout;
}

// The import's steps as the progress bar names them, with the time each
// took; before the first, the checks before the question.
class Steps {
public:
    void Seen(const QProgressBar &bar, qint64 now)
    {
        if (!bar.isVisible())
            return;
        // "Step", or "Step: %v von %m" with the time left after it.
        Begin(bar.format().section(QLatin1Char(':'), 0, 0), now);
    }
    QString Finish(qint64 now)
    {
        Begin(QString(), now);
        QStringList parts;
        for (const auto &[step, ms] : done_)
            parts << QStringLiteral("%1 %2").arg(step).arg(ms);
        return parts.join(QStringLiteral(", "));
    }

private:
    void Begin(const QString &step, qint64 now)
    {
        if (step == current_)
            return;
        done_.push_back({current_, now - start_});
        current_ = step;
        start_ = now;
    }

    QString current_ = QStringLiteral("Prüfungen");
    qint64 start_ = 0;
    std::vector<std::pair<QString, qint64>> done_;
};

// The error boxes of the run under way, and whether it said "Fertig!".
QStringList *g_errors = nullptr;
bool g_finished = false;

struct Round {
    qint64 ours = 0;
    qint64 engine = 0;
    qint64 floor = 0;  // the engine pair by pair, with the import's commits
    qint64 longest = 0;
    qint64 written = 0;  // to storage
    qint64 handed = 0;   // in write calls
    qint64 size = 0;
    QString steps;
    QString difference;  // empty: the same tables
    QStringList errors;
    ColdStart cold;  // a start of the program on the database ours left

    double Ratio() const { return double(ours) / std::max<qint64>(engine, 1); }
    double FloorRatio() const { return double(floor) / std::max<qint64>(engine, 1); }
    double OverFloor() const { return double(ours) / std::max<qint64>(floor, 1); }
    double WrittenPerSize() const { return double(written) / std::max<qint64>(size, 1); }
    double HandedPerSize() const { return double(handed) / std::max<qint64>(size, 1); }
};

// Ours on one copy of the database, through the window.
void OurImport(const QString &root, const QString &pristine, Round &round)
{
    const QString path = ProgramDatabase(root);
    QFile::copy(pristine, path);
    g_errors = &round.errors;
    g_finished = false;
    {
        Program program(root + QStringLiteral("/program"));
        TfmHaupt1 &window = program.Window();
        window.show();
        const auto *bar = window.findChild<QProgressBar *>(QStringLiteral("pbImport"));
        Steps steps;
        const Written before = WrittenBytes();
        const Measure m = Watched(
            [&] {
                try {
                    window.btImportMasterClick();
                } catch (const Exception &e) {
                    round.errors << e.Message();
                }
            },
            [&](qint64 now) { steps.Seen(*bar, now); }, kTickMs);
        const Written after = WrittenBytes();
        round.written = after.storage - before.storage;
        round.handed = after.calls - before.calls;
        round.ours = m.ms;
        round.longest = m.longestWithoutMessages;
        round.steps = steps.Finish(m.ms);
    }
    g_errors = nullptr;
    if (!g_finished)
        round.errors << QStringLiteral("no \"Fertig!\"");
    round.size = QFileInfo(path).size();
    round.cold = ColdStarts(root + QStringLiteral("/program"), 1);
}

Round RunRound(const QString &pristine, bool scattered)
{
    QTemporaryDir work;
    Round round;
    OurImport(work.path(), pristine, round);
    const QString engine = work.path() + QStringLiteral("/engine.fdb");
    QFile::copy(pristine, engine);
    round.engine = EngineImport(engine);
    const QString floor = work.path() + QStringLiteral("/floor.fdb");
    QFile::copy(pristine, floor);
    round.floor = EngineImport(floor, true, scattered);
    try {
        round.difference = FirstDifference(ProgramDatabase(work.path()), engine);
        if (round.difference.isEmpty())
            round.difference = FirstDifference(floor, engine);
    } catch (const Exception &e) {
        // A table that ours left missing, say.
        round.difference = e.Message();
    }
    return round;
}

double MedianOf(const std::vector<Round> &rounds, double (*value)(const Round &))
{
    std::vector<double> values;
    for (const Round &round : rounds)
        values.push_back(value(round));
    return Median(values);
}

// Runs the profile's rounds and prints them; true when its goals are met.
bool RunProfile(const Profile &profile, int roundCount)
{
    QTemporaryDir work;
    const QString pristine = work.path() + QStringLiteral("/delivered.fdb");
    const qint64 generated = Timed([&] { CreateDemoDatabase(pristine, profile.options); });
    const Layout layout = LayoutOf(pristine);
    std::printf("\n%s: MASTER of %d rows, %d products, %d shades, %d product-collection pairs in %lld runs; "
                "generated in %lld ms\n",
                qPrintable(profile.name), profile.options.masterRows, profile.options.products,
                profile.options.shades, layout.pairs, layout.runs, generated);
    std::fflush(stdout);

    std::vector<Round> rounds;
    bool same = true;
    for (int i = 1; i <= roundCount; ++i) {
        const Round round = RunRound(pristine, layout.runs > layout.pairs);
        std::printf("  round %d: ours %lld ms (%s), engine %lld ms, ratio %.2f; engine pair by pair %lld ms "
                    "(%.2f of the engine); longest stretch %lld ms; "
                    "written %.1f MB (in write calls %.1f MB), database %.1f MB; tables equal: %s; then a start: "
                    "first search %lld ms, the next %lld ms, quitting %lld ms\n",
                    i, round.ours, qPrintable(round.steps), round.engine, round.Ratio(), round.floor,
                    round.FloorRatio(), round.longest,
                    round.written / 1e6, round.handed / 1e6, round.size / 1e6,
                    round.difference.isEmpty() ? "yes" : qPrintable(QStringLiteral("NO, ") + round.difference),
                    round.cold.first, round.cold.later, round.cold.quit);
        for (const QString &error : round.errors)
            std::printf("  error: %s\n", qPrintable(error));
        std::fflush(stdout);
        same = same && round.difference.isEmpty() && round.errors.isEmpty();
        rounds.push_back(round);
    }
    const double ours = MedianOf(rounds, [](const Round &r) { return double(r.ours); });
    const double engine = MedianOf(rounds, [](const Round &r) { return double(r.engine); });
    const double ratio = MedianOf(rounds, [](const Round &r) { return r.Ratio(); });
    const double floor = MedianOf(rounds, [](const Round &r) { return double(r.floor); });
    const double floorRatio = MedianOf(rounds, [](const Round &r) { return r.FloorRatio(); });
    const double overFloor = MedianOf(rounds, [](const Round &r) { return r.OverFloor(); });
    const double longest = MedianOf(rounds, [](const Round &r) { return double(r.longest); });
    const double written = MedianOf(rounds, [](const Round &r) { return r.WrittenPerSize(); });
    const double handed = MedianOf(rounds, [](const Round &r) { return r.HandedPerSize(); });
    const double cold = MedianOf(rounds, [](const Round &r) { return r.cold.Ratio(); });
    const double quit = MedianOf(rounds, [](const Round &r) { return double(r.cold.quit); });
    std::printf("%s, %d rows, medians of %d rounds: ours %.0f ms, engine %.0f ms, ratio %.2f (goal %.1f); "
                "the engine pair by pair with the import's commits %.0f ms, %.2f of the engine, ours %.2f of it; "
                "longest stretch without message handling %.0f ms (goal under %lld); "
                "bytes written / database size %.1f (goal %.0f; in write calls %.1f); after the import, "
                "first search / next %.2f "
                "(goal %.0f), quitting %.0f ms (goal %lld)\n",
                qPrintable(profile.name), profile.options.masterRows, roundCount, ours, engine, ratio,
                profile.goal, floor, floorRatio, overFloor, longest, kLongestGoalMs, written, kWrittenGoal, handed,
                cold, kColdGoal, quit, kQuitGoalMs);
    return same && ratio <= profile.goal && longest < kLongestGoalMs && written <= kWrittenGoal && cold <= kColdGoal &&
           quit <= kQuitGoalMs;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    SetMessageBoxHook([](const MessageBoxRequest &request) {
        if (g_errors && (request.kind == MsgKind::Error || request.kind == MsgKind::General))
            *g_errors << request.text;
        if (request.kind == MsgKind::Information && request.text == QStringLiteral("Fertig!"))
            g_finished = true;
        return request.defaultButton;
    });

    QStringList args = app.arguments().mid(1);
    int rounds = 3;
    const qsizetype roundsAt = args.indexOf(QStringLiteral("--rounds"));
    if (roundsAt >= 0 && roundsAt + 1 < args.size()) {
        rounds = std::max(1, args.at(roundsAt + 1).toInt());
        args.remove(roundsAt, 2);
    }
    const bool scattered = args.removeAll(QStringLiteral("--scattered")) > 0;
    QList<Profile> profiles;
    if (args.size() == 3) {
        const int rows = args.at(0).toInt(), products = args.at(1).toInt(), shades = args.at(2).toInt();
        profiles << (scattered ? Scattered(rows, products, shades) : Ordered(rows, products, shades));
    } else if (args.isEmpty()) {
        if (!scattered)
            profiles << Ordered(1000000, 1000, 100000);
        profiles << Scattered(100000, 200, 10000);
    } else {
        std::fprintf(stderr, "usage: bench_import [ROWS PRODUCTS SHADES] [--scattered] [--rounds N]\n");
        return 2;
    }
    bool ok = true;
    for (const Profile &profile : profiles)
        ok = RunProfile(profile, rounds) && ok;
    return ok ? 0 : 1;
}
