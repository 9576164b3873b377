// What the master import tells the person who runs it, and asks of them. The
// window implements it with its status bar, progress bar, log and message
// boxes; the benchmark implements it without a window.
#pragma once

#include <QElapsedTimer>
#include <QString>

class TIBDatabase;

class ImportObserver {
public:
    // The status bar's one text, replaced.
    virtual void Status(const QString &text) = 0;
    // The step under way and, for the combinations, the pairs done of the
    // pairs pending (total 0: a step without a count).
    virtual void Progress(const QString &step, int done, int total) = 0;
    // Let the window handle its pending messages; false when the program is
    // ending and the import must stop where a later run resumes.
    virtual bool ProcessPendingMessages() = 0;
    virtual void BringToFront() = 0;
    // One entry in the day's log.
    virtual void Log(const QString &text) = 0;
    // The log's entries so far on disk.
    virtual void FlushLog() = 0;
    // Modal boxes: "Fehler" with "OK", "Informationen" with "OK", and
    // "Warnung" with "&Ja" and "&Nein" (true for "&Ja").
    virtual void ShowError(const QString &text) = 0;
    virtual void ShowInformation(const QString &text) = 0;
    virtual bool Ask(const QString &question, bool yesByDefault) = 0;
    // The collection after the run reads on this connection from now on
    // (nullptr: no longer). A program that ends meanwhile may stop it with
    // TIBDatabase::CancelOperation from its own thread rather than wait.
    virtual void Collecting(TIBDatabase *connection) { (void)connection; }

protected:
    ~ImportObserver() = default;
};

// "noch etwa 4 min": the time a counted step still takes at the pace so far,
// once a tenth of it is done; empty before, and for a step without a count.
QString TimeLeftText(qint64 elapsedMs, int done, int total);

// The time left of the step under way, from the progress reports as they
// come: its clock starts with the step's first report.
class StepTimeLeft {
public:
    QString Text(const QString &step, int done, int total);

private:
    QString step_;
    QElapsedTimer clock_;
};
