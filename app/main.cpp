// The program entry: the four long-lived objects and the event loop.
#include "app/application.h"
#include "app/msgbox.h"
#include "data/fmdm1.h"
#include "ui/fmHaupt.h"
#include "ui/fmHinweis1.h"
#include "ui/fmWarten1.h"

#include <memory>

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);

    // Declared first so that it is destroyed last: its transaction commits
    // at exit.
    std::unique_ptr<Tfmdm> dataModule;
    auto mainWindow = std::make_unique<TfmHaupt1>();
    fmHaupt1 = mainWindow.get();
    try {
        dataModule = std::make_unique<Tfmdm>();
    } catch (const Exception &e) {
        // No client library: nothing can work, end before any window shows.
        ShowGeneralError(e.Message());
        return 1;
    }
    fmdm = dataModule.get();
    auto waitPopup = std::make_unique<TfmWarten>();
    fmWarten = waitPopup.get();
    auto noticeDialog = std::make_unique<TfmHinweis>();
    fmHinweis = noticeDialog.get();

    // The event loop shows the main window, which runs its start-up.
    QMetaObject::invokeMethod(mainWindow.get(), &QWidget::show, Qt::QueuedConnection);
    // The objects go in reverse order of creation, the data module last.
    return application.exec();
}
