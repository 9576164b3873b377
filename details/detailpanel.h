// The detail panel: base, price group, swatch and notice of one combination.
#pragma once

#include <QString>

// The warning text on the panel's one or two lines: split before the first
// "+", which starts the second line.
struct WarningLines {
    QString first;
    QString second;
    bool twoLines = false;
};
WarningLines SplitWarningText(const QString &warning);
