// Loads a statement's rows into a pair of lists: the visible names and the
// hidden ids, one row each, in the order the query returns them.
#pragma once

#include <QString>

class QListWidget;
class QWidget;
class TIBQuery;

// How one level's list loads.
struct ListStyle {
    QString nameColumn;
    QString idColumn;
    bool clearBeforeOpen;  // else the lists are cleared once the query is open
    bool waitPopup;        // show the wait popup and let it paint before the query
    bool pumpAfter;        // handle pending messages once more after the popup is hidden
};

// The window's list loads. A long load hands the window its pending
// messages now and then, so that it repaints and takes input; an event
// handled there may start a newer load or cancel this one, which then stops
// at once and leaves the lists to the newer one.
class ListLoader {
public:
    // The popup is shown while a level that wants it loads.
    explicit ListLoader(QWidget *waitPopup) : waitPopup_(waitPopup) {}

    // Runs the query, whose statement is set, into the lists.
    void Run(TIBQuery &query, const ListStyle &style, QListWidget *names, QListWidget *ids);
    // A load under way stops at its next look at the window.
    void Cancel() { ++generation_; }
    // Rows of a load are still coming in: a choice in the half-filled list
    // would take a row that may not stay.
    bool Filling() const { return filling_ > 0; }

private:
    friend class LoadRun;
    QWidget *waitPopup_;
    int generation_ = 0;
    int filling_ = 0;
};
