// The pure pieces of a search list: the filter fragment built from the typed
// text, and a name as a label caption.
#pragma once

#include <QString>
#include <QStringList>

// The text without leading and trailing characters of code below 33.
QString TrimControls(const QString &text);

// The two lines of a list filter for the typed text, or no line at all when
// the trimmed text is empty. lead1 carries the upper-cased text, lead2 the
// text as typed; "%" and "_" stay wildcards.
QStringList FilterFragment(const QString &typed, const QString &lead1, const QString &lead2);

// The column's names upper-cased by the server as Windows-1252 text, so that
// umlauts and accented letters compare case-blind too; a name stays as
// stored where it is read.
QString CaseBlind(const QString &column);

// A label reads a single "&" as an accelerator mark.
QString LabelCaption(const QString &name);
