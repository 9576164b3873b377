// The detail panel: base, price group, swatch and notice of one combination,
// the last step of both search directions.
#pragma once

#include "data/ib.h"

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;
class Tfmdm;

struct DetailControls {
    QLineEdit *edBase;
    QLineEdit *edPG;
    QWidget *mFarbton;
    QWidget *pHinweis;
    QLabel *lbHinweis;
    QLabel *lbHinweis2;
    QWidget *pBase;
    QWidget *pPG;
    QWidget *pFarbe;
    QWidget *lbWarning;  // "Ungültige Kombination!" on the backward page
};

// The warning text on the panel's one or two lines: split before the first
// "+", which starts the second line.
struct WarningLines {
    QString first;
    QString second;
    bool twoLines = false;
};
WarningLines SplitWarningText(const QString &warning);

// The statement that reads a combination with its base and colour.
QStringList CombinationStatement(int productId, int collectionId, int shadeId);

class DetailPanel {
public:
    // noticeKey is where the key of a notice on show is kept for the notice
    // dialog, as decimal text.
    DetailPanel(Tfmdm &dm, const DetailControls &controls, QString &noticeKey);

    // Base and price group emptied, swatch and notice hidden.
    void Clear();
    void HideWarning();
    // The forward search's pick: nothing is said when the row is missing.
    void ShowForwardCombination(int productId, int collectionId, int shadeId);
    // The backward search's pick: a missing row shows "Ungültige Kombination!".
    void ShowBackwardCombination(int productId, int collectionId, int shadeId);

private:
    // Fills the cleared panel; false when KOMBIDATEN holds no row for the ids.
    bool ShowCombination(int productId, int collectionId, int shadeId);
    void ShowNotice(int detailKey);
    void ShowSwatch(quint32 colour);

    TIBQuery &combination_;
    TIBQuery &notice_;
    const DetailControls c_;
    QString &noticeKey_;
};
