// One start of the program on a program folder, as a separate process: the
// real start-up and, when it offers the import, a click on "Import
// Master-Table" with every box answered by its default button.
//
//   helper_importrun FOLDER [--kill-at-status N] [--kill-at-log N] [--kill-after-ms MS]
//                    [--signal-after-ms MS | --signal-at-status K:TEXT] [--signal N] [--statuses]
//
// The kill options send SIGKILL to the process itself at the Nth status text,
// once the day's log holds N entries (a watcher thread: the run goes on for a
// moment), or MS milliseconds after the click. --signal-after-ms and
// --signal-at-status (the K-th time the status bar shows TEXT) send the
// signal N (SIGTERM by default) instead, which the program handles as the
// program does. Output, one line each:
// "offered 0|1", "box KIND DEFAULT TEXT", "status N TEXT" (with --statuses),
// "rebuilt-ms MS" (click to the first status text: the schema rebuild),
// "built-ms MS" (click to the combination builder's first MASTER read: the
// rebuild, the lookup builders and the collection builder),
// "run-ms MS", and "done" once "Fertig!" was shown; CR LF printed as "|".
#include "app/application.h"
#include "app/endsignals.h"
#include "app/logfile.h"
#include "ui/msgbox.h"
#include "support/programrun.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStatusBar>

#include <chrono>
#include <cstdio>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Unbuffered: a killed process loses nothing it printed.
void Print(const QString &line)
{
    QString text = line;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    const QByteArray bytes = text.toUtf8() + '\n';
    if (::write(STDOUT_FILENO, bytes.constData(), static_cast<size_t>(bytes.size())) < 0)
        std::perror("write");
}

[[noreturn]] void KillSelf()
{
    ::kill(::getpid(), SIGKILL);
    for (;;)
        ::pause();
}

// Counts the entries of the day's log as they are appended (each starts a
// line with its date) and kills the process at the Nth.
void KillAtLogEntry(const QString &programFolder, int n)
{
    const QString name = programFolder + QLatin1Char('/') + LogFileName(QDate::currentDate());
    const QString folder = QFileInfo(name).path();
    QDir().mkpath(folder);
    const QByteArray file = name.toLocal8Bit();
    const int watch = inotify_init();
    if (watch < 0 || inotify_add_watch(watch, folder.toLocal8Bit().constData(), IN_MODIFY | IN_CREATE) < 0) {
        std::perror("inotify");
        return;
    }
    std::thread([watch, file, n] {
        int entries = 0;
        off_t offset = 0;
        char previous = '\n';
        char events[4096];
        char buffer[65536];
        while (::read(watch, events, sizeof events) > 0) {
            const int fd = ::open(file.constData(), O_RDONLY);
            if (fd < 0)
                continue;
            ssize_t got;
            while ((got = ::pread(fd, buffer, sizeof buffer, offset)) > 0) {
                for (ssize_t i = 0; i < got; ++i) {
                    if (previous == '\n' && buffer[i] >= '0' && buffer[i] <= '9' && ++entries >= n)
                        KillSelf();
                    previous = buffer[i];
                }
                offset += got;
            }
            ::close(fd);
        }
    }).detach();
}

}  // namespace

int main(int argc, char **argv)
{
    EndSignals::Block();
    TApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: helper_importrun FOLDER [--kill-at-status N] [--kill-at-log N] "
                             "[--kill-after-ms MS] [--signal-after-ms MS | --signal-at-status K:TEXT] [--signal N] "
                             "[--statuses]\n");
        return 2;
    }
    const auto option = [&args](const char *name, int absent) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at > 0 ? args.value(at + 1).toInt() : absent;
    };
    const int killAtStatus = option("--kill-at-status", 0);
    const int killAtLog = option("--kill-at-log", 0);
    const int killAfterMs = option("--kill-after-ms", -1);
    const int signalAfterMs = option("--signal-after-ms", -1);
    const int signal = option("--signal", SIGTERM);
    const qsizetype statusAt = args.indexOf(QStringLiteral("--signal-at-status"));
    const QString signalStatus = statusAt > 0 ? args.value(statusAt + 1).section(QLatin1Char(':'), 1) : QString();
    int signalOccurrence = statusAt > 0 ? args.value(statusAt + 1).section(QLatin1Char(':'), 0, 0).toInt() : 0;
    const bool printStatuses = args.contains(QStringLiteral("--statuses"));

    bool done = false;
    ProgramRun run(args.at(1), [&done](const MessageBoxRequest &request) {
        Print(QStringLiteral("box %1 %2 %3")
                  .arg(static_cast<int>(request.kind))
                  .arg(static_cast<int>(request.defaultButton))
                  .arg(request.text));
        done = done || request.text == QStringLiteral("Fertig!");
        return request.defaultButton;
    });
    const EndSignals ending([&run] { run.window().EndProgram(); });
    const bool offered = !run.ui().btImportMaster->isHidden();
    Print(QStringLiteral("offered %1").arg(offered ? 1 : 0));
    if (!offered)
        return 0;

    QElapsedTimer clock;
    int statuses = 0;
    qint64 rebuiltMs = -1;
    qint64 builtMs = -1;
    QObject::connect(run.ui().sb1, &QStatusBar::messageChanged, [&](const QString &text) {
        ++statuses;
        if (rebuiltMs < 0)
            rebuiltMs = clock.elapsed();
        if (builtMs < 0 && text == QStringLiteral("MASTER wird geöffnet..."))
            builtMs = clock.elapsed();
        if (printStatuses)
            Print(QStringLiteral("status %1 %2").arg(statuses).arg(text));
        if (statuses == killAtStatus)
            KillSelf();
        if (text == signalStatus && --signalOccurrence == 0)
            ::kill(::getpid(), signal);
    });
    if (killAtLog > 0)
        KillAtLogEntry(args.at(1), killAtLog);
    if (killAfterMs >= 0)
        std::thread([killAfterMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs));
            KillSelf();
        }).detach();
    if (signalAfterMs >= 0)
        std::thread([signalAfterMs, signal] {
            std::this_thread::sleep_for(std::chrono::milliseconds(signalAfterMs));
            ::kill(::getpid(), signal);
        }).detach();
    clock.start();
    run.Click(run.ui().btImportMaster);
    Print(QStringLiteral("rebuilt-ms %1").arg(rebuiltMs));
    Print(QStringLiteral("built-ms %1").arg(builtMs));
    Print(QStringLiteral("run-ms %1").arg(clock.elapsed()));
    if (done)
        Print(QStringLiteral("done"));
    if (run.window().Ending())
        Print(QStringLiteral("ending"));
    return 0;
}
