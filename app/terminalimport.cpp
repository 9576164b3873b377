#include "app/terminalimport.h"

#include "app/endsignals.h"
#include "app/logfile.h"
#include "app/startup.h"
#include "data/credentials.h"
#include "data/fmdm1.h"
#include "import/importobserver.h"
#include "import/masterimport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <optional>

#include <unistd.h>

namespace {

constexpr qint64 kTerminalLineMs = 200;  // a progress line on a terminal
constexpr qint64 kFileLineMs = 10000;    // one into a file or a pipe

QByteArray Plain(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return plain.toLocal8Bit();
}

class TerminalObserver : public ImportObserver {
public:
    TerminalObserver(LogFile &log, std::optional<bool> full, const bool &ending)
        : log_(log), full_(full), ending_(ending), tty_(::isatty(STDOUT_FILENO) == 1)
    {
        sinceLine_.start();
    }

    bool Finished() const { return finished_; }

    void Status(const QString &text) override
    {
        status_ = text;
        ShowProgress(false);
    }
    void Progress(const QString &step, int done, int total) override
    {
        const bool newStep = step != step_;
        if (newStep)
            status_.clear();
        step_ = step;
        done_ = done;
        total_ = total;
        ShowProgress(newStep);
    }
    bool ProcessPendingMessages() override
    {
        QCoreApplication::processEvents();
        return !ending_;
    }
    void BringToFront() override {}
    void Log(const QString &text) override { log_.Write(text); }
    void FlushLog() override { log_.Flush(); }
    void ShowError(const QString &text) override
    {
        EndLine();
        std::fprintf(stderr, "%s\n", Plain(text).constData());
    }
    void ShowInformation(const QString &text) override
    {
        EndLine();
        std::printf("%s\n", Plain(text).constData());
        std::fflush(stdout);
        finished_ = finished_ || text.startsWith(QStringLiteral("Fertig!"));
    }
    bool Ask(const QString &question, bool yesByDefault) override
    {
        // --full answers the question with "Ja", --pending with "Nein";
        // without either, and for the warning that a rebuild loses imported
        // combinations, the window's default holds: the terminal never
        // confirms a loss.
        const bool yes = asked_ ? yesByDefault : full_.value_or(yesByDefault);
        asked_ = true;
        EndLine();
        std::printf("%s\n-> %s\n", Plain(question).constData(), yes ? "Ja" : "Nein");
        std::fflush(stdout);
        return yes;
    }

private:
    void ShowProgress(bool newStep)
    {
        if (!newStep && sinceLine_.elapsed() < (tty_ ? kTerminalLineMs : kFileLineMs))
            return;
        sinceLine_.restart();
        QString line = step_;
        if (total_ > 0)
            line += QStringLiteral(": %1 von %2").arg(done_).arg(total_);
        const QString left = timeLeft_.Text(step_, done_, total_);
        if (!left.isEmpty())
            line += QStringLiteral(", ") + left;
        if (!status_.isEmpty())
            line += QStringLiteral(" - ") + status_;
        if (tty_) {
            // One line, rewritten; a new step keeps the line of the last.
            if (newStep)
                EndLine();
            std::printf("\r\033[K%s", Plain(line).constData());
            open_ = true;
        } else {
            std::printf("%s\n", Plain(line).constData());
        }
        std::fflush(stdout);
    }
    void EndLine()
    {
        if (open_)
            std::printf("\n");
        open_ = false;
    }

    LogFile &log_;
    const std::optional<bool> full_;
    const bool &ending_;
    const bool tty_;
    bool open_ = false;
    bool asked_ = false;
    bool finished_ = false;
    QElapsedTimer sinceLine_;
    StepTimeLeft timeLeft_;
    QString step_;
    QString status_;
    int done_ = 0;
    int total_ = 0;
};

// The database the window would open: dbconnect.txt's first line, or the
// file in the data folder. Empty when dbconnect.txt gives no name.
QString ProgramDatabaseName()
{
    const QString connectFile = ConnectFileName();
    if (!QFile::exists(connectFile))
        return DataFolder() + DatabaseFileName;
    bool readable = false;
    const QStringList lines = ConnectFileLines(connectFile, readable);
    return lines.isEmpty() ? QString() : DatabaseNameFromLine(lines.first());
}

}  // namespace

int RunTerminalImport(const QStringList &arguments)
{
    const QStringList options = arguments.mid(2);
    std::optional<bool> full;
    if (options == QStringList{QStringLiteral("--full")})
        full = true;
    else if (options == QStringList{QStringLiteral("--pending")})
        full = false;
    else if (!options.isEmpty()) {
        std::fprintf(stderr, "Aufruf: tintorel --import [--full|--pending]\n");
        return ImportUsage;
    }
    bool ending = false;
    const EndSignals endSignals([&ending] { ending = true; });
    LogFile log(ProgramFolder());
    TerminalObserver observer(log, full, ending);
    try {
        Tfmdm dm;
        dm.ib1.DatabaseName = ProgramDatabaseName();
        if (dm.ib1.DatabaseName.isEmpty())
            throw Exception(QStringLiteral("Fehler: Verarbeitung der Datei dbconnect.txt fehlgeschlagen!"));
        dm.ib1.Params = AdministratorParams;
        std::printf("Datenbank: %s\n", Plain(dm.ib1.DatabaseName).constData());
        // The window's way in (the program's own user when the
        // administrator cannot, with its hint); the run connects again
        // with those parameters and without garbage collection.
        ConnectDataModule(dm);
        dm.ib1.SetConnected(false);
        MasterImport(dm, observer).Run();
    } catch (const ImportStopped &) {
        observer.ShowError(QStringLiteral("Der Import wurde angehalten. Ein neuer Import setzt ihn fort."));
        log.Flush();
        return ImportStoppedBySignal;
    } catch (const Exception &e) {
        // The window's answer "Nein" on a delivery meets the same message;
        // at the terminal the administrator chose it, so say which to choose.
        if (full == false && IsMissingKimportColumn(e.Message()))
            observer.ShowError(QStringLiteral("Diese Datenbank wurde noch nie importiert: Der erste Import muss die "
                                              "Stammdatentabellen neu erzeugen (tintorel --import --full).\r\n\r\n") +
                               e.Message());
        else
            observer.ShowError(e.Message());
        log.Flush();
        return ImportFailed;
    }
    log.Flush();
    return observer.Finished() ? ImportFinished : ImportFailed;
}
