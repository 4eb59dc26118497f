// Gathering the listings' rows into the data module's memory table, with the
// running totals the reports print.
#include "reports/ListadosVelmora.h"

#include "components/lxDBEditLookupSrc.h"
#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "framework/base/Error.h"
#include "framework/db/Field.h"
#include "framework/ui/DataGuard.h"
#include "framework/ui/Guard.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QRadioButton>

#include <array>
#include <memory>
#include <optional>

QStringList SentenciaRiesgosClientes(bool conRango)
{
    QStringList s{QStringLiteral("SELECT PRSITUACIONCLIENTESRIESGOGRUPOS.*, C.CODIGO, C.NOMBRE, C.IDCLIENTES, "),
                  QStringLiteral("  C.FECHAREDUCCIONCREDITOCAUC,"),
                  QStringLiteral("  C.FECHAREDUCCIONCREDITOCAUC2,"),
                  QStringLiteral("  C.FECHAREDUCCIONCREDITOCAUC3,"),
                  QStringLiteral("  C.FECHAREDUCCIONCREDITOCAUC4,"),
                  QStringLiteral("  C.FECHAREDUCCIONCREDITOCAUC5,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION2,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION3,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION4,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION5 "),
                  QStringLiteral(" FROM CLIENTES C"),
                  QStringLiteral("  LEFT OUTER JOIN PRSITUACIONCLIENTESRIESGOGRUPOS(C.IdClientes)"),
                  QStringLiteral("  ON (C.IdClientes = C.IdClientes)"),
                  QStringLiteral("WHERE (C.GRUPOEMPRESAS = :PARGRUPOEMPRESAS)"),
                  QStringLiteral("  AND (C.RIESGOCONCEDIDO > 0) ")};
    if (conRango)
        s << QStringLiteral("  AND (C.CODIGO >= :PARDESDE) ") << QStringLiteral("  AND (C.CODIGO <= :PARHASTA) ");
    s << QStringLiteral("ORDER BY C.CODIGO ASC");
    return s;
}

QStringList SentenciaVentasCliente(bool conRango)
{
    QStringList s{QStringLiteral("SELECT SUM(F.TOTALFACTURA) AS TOTALVENTAS"),
                  QStringLiteral(" FROM FACTURASVENTA F"),
                  QStringLiteral("  LEFT OUTER JOIN SERIESFACTURAS S"),
                  QStringLiteral("  ON (F.SERIEFACTURA = S.IDSERIESFACTURAS)"),
                  QStringLiteral("WHERE (F.CLIENTE = :PARCLIENTE)"),
                  QStringLiteral("AND (S.GRUPORIESGO = :PARGRUPO)"),
                  QStringLiteral("AND (S.PRIVADOSN = 0)"),
                  QStringLiteral("AND (F.FECHAALTAFACTURA >= :PARFECHADESDE)"),
                  QStringLiteral("AND (F.FECHAALTAFACTURA <= :PARFECHAHASTA)")};
    if (conRango)
        s << QStringLiteral("  AND (S.CODIGO >= :PARDESDE) ") << QStringLiteral("  AND (S.CODIGO <= :PARHASTA) ");
    return s;
}

QStringList SentenciaClientesCaucion(bool conRango)
{
    QStringList s{QStringLiteral("SELECT F.DIASRIESGO, C.CODIGO, C.NOMBRE, C.IDCLIENTES, "),
                  QStringLiteral("  C.RIESGOCONCEDIDO AS RIESGOCONCEDIDO1,"),
                  QStringLiteral("  C.RIESGOCONCEDIDO2,"),
                  QStringLiteral("  C.RIESGOCONCEDIDO3,"),
                  QStringLiteral("  C.RIESGOCONCEDIDO4,"),
                  QStringLiteral("  C.RIESGOCONCEDIDO5,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION AS CODIGOCREDITOCAUCION1,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION2,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION3,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION4,"),
                  QStringLiteral("  C.CODIGOCREDITOCAUCION5 "),
                  QStringLiteral(" FROM CLIENTES C"),
                  QStringLiteral("  LEFT OUTER JOIN FORMASPAGO F"),
                  QStringLiteral("  ON (C.FORMAPAGO = F.IDFORMASPAGO)"),
                  QStringLiteral("WHERE (C.GRUPOEMPRESAS = :PARGRUPOEMPRESAS)")};
    if (conRango)
        s << QStringLiteral("  AND (C.CODIGO >= :PARDESDE) ") << QStringLiteral("  AND (C.CODIGO <= :PARHASTA) ");
    s << QStringLiteral("ORDER BY C.CODIGO ASC");
    return s;
}

