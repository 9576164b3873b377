#include "data/fmdm1.h"

Tfmdm *fmdm = nullptr;

const QString Tfmdm::DefaultDatabaseName =
    QStringLiteral("localhost:/var/lib/tintorel/Daten/QELMPREISE.fdb");

namespace {

void setLines(TIBQuery &query, std::initializer_list<const char *> lines)
{
    for (const char *line : lines)
        query.AddLine(QString::fromLatin1(line));
}

QStringList lines(std::initializer_list<const char *> lines)
{
    QStringList out;
    for (const char *line : lines)
        out << QString::fromLatin1(line);
    return out;
}

}  // namespace

#define QUERY(name) name(QStringLiteral(#name), &ib1, &ibTa1)

Tfmdm::Tfmdm()
    : ib1(QStringLiteral("ib1")),
      ibTa1(&ib1, QStringLiteral("ibTa1")),
      QUERY(qrProdukte_S),
      QUERY(qrFarben_S),
      QUERY(qrS),
      QUERY(qrFORMULADETAILS),
      QUERY(qrKollektionen),
      QUERY(qrMaster),
      QUERY(qrFarben),
      QUERY(qrRGBColors),
      QUERY(qrBasen),
      QUERY(qrKDaten),
      QUERY(qrProdukte),
      QUERY(qrKollektionen_S),
      QUERY(qrMaster_S),
      QUERY(qrProdukte_Kollektionen),
      QUERY(qrRGBColors_S),
      QUERY(qrBasen_S),
      QUERY(qrK1),
      QUERY(qrK2)
{
    ib1.DatabaseName = DefaultDatabaseName;
    ib1.Params = lines({"lc_ctype=ASCII", "user_name=SYSDBA", "password=pendoxilu"});
    ib1.DefaultTransaction = &ibTa1;

    setLines(qrS, {"select * from RGBCOLORS"});
    setLines(qrKollektionen, {"select * from KOLLEKTIONEN"});
    setLines(qrMaster, {"select  *  from MASTER"});
    setLines(qrFarben, {"select * from FARBEN"});
    setLines(qrRGBColors, {"select * from RGBCOLORS"});
    setLines(qrBasen, {"select * from BASEN"});
    setLines(qrKDaten, {"select * from KOMBIDATEN"});
    setLines(qrProdukte_Kollektionen, {"select * from PRODUKTE_KOLLEKTIONEN"});
    setLines(qrRGBColors_S, {"select * from RGBCOLORS"});
    setLines(qrBasen_S, {"select * from BASEN"});
    setLines(qrK1, {"select * from RGBCOLORS"});
    setLines(qrK2, {"select * from RGBCOLORS"});

    qrFarben.UpdateObject = &qrFarben_U;
    qrBasen.UpdateObject = &qrBasen_U;
    qrRGBColors.UpdateObject = &qrRGBColors_U;
    qrKollektionen.UpdateObject = &qrKollektionen_U;
    qrKDaten.UpdateObject = &qrKDaten_U;
    qrMaster.UpdateObject = &qrMaster_U;

    qrFarben_U.InsertSQL = lines({"insert into FARBEN", "  (FID, FNAME)", "values", "  (:FID, :FNAME)"});
    qrFarben_U.ModifySQL = lines({"update FARBEN", "set", "  FID = :FID,", "  FNAME = :FNAME", "where",
                                  "  FID = :OLD_FID"});
    qrFarben_U.DeleteSQL = lines({"delete from FARBEN", "where", "  FID = :OLD_FID"});
    qrFarben_U.RefreshSQL = lines({"Select ", "  FID,", "  FNAME", "from FARBEN ", "where", "  FID = :FID"});

    qrBasen_U.InsertSQL = lines({"insert into BASEN", "  (BASEID, BNAME)", "values", "  (:BASEID, :BNAME)"});
    qrBasen_U.ModifySQL = lines({"update BASEN", "set", "  BASEID = :BASEID,", "  BNAME = :BNAME", "where",
                                 "  BASEID = :OLD_BASEID"});
    qrBasen_U.DeleteSQL = lines({"delete from BASEN", "where", "  BASEID = :OLD_BASEID"});
    qrBasen_U.RefreshSQL = lines({"Select ", "  BASEID,", "  BNAME", "from BASEN ", "where", "  BASEID = :BASEID"});

    qrRGBColors_U.InsertSQL = lines({"insert into RGBCOLORS", "  (COLORID, RCOLOR, GCOLOR, BCOLOR)", "values",
                                     "  (:COLORID, :RCOLOR, :GCOLOR, :BCOLOR)"});
    qrRGBColors_U.ModifySQL = lines({"update RGBCOLORS", "set", "  COLORID = :COLORID,", "  RCOLOR = :RCOLOR,",
                                     "  GCOLOR = :GCOLOR,", "  BCOLOR = :BCOLOR", "where",
                                     "  COLORID = :OLD_COLORID"});
    qrRGBColors_U.DeleteSQL = lines({"delete from RGBCOLORS", "where", "  COLORID = :OLD_COLORID"});
    qrRGBColors_U.RefreshSQL = lines({"Select ", "  COLORID,", "  RCOLOR,", "  GCOLOR,", "  BCOLOR",
                                      "from RGBCOLORS ", "where", "  COLORID = :COLORID"});

    qrKollektionen_U.InsertSQL = lines({"insert into KOLLEKTIONEN", "  (KPID, KID, KNAME, KIMPORT)", "values",
                                        "  (:KPID, :KID, :KNAME, :KIMPORT)"});
    qrKollektionen_U.ModifySQL = lines({"update KOLLEKTIONEN", "set", "  KPID = :KPID,", "  KID = :KID,",
                                        "  KNAME = :KNAME,", "  KIMPORT = :KIMPORT", "where",
                                        "  KPID = :OLD_KPID and", "  KID = :OLD_KID"});
    qrKollektionen_U.DeleteSQL = lines({"delete from KOLLEKTIONEN", "where", "  KPID = :OLD_KPID and",
                                        "  KID = :OLD_KID"});
    qrKollektionen_U.RefreshSQL = lines({"Select ", "  KPID,", "  KID,", "  KNAME,", "  KIMPORT",
                                         "from KOLLEKTIONEN ", "where", "  KPID = :KPID and", "  KID = :KID"});

    qrKDaten_U.InsertSQL = lines({"insert into KOMBIDATEN",
                                  "  (K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST)", "values",
                                  "  (:K_FID, :K_KID, :K_PID, :K_COLORID, :K_BASEID, :K_FDETID, :K_COST)"});
    qrKDaten_U.ModifySQL = lines({"update KOMBIDATEN", "set", "  K_FID = :K_FID,", "  K_KID = :K_KID,",
                                  "  K_PID = :K_PID,", "  K_COLORID = :K_COLORID,", "  K_BASEID = :K_BASEID,",
                                  "  K_FDETID = :K_FDETID,", "  K_COST = :K_COST", "where",
                                  "  K_FID = :OLD_K_FID and", "  K_KID = :OLD_K_KID and", "  K_PID = :OLD_K_PID"});
    qrKDaten_U.DeleteSQL = lines({"delete from KOMBIDATEN", "where", "  K_FID = :OLD_K_FID and",
                                  "  K_KID = :OLD_K_KID and", "  K_PID = :OLD_K_PID"});
    qrKDaten_U.RefreshSQL = lines({"Select ", "  K_FID,", "  K_KID,", "  K_PID,", "  K_COLORID,", "  K_BASEID,",
                                   "  K_FDETID,", "  K_COST", "from KOMBIDATEN ", "where", "  K_FID = :K_FID and",
                                   "  K_KID = :K_KID and", "  K_PID = :K_PID"});

    // MASTER is never written through a query; the statements exist for
    // completeness, keyed on all ten columns.
    qrMaster_U.InsertSQL = lines({"insert into MASTER",
                                  "  (COLORNAME, COLORNUMBER, MFGPRODUCTNAME, PRODUCTID, RCOLOR, GCOLOR, BCOLOR, ",
                                  "   BASENAME, FORMULADETAILSKEY, COSTCODE)", "values",
                                  "  (:COLORNAME, :COLORNUMBER, :MFGPRODUCTNAME, :PRODUCTID, :RCOLOR, :GCOLOR, ",
                                  "   :BCOLOR, :BASENAME, :FORMULADETAILSKEY, :COSTCODE)"});
    const QStringList masterKey = lines({"where", "  COLORNAME = :OLD_COLORNAME and",
                                         "  COLORNUMBER = :OLD_COLORNUMBER and",
                                         "  MFGPRODUCTNAME = :OLD_MFGPRODUCTNAME and",
                                         "  PRODUCTID = :OLD_PRODUCTID and", "  RCOLOR = :OLD_RCOLOR and",
                                         "  GCOLOR = :OLD_GCOLOR and", "  BCOLOR = :OLD_BCOLOR and",
                                         "  BASENAME = :OLD_BASENAME and",
                                         "  FORMULADETAILSKEY = :OLD_FORMULADETAILSKEY and",
                                         "  COSTCODE = :OLD_COSTCODE"});
    qrMaster_U.ModifySQL = lines({"update MASTER", "set", "  COLORNAME = :COLORNAME,",
                                  "  COLORNUMBER = :COLORNUMBER,", "  MFGPRODUCTNAME = :MFGPRODUCTNAME,",
                                  "  PRODUCTID = :PRODUCTID,", "  RCOLOR = :RCOLOR,", "  GCOLOR = :GCOLOR,",
                                  "  BCOLOR = :BCOLOR,", "  BASENAME = :BASENAME,",
                                  "  FORMULADETAILSKEY = :FORMULADETAILSKEY,", "  COSTCODE = :COSTCODE"}) +
                           masterKey;
    qrMaster_U.DeleteSQL = lines({"delete from MASTER"}) + masterKey;
    qrMaster_U.RefreshSQL = lines({"Select ", "  COLORNAME,", "  COLORNUMBER,", "  MFGPRODUCTNAME,",
                                   "  PRODUCTID,", "  RCOLOR,", "  GCOLOR,", "  BCOLOR,", "  BASENAME,",
                                   "  FORMULADETAILSKEY,", "  COSTCODE", "from MASTER "}) +
                            lines({"where", "  COLORNAME = :COLORNAME and", "  COLORNUMBER = :COLORNUMBER and",
                                   "  MFGPRODUCTNAME = :MFGPRODUCTNAME and", "  PRODUCTID = :PRODUCTID and",
                                   "  RCOLOR = :RCOLOR and", "  GCOLOR = :GCOLOR and", "  BCOLOR = :BCOLOR and",
                                   "  BASENAME = :BASENAME and", "  FORMULADETAILSKEY = :FORMULADETAILSKEY and",
                                   "  COSTCODE = :COSTCODE"});
}

#undef QUERY

Tfmdm::~Tfmdm() = default;
