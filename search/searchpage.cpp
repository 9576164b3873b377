#include "search/searchpage.h"

#include "search/searchlists.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

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

SearchPage ForwardPage(TfmHaupt1 &w)
{
    Ui::TfmHaupt1 &ui = *w.ui;
    return {{ui.edSelProd, ui.edSelKol, ui.edSelFarb},
            {ui.lbProdText, ui.lbKolText},
            {ui.lbPID, ui.lbKID},
            {ui.bbDelProd, ui.bbDelKol, ui.bbDelFarb},
            ui.lbSel,
            ui.lbSelID,
            w.tmSuchen,
            [&w] { w.tmSuchenTimer(); }};
}

SearchPage BackwardPage(TfmHaupt1 &w)
{
    Ui::TfmHaupt1 &ui = *w.ui;
    return {{ui.edRSelFarb, ui.edRSelKol, ui.edRSelProd},
            {ui.lbRFarbText, ui.lbRKolText},
            {ui.lbRFID, ui.lbRKID},
            {ui.bbRDelFarb, ui.bbRDelKol, ui.bbRDelProd},
            ui.lbRSel,
            ui.lbRSelID,
            w.tmRSuchen,
            [&w] { w.tmRSuchenTimer(); }};
}

void FilterKeyDown(const SearchPage &page)
{
    page.timer->SetEnabled(false);
}

void FilterKeyUp(const SearchPage &page, int key, bool mayReload)
{
    if (IsEnterKey(key))
        SelectFirstRow(page.names);
    else if (mayReload)
        page.timer->SetEnabled(true);
}

void FixLevel(const SearchPage &page, int level, const QString &name, const QString &id)
{
    page.idLabel[level]->setText(id);
    page.field[level]->setText(name);
    Close(page.field[level]);
    page.nameLabel[level]->setText(LabelCaption(name));
    page.nameLabel[level]->show();
    Open(page.field[level + 1]);
    if (level == 0) {
        HideName(page.nameLabel[1]);
        page.clearButton[1]->show();
        page.clearButton[2]->hide();
        Close(page.field[2]);
    } else {
        page.clearButton[2]->show();
    }
    page.field[level + 1]->setFocus();
}

void ClearLastLevel(const SearchPage &page, int searchLevel)
{
    if (searchLevel != 2)
        return;
    page.field[2]->clear();
    page.field[2]->setFocus();
    page.timerHandler();
}

void ClearMiddleLevel(const SearchPage &page, int &searchLevel)
{
    if (searchLevel == 2) {
        searchLevel = 1;
        Open(page.field[1]);
        HideName(page.nameLabel[1]);
        Close(page.field[2]);
        page.field[2]->clear();
        page.clearButton[2]->hide();
    } else if (searchLevel != 1) {
        return;
    }
    page.field[1]->clear();
    page.field[1]->setFocus();
    page.timerHandler();
}

void ResetPage(const SearchPage &page)
{
    page.field[0]->setEnabled(true);
    page.field[1]->setEnabled(false);
    page.field[2]->setEnabled(false);
    for (QLineEdit *field : page.field)
        field->clear();
    HideName(page.nameLabel[0]);
    HideName(page.nameLabel[1]);
    page.field[0]->show();
    page.field[1]->hide();
    page.field[2]->hide();
    page.idLabel[0]->setText(NothingChosen);
    page.idLabel[1]->setText(NothingChosen);
    page.field[0]->setFocus();
    page.clearButton[1]->hide();
    page.clearButton[2]->hide();
}
