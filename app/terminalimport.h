// The master import for the administrator's terminal or cron, without a
// window: "tintorel --import [--full|--pending]".
#pragma once

#include <QStringList>

// The exit codes: the run finished; it failed or was declined; the options
// were wrong; a signal stopped it where the next run resumes.
enum TerminalImportExit { ImportFinished = 0, ImportFailed = 1, ImportUsage = 2, ImportStoppedBySignal = 3 };

// Runs the import on the program folder's database, as the window would,
// answering its question from the options (the window's default answer
// without one); steps and progress go to the terminal, entries to the
// day's log. Needs a QCoreApplication.
int RunTerminalImport(const QStringList &arguments);
