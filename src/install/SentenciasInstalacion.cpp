#include "install/SentenciasInstalacion.h"

namespace {

// Output families in their declared order; PARTOTALANTICIPOSLIBRES is the one
// output without a group digit and sits between the advances and partial orders.
const char *const kFamiliasAntes[] = {
    "PARRIESGOCONCEDIDO", "PARFACTPTESCOBRO", "PARDEVPENDIENTES", "PARREMPTESCONFIRMAR",
    "PARFACTPTESREMESAR", "PARREMESASENRIESGO", "PARALBSINFACT",   "PARTOTALRIESGO",
    "PARTOTALOTROS",      "PARPRESINACEPTAR",  "PARPEDIDOSPTES",   "PARTOTALANTICIPOS",
};
const char *const kAnticiposLibres = "PARTOTALANTICIPOSLIBRES";
const char *const kFamiliasDespues[] = {
    "PARPEDIDOSPARCIALES",
    "PARSUMADEVCOBRADAS",
    "PARSUMADEVPENDIENTES",
    "PARSUMADEVTOTALES",
};

// Families that stay NULL when no row adds to them; they are then set to 0.
const char *const kFamiliasConsultadas[] = {
    "PARRIESGOCONCEDIDO", "PARPEDIDOSPTES",     "PARPEDIDOSPARCIALES", "PARTOTALANTICIPOS",
    "PARPRESINACEPTAR",   "PARALBSINFACT",     "PARDEVPENDIENTES",    "PARREMPTESCONFIRMAR",
    "PARFACTPTESREMESAR", "PARFACTPTESCOBRO",  "PARREMESASENRIESGO",  "PARSUMADEVCOBRADAS",
    "PARSUMADEVPENDIENTES",
};

constexpr int kGrupos = 5;

QString conGrupo(QString texto, int g) { return texto.replace(QStringLiteral("{g}"), QString::number(g)); }

// ":F1, :F2, ..., :F5" for each family, in order; a family without "{g}" is one output.
QString destinos(std::initializer_list<const char *> familias)
{
    QStringList d;
    for (const char *familia : familias) {
        const QString f = QLatin1String(familia);
        if (!f.contains(QLatin1String("{g}")))
            d << QLatin1Char(':') + f;
        else
            for (int g = 1; g <= kGrupos; ++g)
                d << QLatin1Char(':') + conGrupo(f, g);
    }
    return d.join(QStringLiteral(", "));
}

// One sum per group of what passes the condition; "{g}" in it stands for the group.
// SUM adds in the order the rows are read, as the one query per group did, so
// every total keeps its last bit.
QStringList sumasPorGrupo(const QString &condicion, const QString &importe)
{
    QStringList sumas;
    for (int g = 1; g <= kGrupos; ++g)
        sumas << QStringLiteral("SUM(IIF(%1, %2, NULL))").arg(conGrupo(condicion, g), importe);
    return sumas;
}

// A single aggregate over one table: the column list, then the FROM ... lines and INTO.
QStringList consulta(const QString &titulo, const QStringList &sumas, const QStringList &origen, const QString &into)
{
    QStringList lineas{QStringLiteral("  /* %1 */").arg(titulo), QStringLiteral("  SELECT")};
    for (qsizetype i = 0; i < sumas.size(); ++i)
        lineas << QStringLiteral("    ") + sumas[i] + (i + 1 < sumas.size() ? QStringLiteral(",") : QString());
    for (const QString &linea : origen)
        lineas << QStringLiteral("  ") + linea;
    lineas << QStringLiteral("  INTO %1;").arg(into) << QString();
    return lineas;
}

// "IF (AUXGRUPO = 1) THEN F1 = ... ELSE IF ...": adds AUXIMPORTE to the group's
// sum; a sum still NULL starts from 0 as SUM does, so the bits come out the same.
QStringList sumarAlGrupo(const char *familia, const QString &sangria)
{
    QStringList lineas{sangria + QStringLiteral("BEGIN")};
    for (int g = 1; g <= kGrupos; ++g) {
        const QString f = QLatin1String(familia) + QString::number(g);
        lineas << sangria
                      + QStringLiteral("  %1(AUXGRUPO = %2) THEN %3 = COALESCE(%3, 0) + AUXIMPORTE;")
                            .arg(g == 1 ? QStringLiteral("IF ") : QStringLiteral("ELSE IF "))
                            .arg(g)
                            .arg(f);
    }
    lineas << sangria + QStringLiteral("END");
    return lineas;
}

// One family summed per group of the document series, for a table read by customer.
QStringList importesPorSerie(const char *titulo, const char *tabla, const char *importe, const char *condicion,
                             const char *familia)
{
    const QString alias = QString::fromLatin1(tabla).section(QLatin1Char(' '), 1);
    return consulta(QLatin1String(titulo), sumasPorGrupo(QStringLiteral("S.GRUPORIESGO = {g}"), QLatin1String(importe)),
                    {QStringLiteral("FROM %1").arg(QLatin1String(tabla)),
                     QStringLiteral("LEFT OUTER JOIN SERIESDOCUMENTOS S ON (%1.SERIEDOCUMENTO = S.IDSERIESDOCUMENTOS)")
                         .arg(alias),
                     QStringLiteral("WHERE (%1.CLIENTE = :PARCLIENTE)").arg(alias),
                     QStringLiteral("AND %1").arg(QLatin1String(condicion))},
                    destinos({familia}));
}

// Orders, quotations, delivery notes and invoices: each table once, every group's
// sum in the same pass. Lines are read only for partly served orders.
QStringList consultasDocumentos()
{
    QStringList t;
    t << consulta(
        QStringLiteral("Pedidos Pendientes de Servir y Pedidos Parcialmente Servidos"),
        sumasPorGrupo(QStringLiteral("(S.GRUPORIESGO = {g}) AND (PV.ESTADO = \"P\")"), QStringLiteral("PV.IMPORTEPEDIDO"))
            + sumasPorGrupo(QStringLiteral("(S.GRUPORIESGO = {g}) AND (LPV.CANTIDADPEDIDASTOCK1 > LPV.CANTIDADSERVIDASTOCK1)"),
                            QStringLiteral("(LPV.CANTIDADPEDIDASTOCK1 - LPV.CANTIDADSERVIDASTOCK1) * LPV.PRECIO")),
        {QStringLiteral("FROM PEDIDOSVENTA PV"),
         QStringLiteral("LEFT OUTER JOIN SERIESDOCUMENTOS S ON (PV.SERIEDOCUMENTO = S.IDSERIESDOCUMENTOS)"),
         QStringLiteral("LEFT OUTER JOIN LINEASPEDIDOVENTA LPV ON (LPV.PEDIDOVENTA = IIF(PV.ESTADO = \"R\", "
                        "PV.IDPEDIDOSVENTA, NULL))"),
         QStringLiteral("WHERE (PV.CLIENTE = :PARCLIENTE)"),
         QStringLiteral("AND ((PV.ESTADO = \"P\") OR (PV.ESTADO = \"R\"))")},
        destinos({"PARPEDIDOSPTES{g}", "PARPEDIDOSPARCIALES{g}"}));
    t << importesPorSerie("Presupuestos Sin Aceptar", "PRESUPUESTOSVENTA PR", "PR.IMPORTEPRESUPUESTO",
                          "(PR.ESTADO = \"P\")", "PARPRESINACEPTAR{g}");
    t << importesPorSerie("Albaranes Pendientes de Facturar", "ALBARANESVENTA AV", "AV.IMPORTEALBARAN",
                          "(AV.FACTURAVENTA IS NULL)", "PARALBSINFACT{g}");
    // An invoice without instalments adds nothing: its joined state is NULL.
    t << consulta(
        QStringLiteral("Suma Facturas Ptes Gestionar Cobros"),
        sumasPorGrupo(QStringLiteral("(S.GRUPORIESGO = {g}) AND (LG.DOCUMENTOCOBRO IS NULL) AND (LG.ESTADO != \"X\")"),
                      QStringLiteral("LG.IMPORTEVTO")),
        {QStringLiteral("FROM FACTURASVENTA F"),
         QStringLiteral("LEFT OUTER JOIN SERIESFACTURAS S ON (F.SERIEFACTURA = S.IDSERIESFACTURAS)"),
         QStringLiteral("LEFT OUTER JOIN LINEASGIROSFACTURAVENTA LG ON (LG.FACTURAVENTA = F.IDFACTURASVENTA)"),
         QStringLiteral("WHERE (F.CLIENTE = :PARCLIENTE)")},
        destinos({"PARFACTPTESCOBRO{g}"}));
    return t;
}

// The customer's movements once. The inner table works out, once per movement and
// only for the movements that need it, the group of the order and of the delivery
// note an advance is tied to (a series without code counts in none) and the group
// of the document a return comes from while no new document has been made of it.
QStringList consultaMovimientos()
{
    const QString anticipo = QStringLiteral("(M.DOCUMENTOORIGENCOBRO IS NULL) AND (M.FACTURALIQUIDACION IS NULL)");
    return consulta(
        QStringLiteral("Anticipos de Clientes, Anticipos LIBRES del Clientes y Suma Devoluciones Pendientes"),
        sumasPorGrupo(QStringLiteral("(A.GRUPOPEDIDO = {g}) OR (A.GRUPOALBARAN = {g})"), QStringLiteral("A.IMPORTE"))
            + QStringList{QStringLiteral("SUM(IIF(A.LIBRE = 1, A.IMPORTE, NULL))")}
            + sumasPorGrupo(QStringLiteral("A.GRUPODEVOLUCION = {g}"), QStringLiteral("A.IMPORTE")),
        {QStringLiteral("FROM (SELECT M.IMPORTEMOVIMIENTO IMPORTE,"),
         QStringLiteral("  IIF(%1 AND (M.PEDIDOORIGEN IS NULL) AND (M.ALBARANORIGEN IS NULL), 1, 0) LIBRE,").arg(anticipo),
         QStringLiteral("  IIF(%1 AND (M.PEDIDOORIGEN IS NOT NULL),").arg(anticipo),
         QStringLiteral("    (SELECT S1.GRUPORIESGO FROM PEDIDOSVENTA PV"),
         QStringLiteral("     JOIN SERIESDOCUMENTOS S1 ON (PV.SERIEDOCUMENTO = S1.IDSERIESDOCUMENTOS)"),
         QStringLiteral("     WHERE (PV.IDPEDIDOSVENTA = M.PEDIDOORIGEN) AND (S1.CODIGO IS NOT NULL)), NULL) GRUPOPEDIDO,"),
         QStringLiteral("  IIF(%1 AND (M.ALBARANORIGEN IS NOT NULL),").arg(anticipo),
         QStringLiteral("    (SELECT S2.GRUPORIESGO FROM ALBARANESVENTA AV"),
         QStringLiteral("     JOIN SERIESDOCUMENTOS S2 ON (AV.SERIEDOCUMENTO = S2.IDSERIESDOCUMENTOS)"),
         QStringLiteral("     WHERE (AV.IDALBARANESVENTA = M.ALBARANORIGEN) AND (S2.CODIGO IS NOT NULL)), NULL) GRUPOALBARAN,"),
         QStringLiteral("  IIF((M.ESTADO = \"D\") AND (M.DOCUMENTOORIGENCOBRO IS NOT NULL),"),
         QStringLiteral("    (SELECT S.GRUPORIESGO FROM DOCUMENTOSCOBRO DC"),
         QStringLiteral("     JOIN SERIESFACTURAS S ON (DC.SERIEFACTURA = S.IDSERIESFACTURAS)"),
         QStringLiteral("     WHERE (DC.IDDOCUMENTOSCOBRO = M.DOCUMENTOORIGENCOBRO)"),
         QStringLiteral("     AND (NOT EXISTS (SELECT 1 FROM DOCUMENTOSCOBRO DCD"),
         QStringLiteral("                      WHERE (DCD.MOVIMIENTODEVOLUCION = M.IDMOVIMIENTOSCOBRO)))), NULL) "
                        "GRUPODEVOLUCION"),
         QStringLiteral("  FROM MOVIMIENTOSCOBRO M"),
         QStringLiteral("  WHERE (M.ClienteOrigen = :PARCLIENTE)) A")},
        destinos({"PARTOTALANTICIPOS{g}", "PARTOTALANTICIPOSLIBRES", "PARSUMADEVPENDIENTES{g}"}));
}

// The customer's collection documents once, in a loop: which movements come from
// a document decides its block, and is looked up once per document.
QStringList bucleDocumentosCobro()
{
    QStringList t{
        QStringLiteral("  /* Suma Devoluciones Pendientes, Suma Remesas Ptes Confirmar, Suma Facturas Ptes Remesar / "
                       "Cobrar, Suma Remesas en Riesgo y Suma Devoluciones Cobradas */"),
        QStringLiteral("  FOR SELECT DC.IMPORTEDOCUMENTO, S.GRUPORIESGO,"),
        QStringLiteral("    IIF(DC.MOVIMIENTODEVOLUCION IS NOT NULL, 1, IIF(DC.REMESA IS NOT NULL, 2, "
                       "IIF(DC.ESTADO != \"X\", 3, 0))),"),
        QStringLiteral("    IIF((DC.ESTADO = \"F\") AND (DC.REMESA IS NOT NULL), 1, 0),"),
        QStringLiteral("    IIF(EXISTS (SELECT 1 FROM MOVIMIENTOSCOBRO M"),
        QStringLiteral("                WHERE (M.DOCUMENTOORIGENCOBRO = DC.IDDOCUMENTOSCOBRO)),"),
        QStringLiteral("      IIF((DC.MOVIMIENTODEVOLUCION IS NOT NULL) AND (EXISTS (SELECT 1 FROM MOVIMIENTOSCOBRO MC"),
        QStringLiteral("        WHERE (MC.DOCUMENTOORIGENCOBRO = DC.IDDOCUMENTOSCOBRO) AND (MC.ESTADO = \"CF\"))), 2, 1), 0)"),
        QStringLiteral("  FROM DOCUMENTOSCOBRO DC"),
        QStringLiteral("  LEFT OUTER JOIN SERIESFACTURAS S ON (DC.SERIEFACTURA = S.IDSERIESFACTURAS)"),
        QStringLiteral("  WHERE (DC.CLIENTEORIGEN = :PARCLIENTE)"),
        QStringLiteral("  AND (DC.IMPORTEDOCUMENTO IS NOT NULL)"),
        QStringLiteral("  AND (S.GRUPORIESGO IS NOT NULL)"),
        QStringLiteral("  INTO :AUXIMPORTE, :AUXGRUPO, :AUXSITUACION, :AUXENRIESGO, :AUXMOVIMIENTOS DO"),
        QStringLiteral("  BEGIN"),
        QStringLiteral("    /* Remesado en estado F: Suma Remesas en Riesgo */"),
        QStringLiteral("    IF (AUXENRIESGO = 1) THEN"),
    };
    t << sumarAlGrupo("PARREMESASENRIESGO", QStringLiteral("    "));
    t << QStringLiteral("    /* Sin movimientos: devuelto, remesado o pendiente de remesar */")
      << QStringLiteral("    IF (AUXMOVIMIENTOS = 0) THEN")
      << QStringLiteral("    BEGIN")
      << QStringLiteral("      IF (AUXSITUACION = 1) THEN");
    t << sumarAlGrupo("PARDEVPENDIENTES", QStringLiteral("      "));
    t << QStringLiteral("      ELSE IF (AUXSITUACION = 2) THEN");
    t << sumarAlGrupo("PARREMPTESCONFIRMAR", QStringLiteral("      "));
    t << QStringLiteral("      ELSE IF (AUXSITUACION = 3) THEN");
    t << sumarAlGrupo("PARFACTPTESREMESAR", QStringLiteral("      "));
    t << QStringLiteral("    END")
      << QStringLiteral("    /* Devuelto y cobrado (CF): Suma Devoluciones Cobradas, una vez */")
      << QStringLiteral("    ELSE IF (AUXMOVIMIENTOS = 2) THEN");
    t << sumarAlGrupo("PARSUMADEVCOBRADAS", QStringLiteral("    "));
    t << QStringLiteral("  END") << QString();
    return t;
}

QStringList declaracionSalidas()
{
    QStringList nombres;
    for (const char *familia : kFamiliasAntes)
        for (int g = 1; g <= kGrupos; ++g)
            nombres << QLatin1String(familia) + QString::number(g);
    nombres << QLatin1String(kAnticiposLibres);
    for (const char *familia : kFamiliasDespues)
        for (int g = 1; g <= kGrupos; ++g)
            nombres << QLatin1String(familia) + QString::number(g);

    QStringList lineas;
    for (qsizetype i = 0; i < nombres.size(); ++i)
        lineas << QStringLiteral("    %1 DOUBLE PRECISION%2")
                      .arg(nombres[i], i + 1 < nombres.size() ? QStringLiteral(",") : QStringLiteral(")"));
    return lineas;
}

} // namespace

