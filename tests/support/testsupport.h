// Test support: temporary program folders and real database files opened
// through the embedded engine.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh program folder in a temporary folder, with its Daten/ sub-folder.
// Database files made here are removed with the folder.
class TempProgramFolder {
public:
    TempProgramFolder();
    QString path() const;        // the program folder, without a trailing "/"
    QString daten() const;       // path() + "/Daten"
    QString databasePath() const;  // daten() + "/QELMPREISE.fdb"
private:
    QTemporaryDir dir_;
};

// Empty database file, dialect 3 (or the one given), character set NONE.
void CreateEmptyDatabase(const QString &path, int dialect = 3);

// Runs each statement on its own connection's transaction and commits at the end.
void RunSql(const QString &path, const QStringList &statements);

// All rows of a query, every value read as text (NULL as "").
QList<QStringList> QueryRows(const QString &path, const QString &select);

// The first value of a query that gives one number, such as a count.
int QueryInt(const QString &path, const QString &select);

// The delivered tables as a customer receives them before any import:
// PRODUKTE, FORMULADETAILS, KOLLEKTIONEN (no KIMPORT) and MASTER with every
// delivered column. Text columns CHARACTER SET NONE.
void CreateDeliveredSchema(const QString &path);

// The tables in the shape after an import: the delivered ones with KIMPORT,
// FARBEN, BASEN, RGBCOLORS and KOMBIDATEN (without indexes).
void CreateImportedSchema(const QString &path);

// Firebird's own full validation (gfix -v -full) of a copy of the database
// file: the lines of its summary that count errors above 0, empty when it
// found none. Warnings (orphan pages a kill leaves, say) are not errors. A
// validation that cannot run is an error too.
QStringList ValidationErrors(const QString &path);
