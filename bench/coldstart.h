// The first filtered search after a start of the program against the next
// one, and the time the program takes to end.
#pragma once

#include <QString>

struct ColdStart {
    qint64 first = 0;  // the backward search for "a" after the start
    qint64 later = 0;  // the same search once more
    qint64 quit = 0;   // closing the window to the program's end

    double Ratio() const;
};

constexpr double kColdGoal = 2;     // first / later
constexpr qint64 kQuitGoalMs = 500;

// Starts the program on the folder that many times; each figure is the
// median of the starts.
ColdStart ColdStarts(const QString &programFolder, int starts);
