// One search direction: three levels, each a list that the user filters by
// typing and picks from; a pick fixes the level and opens the next one, a
// pick at the last level shows the combination.
#pragma once

#include "search/listloader.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;
class TIBQuery;
class TTimer;

// The controls of a search page, by level from the top of the page down.
struct SearchControls {
    std::array<QLineEdit *, 3> field;       // filter fields
    std::array<QLabel *, 2> nameLabel;      // chosen names of levels 0 and 1
    std::array<QLabel *, 2> idLabel;        // hidden copies of the chosen ids
    std::array<QWidget *, 3> clearButton;   // clear buttons of the rows
    QListWidget *names;                     // the list of the current level
    QListWidget *ids;                       // its ids, hidden, same order
    TTimer *timer;                          // reload 300 ms after the last key
};

class SearchDirection {
public:
    // No id chosen at a level.
    static constexpr int NothingChosen = -1;

    SearchDirection(const SearchControls &controls, ListLoader &loader);
    virtual ~SearchDirection() = default;
    SearchDirection(const SearchDirection &) = delete;
    SearchDirection &operator=(const SearchDirection &) = delete;

    // The level whose list is shown and whose field takes the typing.
    int Level() const { return level_; }
    // The id chosen at level 0 or 1.
    int ChosenId(int level) const { return chosen_[level]; }
    // A pick at the last level: the id of its row.
    std::function<void(int id)> LastLevelChosen;

    // A key going down in a filter field.
    void FilterKeyDown();
    // A key coming up in a filter field: Enter selects the list's first row,
    // any other key starts the reload timer.
    void FilterKeyUp(bool enter);
    // The reload timer expired, or a clear button wants the list at once.
    void TimerExpired();
    // A double-click or Enter in the list.
    void Choose();
    // The clear button of the middle row.
    void ClearMiddleLevel();
    // The clear button of the last row.
    void ClearLastLevel();
    // Back to the first level with nothing chosen.
    virtual void Reset() = 0;
    // Loads the list of a level with the filter of its field.
    void Load(int level);
    // The statement lines of a level's list for the text in its field.
    QStringList Statement(int level) const;
    // The query that loads a level's list.
    TIBQuery &Query(int level) const { return *List(level).query; }
    // A pending reload is dropped.
    void StopTimer();

protected:
    // A level's list: the query that reads it, how it loads, and the fixed
    // parts of its statement around the filter of the typed text.
    struct LevelList {
        TIBQuery *query;
        ListStyle style;
        QString lead1;  // the filter's first line, up to the upper-cased text
        QString lead2;  // its second line, up to the text as typed
        QStringList tail;
    };

    virtual const LevelList &List(int level) const = 0;
    // The statement lines of a level's list before its filter.
    virtual QStringList Head(int level) const = 0;
    // Whether a key may start a reload.
    virtual bool MayReload() const { return true; }

    // Reset steps up to the list: the first field open and empty, the others
    // hidden, nothing chosen, the focus on the first field.
    void ResetFields();
    void SetLevel(int level) { level_ = level; }
    QString ChosenText(int level) const { return QString::number(chosen_[level]); }

    const SearchControls c_;
    ListLoader &loader_;

private:
    void SetChosen(int level, int id);
    // A pick at level 0 or 1: the level fixed, the next one opened.
    void FixLevel(int level, const QString &name, int id);
    // The picked row, or -1 when none is selected or rows are still coming in.
    int ChosenRow() const;

    int level_ = 0;
    std::array<int, 2> chosen_{NothingChosen, NothingChosen};
};
