// The statements the search window and the lookup edit build around the
// caller's one, compared line by line.
#include "components/lxDBEditLookupSrc.h"
#include "components/lxIBQuery.h"
#include "components/lxScan.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

enum class Constructor { Ventana, SinVentana };

struct Caso
{
    const char *nombre;
    Constructor constructor = Constructor::Ventana;
    QStringList sql = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C"};
    int tipo = 0;
    QString texto;
    bool repetidos = true;
    bool empresa = false;
    bool grupo = false;
    int valor = 0;
    bool compras = false;
    bool articulos = false;
    int ignorar = 0;
    QStringList esperado;
    QStringList cuenta = {}; ///< the counting statement, when the case checks it
};

void PrintTo(const Caso &c, std::ostream *os)
{
    *os << c.nombre;
}

const QString kCodigo12 = R"(( ( (CODIGO LIKE "12%") OR (UPPER(CODIGO) LIKE "12%") OR (codigo LIKE "12%") ) ) )";

const Caso kCasos[] = {
    {.nombre = "code search",
     .texto = "12",
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C", "WHERE " + kCodigo12, "ORDER BY CODIGO"},
     .cuenta = {"Select count(*) as contador FROM CLIENTES C", "WHERE " + kCodigo12}},
    {.nombre = "name search",
     .tipo = 1,
     .texto = "Ana",
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C",
                  R"(WHERE  ( (NOMBRE LIKE "Ana%") OR (UPPER(NOMBRE) LIKE "ANA%") OR (nombre LIKE "ana%") ))",
                  "ORDER BY NOMBRE"}},
    {.nombre = "contains search",
     .tipo = 2,
     .texto = "Ana",
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C",
                  R"(WHERE  ( (NOMBRE LIKE "%Ana%") OR (UPPER(NOMBRE) LIKE "%ANA%") OR (nombre LIKE "%ana%") ))",
                  "ORDER BY NOMBRE"}},
    {.nombre = "skipped code characters",
     .texto = "12",
     .ignorar = 3,
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C",
                  R"(WHERE ( ( (CODIGO LIKE "___12%") OR (UPPER(CODIGO) LIKE "___12%") OR (codigo LIKE "___12%") ) ) )",
                  "ORDER BY CODIGO"}},
    {.nombre = "own WHERE kept, then condition, filter, GROUP and ORDER",
     .sql = {"SELECT FIRST 50 C.CODIGO AS COD,", "C.NOMBRE AS NOMBRECLIENTE,", "FROM CLIENTES C",
             "WHERE C.RIESGOCONCEDIDO > 0", "GROUP BY C.CODIGO, C.NOMBRE", "ORDER BY C.NOMBRE"},
     .texto = "12",
     .grupo = true,
     .valor = 3,
     .esperado = {"SELECT FIRST 50 C.CODIGO AS COD,", "C.NOMBRE AS NOMBRECLIENTE,", "FROM CLIENTES C",
                  "WHERE C.RIESGOCONCEDIDO > 0",
                  R"(AND( ( (C.CODIGO LIKE "12%") OR (UPPER(C.CODIGO) LIKE "12%") OR (c.codigo LIKE "12%") ) ) )",
                  " AND ( C.GrupoEmpresas = 3)", "GROUP BY C.CODIGO, C.NOMBRE", "ORDER BY C.NOMBRE"},
     .cuenta = {"Select count(*) as contador FROM CLIENTES C", "WHERE C.RIESGOCONCEDIDO > 0",
                R"(AND( ( (C.CODIGO LIKE "12%") OR (UPPER(C.CODIGO) LIKE "12%") OR (c.codigo LIKE "12%") ) ) )",
                " AND ( C.GrupoEmpresas = 3)"}},
    {.nombre = "DISTINCT before the code column",
     .texto = "12",
     .repetidos = false,
     .esperado = {"SELECT  DISTINCT CODIGO,", "NOMBRE", "FROM CLIENTES C", "WHERE " + kCodigo12, "ORDER BY CODIGO"},
     .cuenta = {"Select count(*) as contador FROM CLIENTES C", "WHERE " + kCodigo12}},
    {.nombre = "company filter",
     .tipo = 1,
     .texto = "x",
     .empresa = true,
     .valor = 7,
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C",
                  R"(WHERE  ( (NOMBRE LIKE "x%") OR (UPPER(NOMBRE) LIKE "X%") OR (nombre LIKE "x%") ))",
                  " AND ( C.Empresa = 7)", "ORDER BY NOMBRE"}},
    {.nombre = "aggregate code column: no condition, filter opens the WHERE",
     .sql = {"SELECT MAX(CODIGO) AS CODIGO,", "NOMBRE", "FROM CLIENTES C", "GROUP BY NOMBRE"},
     .texto = "12",
     .empresa = true,
     .valor = 1,
     .esperado = {"SELECT MAX(CODIGO) AS CODIGO,", "NOMBRE", "FROM CLIENTES C", "WHERE ( C.Empresa = 1)",
                  "GROUP BY NOMBRE", "ORDER BY MAX(CODIGO)"}},
    {.nombre = "double quote in the text stays inside the literal",
     .tipo = 1,
     .texto = R"(a" OR 1=1 OR ")",
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C",
                  R"(WHERE  ( (NOMBRE LIKE "a"" OR 1=1 OR ""%") OR (UPPER(NOMBRE) LIKE "A"" OR 1=1 OR ""%") OR (nombre LIKE "a"" or 1=1 or ""%") ))",
                  "ORDER BY NOMBRE"}},
    {.nombre = "purchases also match the supplier reference; articles hide discontinued ones",
     .sql = {"SELECT A.CODIGO,", "A.NOMBRE,", "A.REFERENCIAPROVEEDOR", "FROM ARTICULOS A"},
     .texto = "ab",
     .compras = true,
     .articulos = true,
     .esperado = {"SELECT A.CODIGO,", "A.NOMBRE,", "A.REFERENCIAPROVEEDOR", "FROM ARTICULOS A",
                  R"(WHERE ( ( (A.CODIGO LIKE "ab%") OR (UPPER(A.CODIGO) LIKE "AB%") OR (a.codigo LIKE "ab%") ))"
                  "\r\n"
                  R"(OR ( (A.REFERENCIAPROVEEDOR LIKE "ab%") OR (UPPER(A.REFERENCIAPROVEEDOR) LIKE "AB%") OR (a.referenciaproveedor LIKE "ab%") ) ) )",
                  "AND (A.DESCATALOGADO = 0)", "ORDER BY A.CODIGO"}},

    {.nombre = "look-up: code in any case",
     .constructor = Constructor::SinVentana,
     .texto = "c001",
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C",
                  R"(WHERE ( (CODIGO LIKE "c001%") OR (UPPER(CODIGO) LIKE "C001%") OR (CODIGO LIKE "c001%") ))", "",
                  "ORDER BY CODIGO"}},
    {.nombre = "look-up: company group filter",
     .constructor = Constructor::SinVentana,
     .sql = {"SELECT CODIGO,", "NOMBRE", "FROM Clientes C"},
     .texto = "1",
     .grupo = true,
     .valor = 3,
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM Clientes C",
                  R"(WHERE ( (CODIGO LIKE "1%") OR (UPPER(CODIGO) LIKE "1%") OR (CODIGO LIKE "1%") ) AND ( C.GrupoEmpresas = 3))",
                  "", "ORDER BY CODIGO"}},
    {.nombre = "look-up: double quotes left out",
     .constructor = Constructor::SinVentana,
     .texto = R"(c"0" OR 1=1 OR ")",
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM CLIENTES C",
                  R"(WHERE ( (CODIGO LIKE "c0 OR 1=1 OR %") OR (UPPER(CODIGO) LIKE "C0 OR 1=1 OR %") OR (CODIGO LIKE "c0 or 1=1 or %") ))",
                  "", "ORDER BY CODIGO"}},
    {.nombre = "look-up: own WHERE, GROUP and ORDER",
     .constructor = Constructor::SinVentana,
     .sql = {"SELECT CODIGO,", "NOMBRE", "FROM SERIESFACTURAS", "WHERE PRIVADOSN = 0", "GROUP BY CODIGO, NOMBRE",
             "ORDER BY NOMBRE"},
     .texto = "a",
     .empresa = true,
     .valor = 2,
     .esperado = {"SELECT CODIGO,", "NOMBRE", "FROM SERIESFACTURAS", "WHERE PRIVADOSN = 0",
                  R"(AND ( (CODIGO LIKE "a%") OR (UPPER(CODIGO) LIKE "A%") OR (CODIGO LIKE "a%") ) AND (SERIESFACTURAS.Empresa = 2))",
                  "GROUP BY CODIGO, NOMBRE", "ORDER BY NOMBRE"}},
    {.nombre = "look-up: aggregate code column keeps the filter",
     .constructor = Constructor::SinVentana,
     .sql = {"SELECT MIN(CODIGO),", "NOMBRE", "FROM CLIENTES C", "GROUP BY NOMBRE"},
     .texto = "1",
     .empresa = true,
     .valor = 1,
     .esperado = {"SELECT MIN(CODIGO),", "NOMBRE", "FROM CLIENTES C", "WHERE ( C.Empresa = 1)", "GROUP BY NOMBRE",
                  "ORDER BY MIN(CODIGO)"}},
};

