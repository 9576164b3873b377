// The backward search: shade, then collection, then product; and the switch
// between the two search pages.
#include "data/fmdm1.h"
#include "search/searchlists.h"
#include "search/searchpage.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

void TfmHaupt1::edRSelFarbKeyDown(int)
{
    FilterKeyDown(BackwardPage(*this));
}

void TfmHaupt1::edRSelFarbKeyUp(int key)
{
    // The shade list is never loaded without a shade filter; the test is on
    // the shade field whichever field raised the key.
    FilterKeyUp(BackwardPage(*this), key, !TrimControls(ui->edRSelFarb->text()).isEmpty());
}

void TfmHaupt1::tmRSuchenTimer()
{
    tmRSuchen->SetEnabled(false);
    switch (SearchLevel) {
    case 0:
        LoadBackwardShades();
        break;
    case 1:
        LoadBackwardCollections();
        break;
    case 2:
        LoadBackwardProducts();
        break;
    default:
        break;
    }
}

void TfmHaupt1::lbRSelKeyUp(int key)
{
    if (IsEnterKey(key))
        lbRSelDblClick();
}

void TfmHaupt1::lbRSelDblClick()
{
    const int row = ChosenRow(ui->lbRSel, ui->lbRSelID);
    if (row < 0)
        return;
    const QString name = ui->lbRSel->item(row)->text();
    const QString id = ui->lbRSelID->item(row)->text();
    switch (SearchLevel) {
    case 0:
        FixLevel(BackwardPage(*this), 0, name, id);
        LoadBackwardCollections();
        break;
    case 1:
        FixLevel(BackwardPage(*this), 1, name, id);
        LoadBackwardProducts();
        break;
    case 2:
        ui->edRSelProd->setText(name);
        ShowBackwardCombination(StrToInt(id));
        break;
    default:
        break;
    }
}

void TfmHaupt1::bbRDelFarbClick()
{
    ClearDetailPanel();
    ResetBackwardSearch();
}

void TfmHaupt1::bbRDelAllClick()
{
    bbRDelFarbClick();
}

void TfmHaupt1::bbRDelKolClick()
{
    ClearMiddleLevel(BackwardPage(*this), SearchLevel);
}

void TfmHaupt1::bbRDelProdClick()
{
    ClearLastLevel(BackwardPage(*this), SearchLevel);
}

void TfmHaupt1::ResetBackwardSearch()
{
    // A reload still pending would list every shade of an empty filter.
    tmRSuchen->SetEnabled(false);
    ResetPage(BackwardPage(*this));
    CancelListLoads();
    ui->lbRSel->clear();
    ui->lbRSelID->clear();
    SearchLevel = 0;
}

void TfmHaupt1::pcSucheChange()
{
    ClearDetailPanel();
    ui->lbWarning->hide();
    // The page left behind shares SearchLevel: its pending reload must not run.
    tmSuchen->SetEnabled(false);
    tmRSuchen->SetEnabled(false);
    if (ui->pcSuche->currentWidget() == ui->tsRueck)
        ResetBackwardSearch();
    else
        ResetForwardSearch();
}

void TfmHaupt1::LoadBackwardShades()
{
    SearchLevel = 0;
    ui->lbRFID->setText(NothingChosen);
    QStringList lines{QStringLiteral("select * from FARBEN")};
    lines << FilterFragment(ui->edRSelFarb->text(), QStringLiteral(" where (upper(FNAME) like '%"),
                            QStringLiteral("    or        FNAME  like '%"));
    lines << QStringLiteral("order by FNAME");
    SetStatement(fmdm->qrFarben_S, lines);
    RunListLoad({.query = fmdm->qrFarben_S,
                 .names = ui->lbRSel,
                 .ids = ui->lbRSelID,
                 .nameColumn = QStringLiteral("FNAME"),
                 .idColumn = QStringLiteral("FID"),
                 .clearBeforeOpen = true,
                 .waitPopup = true,
                 .pumpEachRow = true,
                 .pumpAfter = true});
}

void TfmHaupt1::LoadBackwardCollections()
{
    SearchLevel = 1;
    ui->lbRKID->setText(NothingChosen);
    QStringList lines{QStringLiteral("select KNAME, KID from KOMBIDATEN, KOLLEKTIONEN"),
                      QStringLiteral(" where K_KID = KID and KPID=0"),
                      QStringLiteral("   and K_FID = ") + ui->lbRFID->text()};
    lines << FilterFragment(ui->edRSelKol->text(), QStringLiteral(" and (upper(KNAME) like '%"),
                            QStringLiteral("  or        KNAME  like '%"));
    lines << QStringLiteral(" group by KNAME, KID") << QStringLiteral(" order by KNAME");
    SetStatement(fmdm->qrS, lines);
    RunListLoad({.query = fmdm->qrS,
                 .names = ui->lbRSel,
                 .ids = ui->lbRSelID,
                 .nameColumn = QStringLiteral("KNAME"),
                 .idColumn = QStringLiteral("KID"),
                 .clearBeforeOpen = false,
                 .waitPopup = false,
                 .pumpEachRow = false,
                 .pumpAfter = false});
}

void TfmHaupt1::LoadBackwardProducts()
{
    SearchLevel = 2;
    QStringList lines{QStringLiteral("select PNAME, PID from KOMBIDATEN, PRODUKTE"), QStringLiteral(" where K_PID = PID"),
                      QStringLiteral("   and K_KID = ") + ui->lbRKID->text(),
                      QStringLiteral("   and K_FID = ") + ui->lbRFID->text()};
    lines << FilterFragment(ui->edRSelProd->text(), QStringLiteral(" and (upper(PNAME) like '%"),
                            QStringLiteral("  or        PNAME  like '%"));
    lines << QStringLiteral(" group by PNAME, PID") << QStringLiteral(" order by PNAME");
    SetStatement(fmdm->qrS, lines);
    RunListLoad({.query = fmdm->qrS,
                 .names = ui->lbRSel,
                 .ids = ui->lbRSelID,
                 .nameColumn = QStringLiteral("PNAME"),
                 .idColumn = QStringLiteral("PID"),
                 .clearBeforeOpen = false,
                 .waitPopup = false,
                 .pumpEachRow = false,
                 .pumpAfter = false});
}
