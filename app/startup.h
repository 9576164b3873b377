// Pieces of the start-up that stand on their own.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The database file in the data folder.
inline const QString DatabaseFileName = QStringLiteral("QELMPREISE.fdb");

// The lines of a text: CR LF, a lone CR and a lone LF each end a line; a last
// line without a break counts, an empty text has no line.
QStringList SplitTextLines(const QString &text);

// The database name for the first line of dbconnect.txt: the line as it
// stands, the separator it uses ("\" for a Windows host's folder, else "/"),
// then the file name.
QString DatabaseNameFromLine(const QString &line);

// Everything before the last "/" or "\" of a name ("" when it has none).
QString FolderPart(const QString &name);

// Whether an error of the import check says that KOLLEKTIONEN lacks KIMPORT.
bool IsMissingKimportColumn(const QString &message);

// The host's own IPv4 addresses in resolver order, as dotted-decimal text.
// The result tells whether the lookup could be attempted.
bool LookUpHostAddresses(QStringList &addresses);

// Where GetIPAddresses takes its addresses from; an empty function restores
// LookUpHostAddresses. Returns the previous source.
using AddressSource = std::function<bool(QStringList &addresses)>;
AddressSource SetAddressSource(AddressSource source);
