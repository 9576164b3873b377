#include "import/importobserver.h"

QString TimeLeftText(qint64 elapsedMs, int done, int total)
{
    if (total <= 0 || done <= 0 || done >= total || qint64(done) * 10 < total)
        return QString();
    const qint64 seconds = (elapsedMs * (total - done) / done + 999) / 1000;
    if (seconds < 90)
        return QStringLiteral("noch etwa %1 s").arg(seconds);
    return QStringLiteral("noch etwa %1 min").arg((seconds + 30) / 60);
}

QString StepTimeLeft::Text(const QString &step, int done, int total)
{
    if (step != step_ || !clock_.isValid()) {
        step_ = step;
        clock_.start();
    }
    return TimeLeftText(clock_.elapsed(), done, total);
}
