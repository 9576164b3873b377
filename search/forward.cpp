// The forward search: product, then collection, then shade.
#include "data/fmdm1.h"
#include "search/searchlists.h"
#include "search/searchpage.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

void TfmHaupt1::edSelProdKeyDown(int)
{
    FilterKeyDown(ForwardPage(*this));
}

void TfmHaupt1::edSelProdKeyUp(int key)
{
    FilterKeyUp(ForwardPage(*this), key, true);
}

void TfmHaupt1::tmSuchenTimer()
{
    tmSuchen->SetEnabled(false);
    switch (SearchLevel) {
    case 0:
        LoadProducts();
        break;
    case 1:
        LoadCollections();
        break;
    case 2:
        LoadShades();
        break;
    default:
        break;
    }
}

void TfmHaupt1::lbSelKeyUp(int key)
{
    if (IsEnterKey(key))
        lbSelDblClick();
}

void TfmHaupt1::lbSelDblClick()
{
    const int row = ChosenRow(ui->lbSel, ui->lbSelID);
    if (row < 0)
        return;
    const QString name = ui->lbSel->item(row)->text();
    const QString id = ui->lbSelID->item(row)->text();
    switch (SearchLevel) {
    case 0:
        FixLevel(ForwardPage(*this), 0, name, id);
        LoadCollections();
        break;
    case 1:
        FixLevel(ForwardPage(*this), 1, name, id);
        LoadShades();
        break;
    case 2:
        ui->edSelFarb->setText(name);
        ShowForwardCombination(StrToInt(id));
        break;
    default:
        break;
    }
}

void TfmHaupt1::bbDelFarbClick()
{
    ClearLastLevel(ForwardPage(*this), SearchLevel);
}

void TfmHaupt1::bbDelKolClick()
{
    ClearMiddleLevel(ForwardPage(*this), SearchLevel);
}

void TfmHaupt1::bbDelProdClick()
{
    ClearDetailPanel();
    ResetForwardSearch();
}

void TfmHaupt1::ResetForwardSearch()
{
    ResetPage(ForwardPage(*this));
    LoadProducts();
}

void TfmHaupt1::LoadProducts()
{
    SearchLevel = 0;
    ui->lbPID->setText(NothingChosen);
    QStringList lines{QStringLiteral("select * from PRODUKTE")};
    lines << FilterFragment(ui->edSelProd->text(), QStringLiteral(" where (upper(PNAME) like '%"),
                            QStringLiteral("    or        PNAME  like '%"));
    lines << QStringLiteral("order by PNAME");
    SetStatement(fmdm->qrProdukte_S, lines);
    RunListLoad({.query = fmdm->qrProdukte_S,
                 .names = ui->lbSel,
                 .ids = ui->lbSelID,
                 .nameColumn = QStringLiteral("PNAME"),
                 .idColumn = QStringLiteral("PID"),
                 .clearBeforeOpen = true,
                 .waitPopup = true,
                 .pumpEachRow = false,
                 .pumpAfter = true});
}

void TfmHaupt1::LoadCollections()
{
    SearchLevel = 1;
    ui->lbKID->setText(NothingChosen);
    QStringList lines{QStringLiteral("select kname,kid"), QStringLiteral("  from kollektionen"),
                      QStringLiteral(" where kpid = ") + ui->lbPID->text()};
    lines << FilterFragment(ui->edSelKol->text(), QStringLiteral(" and (upper(KNAME) like '%"),
                            QStringLiteral("  or        KNAME  like '%"));
    lines << QStringLiteral("group by KNAME, KID") << QStringLiteral("order by KNAME");
    SetStatement(fmdm->qrS, lines);
    RunListLoad({.query = fmdm->qrS,
                 .names = ui->lbSel,
                 .ids = ui->lbSelID,
                 .nameColumn = QStringLiteral("KNAME"),
                 .idColumn = QStringLiteral("KID"),
                 .clearBeforeOpen = false,
                 .waitPopup = true,
                 .pumpEachRow = false,
                 .pumpAfter = true});
}

void TfmHaupt1::LoadShades()
{
    SearchLevel = 2;
    QStringList lines{QStringLiteral("select FNAME,FID from KOMBIDATEN, FARBEN"), QStringLiteral("where K_FID = FID"),
                      QStringLiteral("and   K_KID = ") + ui->lbKID->text(),
                      QStringLiteral("and   K_PID = ") + ui->lbPID->text()};
    lines << FilterFragment(ui->edSelFarb->text(), QStringLiteral("   and (upper(FNAME) like '%"),
                            QStringLiteral("    or        FNAME  like '%"));
    lines << QStringLiteral("group by FNAME,FID") << QStringLiteral("order by FNAME");
    SetStatement(fmdm->qrS, lines);
    RunListLoad({.query = fmdm->qrS,
                 .names = ui->lbSel,
                 .ids = ui->lbSelID,
                 .nameColumn = QStringLiteral("FNAME"),
                 .idColumn = QStringLiteral("FID"),
                 .clearBeforeOpen = false,
                 .waitPopup = true,
                 .pumpEachRow = false,
                 .pumpAfter = false});
}
