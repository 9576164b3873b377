// The combination detail display of both search directions.
#include "details/detailpanel.h"

#include "data/fmdm1.h"
#include "search/searchlists.h"
#include "ui/fmHaupt.h"
#include "ui/fmHinweis1.h"
#include "ui_fmHaupt.h"

namespace {

// The notice of a formula key: the warning on the panel, the key kept for the
// notice dialog.
void ShowNotice(Ui::TfmHaupt1 &ui, int detailKey)
{
    if (detailKey < 1) {
        ui.pHinweis->hide();
        return;
    }
    fmHinweis->DetailKey = QString::number(detailKey);
    TIBQuery &query = fmdm->qrFORMULADETAILS;
    SetStatement(query, {QStringLiteral("select * from FORMULADETAILS"),
                         QStringLiteral("where FORMULADETAILSKEY = ") + QString::number(detailKey)});
    query.OpenQuery();
    if (query.AtEnd())
        return;
    const WarningLines lines = SplitWarningText(query.ColumnByName(QStringLiteral("WARNINGTEXT")).AsString());
    if (lines.twoLines) {
        ui.lbHinweis->setText(lines.first);
        ui.lbHinweis2->setText(lines.second);
        ui.lbHinweis2->show();
    } else {
        ui.lbHinweis2->hide();
        ui.lbHinweis->setText(lines.first);
    }
    ui.pHinweis->show();
}

// Channel values count modulo 256.
quint8 Channel(TIBQuery &query, const QString &column)
{
    return static_cast<quint8>(query.ColumnByName(column).AsInteger() & 0xFF);
}

// Fills the cleared panel from the combination row of the three ids; false
// when KOMBIDATEN holds no row for them.
bool ShowCombination(Ui::TfmHaupt1 &ui, const QString &productId, const QString &collectionId,
                     const QString &shadeId)
{
    TIBQuery &query = fmdm->qrS;
    SetStatement(query, {QStringLiteral("select * from KOMBIDATEN"),
                         QStringLiteral(" left join BASEN     on BASEID  = K_BASEID"),
                         QStringLiteral(" left join RGBCOLORS on COLORID = K_COLORID"),
                         QStringLiteral("where K_PID  = ") + productId,
                         QStringLiteral("and   K_KID  = ") + collectionId,
                         QStringLiteral("and   K_FID  = ") + shadeId});
    query.OpenQuery();
    if (query.AtEnd())
        return false;
    ui.edBase->setText(query.ColumnByName(QStringLiteral("BNAME")).AsString());
    ShowNotice(ui, query.ColumnByName(QStringLiteral("K_FDETID")).AsInteger());
    ui.edPG->setText(query.ColumnByName(QStringLiteral("K_COST")).AsString());
    const quint32 colour = PackRGB(Channel(query, QStringLiteral("RCOLOR")), Channel(query, QStringLiteral("GCOLOR")),
                                   Channel(query, QStringLiteral("BCOLOR")));
    QPalette palette = ui.mFarbton->palette();
    palette.setColor(QPalette::Base, DisplayColor(colour));
    palette.setColor(QPalette::Window, DisplayColor(colour));
    ui.mFarbton->setPalette(palette);
    ui.mFarbton->show();
    ui.pBase->show();
    ui.pPG->show();
    ui.pFarbe->show();
    return true;
}

}  // namespace

WarningLines SplitWarningText(const QString &warning)
{
    const qsizetype plus = warning.indexOf(QLatin1Char('+'));
    if (plus < 0)
        return {warning, QString(), false};
    return {warning.left(plus), warning.mid(plus), true};
}

void TfmHaupt1::ClearDetailPanel()
{
    ui->edBase->clear();
    ui->edPG->clear();
    ui->mFarbton->hide();
    ui->pHinweis->hide();
}

void TfmHaupt1::ShowForwardCombination(int shadeId)
{
    ClearDetailPanel();
    ShowCombination(*ui, ui->lbPID->text(), ui->lbKID->text(), QString::number(shadeId));
}

void TfmHaupt1::ShowBackwardCombination(int productId)
{
    ClearDetailPanel();
    ui->lbWarning->hide();
    if (!ShowCombination(*ui, QString::number(productId), ui->lbRKID->text(), ui->lbRFID->text()))
        ui->lbWarning->show();
}

void TfmHaupt1::BitBtn2Click()
{
    fmHinweis->exec();
}
