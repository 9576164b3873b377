#include "search/searchdirection.h"

#include "data/ib.h"
#include "data/sql.h"
#include "search/filter.h"
#include "search/ttimer.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

namespace {

void Close(QLineEdit *field)
{
    field->hide();
    field->setEnabled(false);
}

void Open(QLineEdit *field)
{
    field->show();
    field->setEnabled(true);
}

void HideName(QLabel *label)
{
    label->clear();
    label->hide();
}

}  // namespace

SearchDirection::SearchDirection(const SearchControls &controls, ListLoader &loader) : c_(controls), loader_(loader)
{
}

void SearchDirection::SetChosen(int level, int id)
{
    chosen_[level] = id;
    c_.idLabel[level]->setText(QString::number(id));
}

void SearchDirection::FilterKeyDown()
{
    StopTimer();
}

void SearchDirection::FilterKeyUp(bool enter)
{
    if (enter) {
        if (c_.names->count() < 1)
            return;
        c_.names->setCurrentRow(0);
        c_.names->setFocus();
    } else if (MayReload()) {
        c_.timer->SetEnabled(true);
    }
}

void SearchDirection::StopTimer()
{
    c_.timer->SetEnabled(false);
}

void SearchDirection::TimerExpired()
{
    StopTimer();
    Load(level_);
}

QStringList SearchDirection::Statement(int level) const
{
    const LevelList &list = List(level);
    return Head(level) + FilterFragment(c_.field[level]->text(), list.lead1, list.lead2) + list.tail;
}

void SearchDirection::Load(int level)
{
    level_ = level;
    if (level < 2)
        SetChosen(level, NothingChosen);
    const LevelList &list = List(level);
    SetStatement(*list.query, Statement(level));
    loader_.Run(*list.query, list.style, c_.names, c_.ids);
}

int SearchDirection::ChosenRow() const
{
    if (loader_.Filling())
        return -1;
    const int rows = std::min(c_.names->count(), c_.ids->count());
    for (int i = 0; i < rows; ++i)
        if (c_.names->item(i)->isSelected())
            return i;
    return -1;
}

void SearchDirection::Choose()
{
    const int row = ChosenRow();
    if (row < 0)
        return;
    const QString name = c_.names->item(row)->text();
    const int id = StrToInt(c_.ids->item(row)->text());
    if (level_ < 2) {
        FixLevel(level_, name, id);
        Load(level_ + 1);
        return;
    }
    // The list stays as it is: another row can be picked at once.
    c_.field[2]->setText(name);
    if (LastLevelChosen)
        LastLevelChosen(id);
}

void SearchDirection::FixLevel(int level, const QString &name, int id)
{
    SetChosen(level, id);
    c_.field[level]->setText(name);
    Close(c_.field[level]);
    c_.nameLabel[level]->setText(LabelCaption(name));
    c_.nameLabel[level]->show();
    Open(c_.field[level + 1]);
    if (level == 0) {
        HideName(c_.nameLabel[1]);
        c_.clearButton[1]->show();
        c_.clearButton[2]->hide();
        Close(c_.field[2]);
    } else {
        c_.clearButton[2]->show();
    }
    c_.field[level + 1]->setFocus();
}

void SearchDirection::ClearLastLevel()
{
    if (level_ != 2)
        return;
    c_.field[2]->clear();
    c_.field[2]->setFocus();
    TimerExpired();
}

void SearchDirection::ClearMiddleLevel()
{
    if (level_ == 2) {
        level_ = 1;
        Open(c_.field[1]);
        HideName(c_.nameLabel[1]);
        Close(c_.field[2]);
        c_.field[2]->clear();
        c_.clearButton[2]->hide();
    } else if (level_ != 1) {
        return;
    }
    c_.field[1]->clear();
    c_.field[1]->setFocus();
    TimerExpired();
}

void SearchDirection::ResetFields()
{
    c_.field[0]->setEnabled(true);
    c_.field[1]->setEnabled(false);
    c_.field[2]->setEnabled(false);
    for (QLineEdit *field : c_.field)
        field->clear();
    HideName(c_.nameLabel[0]);
    HideName(c_.nameLabel[1]);
    c_.field[0]->show();
    c_.field[1]->hide();
    c_.field[2]->hide();
    SetChosen(0, NothingChosen);
    SetChosen(1, NothingChosen);
    c_.field[0]->setFocus();
    c_.clearButton[1]->hide();
    c_.clearButton[2]->hide();
}
