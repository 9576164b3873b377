// Statement helpers shared by every user of the query layer.
#pragma once

#include "data/quoting.h"

#include <QString>
#include <QStringList>

class TIBQuery;

// Closes the query and gives it the statement lines, one line per call.
void SetStatement(TIBQuery &query, const QStringList &lines);
