#include "app/application.h"

#include "data/faults.h"
#include "data/fmdm1.h"
#include "data/ib.h"
#include "ui/msgbox.h"

#include <QFont>

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // The application name, not the display name: Qt would append a display
    // name to every window caption.
    setApplicationName(QStringLiteral("Tintorel"));
    // The forms are laid out for "MS Sans Serif"; a sans font of similar
    // width keeps the fixed-size captions from being cut.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans Condensed")});
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
    }
    return false;
}

void ShowCurrentException()
{
    try {
        throw;
    } catch (const EDatabaseError &e) {
        // The next action connects anew, once the server is back.
        if (FaultOf(e) == Fault::Connection && fmdm)
            fmdm->ib1.ConnectionLost();
        ShowGeneralError(e.Message());
    } catch (const Exception &e) {
        ShowGeneralError(e.Message());
    } catch (const std::exception &e) {
        ShowGeneralError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowGeneralError(QStringLiteral("Unbekannter Fehler"));
    }
}