QStringList SentenciaContarClientes(const QStringList &sentencia)
{
    QStringList s{QStringLiteral("SELECT COUNT(*) AS TOTAL")};
    bool desdeFrom = false;
    QString anterior;
    for (const QString &linea : sentencia) {
        const QString l = linea.trimmed();
        if (l.startsWith(QLatin1String("ORDER BY"), Qt::CaseInsensitive))
            break;
        desdeFrom = desdeFrom || l.startsWith(QLatin1String("FROM "), Qt::CaseInsensitive);
        // A left join keeps every customer once (the procedure gives one row, the payment
        // method is its key), and counting through the procedure would run it for everyone.
        const bool esUnion = l.startsWith(QLatin1String("LEFT OUTER JOIN"), Qt::CaseInsensitive)
                            || (l.startsWith(QLatin1String("ON "), Qt::CaseInsensitive)
                                && anterior.startsWith(QLatin1String("LEFT OUTER JOIN"), Qt::CaseInsensitive));
        anterior = l;
        if (desdeFrom && !esUnion)
            s << linea;
    }
    return s;
}

namespace {

/// A forward-only read-only statement on the data module's connection and transaction.
std::unique_ptr<TlxIBQuery> NuevaConsulta(TDatos &datos, const QStringList &sql)
{
    auto q = std::make_unique<TlxIBQuery>();
    q->setDatabase(datos.BaseDatosNORVIK);
    q->setTransaction(datos.IBTransaccion);
    q->setUniDirectional(true);
    q->setSql(sql);
    return q;
}

/// The range's typed texts reach the statement only as values, never as its text.
void PonerRango(TlxIBQuery &q, const QLineEdit *desde, const QLineEdit *hasta)
{
    q.paramByName(QStringLiteral("PARDESDE")).setAsString(desde->text());
    q.paramByName(QStringLiteral("PARHASTA")).setAsString(hasta->text());
}

void Abrir(TlxIBQuery &q)
{
    if (q.active())
        q.close();
    q.open();
    // The library query shows an error of its preparation itself; no rows may be read then.
    if (!q.active())
        throw fw::Error(QStringLiteral("No se pudo abrir la consulta de los clientes"));
}

double Valor(const fw::Field *f)
{
    return f == nullptr || f->isNull() ? 0.0 : f->asFloat();
}

QString Texto(const fw::Field *f)
{
    return f == nullptr || f->isNull() ? QString() : f->asString();
}

/// A group's outputs of the risk procedure, found once per opening of the statement.
struct SalidasGrupo
{
    fw::Field *concedido, *factPtesCobro, *devPendientes, *remPtesConfirmar, *factPtesRemesar, *remesasEnRiesgo,
        *albSinFact, *totalRiesgo, *totalOtros, *preSinAceptar, *pedidosPtes, *totalAnticipos, *pedidosParciales,
        *sumaDevCobradas, *sumaDevPendientes;

    SalidasGrupo(const fw::DataSet &q, int g);

