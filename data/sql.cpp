#include "data/sql.h"

#include "data/ib.h"

void SetStatement(TIBQuery &query, const QStringList &lines)
{
    query.CloseQuery();
    query.ClearLines();
    for (const QString &line : lines)
        query.AddLine(line);
}
