// One run of the master import from the window. The import works on a
// thread of its own with its own connection, so the window repaints and
// moves its progress bar throughout; it takes no input meanwhile and its
// search timers are held, so that nothing the user does starts a search or
// a second run. Only "Abbrechen" is heard: the run stops at its next
// resumable point, as it does when the program ends.
#pragma once

#include <functional>

class ImportObserver;
class ListLoader;
class QAbstractButton;
class QMainWindow;
class TTimer;
class Tfmdm;

// The window's parts that a run puts aside and gives back.
struct ImportWindow {
    QMainWindow &window;
    ListLoader &lists;
    TTimer &suchen;
    TTimer &rSuchen;
    Tfmdm &dataModule;
    // Told everything on the window's thread; boxes are answered there.
    ImportObserver &observer;
    // Shown during the run.
    QAbstractButton &cancel;
    // The program is ending: the run stops.
    std::function<bool()> ending;
    // The run is over: called before the window takes input again.
    std::function<void()> ended;
};

class ImportSession {
public:
    // Runs the import unless a run is in progress already, and returns when
    // it is over; its error reaches the caller.
    static void Run(const ImportWindow &window);
};
