#include "data/engineconfig.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString LockFolder()
{
    const QString lock = qEnvironmentVariable("FIREBIRD_LOCK");
    return lock.isEmpty() ? QStringLiteral("/tmp/firebird") : lock;
}

bool MayReadWrite(const QString &path)
{
    return access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
}

}  // namespace

QString EngineRoot(const QString &programFolder)
{
    return programFolder + QStringLiteral("/firebird");
}

void UseEngineConfiguration(const QString &programFolder)
{
    if (qEnvironmentVariableIsSet("FIREBIRD"))
        return;
    const QString root = EngineRoot(programFolder);
    if (!QFileInfo::exists(root + QStringLiteral("/firebird.conf")))
        return;
    qputenv("FIREBIRD", QFile::encodeName(root));
    qputenv("FIREBIRD_LOCK", QFile::encodeName(root + QStringLiteral("/lock")));
}

QString LocalAccessHint(const QString &databaseName)
{
    // A name with a host part is the server's business.
    if (!databaseName.startsWith(QLatin1Char('/')))
        return QString();
    const QString group = QStringLiteral("Der Benutzer muss in der Gruppe tintorel sein (adduser NAME tintorel, "
                                         "danach neu anmelden).");
    const QFileInfo file(databaseName);
    if (!file.exists())
        return QStringLiteral("Die Datenbank %1 fehlt oder ist für diesen Benutzer nicht erreichbar: legen Sie "
                              "die gelieferte Datenbank dort ab. ")
                   .arg(databaseName) + group;
    if (!MayReadWrite(databaseName))
        return QStringLiteral("Dieser Benutzer darf die Datenbank %1 nicht lesen und schreiben: sie muss der "
                              "Gruppe tintorel gehören und für sie les- und schreibbar sein "
                              "(chgrp tintorel, chmod 660). ")
                   .arg(databaseName) + group;
    const QString lock = LockFolder();
    QDir lockDir(lock);
    bool lockUsable = !lockDir.exists() || access(QFile::encodeName(lock).constData(), R_OK | W_OK | X_OK) == 0;
    for (const QFileInfo &entry : lockDir.entryInfoList(QDir::Files | QDir::Hidden))
        lockUsable = lockUsable && MayReadWrite(entry.filePath());
    if (!lockUsable)
        return QStringLiteral("Dieser Benutzer darf die Sperrdateien der Datenbank in %1 nicht benutzen: der "
                              "Ordner und seine Dateien müssen für die Gruppe tintorel les- und schreibbar sein. ")
                   .arg(lock) + group;
    return QString();
}

int WritersCachePages(const QString &databaseName)
{
    if (!databaseName.startsWith(QLatin1Char('/')))
        return 0;
    // A file system without direct I/O would make the engine's open fail.
    const int fd = open(QFile::encodeName(databaseName).constData(), O_RDONLY | O_DIRECT | O_CLOEXEC);
    if (fd < 0)
        return 0;
    close(fd);
    // 512 MB: the database of a million MASTER rows stays in it whole.
    return 65536;
}

void RefillFileCache(const QString &databaseName)
{
    const int fd = open(QFile::encodeName(databaseName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Read ahead in the background; the data is right without it, only
    // slower. The kernel reads no more than its read-ahead window per call.
    constexpr off_t kStep = 256 * 1024;
    const off_t size = lseek(fd, 0, SEEK_END);
    for (off_t offset = 0; offset < size; offset += kStep)
        posix_fadvise(fd, offset, kStep, POSIX_FADV_WILLNEED);
    close(fd);
}
