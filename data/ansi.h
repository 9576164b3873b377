// The program's single-byte character set, Windows-1252: statement text is
// sent in it, text columns are read in it, the log is written in it.
#pragma once

#include <QByteArray>
#include <QString>

// Characters that Windows-1252 cannot hold become "?".
QByteArray ToAnsi(const QString &text);
QString FromAnsi(const QByteArray &bytes);
QString FromAnsi(const char *data, int length);

// The ANSI upper-case mapping of Windows-1252: a-z and the accented small
// letters to their capitals; ß, µ and ÿ's peers without a capital stay.
QString AnsiUpperCase(const QString &text);