QStringList SentenciasEsquema()
{
    QStringList s;
    s << QStringLiteral("create domain TLXGRUPORIESGO as smallint DEFAULT 1 CHECK (VALUE IN (1, 2, 3, 4, 5));")
      << QStringLiteral("ALTER TABLE SERIESDOCUMENTOS ADD GRUPORIESGO TLXGRUPORIESGO;")
      << QStringLiteral("ALTER TABLE SERIESFACTURAS ADD GRUPORIESGO TLXGRUPORIESGO;")
      << QStringLiteral("ALTER TABLE FORMASPAGO ADD DIASRIESGO TLXID DEFAULT 0;");
    for (int n = 2; n <= 5; ++n)
        s << QStringLiteral("ALTER TABLE CLIENTES ADD RIESGOCONCEDIDO%1 TLXIMPORTE DEFAULT 0;").arg(n);
    for (int n = 2; n <= 5; ++n)
        s << QStringLiteral("ALTER TABLE CLIENTES ADD FECHAREDUCCIONCREDITOCAUC%1 TLXFECHA;").arg(n);
    for (int n = 2; n <= 5; ++n)
        s << QStringLiteral("ALTER TABLE CLIENTES ADD CODIGOCREDITOCAUCION%1 TLXCODIGOCUENTA;").arg(n);
    // Fix-ups touch only NULL values, so a repeated installation keeps what the user set.
    // The risk-days statements must run in this order: the last one catches what the formulas left NULL.
    s << QStringLiteral("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = 1 WHERE (GRUPORIESGO IS NULL);")
      << QStringLiteral("UPDATE SERIESFACTURAS SET GRUPORIESGO = 1 WHERE (GRUPORIESGO IS NULL);")
      << QStringLiteral("UPDATE FORMASPAGO SET DIASRIESGO = (INTERVALOVENCIMIENTOS + ((INTERVALOVENCIMIENTOS * "
                        "(NUMEROVENCIMIENTOS - 1)))) WHERE ((DIASRIESGO IS NULL)AND(DIASPRIMERVENCIMIENTO = 0));")
      << QStringLiteral("UPDATE FORMASPAGO SET DIASRIESGO = (DIASPRIMERVENCIMIENTO + ((INTERVALOVENCIMIENTOS * "
                        "(NUMEROVENCIMIENTOS - 1)))) WHERE ((DIASRIESGO IS NULL)AND(DIASPRIMERVENCIMIENTO <> 0));")
      << QStringLiteral("UPDATE FORMASPAGO SET DIASRIESGO = 0 WHERE (DIASRIESGO IS NULL);");
    return s;
}

