// Fixture of the application shell tests: a temporary program folder and the
// program's four long-lived objects on it, created in the program's order.
// A test that reaches into the window includes "ui_fmHaupt.h" itself, so that
// its own target generates it.
#pragma once

#include "app/application.h"
#include "ui/msgbox.h"
#include "data/fmdm1.h"
#include "support/programrun.h"
#include "support/testsupport.h"
#include "ui/fmHaupt.h"
#include "ui/fmHinweis1.h"
#include "ui/fmWarten1.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <unistd.h>

class ShellProgram {
public:
    TempProgramFolder folder;
    // The four objects exist from the start; the window shows at Start().
    ProgramRun run{folder.path(), {}, false};
    TfmHaupt1 *const window = &run.window();
    const QList<MessageBoxRequest> &boxes = run.Boxes();

    Ui::TfmHaupt1 &ui() const { return *window->ui; }
    QString connectFile() const { return folder.daten() + QStringLiteral("/dbconnect.txt"); }

    // The first show of the main window runs the start-up.
    void Start() { run.Start(); }

    // A database as after an import, with the given statements run on it.
    void CreateDatabase(const QStringList &statements = {}) const
    {
        CreateEmptyDatabase(folder.databasePath());
        CreateImportedSchema(folder.databasePath());
        if (!statements.isEmpty())
            RunSql(folder.databasePath(), statements);
    }
};

inline void WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Makes a file or folder unchangeable, even for root (immutable flag), or
// takes that back. False when the file system cannot do it.
inline bool SetLocked(const QString &path, bool locked)
{
    if (geteuid() != 0) {
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
        const QFile::Permissions full = readOnly | QFile::WriteOwner;
        return QFile::setPermissions(path, locked ? readOnly : full);
    }
    return QProcess::execute(QStringLiteral("chattr"),
                             {locked ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

