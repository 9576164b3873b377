#include "support/fbserver.h"

#include "data/ib.h"
#include "data/sql.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

const QString kInstallRoot = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");
const QString kServerBinary = QStringLiteral("/usr/sbin/firebird");

[[noreturn]] void fail(const QString &text)
{
    throw std::runtime_error(("Firebird test server: " + text).toStdString());
}

// A port on 127.0.0.1 that nothing listens on right now.
quint16 freeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        fail(QStringLiteral("no socket for finding a free port"));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool ok = bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0;
    close(fd);
    if (!ok)
        fail(QStringLiteral("no free port on 127.0.0.1"));
    return ntohs(address.sin_port);
}

// Whether a socket listens on 127.0.0.1:port, read from the kernel's table
// (a probing connection would end up in the server's log).
bool listening(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> columns = line.simplified().split(' ');
        if (columns.size() > 3 && columns[1] == local && columns[3] == "0A")
            return true;
    }
    return false;
}

// Runs statements on one connection as SYSDBA and commits.
void runAdmin(const QString &database, const QString &password, const QStringList &statements)
{
    TIBDatabase db(QStringLiteral("ibAdmin"));
    TIBTransaction tr(&db, QStringLiteral("ibAdminTa"));
    TIBQuery query(QStringLiteral("qrAdmin"), &db, &tr);
    db.DatabaseName = database;
    db.Params = QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + password,
                            QStringLiteral("lc_ctype=ASCII")};
    db.DefaultTransaction = &tr;
    db.SetConnected(true);
    for (const QString &statement : statements) {
        SetStatement(query, {statement});
        query.RunStatement();
    }
    tr.Commit();
    db.SetConnected(false);
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
        fail(QStringLiteral("cannot write %1").arg(path));
}

}  // namespace

void DieWithParent(QProcess &process)
{
    const pid_t parent = getpid();
    process.setChildProcessModifier([parent] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The parent may have died before the signal was armed.
        if (getppid() != parent)
            _exit(1);
    });
}

FirebirdServer::FirebirdServer()
{
    if (!QFileInfo(kServerBinary).isExecutable())
        fail(kServerBinary + QStringLiteral(" is missing; install the Debian package firebird3.0-server"));
    if (!root_.isValid())
        fail(QStringLiteral("no temporary folder"));
    const QString root = root_.path();

    // The installed messages, plugins, character sets and UDFs, by link; the
    // configuration files are our own.
    const QDir install(kInstallRoot);
    if (!install.exists())
        fail(kInstallRoot + QStringLiteral(" is missing; install the Debian package firebird3.0-server-core"));
    for (const QString &entry : install.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry == QLatin1String("firebird.conf") || entry == QLatin1String("databases.conf"))
            continue;
        if (entry == QLatin1String("intl")) {
            // The character sets load only from a real folder of the root:
            // linked, WIN1252 is "not installed".
            const QDir intl(install.filePath(entry));
            if (!QDir(root).mkdir(entry))
                fail(QStringLiteral("cannot make %1").arg(entry));
            for (const QString &file : intl.entryList(QDir::Files))
                if (!QFile::copy(intl.filePath(file), root + QLatin1Char('/') + entry + QLatin1Char('/') + file))
                    fail(QStringLiteral("cannot copy %1").arg(file));
            continue;
        }
        if (!QFile::link(install.filePath(entry), root + QLatin1Char('/') + entry))
            fail(QStringLiteral("cannot link %1").arg(entry));
    }
    const QString security = root + QStringLiteral("/security3.fdb");
    port_ = freeLoopbackPort();
    writeFile(root + QStringLiteral("/firebird.conf"),
              QStringLiteral("RemoteServicePort = %1\n"
                             "RemoteBindAddress = 127.0.0.1\n"
                             "SecurityDatabase = %2\n")
                  .arg(port_)
                  .arg(security));
    writeFile(root + QStringLiteral("/databases.conf"),
              QStringLiteral("security.db = %1\n{\n\tRemoteAccess = false\n}\n").arg(security));

    // From here on this process's client library, and that of every process
    // it starts, reads the configuration above.
    hadFirebird_ = qEnvironmentVariableIsSet("FIREBIRD");
    previousFirebird_ = qgetenv("FIREBIRD");
    qputenv("FIREBIRD", root.toLocal8Bit());

    // Security database and users, through the embedded engine while no
    // server holds the file.
    CreateDatabase(security);
    runAdmin(security, adminPassword_,
             {QStringLiteral("CREATE USER SYSDBA PASSWORD %1 USING PLUGIN Srp").arg(QuotedLiteral(adminPassword_)),
              QStringLiteral("CREATE USER QELMMASTER PASSWORD %1 USING PLUGIN Srp")
                  .arg(QuotedLiteral(QString::fromLatin1(ProgramUserPassword)))});
    // A database of the fixture's own for user management through the server.
    CreateDatabase(root + QStringLiteral("/admin.fdb"));

    Start();
    try {
        runAdmin(adminDatabase(), adminPassword_, {});
    } catch (const Exception &e) {
        Stop();
        fail(QStringLiteral("the client does not reach the server through 127.0.0.1 (was Firebird used in "
                            "this process before the fixture was made?): ") +
             e.Message());
    }
}

FirebirdServer::~FirebirdServer()
{
    Stop();
    if (hadFirebird_)
        qputenv("FIREBIRD", previousFirebird_);
    else
        qunsetenv("FIREBIRD");
}

void FirebirdServer::Start()
{
    if (running())
        return;
    if (listening(port_))
        fail(QStringLiteral("port %1 on 127.0.0.1 is taken by another program").arg(port_));
    server_ = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD"), root_.path());
    server_->setProcessEnvironment(environment);
    server_->setProcessChannelMode(QProcess::MergedChannels);
    DieWithParent(*server_);
    server_->start(kServerBinary, {});
    if (!server_->waitForStarted(10000))
        fail(QStringLiteral("%1 did not start: %2").arg(kServerBinary, server_->errorString()));
    waitUntilListening();
}

void FirebirdServer::waitUntilListening()
{
    QElapsedTimer clock;
    clock.start();
    while (!listening(port_)) {
        if (server_->state() == QProcess::NotRunning) {
            const QString text = QString::fromLocal8Bit(server_->readAll());
            server_.reset();
            fail(QStringLiteral("the server ended at start: ") + text);
        }
        if (clock.elapsed() > 20000) {
            Stop();
            fail(QStringLiteral("the server did not listen on 127.0.0.1:%1 within 20 s").arg(port_));
        }
        QThread::msleep(20);
    }
}

void FirebirdServer::Stop()
{
    if (!server_)
        return;
    if (server_->state() != QProcess::NotRunning) {
        // Its own shutdown now and then hangs for long after a database was
        // just closed; committed work is on disk (forced writes) either way.
        server_->terminate();
        if (!server_->waitForFinished(3000)) {
            server_->kill();
            server_->waitForFinished(5000);
        }
    }
    server_.reset();
}

QString FirebirdServer::adminDatabase() const
{
    return QStringLiteral("127.0.0.1:") + root_.path() + QStringLiteral("/admin.fdb");
}

bool FirebirdServer::running() const
{
    return server_ && server_->state() != QProcess::NotRunning;
}

void FirebirdServer::SetPassword(const QString &user, const QString &password)
{
    runAdmin(adminDatabase(), adminPassword_,
             {QStringLiteral("ALTER USER %1 PASSWORD %2 USING PLUGIN Srp").arg(user, QuotedLiteral(password))});
    if (user.compare(QLatin1String("SYSDBA"), Qt::CaseInsensitive) == 0)
        adminPassword_ = password;
}
