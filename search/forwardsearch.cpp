#include "search/forwardsearch.h"

#include "data/fmdm1.h"
#include "search/filter.h"

ForwardSearch::ForwardSearch(Tfmdm &dm, const SearchControls &controls, ListLoader &loader)
    : SearchDirection(controls, loader),
      collections_(QStringLiteral("qrVorKollektionen"), &dm.ib1, &dm.ibTa1),
      shades_(QStringLiteral("qrVorFarben"), &dm.ib1, &dm.ibTa1),
      lists_{{{&dm.qrProdukte_S,
               {QStringLiteral("PNAME"), QStringLiteral("PID"), true, true, true},
               QStringLiteral(" where (") + CaseBlind(QStringLiteral("PNAME")) + QStringLiteral(" like '%"),
               QStringLiteral("    or        PNAME  like '%"),
               {QStringLiteral("order by PNAME")}},
              {&collections_,
               {QStringLiteral("KNAME"), QStringLiteral("KID"), false, true, true},
               QStringLiteral(" and (") + CaseBlind(QStringLiteral("KNAME")) + QStringLiteral(" like '%"),
               QStringLiteral("  or        KNAME  like '%"),
               {QStringLiteral("group by KNAME, KID"), QStringLiteral("order by KNAME")}},
              {&shades_,
               {QStringLiteral("FNAME"), QStringLiteral("FID"), false, true, false},
               QStringLiteral("   and (") + CaseBlind(QStringLiteral("FNAME")) + QStringLiteral(" like '%"),
               QStringLiteral("    or        FNAME  like '%"),
               {QStringLiteral("group by FNAME,FID"), QStringLiteral("order by FNAME")}}}}
{
}

QStringList ForwardSearch::Head(int level) const
{
    switch (level) {
    case 0:
        return {QStringLiteral("select * from PRODUKTE")};
    case 1:
        return {QStringLiteral("select kname,kid"), QStringLiteral("  from kollektionen"),
                QStringLiteral(" where kpid = ") + ChosenText(0)};
    default:
        return {QStringLiteral("select FNAME,FID from KOMBIDATEN, FARBEN"), QStringLiteral("where K_FID = FID"),
                QStringLiteral("and   K_KID = ") + ChosenText(1), QStringLiteral("and   K_PID = ") + ChosenText(0)};
    }
}

void ForwardSearch::Reset()
{
    ResetFields();
    Load(0);
}
