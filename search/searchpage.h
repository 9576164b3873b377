// The controls of one search page, top to bottom, and the steps both
// directions take on them alike. Level 0 is the first row of the page, whose
// clear button resets the whole page.
#pragma once

#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;
class TfmHaupt1;
class TTimer;

// The caption of an id label while nothing is chosen at its level.
inline const QString NothingChosen = QStringLiteral("-1");

struct SearchPage {
    QLineEdit *field[3];     // filter fields of the three levels
    QLabel *nameLabel[2];    // chosen names of levels 0 and 1
    QLabel *idLabel[2];      // chosen ids of levels 0 and 1, "-1" for none
    QWidget *clearButton[3]; // clear buttons of the three levels
    QListWidget *names;
    QListWidget *ids;
    TTimer *timer;
    std::function<void()> timerHandler;  // tmSuchenTimer / tmRSuchenTimer
};

SearchPage ForwardPage(TfmHaupt1 &window);
SearchPage BackwardPage(TfmHaupt1 &window);

// Key down in a filter field: stop a pending reload.
void FilterKeyDown(const SearchPage &page);
// Enter selects row 0 of the list; any other key starts the reload timer
// when mayReload holds.
void FilterKeyUp(const SearchPage &page, int key, bool mayReload);

// A row chosen at level 0 or 1 fixes that level and opens the next one; the
// caller then loads the next level's list.
void FixLevel(const SearchPage &page, int level, const QString &name, const QString &id);

// The clear button of level 2: at level 2 empty the field and reload.
void ClearLastLevel(const SearchPage &page, int searchLevel);
// The clear button of level 1: at level 1 empty the field and reload; at
// level 2 go back to level 1 first.
void ClearMiddleLevel(const SearchPage &page, int &searchLevel);

// Steps of a page reset up to its list: the first field open and empty, the
// others hidden, nothing chosen, focus on the first field.
void ResetPage(const SearchPage &page);
