// One run of the master import from the window: while it runs, the window
// takes no input and its search timers are held, so that nothing the user
// does at the import's pumping points starts a search or a second run.
#pragma once

class TfmHaupt1;

class ImportSession {
public:
    // Runs the import unless a run is in progress already.
    static void Run(TfmHaupt1 &window);
};