    /// Granted risk, less the risk in use, plus the advances of the group.
    double saldo() const
    {
        return double((static_cast<long double>(Valor(concedido)) - Valor(totalRiesgo)) + Valor(totalAnticipos));
    }
};

/// The procedure outputs the risk listings read, by family; the group's digit follows the name.
const std::pair<fw::Field *SalidasGrupo::*, const char *> kFamilias[] = {
    {&SalidasGrupo::concedido, "PARRIESGOCONCEDIDO"},        {&SalidasGrupo::factPtesCobro, "PARFACTPTESCOBRO"},
    {&SalidasGrupo::devPendientes, "PARDEVPENDIENTES"},      {&SalidasGrupo::remPtesConfirmar, "PARREMPTESCONFIRMAR"},
    {&SalidasGrupo::factPtesRemesar, "PARFACTPTESREMESAR"},  {&SalidasGrupo::remesasEnRiesgo, "PARREMESASENRIESGO"},
    {&SalidasGrupo::albSinFact, "PARALBSINFACT"},            {&SalidasGrupo::totalRiesgo, "PARTOTALRIESGO"},
    {&SalidasGrupo::totalOtros, "PARTOTALOTROS"},            {&SalidasGrupo::preSinAceptar, "PARPRESINACEPTAR"},
    {&SalidasGrupo::pedidosPtes, "PARPEDIDOSPTES"},          {&SalidasGrupo::totalAnticipos, "PARTOTALANTICIPOS"},
    {&SalidasGrupo::pedidosParciales, "PARPEDIDOSPARCIALES"}, {&SalidasGrupo::sumaDevCobradas, "PARSUMADEVCOBRADAS"},
    {&SalidasGrupo::sumaDevPendientes, "PARSUMADEVPENDIENTES"}};

QString Salida(const char *familia, int g)
{
    return QLatin1String(familia) + QString::number(g);
}

SalidasGrupo::SalidasGrupo(const fw::DataSet &q, int g)
{
    for (const auto &[miembro, familia] : kFamilias)
        this->*miembro = &q.fieldByName(Salida(familia, g));
}

/// Only the columns the listings read become fields, so no row carries the others.
void DeclararCamposRiesgo(fw::DataSet &q)
{
    for (int g = 1; g <= 5; ++g)
        for (const auto &[miembro, familia] : kFamilias)
            q.addField(Salida(familia, g), fw::FieldType::Float);
    q.addField(QStringLiteral("CODIGO"), fw::FieldType::String, 7);
    q.addField(QStringLiteral("NOMBRE"), fw::FieldType::String, 50);
    q.addField(QStringLiteral("IDCLIENTES"), fw::FieldType::Integer);
}

/// The risk statement's columns, found once per opening.
struct ColumnasRiesgo
{
    std::vector<SalidasGrupo> grupos;
    fw::Field *codigo, *nombre, *id;

    explicit ColumnasRiesgo(const fw::DataSet &q)
        : codigo(&q.fieldByName(QStringLiteral("CODIGO"))), nombre(&q.fieldByName(QStringLiteral("NOMBRE"))),
          id(&q.fieldByName(QStringLiteral("IDCLIENTES")))
    {
        for (int g = 1; g <= 5; ++g)
            grupos.emplace_back(q, g);
    }
};

/// The memory table's fields, found once per gathering.
struct CamposFila
{
    fw::Field *idCliente, *codigoCliente, *clienteNombre, *fechaCaucion, *codigoCaucion, *riesgoConcedido,
        *facturasPtesCobro, *devolucionesPtes, *remesasPtesConfirmar, *facturasPtesRemesar, *remesasEnRiesgo,
        *albaranesSinFacturar, *totalRiesgo, *totalOtros, *presupuestosSinAceptar, *pedidosPtes, *totalAnticipos,
        *pedidosParciales, *devolucionesCobradas, *devolucionesPtesGestionar, *grupoRiesgo, *excedente,
        *diasCondicionPago;

    explicit CamposFila(const fw::DataSet &t)
    {
        auto f = [&](const char *nombre) { return &t.fieldByName(QLatin1String(nombre)); };
        idCliente = f("IdCliente");
        codigoCliente = f("CodigoCliente");
        clienteNombre = f("ClienteNombre");
        fechaCaucion = f("FechaCaucion");
        codigoCaucion = f("CodigoCaucion");
        riesgoConcedido = f("RiesgoConcedido");
        facturasPtesCobro = f("FacturasPtesCobro");
        devolucionesPtes = f("DevolucionesPtes");
        remesasPtesConfirmar = f("RemesasPtesConfirmar");
        facturasPtesRemesar = f("FacturasPtesRemesar");
        remesasEnRiesgo = f("RemesasEnRiesgo");
        albaranesSinFacturar = f("AlbaranesSinFacturar");
        totalRiesgo = f("TotalRiesgo");
        totalOtros = f("TotalOtros");
        presupuestosSinAceptar = f("PresupuestosSinAceptar");
        pedidosPtes = f("PedidosPtes");
        totalAnticipos = f("TotalAnticipos");
        pedidosParciales = f("PedidosParciales");
        devolucionesCobradas = f("DevolucionesCobradas");
        devolucionesPtesGestionar = f("DevolucionesPtesGestionar");
        grupoRiesgo = f("GrupoRiesgo");
        excedente = f("Excedente");
        diasCondicionPago = f("DiasCondicionPago");
    }

