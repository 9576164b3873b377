#include "app/startup.h"

#include "app/konstant.h"
#include "data/ansi.h"
#include "data/credentials.h"
#include "data/engineconfig.h"
#include "data/fmdm1.h"
#include "data/sql.h"
#include "details/colour.h"
#include "import/masterimport.h"
#include "search/filter.h"
#include "ui/fmHaupt.h"
#include "ui/msgbox.h"
#include "ui_fmHaupt.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QSignalBlocker>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString &programFolder()
{
    static QString folder;
    return folder;
}

AddressSource &addressSource()
{
    static AddressSource source;
    return source;
}

// A page switch made by the program itself: the change handlers run only for
// the user's switches.
void ShowPage(QTabWidget *pages, QWidget *page)
{
    const QSignalBlocker blocker(pages);
    pages->setCurrentWidget(page);
}

void SetBackgroundColor(QWidget *widget, quint32 color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, DisplayColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Publishes this machine's database for copies started from the same program
// folder. Every failure except an unavailable lookup stays silent.
void WriteConnectFile(const QString &connectFile, const QString &databaseName, TfmHaupt1 &window)
{
    QStringList addresses;
    if (!StartUp::GetIPAddresses(addresses))
        ShowError(QStringLiteral("Die IP Adresse konnte nicht ermittelt werden."));
    const QString address = ReachableAddress(addresses);
    if (address.isEmpty()) {
        // No other counter could reach a loopback address.
        window.WriteLog(QStringLiteral("LAN.dat: dbconnect.txt nicht geschrieben, dieser Rechner hat keine "
                                       "IPv4-Adresse außer 127.x.x.x (gefunden: %1)")
                            .arg(addresses.isEmpty() ? QStringLiteral("keine") : addresses.join(QStringLiteral(", "))));
        window.FlushLog();
        return;
    }
    QSaveFile file(connectFile);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(ToAnsi(address + QLatin1Char(':') + FolderPart(databaseName) + QStringLiteral("\r\n")));
    file.commit();
}

// Takes the database name from the first line of dbconnect.txt; a file
// without any line is deleted. A file that cannot be read leaves the stored
// default in force, without a message.
void ReadConnectFile(const QString &connectFile, TIBDatabase &database)
{
    bool readable = false;
    const QStringList lines = ConnectFileLines(connectFile, readable);
    if (!readable)
        return;
    if (!lines.isEmpty()) {
        database.DatabaseName = DatabaseNameFromLine(lines.first());
    } else if (!QFile::remove(connectFile)) {
        ShowError(QStringLiteral("Fehler: Verarbeitung der Datei dbconnect.txt fehlgeschlagen!\r\n\r\n"
                                 "Das Programm wird beendet."));
        // Only posted: the rest of the start-up still runs.
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
}

}  // namespace

QStringList ConnectFileLines(const QString &connectFile, bool &readable)
{
    readable = false;
    QFile file(connectFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    readable = true;
    return SplitTextLines(FromAnsi(content));
}

QStringList SplitTextLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString DatabaseNameFromLine(const QString &line)
{
    const QChar separator = line.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
    return line + separator + DatabaseFileName;
}

QString FolderPart(const QString &name)
{
    const qsizetype last = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    return last < 0 ? QString() : name.left(last);
}

QString ReachableAddress(const QStringList &addresses)
{
    for (const QString &address : addresses)
        if (!address.startsWith(QLatin1String("127.")) && address != QLatin1String("0.0.0.0"))
            return address;
    return QString();
}

namespace {

// The IPv4 addresses of the interfaces that are up, in the system's order.
void AddInterfaceAddresses(QStringList &addresses)
{
    ifaddrs *interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return;
    for (const ifaddrs *entry = interfaces; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !(entry->ifa_flags & IFF_UP))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto *address = reinterpret_cast<const sockaddr_in *>(entry->ifa_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) && !addresses.contains(QLatin1String(text)))
            addresses << QString::fromLatin1(text);
    }
    freeifaddrs(interfaces);
}

void AddHostNameAddresses(QStringList &addresses)
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One entry per address, not one per socket type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0)
        return;
    for (const addrinfo *entry = found; entry; entry = entry->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        const auto *address = reinterpret_cast<const sockaddr_in *>(entry->ai_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text))
            addresses << QString::fromLatin1(text);
    }
    freeaddrinfo(found);
}

}  // namespace

bool LookUpHostAddresses(QStringList &addresses)
{
    // The host name's addresses first; on a usual Debian host the name
    // resolves to 127.0.1.1 only, so the interfaces' addresses follow.
    AddHostNameAddresses(addresses);
    AddInterfaceAddresses(addresses);
    return true;
}

