// tintorel-demo [--rows N] <path-to-fdb>: writes a delivered demo database.
// An existing file is never touched.
#include "tools/demodata.h"

#include "data/ib.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace {

int Fail(const QString &message)
{
    std::fprintf(stderr, "tintorel-demo: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString usage = QStringLiteral("usage: tintorel-demo [--rows N] <path-to-fdb>");
    QStringList args = app.arguments().mid(1);
    DemoOptions options;
    if (args.size() >= 2 && args.first() == QStringLiteral("--rows")) {
        bool ok = false;
        options.masterRows = args.at(1).toInt(&ok);
        if (!ok || options.masterRows < 1)
            return Fail(QStringLiteral("--rows needs a positive number of MASTER rows\n") + usage);
        args = args.mid(2);
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-')))
        return Fail(usage);
    const QString path = QFileInfo(args.first()).absoluteFilePath();
    if (QFileInfo::exists(path))
        return Fail(QStringLiteral("%1 exists already; it is left as it is").arg(path));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Fail(QStringLiteral("cannot create the folder of %1").arg(path));
    try {
        QElapsedTimer timer;
        timer.start();
        CreateDemoDatabase(path, options);
        std::printf("tintorel-demo: %s written, %d MASTER rows in %.1f s\n", qPrintable(path),
                    options.masterRows > 0 ? options.masterRows : kDemoMasterRows, timer.elapsed() / 1000.0);
    } catch (const Exception &e) {
        return Fail(e.Message());
    }
    return 0;
}
