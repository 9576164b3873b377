// An interval timer whose Enabled setter starts a fresh interval when it goes
// from false to true and stops it when it goes to false.
#pragma once

#include <QTimer>

class TTimer : public QTimer {
    Q_OBJECT
public:
    using QTimer::QTimer;
    bool Enabled() const { return isActive(); }
    void SetEnabled(bool value)
    {
        if (value == isActive())
            return;
        if (value)
            start();
        else
            stop();
    }
};
