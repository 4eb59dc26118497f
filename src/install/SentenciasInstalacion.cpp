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

// Families filled by a query, which may come back NULL and are then set to 0.
const char *const kFamiliasConsultadas[] = {
    "PARRIESGOCONCEDIDO", "PARPEDIDOSPTES",     "PARPEDIDOSPARCIALES", "PARTOTALANTICIPOS",
    "PARPRESINACEPTAR",   "PARALBSINFACT",     "PARDEVPENDIENTES",    "PARREMPTESCONFIRMAR",
    "PARFACTPTESREMESAR", "PARFACTPTESCOBRO",  "PARREMESASENRIESGO",  "PARSUMADEVCOBRADAS",
    "PARSUMADEVPENDIENTES",
};

// One aggregate query per risk group. "{g}" stands for the group digit.
struct Bloque
{
    const char *titulo;
    QStringList consulta;
};

QStringList bloquesPorGrupo(const Bloque &bloque)
{
    QStringList lineas;
    for (int g = 1; g <= 5; ++g) {
        const QString digito = QString::number(g);
        lineas << QStringLiteral("  /* %1%2 */").arg(digito, QLatin1String(bloque.titulo));
        for (const QString &linea : bloque.consulta)
            lineas << QStringLiteral("  ") + QString(linea).replace(QStringLiteral("{g}"), digito);
        lineas << QString();
    }
    return lineas;
}