class ConsultaBusqueda : public ::testing::TestWithParam<Caso>
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_P(ConsultaBusqueda, BuildsTheStatement)
{
    const Caso &c = GetParam();
    if (c.constructor == Constructor::SinVentana) {
        TOpciones opciones;
        opciones.setFlag(Filtrar_por_Empresa, c.empresa);
        opciones.setFlag(Filtrar_por_Grupo_de_Empresas, c.grupo);
        EXPECT_EQ(TCustomLxDBEditLookup::SentenciaSinVentana(c.sql, c.texto, opciones, c.valor), c.esperado);
        return;
    }
    TlxScan scan;
    scan.Inicializar(c.compras, c.articulos, false, c.repetidos, c.empresa, c.grupo, c.valor, std::int16_t(c.tipo),
                     c.sql, {"CODIGO@7@Código", "NOMBRE@35@Nombre"}, {}, c.texto, "Seleccione", nullptr, {}, true,
                     false, false, true, false, {}, {}, {}, {}, {}, {}, c.ignorar);
    scan.ConstruirConsulta();
    EXPECT_EQ(scan.lxQueryScan->sql(), c.esperado);
    if (!c.cuenta.isEmpty())
        EXPECT_EQ(scan.lxQueryScanCount->sql(), c.cuenta);
}

INSTANTIATE_TEST_SUITE_P(Casos, ConsultaBusqueda, ::testing::ValuesIn(kCasos), [](const auto &info) {
    std::string nombre;
    for (const char *p = info.param.nombre; *p; ++p)
        nombre += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return nombre;
});

} // namespace
