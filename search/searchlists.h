// What the two search directions share: the filter fragment, the paired
// name and id lists, the choice of a row and the shape of a list loader.
#pragma once

#include <QString>
#include <QStringList>

class QListWidget;
class TIBQuery;

// The text without leading and trailing characters of code below 33.
QString TrimControls(const QString &text);

// A single quote written twice, as inside an SQL string literal.
QString DoubleQuotes(const QString &text);

// The two lines of a list filter for the typed text, or no line at all when
// the trimmed text is empty. lead1 carries the upper-cased text, lead2 the
// text as typed; "%" and "_" stay wildcards.
QStringList FilterFragment(const QString &typed, const QString &lead1, const QString &lead2);

// A label reads a single "&" as an accelerator mark.
QString LabelCaption(const QString &name);

// Enter arrives as either of the two Qt return keys.
bool IsEnterKey(int key);

// Enter in a filter field: select row 0 and move the focus to the list.
void SelectFirstRow(QListWidget *names);

// The first selected row of the name list, -1 when none is selected or when
// a list load is under way (its rows may be half filled).
int ChosenRow(const QListWidget *names, const QListWidget *ids);


// Closes the query and gives it the statement lines, one line per call.
void SetStatement(TIBQuery &query, const QStringList &lines);

// How a loader runs its statement into the paired lists.
struct ListLoad {
    TIBQuery &query;
    QListWidget *names;
    QListWidget *ids;
    QString nameColumn;
    QString idColumn;
    bool clearBeforeOpen;  // else the lists are cleared once the query is open
    bool waitPopup;        // show fmWarten and pump messages before the query
    bool pumpEachRow;      // pump messages before every row read
    bool pumpAfter;        // pump messages once more after the popup is hidden
};

// Runs a load whose statement is already set. Pumping messages lets events
// start a newer load or a reset from inside this one: every load and reset
// takes a new generation, and a load that finds a newer generation after a
// pump stops at once and leaves the lists to it. A choice made while rows
// are still coming in is ignored (ChosenRow).
void RunListLoad(const ListLoad &load);

// A reset of a page's lists: a load still under way leaves them alone.
void CancelListLoads();
