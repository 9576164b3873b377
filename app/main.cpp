// The program entry: the four long-lived objects and the event loop.
#include "app/application.h"
#include "app/endsignals.h"
#include "app/konstant.h"
#include "app/program.h"
#include "app/terminalimport.h"
#include "data/engineconfig.h"
#include "data/ib.h"
#include "ui/msgbox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The two questions a terminal may ask; the program itself takes no
// arguments but the terminal import's.
bool AnswerOnTerminal(int argc, char *argv[])
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", qPrintable(Konstant::VersionCaption));
        return true;
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        std::printf("Aufruf: tintorel\n"
                    "        tintorel --import [--full|--pending]\n\n"
                    "Tintorel zeigt zu Produkt, Kollektion und Farbton die Mischkombination an.\n"
                    "Die Datenbank steht in Daten/QELMPREISE.fdb neben dem Programm oder wird\n"
                    "in Daten/dbconnect.txt angegeben (Zeile: Rechner:Ordner).\n\n"
                    "  --import   den Import der Tabelle MASTER ohne Fenster ausführen; mit --full\n"
                    "             werden die Stammdatentabellen neu erzeugt (nie, wenn dabei\n"
                    "             importierte Kombinationen verloren gingen), mit --pending nur\n"
                    "             die offenen Paare importiert, ohne beides gilt die Vorgabe des\n"
                    "             Fensters. SIGTERM oder SIGINT halten ihn an einem Punkt an, an\n"
                    "             dem der nächste Import fortsetzt. Ende mit 0 nur, wenn er fertig\n"
                    "             wurde (1: Fehler oder abgelehnt, 2: falscher Aufruf, 3: angehalten).\n"
                    "  --version  Versionsangabe ausgeben\n"
                    "  --help     diesen Text ausgeben\n");
        return true;
    }
    return false;
}

// Qt ends a program it cannot give a display with its own English message
// and an abort; say it in the program's words and end with 1.
// Qt's warnings on the way are kept back and given on when the application
// could be made.
QStringList &HeldMessages()
{
    static QStringList messages;
    return messages;
}

void NoDisplay(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtFatalMsg) {
        HeldMessages() << message;
        return;
    }
    std::fprintf(stderr, "Tintorel braucht eine grafische Oberfläche und findet keine: starten Sie es in einer "
                         "Desktop-Sitzung (DISPLAY oder WAYLAND_DISPLAY muss gesetzt und erreichbar sein).\n");
    std::_Exit(1);
}

}  // namespace

int main(int argc, char *argv[])
{
    if (AnswerOnTerminal(argc, argv))
        return 0;
    EndSignals::Block();
    if (argc >= 2 && std::strcmp(argv[1], "--import") == 0) {
        const QCoreApplication terminal(argc, argv);
        UseEngineConfiguration(QCoreApplication::applicationDirPath());
        return RunTerminalImport(QCoreApplication::arguments());
    }
    const QtMessageHandler previous = qInstallMessageHandler(NoDisplay);
    TApplication application(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString &message : std::as_const(HeldMessages()))
        qWarning("%s", qPrintable(message));
    // Before the client library loads with the data module.
    UseEngineConfiguration(QCoreApplication::applicationDirPath());
    std::unique_ptr<Program> program;
    try {
        program = std::make_unique<Program>();
    } catch (const Exception &e) {
        // No client library: nothing can work, end before any window shows.
        ShowGeneralError(e.Message());
        return 1;
    }
    const EndSignals ending([&program] { program->Window().EndProgram(); });
    // The event loop shows the main window, which runs its start-up.
    QMetaObject::invokeMethod(&program->Window(), &QWidget::show, Qt::QueuedConnection);
    return application.exec();
}
