// One run of the master import from the window: while it runs, the window
// takes no input and its search timers are held, so that nothing the user
// does at the import's pumping points starts a search or a second run.
#pragma once

#include <functional>

class ImportObserver;
class ListLoader;
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
    ImportObserver &observer;
    // The run is over: called before the window takes input again.
    std::function<void()> ended;
};

class ImportSession {
public:
    // Runs the import unless a run is in progress already.
    static void Run(const ImportWindow &window);
};
