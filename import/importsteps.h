// What the steps of the master import share among themselves.
#pragma once

#include "data/ib.h"

#include <QString>

class TfmHaupt1;

// The field of the query's current row with that name.
inline TField &Field(TIBQuery &query, const char *name)
{
    return query.ColumnByName(QString::fromLatin1(name));
}

// Replaces the simple text of the status bar.
void ShowStatus(TfmHaupt1 &window, const QString &text);

// Brings the application to the front.
void BringToFront(TfmHaupt1 &window);

// The mark of an unfinished full rebuild: one KOLLEKTIONEN row that no
// search and no pair query can see (its KPID is below 0 and not the "-1" of
// a search with nothing chosen). Writing and removing it commit nothing.
void WriteRebuildMark(TIBQuery &query);
void RemoveRebuildMark(TIBQuery &query);

// Before the schema rebuild of a run that resumes an interrupted one: frees
// what a process killed in the middle of creating a table left behind.
void ReleaseInterruptedTableCreation();