// The per-group blocks in the order they run. Each reads its documents through
// the index on the customer column, so one call never scans a whole table.
QList<Bloque> bloques()
{
    return {
        {"Pedidos Pendientes de Servir",
         {"SELECT SUM(PV.IMPORTEPEDIDO)",
          "FROM PEDIDOSVENTA PV",
          "LEFT OUTER JOIN SERIESDOCUMENTOS S ON (PV.SERIEDOCUMENTO = S.IDSERIESDOCUMENTOS)",
          "WHERE (PV.CLIENTE = :PARCLIENTE)",
          "AND (PV.ESTADO = \"P\")",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARPEDIDOSPTES{g};"}},
        // Read from the customer's orders down to their lines: starting from the
        // lines would scan every order line of every customer. The quantity test
        // drops orders without lines, so the rows are those of an inner join.
        {"Pedidos Parcialmente Servidos",
         {"SELECT SUM((LPV.CANTIDADPEDIDASTOCK1 - LPV.CANTIDADSERVIDASTOCK1) * LPV.PRECIO)",
          "FROM PEDIDOSVENTA PV",
          "LEFT OUTER JOIN LINEASPEDIDOVENTA LPV ON (LPV.PEDIDOVENTA = PV.IDPEDIDOSVENTA)",
          "LEFT OUTER JOIN SERIESDOCUMENTOS S ON (PV.SERIEDOCUMENTO = S.IDSERIESDOCUMENTOS)",
          "WHERE (PV.CLIENTE = :PARCLIENTE)",
          "AND (PV.ESTADO = \"R\")",
          "AND (LPV.CANTIDADPEDIDASTOCK1 > LPV.CANTIDADSERVIDASTOCK1)",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARPEDIDOSPARCIALES{g};"}},
        // "+ 0" keeps the optimizer off the index on DOCUMENTOORIGENCOBRO: every
        // advance of every customer has it NULL, and that index would read them all.
        {"Anticipos de Clientes",
         {"SELECT SUM(M.IMPORTEMOVIMIENTO)",
          "FROM MOVIMIENTOSCOBRO M",
          "LEFT OUTER JOIN PEDIDOSVENTA PV ON (M.PEDIDOORIGEN = PV.IDPEDIDOSVENTA)",
          "LEFT OUTER JOIN SERIESDOCUMENTOS S1 ON ((PV.SERIEDOCUMENTO = S1.IDSERIESDOCUMENTOS)AND(S1.GRUPORIESGO = {g}))",
          "LEFT OUTER JOIN ALBARANESVENTA AV ON (M.ALBARANORIGEN = AV.IDALBARANESVENTA)",
          "LEFT OUTER JOIN SERIESDOCUMENTOS S2 ON ((AV.SERIEDOCUMENTO = S2.IDSERIESDOCUMENTOS)AND(S2.GRUPORIESGO = {g}))",
          "WHERE (M.DOCUMENTOORIGENCOBRO + 0 IS NULL)",
          "AND (M.ClienteOrigen = :PARCLIENTE)",
          "AND (M.FACTURALIQUIDACION IS NULL)",
          "AND ((M.ALBARANORIGEN IS NOT NULL)OR(M.PEDIDOORIGEN IS NOT NULL))",
          "AND ((S1.codigo IS NOT NULL)OR(S2.codigo IS NOT NULL))",
          "INTO :PARTOTALANTICIPOS{g};"}},
        {"Presupuestos Sin Aceptar",
         {"SELECT SUM(PRESUPUESTOSVENTA.IMPORTEPRESUPUESTO)",
          "FROM PRESUPUESTOSVENTA",
          "LEFT OUTER JOIN SERIESDOCUMENTOS S ON (PRESUPUESTOSVENTA.SERIEDOCUMENTO = S.IDSERIESDOCUMENTOS)",
          "WHERE (PRESUPUESTOSVENTA.CLIENTE = :PARCLIENTE)",
          "AND (PRESUPUESTOSVENTA.ESTADO = \"P\")",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARPRESINACEPTAR{g};"}},
        {"Albaranes Pendientes de Facturar",
         {"SELECT SUM(ALBARANESVENTA.IMPORTEALBARAN)",
          "FROM ALBARANESVENTA",
          "LEFT OUTER JOIN SERIESDOCUMENTOS S ON (ALBARANESVENTA.SERIEDOCUMENTO = S.IDSERIESDOCUMENTOS)",
          "WHERE (ALBARANESVENTA.CLIENTE = :PARCLIENTE)",
          "AND (ALBARANESVENTA.FACTURAVENTA IS NULL)",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARALBSINFACT{g};"}},
        // Only collection documents from which no movement originates, each once.
        // Where a block asks for MOVIMIENTODEVOLUCION IS NULL it is written "+ 0":
        // most documents are never returned, and its index would read them all.
        {"Suma Devoluciones Pendientes",
         {"SELECT SUM(DOCUMENTOSCOBRO.IMPORTEDOCUMENTO)",
          "FROM DOCUMENTOSCOBRO",
          "LEFT OUTER JOIN MOVIMIENTOSCOBRO ON (DOCUMENTOSCOBRO.IDDOCUMENTOSCOBRO = MOVIMIENTOSCOBRO.DOCUMENTOORIGENCOBRO)",
          "LEFT OUTER JOIN SERIESFACTURAS S ON (DOCUMENTOSCOBRO.SERIEFACTURA = S.IDSERIESFACTURAS)",
          "WHERE (DOCUMENTOSCOBRO.CLIENTEORIGEN = :PARCLIENTE)",
          "AND (MOVIMIENTOSCOBRO.DOCUMENTOORIGENCOBRO IS NULL)",
          "AND (DOCUMENTOSCOBRO.MOVIMIENTODEVOLUCION IS NOT NULL)",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARDEVPENDIENTES{g};"}},
        {"Suma Remesas Ptes Confirmar",
         {"SELECT SUM(DOCUMENTOSCOBRO.IMPORTEDOCUMENTO)",
          "FROM DOCUMENTOSCOBRO",
          "LEFT OUTER JOIN MOVIMIENTOSCOBRO ON (DOCUMENTOSCOBRO.IDDOCUMENTOSCOBRO = MOVIMIENTOSCOBRO.DOCUMENTOORIGENCOBRO)",
          "LEFT OUTER JOIN SERIESFACTURAS S ON (DOCUMENTOSCOBRO.SERIEFACTURA = S.IDSERIESFACTURAS)",
          "WHERE (DOCUMENTOSCOBRO.CLIENTEORIGEN = :PARCLIENTE)",
          "AND (MOVIMIENTOSCOBRO.DOCUMENTOORIGENCOBRO IS NULL)",
          "AND (DOCUMENTOSCOBRO.MOVIMIENTODEVOLUCION + 0 IS NULL)",
          "AND (DOCUMENTOSCOBRO.REMESA IS NOT NULL)",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARREMPTESCONFIRMAR{g};"}},
        {"Suma Facturas Ptes Remesar / Cobrar",
         {"SELECT SUM(DOCUMENTOSCOBRO.IMPORTEDOCUMENTO)",
          "FROM DOCUMENTOSCOBRO",
          "LEFT OUTER JOIN MOVIMIENTOSCOBRO ON (DOCUMENTOSCOBRO.IDDOCUMENTOSCOBRO = MOVIMIENTOSCOBRO.DOCUMENTOORIGENCOBRO)",
          "LEFT OUTER JOIN SERIESFACTURAS S ON (DOCUMENTOSCOBRO.SERIEFACTURA = S.IDSERIESFACTURAS)",
          "WHERE (DOCUMENTOSCOBRO.CLIENTEORIGEN = :PARCLIENTE)",
          "AND (MOVIMIENTOSCOBRO.DOCUMENTOORIGENCOBRO IS NULL)",
          "AND (DOCUMENTOSCOBRO.MOVIMIENTODEVOLUCION + 0 IS NULL)",
          "AND (DOCUMENTOSCOBRO.REMESA IS NULL)",
          "AND (DOCUMENTOSCOBRO.ESTADO != \"X\")",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARFACTPTESREMESAR{g};"}},
        {"Suma Facturas Ptes Gestionar Cobros",
         {"SELECT SUM(LINEASGIROSFACTURAVENTA.IMPORTEVTO)",
          "FROM FACTURASVENTA",
          "LEFT OUTER JOIN LINEASGIROSFACTURAVENTA ON (FACTURASVENTA.IDFACTURASVENTA = LINEASGIROSFACTURAVENTA.FACTURAVENTA)",
          "LEFT OUTER JOIN SERIESFACTURAS S ON (FACTURASVENTA.SERIEFACTURA = S.IDSERIESFACTURAS)",
          "WHERE (FACTURASVENTA.CLIENTE = :PARCLIENTE)",
          "AND (LINEASGIROSFACTURAVENTA.DOCUMENTOCOBRO IS NULL)",
          "AND (LINEASGIROSFACTURAVENTA.ESTADO != \"X\")",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARFACTPTESCOBRO{g};"}},
        {"Suma Remesas en Riesgo",
         {"SELECT SUM(DOCUMENTOSCOBRO.IMPORTEDOCUMENTO)",
          "FROM DOCUMENTOSCOBRO",
          "LEFT OUTER JOIN SERIESFACTURAS S ON (DOCUMENTOSCOBRO.SERIEFACTURA = S.IDSERIESFACTURAS)",
          "WHERE (DOCUMENTOSCOBRO.CLIENTEORIGEN = :PARCLIENTE)",
          "AND (DOCUMENTOSCOBRO.ESTADO = \"F\")",
          "AND (DOCUMENTOSCOBRO.REMESA IS NOT NULL)",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARREMESASENRIESGO{g};"}},
        // A returned document counts once however many collections ("CF") came
        // from it: joining the movements would add its amount once per movement.
        {"Suma Devoluciones Cobradas",
         {"SELECT SUM(DOCUMENTOSCOBRO.IMPORTEDOCUMENTO)",
          "FROM DOCUMENTOSCOBRO",
          "LEFT OUTER JOIN SERIESFACTURAS S ON (DOCUMENTOSCOBRO.SERIEFACTURA = S.IDSERIESFACTURAS)",
          "WHERE (DOCUMENTOSCOBRO.CLIENTEORIGEN = :PARCLIENTE)",
          "AND (DOCUMENTOSCOBRO.MOVIMIENTODEVOLUCION IS NOT NULL)",
          "AND (EXISTS (SELECT 1 FROM MOVIMIENTOSCOBRO MC",
          "             WHERE (MC.DOCUMENTOORIGENCOBRO = DOCUMENTOSCOBRO.IDDOCUMENTOSCOBRO)",
          "             AND (MC.ESTADO = \"CF\")))",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARSUMADEVCOBRADAS{g};"}},
        // Return movements not yet turned into a new collection document.
        {"Suma Devoluciones Pendientes",
         {"SELECT SUM(MOVIMIENTOSCOBRO.IMPORTEMOVIMIENTO)",
          "FROM MOVIMIENTOSCOBRO",
          "LEFT OUTER JOIN DOCUMENTOSCOBRO ON (MOVIMIENTOSCOBRO.DOCUMENTOORIGENCOBRO = DOCUMENTOSCOBRO.IDDOCUMENTOSCOBRO)",
          "LEFT OUTER JOIN SERIESFACTURAS S ON (DOCUMENTOSCOBRO.SERIEFACTURA = S.IDSERIESFACTURAS)",
          "WHERE (MOVIMIENTOSCOBRO.CLIENTEORIGEN = :PARCLIENTE)",
          "AND (MOVIMIENTOSCOBRO.ESTADO = \"D\")",
          "AND (NOT EXISTS (SELECT 1 FROM DOCUMENTOSCOBRO DCD",
          "                 WHERE (DCD.MOVIMIENTODEVOLUCION = MOVIMIENTOSCOBRO.IDMOVIMIENTOSCOBRO)))",
          "AND (S.GRUPORIESGO = {g})",
          "INTO :PARSUMADEVPENDIENTES{g};"}},
    };
}

// B4 runs once: advances tied to no order and no delivery note belong to no group.
// It keeps off the DOCUMENTOORIGENCOBRO index for the same reason as B3.
QStringList bloqueAnticiposLibresLineas()
{
    return {
        QStringLiteral("  /* Anticipos LIBRES del Clientes */"),
        QStringLiteral("  SELECT SUM(M.IMPORTEMOVIMIENTO)"),
        QStringLiteral("  FROM MOVIMIENTOSCOBRO M"),
        QStringLiteral("  WHERE (M.DOCUMENTOORIGENCOBRO + 0 IS NULL)"),
        QStringLiteral("  AND (M.ClienteOrigen = :PARCLIENTE)"),
        QStringLiteral("  AND (M.FACTURALIQUIDACION IS NULL)"),
        QStringLiteral("  AND ((M.ALBARANORIGEN IS NULL)AND(M.PEDIDOORIGEN IS NULL))"),
        QStringLiteral("  INTO :PARTOTALANTICIPOSLIBRES;"),
        QString(),
    };
}

QStringList declaracionSalidas()
{
    QStringList nombres;
    for (const char *familia : kFamiliasAntes)
        for (int g = 1; g <= 5; ++g)
            nombres << QLatin1String(familia) + QString::number(g);
    nombres << QLatin1String(kAnticiposLibres);
    for (const char *familia : kFamiliasDespues)
        for (int g = 1; g <= 5; ++g)
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

    const QList<Bloque> lista = bloques();
    for (qsizetype i = 0; i < lista.size(); ++i) {
        t << bloquesPorGrupo(lista[i]);
        if (QLatin1String(lista[i].titulo) == QLatin1String("Anticipos de Clientes"))
            t << bloqueAnticiposLibresLineas();
    }

    t << QStringLiteral("  /* Sin documentos, las sumas quedan a NULL: se toman como 0 */");
    for (const char *familia : kFamiliasConsultadas)
        for (int g = 1; g <= 5; ++g) {
            const QString nombre = QLatin1String(familia) + QString::number(g);
            t << QStringLiteral("  IF (%1 IS NULL) THEN %1 = 0.0;").arg(nombre);
            if (QLatin1String(familia) == QLatin1String("PARTOTALANTICIPOS") && g == 5)
                t << QStringLiteral("  IF (%1 IS NULL) THEN %1 = 0.0;").arg(QLatin1String(kAnticiposLibres));
        }
    t << QString();

    t << QStringLiteral("  /* Totales */");
    for (int g = 1; g <= 5; ++g) {
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