AddressSource SetAddressSource(AddressSource source)
{
    AddressSource previous = std::move(addressSource());
    addressSource() = std::move(source);
    return previous;
}

bool StartUp::GetIPAddresses(QStringList &list)
{
    list.clear();
    return addressSource() ? addressSource()(list) : LookUpHostAddresses(list);
}

QString ProgramFolder()
{
    return programFolder().isEmpty() ? QCoreApplication::applicationDirPath() : programFolder();
}

QString DataFolder()
{
    return ProgramFolder() + QStringLiteral("/Daten/");
}

QString ConnectFileName()
{
    return DataFolder() + QStringLiteral("dbconnect.txt");
}

void SetProgramFolder(const QString &folder)
{
    programFolder() = folder;
}

void StartUp::FormShow()
{
    ShowCaptionsAndColours();
    ChooseDatabase();
    Connect();
    PrepareCaseBlindFilter();
    ShowPage(window_.ui->pcSuche, window_.ui->tsVor);
    window_.ResetForwardSearch();
    window_.ui->btImportMaster->hide();
    CheckImport();
}

void StartUp::ShowCaptionsAndColours()
{
    Ui::TfmHaupt1 &ui = *window_.ui;
    window_.setWindowTitle(Konstant::VersionCaption);
    ui.Label24->setText(Konstant::VersionCaption);
    ui.Image1->setToolTip(Konstant::VersionCaption);
    ShowPage(ui.PageControl1, ui.tsDetails);
    window_.WindowColor = WindowColour();
    for (QWidget *widget : std::initializer_list<QWidget *>{&window_, ui.pNavigation, ui.pBase, ui.pPG, ui.pFarbe, ui.pHinweis})
        SetBackgroundColor(widget, window_.WindowColor);
    ui.pHinweis->hide();
}

void StartUp::ChooseDatabase()
{
    TIBDatabase &database = dm_.ib1;
    const QString daten = DataFolder();
    const QString connectFile = ConnectFileName();
    if (QFile::exists(connectFile))
        ReadConnectFile(connectFile, database);
    else
        database.DatabaseName = daten + DatabaseFileName;
    database.Params = AdministratorParams;
    if (!QFile::exists(connectFile) && QFile::exists(daten + QStringLiteral("LAN.dat")))
        WriteConnectFile(connectFile, database.DatabaseName, window_);
}

void StartUp::Connect()
{
    ConnectDataModule(dm_);
}

void ConnectDataModule(Tfmdm &dm)
{
    TIBDatabase &database = dm.ib1;
    try {
        database.SetConnected(false);
        dm.ibTa1.SetActive(false);
        database.SetConnected(true);
        dm.ibTa1.SetActive(true);
    } catch (const Exception &) {
        // Not shown: the program's own user may still get in.
        database.Params = ProgramUserParams;
        try {
            database.SetConnected(true);
            dm.ibTa1.SetActive(true);
        } catch (const EDatabaseError &e) {
            // The engine's text alone does not tell a clerk what to fix.
            const QString hint = LocalAccessHint(database.DatabaseName);
            if (hint.isEmpty())
                throw;
            throw EDatabaseError(e.Message() + QStringLiteral("\r\n\r\n") + hint);
        }
    }
}

void StartUp::PrepareCaseBlindFilter()
{
    // The engine loads its Windows-1252 module on the first case-blind
    // filter: with the start, not with the clerk's first search.
    TIBQuery probe(QStringLiteral("qrCaseBlind"), &dm_.ib1, &dm_.ibTa1);
    SetStatement(probe, {QStringLiteral("select ") + CaseBlind(QStringLiteral("'a'")) +
                         QStringLiteral(" from RDB$DATABASE")});
    probe.OpenQuery();
    probe.CloseQuery();
}

void StartUp::CheckImport()
{
    TIBQuery &query = dm_.qrKollektionen;
    try {
        query.CloseQuery();
        query.ClearLines();
        query.AddLine(QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'"));
        query.AddLine(QStringLiteral("and KPID>0"));
        query.OpenQuery();
        query.ToFirstRow();
        // Also offered when a full rebuild was cut off before its pairs
        // were pending.
        TIBQuery mark(QStringLiteral("qrImportMark"), &dm_.ib1, &dm_.ibTa1);
        if (!query.AtEnd() || ImportInterrupted(mark))
            window_.ui->btImportMaster->show();
    } catch (const Exception &e) {
        // A database that never saw an import lacks the mark column.
        if (IsMissingKimportColumn(e.Message()))
            window_.ui->btImportMaster->show();
        else
            ShowWarning(e.Message());
    }
}
