// Times the customer search window on 100 000 customers: from opening it with
// a name text to its first rows painted (offscreen), with the count of matches
// on and off, against the floor measured in the same run: the same result
// statement run with the bare Firebird client and its first 50 rows fetched
// (and, for the counted window, the counting statement run the same way).
#include "components/lxIBQuery.h"
#include "components/lxDBGrid.h"
#include "components/lxScan.h"
#include "framework/db/Database.h"
#include "framework/db/Transaction.h"
#include "support/SesionPrueba.h"
#include "support/TestDatabase.h"

#include <firebird/Interface.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

constexpr int kClientes = 100000;
constexpr int kRepeticiones = 9;
constexpr int kFilasSuelo = 50;
const QString kTexto = QStringLiteral("mart");

const QStringList kSqlClientes = {
    "SELECT C.Codigo,",
    "C.Nombre, C.NIF, C.FormaPago, C.Cartera, C.RAZONSOCIAL, C.DIRECCION, C.LOCALIDAD, C.PROVINCIA, C.CODIGOPOSTAL,",
    "C.REGIMENIVA, C.AplicarDtoSobreIVA, C.APLICARFINCSOBREIVA, C.Moneda, C.Ruta, C.Telefono1, C.Telefono2, C.Fax,",
    "C.Email1, C.Email2, C.Paginaweb, C.observaciones, C.IdClientes, C.ReferenciaBloqueo, C.RiesgoConcedido,",
    "C.AgenteVenta, CA.CODIGO AS CodigoCartera, CA.NOMBRE AS NombreCartera, FP.CODIGO AS CodigoFormaPago,",
    "FP.NOMBRE AS NombreFormaPago, AG.CODIGO AS CodigoAgente, AG.NOMBRE AS NombreAgente",
    "FROM Clientes C",
    "LEFT OUTER JOIN CARTERAS CA ON (C.Cartera = CA.IDCARTERAS)",
    "LEFT OUTER JOIN FormasPago FP ON (C.FormaPago = FP.IdFormasPago)",
    "LEFT OUTER JOIN AGENTESVENTA AG ON (C.AGENTEVENTA = AG.IDAGENTESVENTA)",
};
const QStringList kFormato = {"CODIGO@7@Código",       "NOMBRE@35@Nombre",      "NIF@12@N.I.F.",
                              "RAZONSOCIAL@35@Razón Social", "TELEFONO1@15@Teléfono", "DIRECCION@35@Dirección"};

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double ms(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

// 100 000 customers of one company group with names made of common surnames.
void llenar(const TestDatabase &db)
{
    HostRows rows;
    rows.grupoEmpresas(1).empresa(1, 1);
    rows.insert("CARTERAS", {{"IDCARTERAS", 1}, {"CODIGO", "CA1"}, {"NOMBRE", "Cartera"}});
    rows.formaPago(1, "CON", 1, 0, 1, 0);
    rows.insert("AGENTESVENTA", {{"IDAGENTESVENTA", 1}, {"CODIGO", "AG1"}, {"NOMBRE", "Agente"}});
    rows.into(db);
    db.run(QStringLiteral(R"(SET TERM ^ ;
EXECUTE BLOCK AS
  DECLARE I INTEGER = 0;
  DECLARE A VARCHAR(20);
  DECLARE B VARCHAR(20);
BEGIN
  WHILE (I < %1) DO BEGIN
    A = DECODE(MOD(I, 16), 0, 'GARCIA', 1, 'MARTINEZ', 2, 'LOPEZ', 3, 'SANCHEZ', 4, 'PEREZ', 5, 'GOMEZ',
        6, 'MARTIN', 7, 'JIMENEZ', 8, 'RUIZ', 9, 'HERNANDEZ', 10, 'DIAZ', 11, 'MORENO', 12, 'ALVAREZ',
        13, 'ROMERO', 14, 'ALONSO', 'NAVARRO');
    B = DECODE(MOD(I * 7 + 3, 13), 0, 'ANA', 1, 'LUIS', 2, 'EVA', 3, 'JUAN', 4, 'MARIA', 5, 'JOSE', 6, 'CARMEN',
        7, 'PEDRO', 8, 'LAURA', 9, 'PABLO', 10, 'ELENA', 11, 'JORGE', 'SARA');
    INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, FORMAPAGO, CARTERA, AGENTEVENTA, NIF,
                          RAZONSOCIAL, DIRECCION, TELEFONO1, RIESGOCONCEDIDO)
    VALUES (:I + 1, LPAD(:I + 1, 7, '0'), :A || ' ' || :B || ' ' || (:I + 1), 1, 1, 1, 1, 'B' || LPAD(:I, 8, '0'),
            :A || ' S.L.', 'CALLE ' || MOD(:I, 500), '9' || LPAD(:I, 8, '0'), 1000);
    I = I + 1;
  END
END^
SET TERM ; ^)")
               .arg(kClientes));
}

