// What the benchmarks take down: times, the longest stretch in which the
// window handled no message, medians over rounds and the bytes the process
// wrote.
#pragma once

#include <QtGlobal>

#include <functional>
#include <vector>

qint64 Timed(const std::function<void()> &work);

struct Measure {
    qint64 ms = 0;
    qint64 longestWithoutMessages = 0;
};

// Runs the work with a timer that ticks whenever the window handles its
// messages; the longest gap between ticks (and to the start and the end) is
// the longest stretch without message handling. Each tick is also told the
// time since the start. A zero-time timer ticks at every pass of the event
// loop, but keeps the window's thread busy all the time: for work on another
// thread, which needs that core, a timer of a millisecond measures the same
// gaps to that millisecond and lets the thread sleep.
Measure Watched(const std::function<void()> &work, const std::function<void(qint64 ms)> &tick = {},
                int intervalMs = 0);

// The middle value (of the two middle ones, their mean); 0 for none.
double Median(std::vector<double> values);

// What this process has written so far, the embedded engine's writes
// included; -1 where the system does not say. Written: the bytes it caused
// to be written to storage, as the kernel writes back its page cache (a
// synchronous 8 KB page write into a large page of the cache writes that
// whole page). Handed over: the bytes of its own write calls.
struct Written {
    qint64 storage = -1;
    qint64 calls = -1;
};
Written WrittenBytes();