QStringList TextoProcedimientoRiesgo()
{
    QStringList t;
    t << QStringLiteral("CREATE OR ALTER PROCEDURE PRSITUACIONCLIENTESRIESGOGRUPOS (")
      << QStringLiteral("    PARCLIENTE INTEGER)")
      << QStringLiteral("RETURNS (");
    t << declaracionSalidas();
    t << QStringLiteral("AS")
      << QStringLiteral("DECLARE VARIABLE AuxControlar_Riesgo_PedidosV INTEGER;")
      << QStringLiteral("DECLARE VARIABLE AUXIDGRUPOSEMPRESAS INTEGER;")
      << QStringLiteral("DECLARE VARIABLE AUXIMPORTE DOUBLE PRECISION;")
      << QStringLiteral("DECLARE VARIABLE AUXGRUPO INTEGER;")
      << QStringLiteral("DECLARE VARIABLE AUXSITUACION INTEGER;")
      << QStringLiteral("DECLARE VARIABLE AUXENRIESGO INTEGER;")
      << QStringLiteral("DECLARE VARIABLE AUXMOVIMIENTOS INTEGER;")
      << QStringLiteral("BEGIN");

    t << QStringLiteral("  /* Riesgo Concedido */")
      << QStringLiteral("  SELECT RIESGOCONCEDIDO, RIESGOCONCEDIDO2, RIESGOCONCEDIDO3, RIESGOCONCEDIDO4, "
                        "RIESGOCONCEDIDO5, GRUPOEMPRESAS")
      << QStringLiteral("  FROM CLIENTES")
      << QStringLiteral("  WHERE (IDCLIENTES = :PARCLIENTE)")
      << QStringLiteral("  INTO :PARRIESGOCONCEDIDO1, :PARRIESGOCONCEDIDO2, :PARRIESGOCONCEDIDO3, "
                        ":PARRIESGOCONCEDIDO4, :PARRIESGOCONCEDIDO5, :AUXIDGRUPOSEMPRESAS;")
      << QString();

    t << QStringLiteral("  /* Comprobar si se deben tener en cuenta los pedidos pendientes para el calculo del riesgo */")
      << QStringLiteral("  SELECT Control_Riesgo_PedidosV")
      << QStringLiteral("  FROM GRUPOSEMPRESAS")
      << QStringLiteral("  WHERE (IDGRUPOSEMPRESAS = :AUXIDGRUPOSEMPRESAS)")
      << QStringLiteral("  INTO :AuxControlar_Riesgo_PedidosV;")
      << QStringLiteral("  IF (AuxControlar_Riesgo_PedidosV IS NULL) THEN")
      << QStringLiteral("    AuxControlar_Riesgo_PedidosV = 0;")
      << QString();

    t << consultasDocumentos() << consultaMovimientos() << bucleDocumentosCobro();

    t << QStringLiteral("  /* Sin documentos, las sumas quedan a NULL: se toman como 0 */");
    for (const char *familia : kFamiliasConsultadas)
        for (int g = 1; g <= kGrupos; ++g) {
            const QString nombre = QLatin1String(familia) + QString::number(g);
            t << QStringLiteral("  IF (%1 IS NULL) THEN %1 = 0.0;").arg(nombre);
            if (QLatin1String(familia) == QLatin1String("PARTOTALANTICIPOS") && g == 5)
                t << QStringLiteral("  IF (%1 IS NULL) THEN %1 = 0.0;").arg(QLatin1String(kAnticiposLibres));
        }
    t << QString();

    t << QStringLiteral("  /* Totales */");
    for (int g = 1; g <= kGrupos; ++g) {
        const QString d = QString::number(g);
        const QString riesgo = QStringLiteral("PARFACTPTESCOBRO%1 + PARREMESASENRIESGO%1 + PARDEVPENDIENTES%1 + "
                                              "PARREMPTESCONFIRMAR%1 + PARFACTPTESREMESAR%1 + PARALBSINFACT%1")
                                   .arg(d);
        t << QStringLiteral("  IF (AuxControlar_Riesgo_PedidosV = 0) THEN")
          << QStringLiteral("    PARTOTALRIESGO%1 = %2;").arg(d, riesgo)
          << QStringLiteral("  ELSE")
          << QStringLiteral("    PARTOTALRIESGO%1 = %2 + PARPEDIDOSPTES%1;").arg(d, riesgo)
          << QStringLiteral("  PARTOTALOTROS%1 = PARPRESINACEPTAR%1 + PARPEDIDOSPTES%1;").arg(d)
          << QStringLiteral("  PARSUMADEVTOTALES%1 = PARSUMADEVPENDIENTES%1 + PARSUMADEVCOBRADAS%1;").arg(d)
          << QString();
    }
    t << QStringLiteral("  SUSPEND;") << QStringLiteral("END");
    return t;
}

QString SentenciaGrant()
{
    return QStringLiteral("GRANT EXECUTE ON PROCEDURE PRSITUACIONCLIENTESRIESGOGRUPOS  TO PUBLIC;");
}