// The floor: a statement run with the Firebird client alone, its first rows fetched.
double suelo(fw::Database &db, fw::Transaction &tra, const QString &sql, int filas)
{
    using namespace Firebird;
    ThrowStatusWrapper s(fb_get_master_interface()->getStatus());
    const QByteArray texto = sql.toLatin1();
    return ms([&] {
        IStatement *stmt = db.attachment()->prepare(&s, tra.handle(), 0, texto.constData(), 1,
                                                    IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata *meta = stmt->getOutputMetadata(&s);
        std::vector<unsigned char> buffer(meta->getMessageLength(&s));
        IResultSet *rs = stmt->openCursor(&s, tra.handle(), nullptr, nullptr, meta, 0);
        for (int i = 0; i < filas && rs->fetchNext(&s, buffer.data()) == IStatus::RESULT_OK; ++i) {
        }
        rs->close(&s);
        meta->release();
        stmt->free(&s);
    });
}

// Notes when the grid's rows are painted.
class Pintado : public QObject
{
public:
    bool pintado = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            pintado = true;
        return false;
    }
};

struct Medida
{
    double ms = 0;
    double propio = 0; ///< building the window before its statements, and from the result opened to painted
    int filasLeidas = 0;
    QString cuenta;
    QString resultado;
    QString contador;
};

Medida abrirVentana(fw::Database &db, bool contar)
{
    Medida m;
    Pintado pintado;
    QElapsedTimer reloj;
    double construida = 0, abierta = 0;
    reloj.start();
    m.ms = ms([&] {
        TlxScan scan;
        scan.Inicializar(false, false, true, false, false, true, 1, 1, kSqlClientes, kFormato, {}, kTexto,
                         "Seleccione un Cliente", &db, {}, true, false, false, contar, false, {}, {}, {}, {}, {}, {},
                         0);
        scan.lxDBGridScan->viewport()->installEventFilter(&pintado);
        QObject::connect(scan.lxQueryScan, &fw::DataSet::opened, [&] { abierta = double(reloj.nsecsElapsed()) / 1e6; });
        construida = double(reloj.nsecsElapsed()) / 1e6;
        scan.show();
        while (!(pintado.pintado && scan.lxDBGridScan->model()->rowCount() > 0))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        m.propio = construida + double(reloj.nsecsElapsed()) / 1e6 - abierta;
        m.filasLeidas = scan.lxQueryScan->recordCount();
        m.resultado = scan.lxQueryScan->sqlText();
        m.cuenta = scan.lxQueryScanCount->sqlText();
        m.contador = scan.StaticTextNumeroRegistros->text();
        scan.lxDBGridScan->viewport()->removeEventFilter(&pintado);
    });
    return m;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestDatabase base(QStringLiteral("bench-busqueda"));
    llenar(base);

    testsupport::SesionPrueba sesion(base);
    fw::Database &db = sesion.db;
    fw::Transaction &tra = sesion.tr;

    // Warm the server's cache and learn the statements the window builds.
    const Medida muestra = abrirVentana(db, true);
    suelo(db, tra, muestra.resultado, kFilasSuelo);
    suelo(db, tra, muestra.cuenta, 1);

    std::vector<double> sueloResultado, sueloCuenta, conCuenta, sinCuenta, propio;
    Medida ultima;
    // Floor and window take turns going first, so neither always finds the cache warmer.
    for (int i = 0; i < kRepeticiones; ++i) {
        auto suelos = [&] {
            sueloResultado.push_back(suelo(db, tra, muestra.resultado, kFilasSuelo));
            sueloCuenta.push_back(suelo(db, tra, muestra.cuenta, 1));
        };
        if (i % 2 == 0)
            suelos();
        conCuenta.push_back(abrirVentana(db, true).ms);
        ultima = abrirVentana(db, false);
        sinCuenta.push_back(ultima.ms);
        propio.push_back(ultima.propio);
        if (i % 2 == 1)
            suelos();
    }
    const double fr = mediana(sueloResultado), fc = mediana(sueloCuenta);
    const double con = mediana(conCuenta), sin = mediana(sinCuenta);
    std::printf("search window over %d customers, name text \"%s\" (%s), median of %d:\n", kClientes,
                qPrintable(kTexto), qPrintable(muestra.contador), kRepeticiones);
    std::printf("  floor, result statement + first %d rows: %.1f ms; counting statement: %.1f ms\n", kFilasSuelo, fr,
                fc);
    std::printf("  window, counting off: %.1f ms, ratio %.2fx to the result floor (target <= 1.3x)\n", sin,
                fr > 0 ? sin / fr : 0);
    std::printf("  window, counting on:  %.1f ms, ratio %.2fx to the result floor, %.2fx to result + count floor\n",
                con, fr > 0 ? con / fr : 0, fr + fc > 0 ? con / (fr + fc) : 0);
    std::printf("  the window's own work (building it, reading its rows into the grid, painting): %.1f ms\n",
                mediana(propio));
    std::printf("  rows fetched by the window to paint its first page: %d\n", ultima.filasLeidas);
    return 0;
}
