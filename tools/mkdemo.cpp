// tintorel-demo [--products N] [--collections N] [--shades N] [--rows N]
// [--seed N] [--by-shade] <path-to-fdb>: writes a delivered demo database;
// --by-shade keeps MASTER in the order of generation, not product by product.
// An existing file is never touched.
#include "data/engineconfig.h"
#include "tools/demodata.h"

#include "data/ib.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

int Fail(const QString &message)
{
    std::fprintf(stderr, "tintorel-demo: %s\n", qPrintable(message));
    return 1;
}

// Reads the leading options into `options`; what is left is the file.
// Returns an error text, empty when all were understood.
QString ReadOptions(QStringList &args, DemoOptions &options)
{
    const std::pair<const char *, int DemoOptions::*> counts[] = {{"--products", &DemoOptions::products},
                                                                  {"--collections", &DemoOptions::collections},
                                                                  {"--shades", &DemoOptions::shades},
                                                                  {"--rows", &DemoOptions::masterRows}};
    while (args.size() >= 2 && args.first().startsWith(QStringLiteral("--"))) {
        if (args.first() == QStringLiteral("--by-shade")) {
            args.removeFirst();
            options.byProduct = false;
            continue;
        }
        const QString name = args.takeFirst();
        const QString value = args.takeFirst();
        bool ok = false;
        if (name == QStringLiteral("--seed")) {
            options.seed = value.toUInt(&ok);
            if (!ok)
                return QStringLiteral("--seed needs a number from 0 to 4294967295");
            continue;
        }
        const auto count = std::find_if(std::begin(counts), std::end(counts),
                                        [&name](const auto &c) { return name == QLatin1String(c.first); });
        if (count == std::end(counts))
            return QStringLiteral("unknown option ") + name;
        options.*(count->second) = value.toInt(&ok);
        if (!ok || options.*(count->second) < 1)
            return name + QStringLiteral(" needs a positive number");
    }
    return {};
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    UseEngineConfiguration(QCoreApplication::applicationDirPath());
    const QString usage = QStringLiteral(
        "usage: tintorel-demo [--products N] [--collections N] [--shades N] [--rows N] [--seed N] [--by-shade] <path-to-fdb>");
    QStringList args = app.arguments().mid(1);
    DemoOptions options;
    const QString error = ReadOptions(args, options);
    if (!error.isEmpty())
        return Fail(error + QLatin1Char('\n') + usage);
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-')))
        return Fail(usage);
    const QString path = QFileInfo(args.first()).absoluteFilePath();
    try {
        const DemoSize size = ResolveDemoSize(options);
        if (QFileInfo::exists(path))
            return Fail(QStringLiteral("%1 exists already; it is left as it is").arg(path));
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return Fail(QStringLiteral("cannot create the folder of %1").arg(path));
        QElapsedTimer timer;
        timer.start();
        CreateDemoDatabase(path, options);
        const QString shades = size.shades > 0 ? QStringLiteral("%1 shades, ").arg(size.shades) : QString();
        std::printf("tintorel-demo: %s written, %d products, %d collections, %s%d MASTER rows in %.1f s\n",
                    qPrintable(path), size.products, size.collections, qPrintable(shades), size.rows,
                    timer.elapsed() / 1000.0);
    } catch (const Exception &e) {
        return Fail(e.Message());
    }
    return 0;
}
