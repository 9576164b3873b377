#include "search/backwardsearch.h"

#include "data/fmdm1.h"
#include "search/filter.h"

#include <QLineEdit>
#include <QListWidget>

BackwardSearch::BackwardSearch(Tfmdm &dm, const SearchControls &controls, ListLoader &loader)
    : SearchDirection(controls, loader),
      collections_(QStringLiteral("qrRueckKollektionen"), &dm.ib1, &dm.ibTa1),
      products_(QStringLiteral("qrRueckProdukte"), &dm.ib1, &dm.ibTa1),
      lists_{{{&dm.qrFarben_S,
               {QStringLiteral("FNAME"), QStringLiteral("FID"), true, true, true},
               QStringLiteral(" where (") + CaseBlind(QStringLiteral("FNAME")) + QStringLiteral(" like '%"),
               QStringLiteral("    or        FNAME  like '%"),
               {QStringLiteral("order by FNAME")}},
              {&collections_,
               {QStringLiteral("KNAME"), QStringLiteral("KID"), false, false, false},
               QStringLiteral(" and (") + CaseBlind(QStringLiteral("KNAME")) + QStringLiteral(" like '%"),
               QStringLiteral("  or        KNAME  like '%"),
               {QStringLiteral(" group by KNAME, KID"), QStringLiteral(" order by KNAME")}},
              {&products_,
               {QStringLiteral("PNAME"), QStringLiteral("PID"), false, false, false},
               QStringLiteral(" and (") + CaseBlind(QStringLiteral("PNAME")) + QStringLiteral(" like '%"),
               QStringLiteral("  or        PNAME  like '%"),
               {QStringLiteral(" group by PNAME, PID"), QStringLiteral(" order by PNAME")}}}}
{
}

QStringList BackwardSearch::Head(int level) const
{
    switch (level) {
    case 0:
        return {QStringLiteral("select * from FARBEN")};
    case 1:
        return {QStringLiteral("select KNAME, KID from KOMBIDATEN, KOLLEKTIONEN"),
                QStringLiteral(" where K_KID = KID and KPID=0"), QStringLiteral("   and K_FID = ") + ChosenText(0)};
    default:
        return {QStringLiteral("select PNAME, PID from KOMBIDATEN, PRODUKTE"), QStringLiteral(" where K_PID = PID"),
                QStringLiteral("   and K_KID = ") + ChosenText(1), QStringLiteral("   and K_FID = ") + ChosenText(0)};
    }
}

bool BackwardSearch::MayReload() const
{
    return !TrimControls(c_.field[0]->text()).isEmpty();
}

void BackwardSearch::Reset()
{
    // A reload still pending would list every shade of an empty filter.
    StopTimer();
    ResetFields();
    loader_.Cancel();
    c_.names->clear();
    c_.ids->clear();
    SetLevel(0);
}
