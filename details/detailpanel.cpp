#include "details/detailpanel.h"

#include "data/fmdm1.h"
#include "data/sql.h"
#include "details/colour.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// Channel values count modulo 256.
quint8 Channel(TIBQuery &query, const QString &column)
{
    return static_cast<quint8>(query.ColumnByName(column).AsInteger() & 0xFF);
}

}  // namespace

WarningLines SplitWarningText(const QString &warning)
{
    const qsizetype plus = warning.indexOf(QLatin1Char('+'));
    if (plus < 0)
        return {warning, QString(), false};
    return {warning.left(plus), warning.mid(plus), true};
}

QStringList CombinationStatement(int productId, int collectionId, int shadeId)
{
    return {QStringLiteral("select * from KOMBIDATEN"), QStringLiteral(" left join BASEN     on BASEID  = K_BASEID"),
            QStringLiteral(" left join RGBCOLORS on COLORID = K_COLORID"),
            QStringLiteral("where K_PID  = ") + QString::number(productId),
            QStringLiteral("and   K_KID  = ") + QString::number(collectionId),
            QStringLiteral("and   K_FID  = ") + QString::number(shadeId)};
}

DetailPanel::DetailPanel(Tfmdm &dm, const DetailControls &controls, QString &noticeKey)
    : combination_(dm.qrS), notice_(dm.qrFORMULADETAILS), c_(controls), noticeKey_(noticeKey)
{
}

void DetailPanel::Clear()
{
    c_.edBase->clear();
    c_.edPG->clear();
    c_.mFarbton->hide();
    c_.pHinweis->hide();
}

void DetailPanel::HideWarning()
{
    c_.lbWarning->hide();
}

void DetailPanel::ShowForwardCombination(int productId, int collectionId, int shadeId)
{
    Clear();
    ShowCombination(productId, collectionId, shadeId);
}

void DetailPanel::ShowBackwardCombination(int productId, int collectionId, int shadeId)
{
    Clear();
    HideWarning();
    if (!ShowCombination(productId, collectionId, shadeId))
        c_.lbWarning->show();
}

bool DetailPanel::ShowCombination(int productId, int collectionId, int shadeId)
{
    TIBQuery &query = combination_;
    SetStatement(query, CombinationStatement(productId, collectionId, shadeId));
    query.OpenQuery();
    if (query.AtEnd())
        return false;
    c_.edBase->setText(query.ColumnByName(QStringLiteral("BNAME")).AsString());
    ShowNotice(query.ColumnByName(QStringLiteral("K_FDETID")).AsInteger());
    c_.edPG->setText(query.ColumnByName(QStringLiteral("K_COST")).AsString());
    ShowSwatch(PackRGB(Channel(query, QStringLiteral("RCOLOR")), Channel(query, QStringLiteral("GCOLOR")),
                       Channel(query, QStringLiteral("BCOLOR"))));
    c_.pBase->show();
    c_.pPG->show();
    c_.pFarbe->show();
    return true;
}

void DetailPanel::ShowNotice(int detailKey)
{
    if (detailKey < 1) {
        c_.pHinweis->hide();
        return;
    }
    noticeKey_ = QString::number(detailKey);
    SetStatement(notice_, {QStringLiteral("select * from FORMULADETAILS"),
                           QStringLiteral("where FORMULADETAILSKEY = ") + noticeKey_});
    notice_.OpenQuery();
    if (notice_.AtEnd())
        return;
    const WarningLines lines = SplitWarningText(notice_.ColumnByName(QStringLiteral("WARNINGTEXT")).AsString());
    c_.lbHinweis->setText(lines.first);
    c_.lbHinweis2->setText(lines.second);
    c_.lbHinweis2->setVisible(lines.twoLines);
    c_.pHinweis->show();
}

void DetailPanel::ShowSwatch(quint32 colour)
{
    QPalette palette = c_.mFarbton->palette();
    palette.setColor(QPalette::Base, DisplayColor(colour));
    palette.setColor(QPalette::Window, DisplayColor(colour));
    c_.mFarbton->setPalette(palette);
    c_.mFarbton->show();
}
