// Scanning of statement text: comments, quoted names and string literals
// are passed over as a whole.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The statement text as sent: Windows-1252, and every string literal that
// holds a character outside ASCII written with the _NONE introducer, which
// carries such bytes over an ASCII connection.
QByteArray StatementBytes(const QString &text);

// The lines as one statement text, each followed by CR LF.
QString StatementText(const QStringList &lines);

// The lines as one statement text, each followed by CR LF, with every named
// parameter (":NAME" outside a string literal) turned into a marker; the
// names are added to names in statement order.
QString MarkNamedParameters(const QStringList &lines, QStringList &names);
