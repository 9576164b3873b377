// A Firebird server of the tests' own (Debian's firebird3.0-server binary),
// listening on loopback only, on a free port, with its configuration and its
// security database in a temporary folder. A system server, if any, is never
// used or touched.
//
// Port: the program's connection lines carry no port ("127.0.0.1:folder"),
// so the client must learn the server's port from its configuration. The
// fixture's folder is a Firebird root: firebird.conf (RemoteServicePort,
// RemoteBindAddress 127.0.0.1, SecurityDatabase), databases.conf, links to the
// installed messages, plugins and character sets. The server runs with
// FIREBIRD set to it, and so does this process (and every process it starts
// later): the client library reads the port from there. The client library
// reads its configuration once, so create the fixture before anything in the
// process touches Firebird; the constructor checks it.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class FirebirdServer {
public:
    static constexpr const char *AdminPassword = "pendoxilu";
    static constexpr const char *ProgramUserPassword = "MUBRELT";

    // Lays out the root, creates the security database with SYSDBA
    // ("pendoxilu") and QELMMASTER ("MUBRELT"), starts the server.
    FirebirdServer();
    // Stops the server.
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer &) = delete;
    FirebirdServer &operator=(const FirebirdServer &) = delete;

    void Start();
    // Shuts the server down (SIGTERM, SIGKILL after a grace time); returns
    // when the process is gone.
    void Stop();

    // Changes a user's password in the server's security database; the
    // server must run. Changing SYSDBA's is remembered for later changes.
    void SetPassword(const QString &user, const QString &password);

private:
    bool running() const;
    void waitUntilListening();
    // The fixture's own database, reached through the server.
    QString adminDatabase() const;

    QTemporaryDir root_;
    quint16 port_ = 0;
    QString adminPassword_ = QString::fromLatin1(AdminPassword);
    std::unique_ptr<QProcess> server_;
    QByteArray previousFirebird_;
    bool hadFirebird_ = false;
};

// The child process gets SIGKILL when this process dies, so that a killed test
// leaves nothing running. Call before start(), from the main thread (the
// signal follows the thread that started the child).
void DieWithParent(QProcess &process);
