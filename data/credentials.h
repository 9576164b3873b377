// The program's two fixed sets of connection parameters, tried in this order:
// the administrator, then the program's own database user.
#pragma once

#include <QString>
#include <QStringList>

inline const QString AdministratorUser = QStringLiteral("SYSDBA");
inline const QString AdministratorPassword = QStringLiteral("pendoxilu");
inline const QString ProgramUser = QStringLiteral("QELMMASTER");
inline const QString ProgramUserPassword = QStringLiteral("MUBRELT");

inline QStringList ConnectionParams(const QString &user, const QString &password)
{
    return {QStringLiteral("user_name=") + user, QStringLiteral("password=") + password,
            QStringLiteral("lc_ctype=ASCII")};
}

inline const QStringList AdministratorParams = ConnectionParams(AdministratorUser, AdministratorPassword);
inline const QStringList ProgramUserParams = ConnectionParams(ProgramUser, ProgramUserPassword);