    /// Fills the new row of a risk listing from the customer's group `g`.
    void riesgo(const ColumnasRiesgo &c, int g, bool conCliente) const
    {
        const SalidasGrupo &s = c.grupos[size_t(g - 1)];
        idCliente->setValue(c.id->value());
        // Later rows of a customer carry a blank, so the report prints him once.
        codigoCliente->setAsString(conCliente ? Texto(c.codigo) : QStringLiteral(" "));
        clienteNombre->setAsString(conCliente ? Texto(c.nombre) : QStringLiteral(" "));
        importe(riesgoConcedido, Valor(s.concedido));
        importe(facturasPtesCobro, Valor(s.factPtesCobro));
        importe(devolucionesPtes, Valor(s.devPendientes));
        importe(remesasPtesConfirmar, Valor(s.remPtesConfirmar));
        importe(facturasPtesRemesar, Valor(s.factPtesRemesar));
        importe(remesasEnRiesgo, Valor(s.remesasEnRiesgo) + Valor(s.remPtesConfirmar));
        importe(albaranesSinFacturar, Valor(s.albSinFact));
        importe(totalRiesgo, Valor(s.totalRiesgo));
        importe(totalOtros, Valor(s.totalOtros));
        importe(presupuestosSinAceptar, Valor(s.preSinAceptar));
        importe(pedidosPtes, Valor(s.pedidosPtes) + Valor(s.pedidosParciales));
        importe(totalAnticipos, Valor(s.totalAnticipos));
        importe(pedidosParciales, Valor(s.pedidosParciales));
        importe(devolucionesCobradas, Valor(s.sumaDevCobradas));
        importe(devolucionesPtesGestionar, Valor(s.sumaDevPendientes));
        importe(excedente, s.saldo());
        grupoRiesgo->setAsInteger(g);
    }

    /// A new row's amounts start at 0: only the others are written.
    static void importe(fw::Field *campo, double valor)
    {
        if (valor != 0)
            campo->setAsFloat(valor);
    }
};

/// Empties the memory table: closed if open, then opened again.
void Reabrir(TlxRxMemoryData &tabla)
{
    if (tabla.active())
        tabla.close();
    tabla.open();
}

/// Empties the memory table and runs a gathering's steps on it; an error is
/// warned about once the statements are freed, and the rows and totals
/// gathered so far stay (a row not yet posted goes).
template <typename F>
void Cargar(TlxRxMemoryData &tabla, F &&pasos)
{
    std::optional<QString> error;
    try {
        Reabrir(tabla);
        // Widgets on the table hear of the rows once, when they are all in.
        const fw::ui::ControlsDisabled sinAvisos(tabla);
        std::forward<F>(pasos)();
        return;
    } catch (const fw::Abort &) {
        // A step cancelled on purpose ends the gathering without a message.
    } catch (...) {
        // Any other error: warned about below, once the statements (freed on the way out) are gone.
        error = fw::ui::errorText(std::current_exception());
    }
    try {
        if (tabla.state() == fw::DataSetState::Insert || tabla.state() == fw::DataSetState::Edit)
            tabla.cancel();
    } catch (...) {
        // The unposted row could not be dropped; the warning below still tells the user the listing is short.
    }
    if (error)
        MostrarAviso(QStringLiteral("Error al cargar los clientes ...\r\n") + *error);
}

} // namespace

bool TFormListadosVelmora::GrupoMarcado(int grupo) const
{
    if (CheckBoxGruposTodos->isChecked())
        return true;
    const QCheckBox *casillas[5] = {CheckBoxGrupoRiesgo1, CheckBoxGrupoRiesgo2, CheckBoxGrupoRiesgo3,
                                    CheckBoxGrupoRiesgo4, CheckBoxGrupoRiesgo5};
    return casillas[grupo - 1]->isChecked();
}

int TFormListadosVelmora::GrupoDeclarado() const
{
    // Group 1's box and "Todos los grupos" take no part: the declaration covers one group.
    if (CheckBoxGrupoRiesgo2->isChecked())
        return 2;
    if (CheckBoxGrupoRiesgo3->isChecked())
        return 3;
    if (CheckBoxGrupoRiesgo4->isChecked())
        return 4;
    if (CheckBoxGrupoRiesgo5->isChecked())
        return 5;
    return 1;
}

std::unique_ptr<TlxIBQuery> TFormListadosVelmora::ConsultaRiesgos() const
{
    const bool conRango = !CheckBoxClientesTodos->isChecked();
    auto q = NuevaConsulta(*Datos, SentenciaRiesgosClientes(conRango));
    DeclararCamposRiesgo(*q);
    q->paramByName(QStringLiteral("PARGRUPOEMPRESAS")).setAsInteger(Datos->IdGrupoEmpresa);
    if (conRango)
        PonerRango(*q, lxDBEditLookupClienteDesde, lxDBEditLookupClienteHasta);
    return q;
}

