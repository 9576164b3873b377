// The one-time set-up when the main window first shows: captions, colours,
// the database's location, the connection, the first list and the import
// check.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TfmHaupt1;
class Tfmdm;

// The database file in the data folder.
inline const QString DatabaseFileName = QStringLiteral("QELMPREISE.fdb");

// The program folder, without a trailing separator: the folder of the
// executable, or the one a test or a tool set.
QString ProgramFolder();
void SetProgramFolder(const QString &folder);

// The lines of a text: CR LF, a lone CR and a lone LF each end a line; a last
// line without a break counts, an empty text has no line.
QStringList SplitTextLines(const QString &text);

// The program folder's data folder, "/Daten/" in it, and its dbconnect.txt.
QString DataFolder();
QString ConnectFileName();

// The lines of a dbconnect.txt; readable tells whether it could be read.
QStringList ConnectFileLines(const QString &connectFile, bool &readable);

// Connects as the administrator, or else as the program's own user; the
// engine's error with a hint for a local database that may not be opened.
void ConnectDataModule(Tfmdm &dm);

// The database name for the first line of dbconnect.txt: the line as it
// stands, the separator it uses ("\" for a Windows host's folder, else "/"),
// then the file name.
QString DatabaseNameFromLine(const QString &line);

// Everything before the last "/" or "\" of a name ("" when it has none).
QString FolderPart(const QString &name);

// The host's own IPv4 addresses as dotted-decimal text: those of its name in
// resolver order, then those of its interfaces that are up. The result tells
// whether the lookup could be attempted.
bool LookUpHostAddresses(QStringList &addresses);

// The first address that another machine could reach (none of 127.0.0.0/8),
// or "" when there is none.
QString ReachableAddress(const QStringList &addresses);

// Where GetIPAddresses takes its addresses from; an empty function restores
// LookUpHostAddresses. Returns the previous source.
using AddressSource = std::function<bool(QStringList &addresses)>;
AddressSource SetAddressSource(AddressSource source);

class StartUp {
public:
    StartUp(TfmHaupt1 &window, Tfmdm &dm) : window_(window), dm_(dm) {}

    // The work of the main window's first show.
    void FormShow();
    // Clears the list and fills it with this host's addresses; false when
    // the lookup could not be started.
    static bool GetIPAddresses(QStringList &list);

private:
    void ShowCaptionsAndColours();
    // The database name from the data folder's files; publishes this
    // machine's database when it is marked for it.
    void ChooseDatabase();
    void Connect();
    void PrepareCaseBlindFilter();
    // Offers the import when pairs are pending or the mark column is missing.
    void CheckImport();

    TfmHaupt1 &window_;
    Tfmdm &dm_;
};
