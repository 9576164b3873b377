// The application object: titled "Tintorel"; an exception that leaves an
// event handler ends that handler only and shows the general error box.
#pragma once

#include <QApplication>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows the exception being handled in the general error box; call it from
// inside a catch block.
void ShowCurrentException();