bool TFormListadosVelmora::SaldoExcluido(double saldo) const
{
    return (RadioButtonRiesgosExcedidos->isChecked() && saldo >= 0)
           || (RadioButtonRiesgosNoExcedidos->isChecked() && saldo < 0);
}

namespace {

/// The count of a customer statement, with the company group and the range (when given) bound.
int Contar(TDatos &datos, const QStringList &sentencia, const QLineEdit *desde, const QLineEdit *hasta)
{
    auto q = NuevaConsulta(datos, SentenciaContarClientes(sentencia));
    q->paramByName(QStringLiteral("PARGRUPOEMPRESAS")).setAsInteger(datos.IdGrupoEmpresa);
    if (desde != nullptr)
        PonerRango(*q, desde, hasta);
    Abrir(*q);
    const int total = q->eof() ? 0 : int(Valor(q->findField(QStringLiteral("TOTAL"))));
    q->close();
    return total;
}

} // namespace

int TFormListadosVelmora::ContarClientesRiesgo() const
{
    const bool conRango = !CheckBoxClientesTodos->isChecked();
    return Contar(*Datos, SentenciaRiesgosClientes(conRango), conRango ? lxDBEditLookupClienteDesde : nullptr,
                  lxDBEditLookupClienteHasta);
}

int TFormListadosVelmora::ContarClientesCaucion() const
{
    const bool conRango = !CheckBoxClientesTodos2->isChecked();
    return Contar(*Datos, SentenciaClientesCaucion(conRango), conRango ? lxDBEditLookupClienteDesde2 : nullptr,
                  lxDBEditLookupClienteHasta2);
}

int TFormListadosVelmora::GruposListados() const
{
    int n = 0;
    for (int g = 1; g <= 5; ++g)
        n += GrupoMarcado(g) ? 1 : 0;
    return n;
}

void TFormListadosVelmora::TotalesACero()
{
    SumaPedidos = SumaAlbaranes = SumaVtos = SumaRemesas = SumaTotalRiesgo = SumaRiesgoConcedido = SumaSaldo = 0;
}

void TFormListadosVelmora::CargarRiesgosPorCliente()
{
    // Emptied before the statement runs, so a failed run never shows a previous listing's totals.
    TotalesACero();
    TlxRxMemoryData &tabla = *Datos->RxClientesRiesgo;
    Cargar(tabla, [&] {
        auto q = ConsultaRiesgos();
        Abrir(*q);

        const ColumnasRiesgo c(*q);
        const CamposFila fila(tabla);
        for (; !q->eof(); q->next()) {
            if (ClienteLeido)
                ClienteLeido();
            bool primera = true;
            for (int g = 1; g <= 5; ++g) {
                const SalidasGrupo &s = c.grupos[size_t(g - 1)];
                if (Valor(s.concedido) == 0 || !GrupoMarcado(g))
                    continue;
                const double saldo = s.saldo();
                if (SaldoExcluido(saldo))
                    continue;
                tabla.append();
                fila.riesgo(c, g, primera);
                primera = false;
                SumaPedidos += Valor(s.pedidosPtes) + Valor(s.pedidosParciales);
                SumaAlbaranes += Valor(s.albSinFact);
                SumaVtos += Valor(s.factPtesCobro);
                SumaRemesas += Valor(s.remesasEnRiesgo) + Valor(s.remPtesConfirmar);
                SumaTotalRiesgo += Valor(s.totalRiesgo);
                SumaRiesgoConcedido += Valor(s.concedido);
                SumaSaldo += saldo;
                tabla.post();
            }
        }
        q->close();
    });
}

void TFormListadosVelmora::CargarRiesgosPorGrupo()
{
    TotalesACero();
    TlxRxMemoryData &tabla = *Datos->RxClientesRiesgo;
    Cargar(tabla, [&] {
        auto q = ConsultaRiesgos();

        const CamposFila fila(tabla);
        for (int g = 1; g <= 5; ++g) {
            if (!GrupoMarcado(g))
                continue;
            // The statement, and the procedure for every customer, runs once per group listed.
            Abrir(*q);
            const ColumnasRiesgo c(*q);
            const SalidasGrupo &s = c.grupos[size_t(g - 1)];
            for (; !q->eof(); q->next()) {
                if (ClienteLeido)
                    ClienteLeido();
                if (Valor(s.concedido) == 0)
                    continue;
                const double saldo = s.saldo();
                if (SaldoExcluido(saldo))
                    continue;
                tabla.append();
                fila.riesgo(c, g, true);
                tabla.post();
            }
        }
        if (q->active())
            q->close();
    });
}

