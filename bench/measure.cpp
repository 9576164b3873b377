#include "measure.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>

qint64 Timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.elapsed();
}

Measure Watched(const std::function<void()> &work, const std::function<void(qint64 ms)> &tick, int intervalMs)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(intervalMs);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (tick)
            tick(now);
    });
    ticks.start();
    clock.start();
    work();
    const qint64 ms = clock.elapsed();
    return {ms, std::max(longest, ms - last)};
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Written WrittenBytes()
{
    Written written;
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return written;
    // Each line "name: value"; the whole file is read at once, as the
    // kernel writes it at once.
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("write_bytes:"))
            written.storage = line.mid(12).trimmed().toLongLong();
        else if (line.startsWith("wchar:"))
            written.calls = line.mid(6).trimmed().toLongLong();
    }
    return written;
}