double TFormListadosVelmora::CargarVentasCaucion()
{
    TotalesACero();
    Suma30C = Suma60C = Suma90C = SuperiorC = 0;
    Suma30 = Suma60 = Suma90 = Superior = 0;
    TlxRxMemoryData &tabla = *Datos->RxClientesRiesgo;
    Cargar(tabla, [&] {
        const bool seriesConRango = !CheckBoxSeriesTodas->isChecked();
        auto ventas = NuevaConsulta(*Datos, SentenciaVentasCliente(seriesConRango));
        if (seriesConRango)
            PonerRango(*ventas, lxDBEditSerieDesde, lxDBEditSerieHasta);
        const bool clientesConRango = !CheckBoxClientesTodos2->isChecked();
        auto clientes = NuevaConsulta(*Datos, SentenciaClientesCaucion(clientesConRango));
        clientes->paramByName(QStringLiteral("PARGRUPOEMPRESAS")).setAsInteger(Datos->IdGrupoEmpresa);
        if (clientesConRango)
            PonerRango(*clientes, lxDBEditLookupClienteDesde2, lxDBEditLookupClienteHasta2);
        Abrir(*clientes);

        const int g = GrupoDeclarado();
        const QDate desde = DateTimeDesde->date();
        const QDate hasta = DateTimeHasta->date();
        ventas->paramByName(QStringLiteral("PARGRUPO")).setAsInteger(g);
        ventas->paramByName(QStringLiteral("PARFECHADESDE")).setAsDate(desde);
        ventas->paramByName(QStringLiteral("PARFECHAHASTA")).setAsDate(hasta);
        fw::Param &parCliente = ventas->paramByName(QStringLiteral("PARCLIENTE"));

        const CamposFila fila(tabla);
        const fw::Field *dias = &clientes->fieldByName(QStringLiteral("DIASRIESGO"));
        const fw::Field *codigo = &clientes->fieldByName(QStringLiteral("CODIGO"));
        const fw::Field *nombre = &clientes->fieldByName(QStringLiteral("NOMBRE"));
        const fw::Field *id = &clientes->fieldByName(QStringLiteral("IDCLIENTES"));
        const fw::Field *cobertura = &clientes->fieldByName(QStringLiteral("RIESGOCONCEDIDO") + QString::number(g));
        const fw::Field *codigoCaucion =
            &clientes->fieldByName(QStringLiteral("CODIGOCREDITOCAUCION") + QString::number(g));
        for (; !clientes->eof(); clientes->next()) {
            if (ClienteLeido)
                ClienteLeido();
            parCliente.setValue(id->value());
            Abrir(*ventas);
            const double importeVentas = Valor(ventas->findField(QStringLiteral("TOTALVENTAS")));
            ventas->close();
            const int diasRiesgo = dias->isNull() ? 0 : dias->asInteger();
            const double cubierto = Valor(cobertura);

            if (importeVentas != 0 && cubierto != 0) {
                tabla.append();
                fila.idCliente->setValue(id->value());
                fila.codigoCliente->setAsString(Texto(codigo));
                fila.clienteNombre->setAsString(Texto(nombre));
                fila.riesgoConcedido->setAsFloat(cubierto);
                fila.totalRiesgo->setAsFloat(importeVentas);
                fila.excedente->setAsFloat(double(static_cast<long double>(cubierto) - importeVentas));
                fila.grupoRiesgo->setAsInteger(g);
                fila.diasCondicionPago->setAsInteger(diasRiesgo);
                fila.codigoCaucion->setAsString(Texto(codigoCaucion));
                fila.fechaCaucion->setValue(hasta);
                SumaSaldo += importeVentas;
                tabla.post();
            }
            std::array<double *, 4> cubos = cubierto != 0 ? std::array{&Suma30C, &Suma60C, &Suma90C, &SuperiorC}
                                                          : std::array{&Suma30, &Suma60, &Suma90, &Superior};
            const int cubo = diasRiesgo <= 30 ? 0 : diasRiesgo <= 60 ? 1 : diasRiesgo <= 90 ? 2 : 3;
            *cubos[size_t(cubo)] += importeVentas;
        }
        clientes->close();
    });
    return SumaSaldo;
}
