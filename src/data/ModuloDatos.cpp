#include "ModuloDatos.h"

#include "data/Conexion.h"
#include "components/lxDBEditLookupSrc.h"
#include "components/lxDescriptores.h"
#include "components/lxIBDataSet.h"
#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "framework/db/DataSource.h"
#include "framework/db/Database.h"
#include "framework/base/Error.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/Transaction.h"
#include "framework/base/PictureFormat.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"


#include <cmath>
#include <memory>

TDatos::TDatos(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Datos"));

    BaseDatosNORVIK = new fw::Database(this);
    BaseDatosNORVIK->setObjectName(QStringLiteral("BaseDatosNORVIK"));

    IBTransaccion = new fw::Transaction(this);
    IBTransaccion->setObjectName(QStringLiteral("IBTransaccion"));
    IBTransaccion->setDatabase(BaseDatosNORVIK);
    ConfigurarTransaccion(*IBTransaccion);
    IBTransaccion->setDefaultAction(fw::TransactionAction::CommitRetaining);
    BaseDatosNORVIK->setDefaultTransaction(IBTransaccion);

    IBQEmpresas = new TlxIBQuery(this);
    IBQEmpresas->setObjectName(QStringLiteral("IBQEmpresas"));
    IBQEmpresas->setDatabase(BaseDatosNORVIK);
    IBQEmpresas->setTransaction(IBTransaccion);
    IBQEmpresas->setSql(QStringList{QStringLiteral("SELECT * "), QStringLiteral("FROM EMPRESAS "),
                                    QStringLiteral("WHERE IDEMPRESAS = :IDEMPRESAS")});
    IBQEmpresas->afterOpen = [this](fw::DataSet &) { IBQEmpresasAfterOpen(); };

    CrearSituacionClientesRiesgo();
    CrearClientesRiesgo();
    CrearConfiguracion();
}

TDatos::~TDatos()
{
    // Data sets go before the connection they run on; the connection then
    // ends an active transaction with its default action.
    try {
        if (BaseDatosNORVIK->connected()) {
            BaseDatosNORVIK->closeDataSets();
            BaseDatosNORVIK->close();
        }
    } catch (...) {
        // A failed close is dropped: freeing the module never fails, and its entry has reported what it must.
    }
}

void TDatos::IBQEmpresasAfterOpen()
{
    const fw::Field *moneda = IBQEmpresas->findField(QStringLiteral("MONEDABASE"));
    MonedaEmpresaBase = (moneda == nullptr || IBQEmpresas->isEmpty() || moneda->isNull()) ? 0 : moneda->asInteger();
}

// ---- risk query, memory table, currency and document context ----

namespace {

const char *const kFamiliasProcedimiento[] = {
    "PARRIESGOCONCEDIDO", "PARFACTPTESCOBRO", "PARDEVPENDIENTES", "PARREMPTESCONFIRMAR", "PARFACTPTESREMESAR",
    "PARREMESASENRIESGO", "PARALBSINFACT",    "PARTOTALRIESGO",   "PARTOTALOTROS",       "PARPRESINACEPTAR",
    "PARPEDIDOSPTES",     "PARTOTALANTICIPOS"};

QString conGrupo(const char *familia, int g)
{
    return QString::fromLatin1(familia) + QString::number(g);
}

/// The amount fields of the risk query in the order the amount display configures them.
QStringList camposImporteRiesgo()
{
    QStringList nombres;
    auto familia = [&](const char *f) {
        for (int g = 1; g <= 5; ++g)
            nombres << conGrupo(f, g);
    };
    for (const char *f : kFamiliasProcedimiento)
        familia(f);
    nombres << QStringLiteral("PARTOTALANTICIPOSLIBRES");
    familia("PARPEDIDOSPARCIALES");
    familia("TOTALEXCEDIDO");
    nombres << QStringLiteral("TOTALEXCEDIDOGLOBAL") << QStringLiteral("SALDOGLOBAL");
    familia("PARSUMADEVCOBRADAS");
    familia("PARSUMADEVPENDIENTES");
    familia("PARSUMADEVTOTALES");
    return nombres;
}

const QStringList &camposImporteRx()
{
    static const QStringList nombres{
        QStringLiteral("RiesgoConcedido"),      QStringLiteral("FacturasPtesCobro"),
        QStringLiteral("DevolucionesPtes"),     QStringLiteral("RemesasPtesConfirmar"),
        QStringLiteral("FacturasPtesRemesar"),  QStringLiteral("RemesasEnRiesgo"),
        QStringLiteral("AlbaranesSinFacturar"), QStringLiteral("TotalRiesgo"),
        QStringLiteral("TotalOtros"),           QStringLiteral("PresupuestosSinAceptar"),
        QStringLiteral("PedidosPtes"),          QStringLiteral("TotalAnticipos"),
        QStringLiteral("PedidosParciales"),     QStringLiteral("DevolucionesCobradas"),
        QStringLiteral("DevolucionesPtesGestionar"), QStringLiteral("Excedente")};
    return nombres;
}

/// A null amount counts as 0.
long double extendido(const fw::Field &campo)
{
    return campo.isNull() ? 0.0L : static_cast<long double>(campo.asFloat());
}

} // namespace

void TDatos::CrearSituacionClientesRiesgo()
{
    IBQSituacionClientesRiesgo = new TlxIBQuery(this);
    IBQSituacionClientesRiesgo->setObjectName(QStringLiteral("IBQSituacionClientesRiesgo"));
    IBQSituacionClientesRiesgo->setDatabase(BaseDatosNORVIK);
    IBQSituacionClientesRiesgo->setTransaction(IBTransaccion);
    IBQSituacionClientesRiesgo->setSql(QStringList{
        QStringLiteral("SELECT PRSITUACIONCLIENTESRIESGOGRUPOS.*, C.CODIGO, C.NOMBRE, C.IDCLIENTES"),
        QStringLiteral("FROM PRSITUACIONCLIENTESRIESGOGRUPOS("), QStringLiteral("  :PARCLIENTE) "),
        QStringLiteral("  LEFT OUTER JOIN CLIENTES C"), QStringLiteral("  ON (:PARCLIENTE = C.IdClientes)")});

    // Declared before the first open, so the amount descriptors exist when the
    // before-open step configures them.
    auto importe = [this](const QString &nombre, fw::FieldKind kind = fw::FieldKind::Data) {
        fw::Field &f = IBQSituacionClientesRiesgo->addField(nombre, fw::FieldType::Float, 0, kind);
        f.setReadOnly(true);
        f.onGetText = [this](fw::Field &campo, QString &texto, bool display) {
            IBQSituacionClientesRiesgoPARRIESGOCONCEDIDO1GetText(campo, texto, display);
        };
    };
    auto familia = [&](const char *f, fw::FieldKind kind = fw::FieldKind::Data) {
        for (int g = 1; g <= 5; ++g)
            importe(conGrupo(f, g), kind);
    };
    for (const char *f : kFamiliasProcedimiento)
        familia(f);
    importe(QStringLiteral("PARTOTALANTICIPOSLIBRES"));
    familia("PARPEDIDOSPARCIALES");
    familia("TOTALEXCEDIDO", fw::FieldKind::Calculated);
    IBQSituacionClientesRiesgo->addField(QStringLiteral("CODIGO"), fw::FieldType::String, 7);
    IBQSituacionClientesRiesgo->addField(QStringLiteral("NOMBRE"), fw::FieldType::String, 50);
    IBQSituacionClientesRiesgo->addField(QStringLiteral("IDCLIENTES"), fw::FieldType::Integer);
    importe(QStringLiteral("TOTALEXCEDIDOGLOBAL"), fw::FieldKind::Calculated);
    importe(QStringLiteral("SALDOGLOBAL"), fw::FieldKind::Calculated);
    familia("PARSUMADEVCOBRADAS");
    familia("PARSUMADEVPENDIENTES");
    familia("PARSUMADEVTOTALES");

    IBQSituacionClientesRiesgo->beforeOpen = [this](fw::DataSet &) { IBQSituacionClientesRiesgoBeforeOpen(); };
    IBQSituacionClientesRiesgo->onCalcFields = [this](fw::DataSet &) { IBQSituacionClientesRiesgoCalcFields(); };

    dsSituacionClientesRiesgo = new fw::DataSource(this);
    dsSituacionClientesRiesgo->setObjectName(QStringLiteral("dsSituacionClientesRiesgo"));
    dsSituacionClientesRiesgo->setAutoEdit(false);
    dsSituacionClientesRiesgo->setDataSet(IBQSituacionClientesRiesgo);
}

void TDatos::CrearClientesRiesgo()
{
    RxClientesRiesgo = new TlxRxMemoryData(this);
    RxClientesRiesgo->setObjectName(QStringLiteral("RxClientesRiesgo"));
    auto campo = [this](const QString &nombre, fw::FieldType tipo, int size = 0) -> fw::Field & {
        return RxClientesRiesgo->addField(nombre, tipo, size);
    };
    campo(QStringLiteral("IdCliente"), fw::FieldType::Integer);
    campo(QStringLiteral("CodigoCliente"), fw::FieldType::String, 10);
    campo(QStringLiteral("ClienteNombre"), fw::FieldType::String, 50);
    campo(QStringLiteral("FechaCaucion"), fw::FieldType::Date);
    campo(QStringLiteral("CodigoCaucion"), fw::FieldType::String, 15);
    for (const QString &nombre : camposImporteRx()) {
        if (nombre == QLatin1String("Excedente"))
            campo(QStringLiteral("GrupoRiesgo"), fw::FieldType::Integer);
        fw::Field &f = campo(nombre, fw::FieldType::Float);
        f.onGetText = [this](fw::Field &c, QString &texto, bool display) {
            IBQSituacionClientesRiesgoPARRIESGOCONCEDIDO1GetText(c, texto, display);
        };
        m_cerosNuevaFila.push_back(&f);
    }
    m_cerosNuevaFila.push_back(&campo(QStringLiteral("DiasCondicionPago"), fw::FieldType::Integer));

    RxClientesRiesgo->onNewRecord = [this](fw::DataSet &) { RxClientesRiesgoNewRecord(); };
    RxClientesRiesgo->beforeOpen = [this](fw::DataSet &) { RxClientesRiesgoBeforeOpen(); };

    dsRxClientesRiesgo = new fw::DataSource(this);
    dsRxClientesRiesgo->setObjectName(QStringLiteral("dsRxClientesRiesgo"));
    dsRxClientesRiesgo->setAutoEdit(false);
    dsRxClientesRiesgo->setDataSet(RxClientesRiesgo);
}

void TDatos::IBQSituacionClientesRiesgoBeforeOpen()
{
    IBQSituacionClientesRiesgo->paramByName(QStringLiteral("PARCLIENTE")).setAsInteger(IdCliente);
    ConfigurarCamposImporte(IBQSituacionClientesRiesgo);
}

void TDatos::IBQSituacionClientesRiesgoCalcFields()
{
    // Evaluated in 80-bit extended precision and rounded once to a double when
    // stored; never rounded to cents, so the sign tests see the true residue.
    fw::DataSet &q = *IBQSituacionClientesRiesgo;
    for (int g = 1; g <= 5; ++g) {
        const long double saldo = (extendido(q.fieldByName(conGrupo("PARRIESGOCONCEDIDO", g)))
                                   + extendido(q.fieldByName(conGrupo("PARTOTALANTICIPOS", g))))
                                  - extendido(q.fieldByName(conGrupo("PARTOTALRIESGO", g)));
        q.fieldByName(conGrupo("TOTALEXCEDIDO", g)).setAsFloat(static_cast<double>(saldo));
    }
    const long double global = extendido(q.fieldByName(QStringLiteral("TOTALEXCEDIDO1")))
                               + extendido(q.fieldByName(QStringLiteral("TOTALEXCEDIDO2")))
                               + extendido(q.fieldByName(QStringLiteral("TOTALEXCEDIDO3")))
                               + extendido(q.fieldByName(QStringLiteral("TOTALEXCEDIDO4")))
                               + extendido(q.fieldByName(QStringLiteral("TOTALEXCEDIDO5")));
    q.fieldByName(QStringLiteral("TOTALEXCEDIDOGLOBAL")).setAsFloat(static_cast<double>(global));
    const long double saldoGlobal = extendido(q.fieldByName(QStringLiteral("TOTALEXCEDIDOGLOBAL")))
                                    + extendido(q.fieldByName(QStringLiteral("PARTOTALANTICIPOSLIBRES")));
    q.fieldByName(QStringLiteral("SALDOGLOBAL")).setAsFloat(static_cast<double>(saldoGlobal));
}

void TDatos::RxClientesRiesgoNewRecord()
{
    // The 16 amounts in the table's order, then the days.
    for (fw::Field *f : m_cerosNuevaFila) {
        if (f->isFloat())
            f->setAsFloat(0);
        else
            f->setAsInteger(0);
    }
}

void TDatos::RxClientesRiesgoBeforeOpen()
{
    ConfigurarCamposImporte(RxClientesRiesgo);
}

void TDatos::ObtenerDatosMoneda(std::int32_t monedaInicio, double &cambio, std::int32_t &decimales)
{
    cambio = 1;
    decimales = 0;
    std::unique_ptr<fw::SqlStatement> consulta;
    try {
        consulta = std::make_unique<fw::SqlStatement>();
        consulta->setDatabase(BaseDatosNORVIK);
        consulta->setTransaction(IBTransaccion);
    } catch (...) {
        // Any error creating the lookup: warned, and the rate and decimals keep their defaults.
        MostrarAviso(QStringLiteral("ATENCION Error en Monedas ") + fw::ui::errorText(std::current_exception()));
        return;
    }
    try {
        consulta->setSql(QStringList{
            QStringLiteral("SELECT CD.CambioVentas AS Cambio,"),
            QStringLiteral("       ME.DecimalesVisualizar AS DecimalesCambio,"),
            QStringLiteral("       MD.DecimalesVisualizar AS DecimalesMoneda,"), QStringLiteral("       MD.Simbolo"),
            QStringLiteral("FROM CambioDivisas CD"), QStringLiteral("  LEFT OUTER JOIN Monedas ME"),
            QStringLiteral("  ON (CD.MonedaInicio = ME.IdMonedas)"), QStringLiteral("  LEFT OUTER JOIN Monedas MD"),
            QStringLiteral("  ON (CD.MonedaFin = MD.IdMonedas)"),
            QStringLiteral("WHERE (CD.MonedaInicio = ") + QString::number(monedaInicio) + QStringLiteral(") AND"),
            QStringLiteral("      (CD.MonedaFin =") + QString::number(MonedaEmpresaBase) + QStringLiteral(")")});
        consulta->execute();
        if (!consulta->eof()) {
            const QVariant c = consulta->value(QStringLiteral("CAMBIO"));
            cambio = c.isNull() ? 1 : c.toDouble();
            const QVariant d = consulta->value(QStringLiteral("DECIMALESMONEDA"));
            decimales = d.isNull() ? 0 : d.toInt();
        }
        consulta->close();
        if (IBTransaccion->active())
            IBTransaccion->commitRetaining();
    } catch (...) {
        // Any error of the lookup: warned, and what was read before it stays.
        MostrarAviso(QStringLiteral("ATENCION  ") + fw::ui::errorText(std::current_exception()));
    }
}

void TDatos::ConfigurarCamposImporte(fw::DataSet *dataSet)
{
    double cambio = 1;
    std::int32_t decimales = 0;
    ObtenerDatosMoneda(MonedaEmpresaBase, cambio, decimales);

    QStringList nombres;
    lx::Descriptores *descriptores = nullptr;
    if (dataSet == IBQSituacionClientesRiesgo) {
        nombres = camposImporteRiesgo();
        descriptores = IBQSituacionClientesRiesgo;
    } else if (dataSet == RxClientesRiesgo) {
        nombres = camposImporteRx();
        descriptores = RxClientesRiesgo;
    } else {
        return;
    }
    const lx::Presentacion importe{.Tipo = tcImporte,
                                   .AccesoVisualizacion = -1,
                                   .TextoNoAccesoVisualizacion = QStringLiteral("*"),
                                   .CambioMoneda = cambio,
                                   .Decimales = decimales,
                                   .SeparadorMiles = true,
                                   .TextoFijoAnterior = QString(),
                                   .TextoFijoPosterior = QStringLiteral("  "),
                                   .GetText = true};
    for (const QString &nombre : nombres)
        descriptores->SetlxCampo(&dataSet->fieldByName(nombre), importe);
}

namespace {
/// The field's own text, without any get-text handler.
QString textoPropio(const fw::Field &campo)
{
    return campo.isNull() ? QString() : campo.asString();
}
} // namespace

void TDatos::IBQSituacionClientesRiesgoPARRIESGOCONCEDIDO1GetText(fw::Field &Sender, QString &Text, bool DisplayText)
{
    Q_UNUSED(DisplayText); // the same text serves display and editing
    const TlxCampo *descriptor = lx::descriptor(Sender);
    if (descriptor == nullptr) {
        Text.clear();
        return;
    }
    if (!descriptor->GetText) {
        Text = textoPropio(Sender);
        return;
    }
    QString s;
    switch (descriptor->Tipo) {
    case tcTexto:
    case tcTexto4:
    case tcTexto7:
        s = textoPropio(Sender);
        break;
    case tcImporte: {
        const double valor = Sender.isNull() ? 0.0 : Sender.asFloat();
        const double divisor = descriptor->CambioMoneda == 0 ? 1.0 : descriptor->CambioMoneda;
        s = fw::formatFloat(descriptor->MascaraVisualizacion, valor / divisor);
        const fw::DataSetState estado = Sender.dataSet()->state();
        if (estado == fw::DataSetState::Edit || estado == fw::DataSetState::Insert
            || estado == fw::DataSetState::SetKey) {
            const double redondeado = RedondearDecimales(descriptor->Decimales, valor);
            if (redondeado != valor && !Sender.readOnly()) {
                try {
                    Sender.setAsFloat(redondeado);
                } catch (...) {
                    // A rounded value that the field or its owner's handlers refuse is shown; the text is still built.
                    fw::ui::dialogs().inform(fw::ui::errorText(std::current_exception()));
                }
            }
        }
        break;
    }
    case tcNumero:
    case tcNumero3:
        s = fw::formatFloat(descriptor->MascaraVisualizacion, Sender.isNull() ? 0.0 : Sender.asFloat());
        break;
    case tcFecha:
        Sender.setDisplayFormat(QStringLiteral("dd/mm/yyyy"));
        s = textoPropio(Sender);
        break;
    case tcFechaHora:
        Sender.setDisplayFormat(QStringLiteral("dd/mm/yyyy hh:nn"));
        s = textoPropio(Sender);
        break;
    case tcHora:
        Sender.setDisplayFormat(QStringLiteral("hh:nn"));
        s = textoPropio(Sender);
        break;
    default:
        break;
    }
    Text = descriptor->TextoFijoAnterior + s + descriptor->TextoFijoPosterior;
}

double RedondearDecimales(std::int32_t d, double x)
{
    // The power of ten is a single-precision value, the product is taken in
    // extended precision and rounded halves-to-even into a 32-bit integer.
    const float p = std::pow(10.0f, float(d));
    const long double producto = static_cast<long double>(x) * static_cast<long double>(p);
    const long double n = std::nearbyint(producto);
    if (!(n >= -2147483648.0L && n <= 2147483647.0L))
        return x; // beyond the 32-bit range the value is kept as it is
    return static_cast<double>(static_cast<long double>(static_cast<std::int32_t>(n)) / static_cast<long double>(p));
}

void TDatos::CargarDatosDocumento()
{
    std::unique_ptr<TlxIBQuery> consulta;
    try {
        consulta = std::make_unique<TlxIBQuery>();
        consulta->setDatabase(BaseDatosNORVIK);
        consulta->setTransaction(IBTransaccion);
        consulta->setUniDirectional(true);

        consulta->setSql(QStringList{QStringLiteral("SELECT SE.CODIGO AS CODIGOSERIE,"),
                                     QStringLiteral("SE.NOMBRE AS NOMBRESERIE,"), QStringLiteral("SE.GRUPORIESGO "),
                                     QStringLiteral("FROM SERIESDOCUMENTOS SE "),
                                     QStringLiteral("WHERE (IDSERIESDOCUMENTOS = :PARID)")});
        consulta->paramByName(QStringLiteral("PARID")).setAsInteger(IDSerie);
        consulta->open();
        const bool hayFila = !consulta->isEmpty();
        CodigoSerie = hayFila ? textoPropio(consulta->fieldByName(QStringLiteral("CODIGOSERIE"))) : QString();
        NombreSerie = hayFila ? textoPropio(consulta->fieldByName(QStringLiteral("NOMBRESERIE"))) : QString();
        const fw::Field &grupo = consulta->fieldByName(QStringLiteral("GRUPORIESGO"));
        GrupoRiesgo = (!hayFila || grupo.isNull()) ? 0 : grupo.asInteger();
        consulta->close();

        QStringList numero{QStringLiteral("SELECT NUMERO ")};
        switch (TipoDocumento) {
        case 0:
            numero << QStringLiteral("FROM PRESUPUESTOSVENTA  WHERE (IDPRESUPUESTOSVENTA = :PARID)");
            break;
        case 1:
            numero << QStringLiteral("FROM PEDIDOSVENTA  WHERE (IDPEDIDOSVENTA = :PARID)");
            break;
        case 2:
            numero << QStringLiteral("FROM ALBARANESVENTA  WHERE (IDALBARANESVENTA = :PARID)");
            break;
        default:
            break;
        }
        consulta->setSql(numero);
        if (consulta->paramNames().contains(QStringLiteral("PARID"), Qt::CaseInsensitive))
            consulta->paramByName(QStringLiteral("PARID")).setAsInteger(IdDocumento);
        consulta->open();
        if (!consulta->active())
            throw fw::Error(QStringLiteral("No se pudo abrir la consulta del documento"));
        const bool hayDocumento = !consulta->isEmpty();
        const fw::Field &num = consulta->fieldByName(QStringLiteral("NUMERO"));
        NumeroDocumento = (!hayDocumento || num.isNull()) ? 0 : num.asInteger();
        consulta->close();
    } catch (const fw::Abort &) {
        // A step cancelled on purpose ends the lookup without a message.
    } catch (...) {
        // Any other error: warned once the query is freed (its destructor lets the cursor go, running no handler).
        const QString texto = fw::ui::errorText(std::current_exception());
        consulta.reset();
        MostrarAviso(QStringLiteral("Error al buscar los datos del documento ...\r\n") + texto);
    }
}

bool TDatos::SobrepasadoRiesgo()
{
    if (GrupoRiesgo >= 1 && GrupoRiesgo <= 5)
        return IBQSituacionClientesRiesgo->fieldByName(conGrupo("TOTALEXCEDIDO", GrupoRiesgo)).asFloat() < 0;
    return true;
}

void TDatos::CargarValoresGrupoEmpresasLxDBEditLookup(QWidget *ventana)
{
    if (ventana == nullptr)
        return;
    for (TCustomLxDBEditLookup *edit : ventana->findChildren<TCustomLxDBEditLookup *>())
        edit->setValorGrupoEmpresas(edit->OpcionesBusqueda().testFlag(Filtrar_por_Grupo_de_Empresas) ? IdGrupoEmpresa
                                                                                                       : IdEmpresa);
}

bool MostrarAviso(const QString &texto)
{
    return fw::ui::dialogs().warn(texto);
}

void MostrarErrorActual() noexcept
{
    try {
        fw::ui::dialogs().inform(fw::ui::errorText(std::current_exception()));
    } catch (...) {
        // The message box itself failed: there is no other way left to tell the user.
    }
}

// ---- configuration: risk groups of the series, risk days of the payment methods ----

namespace {

/// The document or invoice series of the company group: only GRUPORIESGO is written.
void DeclararSeries(TlxIBDataSet &t, const QString &tabla, const QString &clave)
{
    t.setSelectSql(QStringList{
        QStringLiteral("SELECT S.%1,").arg(clave), QStringLiteral("       S.CODIGO AS CODIGOSERIE,"),
        QStringLiteral("       S.NOMBRE AS NOMBRESERIE,"), QStringLiteral("       S.GRUPORIESGO,"),
        QStringLiteral("       E.CODIGO AS CODIGOEMPRESA,"), QStringLiteral("       E.NOMBRE AS NOMBREEMPRESA"),
        QStringLiteral("FROM %1 S").arg(tabla), QStringLiteral("  LEFT OUTER JOIN EMPRESAS E"),
        QStringLiteral("  ON (S.EMPRESA = E.IDEMPRESAS)"), QStringLiteral("WHERE (E.GRUPOEMPRESAS = :PARIDGRUPOEMPRESAS)"),
        QStringLiteral("ORDER BY E.CODIGO, S.CODIGO")});
    const QStringList actualizar{QStringLiteral("UPDATE %1").arg(tabla), QStringLiteral("SET"),
                                 QStringLiteral("  GRUPORIESGO = :GRUPORIESGO"), QStringLiteral("WHERE"),
                                 QStringLiteral("  %1 = :OLD_%1").arg(clave)};
    t.setModifySql(actualizar);
    t.setInsertSql(actualizar);

    auto campo = [&t](const char *nombre, fw::FieldType tipo, int size, const char *etiqueta) -> fw::Field & {
        fw::Field &f = t.addField(QString::fromLatin1(nombre), tipo, size);
        f.setDisplayLabel(QString::fromUtf8(etiqueta));
        return f;
    };
    fw::Field &codigoEmpresa = campo("CODIGOEMPRESA", fw::FieldType::String, 4, "Codigo Empresa");
    codigoEmpresa.setReadOnly(true);
    codigoEmpresa.setAlignment(Qt::AlignHCenter);
    campo("NOMBREEMPRESA", fw::FieldType::String, 35, "Nombre Empresa").setReadOnly(true);
    fw::Field &codigoSerie = campo("CODIGOSERIE", fw::FieldType::String, 4, "Codigo Serie");
    codigoSerie.setReadOnly(true);
    codigoSerie.setRequired(true);
    codigoSerie.setAlignment(Qt::AlignHCenter);
    fw::Field &nombreSerie = campo("NOMBRESERIE", fw::FieldType::String, 35, "Nombre Serie");
    nombreSerie.setReadOnly(true);
    nombreSerie.setRequired(true);
    fw::Field &grupo = campo("GRUPORIESGO", fw::FieldType::Integer, 0, "Grupo Riesgo");
    grupo.setMinValue(1);
    grupo.setMaxValue(5);
    grupo.setAlignment(Qt::AlignHCenter);
    fw::Field &id = campo(clave.toLatin1().constData(), fw::FieldType::Integer, 0, "");
    id.setRequired(true);
    id.setVisible(false);
}

/// An integer field read as 0 when NULL.
int EnteroOCero(const fw::DataSet &ds, const QString &nombre)
{
    const fw::Field &f = ds.fieldByName(nombre);
    return f.isNull() ? 0 : f.asInteger();
}

/// Before a series row is written: no group, or one outside 1 to 5, becomes 1.
void AjustarGrupoRiesgo(fw::DataSet &ds)
{
    const int grupo = EnteroOCero(ds, QStringLiteral("GRUPORIESGO"));
    if (grupo <= 0 || grupo >= 6)
        ds.fieldByName(QStringLiteral("GRUPORIESGO")).setAsInteger(1);
}

} // namespace

void TDatos::CrearConfiguracion()
{
    auto crear = [this](const char *nombre) {
        auto *t = new TlxIBDataSet(this);
        t->setObjectName(QString::fromLatin1(nombre));
        t->setDatabase(BaseDatosNORVIK);
        t->setTransaction(IBTransaccion);
        // Every commit habit stays off: the configuration entry commits once, at the end.
        t->AvisoCommit = false;
        t->CommitOnScroll = false;
        t->ControlTransacciones = false;
        t->CommitOnDelete = false;
        t->CommitOnPost = false;
        t->ControlAuditoria = false;
        t->IdUsuarioActivo = -1;
        return t;
    };
    auto fuente = [this](const char *nombre, fw::DataSet *ds) {
        auto *s = new fw::DataSource(this);
        s->setObjectName(QString::fromLatin1(nombre));
        s->setDataSet(ds);
        return s;
    };

    tSeriesDocumentos = crear("tSeriesDocumentos");
    DeclararSeries(*tSeriesDocumentos, QStringLiteral("SERIESDOCUMENTOS"), QStringLiteral("IDSERIESDOCUMENTOS"));
    dstSeriesDocumentos = fuente("dstSeriesDocumentos", tSeriesDocumentos);

    tSeriesFacturas = crear("tSeriesFacturas");
    DeclararSeries(*tSeriesFacturas, QStringLiteral("SERIESFACTURAS"), QStringLiteral("IDSERIESFACTURAS"));
    dstSeriesFacturas = fuente("dstSeriesFacturas", tSeriesFacturas);

    tFormasPago = crear("tFormasPago");
    tFormasPago->setSelectSql(QStringList{
        QStringLiteral("SELECT F.IDFORMASPAGO,"), QStringLiteral("       F.CODIGO,"), QStringLiteral("       F.NOMBRE,"),
        QStringLiteral("       F.NUMEROVENCIMIENTOS,"), QStringLiteral("       F.INTERVALOVENCIMIENTOS,"),
        QStringLiteral("       F.DIASPRIMERVENCIMIENTO,"), QStringLiteral("       F.EXENTA_DE_RIESGO,"),
        QStringLiteral("       F.DIASRIESGO"), QStringLiteral("FROM FORMASPAGO F"),
        QStringLiteral("WHERE (F.GRUPOEMPRESAS = :PARIDGRUPOEMPRESAS)"), QStringLiteral("ORDER BY F.CODIGO")});
    const QStringList actualizar{QStringLiteral("UPDATE FORMASPAGO"), QStringLiteral("SET"),
                                 QStringLiteral("  DIASRIESGO = :DIASRIESGO"), QStringLiteral("WHERE"),
                                 QStringLiteral("  IDFORMASPAGO = :OLD_IDFORMASPAGO")};
    tFormasPago->setModifySql(actualizar);
    tFormasPago->setInsertSql(actualizar);
    {
        auto campo = [this](const char *nombre, fw::FieldType tipo, int size, const char *etiqueta,
                            fw::FieldKind kind = fw::FieldKind::Data) -> fw::Field & {
            fw::Field &f = tFormasPago->addField(QString::fromLatin1(nombre), tipo, size, kind);
            f.setDisplayLabel(QString::fromUtf8(etiqueta));
            return f;
        };
        auto centrado = [](fw::Field &f) { f.setAlignment(Qt::AlignHCenter); };
        fw::Field &codigo = campo("CODIGO", fw::FieldType::String, 4, "Codigo");
        codigo.setReadOnly(true);
        codigo.setRequired(true);
        centrado(codigo);
        fw::Field &nombre = campo("NOMBRE", fw::FieldType::String, 35, "Nombre");
        nombre.setReadOnly(true);
        nombre.setRequired(true);
        // The due-date columns are small integers in the table; read as plain
        // integers so the grid shows their numbers (it draws small integers as ticks).
        for (auto [n, etiqueta] : {std::pair{"DIASPRIMERVENCIMIENTO", "Dias 1º Vto"},
                                   std::pair{"NUMEROVENCIMIENTOS", "Nº Vtos"},
                                   std::pair{"INTERVALOVENCIMIENTOS", "Inter. entre Vtos."}}) {
            fw::Field &f = campo(n, fw::FieldType::Integer, 0, etiqueta);
            f.setReadOnly(true);
            centrado(f);
        }
        campo("EXENTA_DE_RIESGO", fw::FieldType::SmallInt, 0, "Exenta Riesgo").setReadOnly(true);
        centrado(campo("DIASRIESGOCALCULADO", fw::FieldType::Integer, 0, "Dias Calculados", fw::FieldKind::Calculated));
        centrado(campo("DIASRIESGO", fw::FieldType::Integer, 0, "Dias de Riesgo"));
        fw::Field &id = campo("IDFORMASPAGO", fw::FieldType::Integer, 0, "");
        id.setRequired(true);
        id.setVisible(false);
    }
    dstFormasPago = fuente("dstFormasPago", tFormasPago);

    for (TlxIBDataSet *t : {tSeriesDocumentos, tSeriesFacturas, tFormasPago}) {
        t->beforeOpen = [this](fw::DataSet &ds) { tSeriesDocumentosBeforeOpen(ds); };
        t->beforeInsert = [this](fw::DataSet &ds) { tSeriesDocumentosBeforeInsert(ds); };
        t->onNewRecord = [this](fw::DataSet &ds) { tSeriesDocumentosBeforeInsert(ds); };
    }
    tSeriesDocumentos->beforePost = [this](fw::DataSet &ds) { tSeriesDocumentosBeforePost(ds); };
    tSeriesFacturas->beforePost = [this](fw::DataSet &ds) { tSeriesFacturasBeforePost(ds); };
    tFormasPago->onCalcFields = [this](fw::DataSet &ds) { tFormasPagoCalcFields(ds); };
}

void TDatos::tSeriesDocumentosBeforeOpen(fw::DataSet &DataSet)
{
    auto &consulta = dynamic_cast<fw::SqlQuery &>(DataSet);
    consulta.paramByName(QStringLiteral("PARIDGRUPOEMPRESAS")).setAsInteger(IdGrupoEmpresa);
}

void TDatos::tSeriesDocumentosBeforePost(fw::DataSet &DataSet)
{
    AjustarGrupoRiesgo(DataSet);
}

void TDatos::tSeriesFacturasBeforePost(fw::DataSet &DataSet)
{
    AjustarGrupoRiesgo(DataSet);
}

void TDatos::tSeriesDocumentosBeforeInsert(fw::DataSet &)
{
    throw fw::Abort();
}

void TDatos::tFormasPagoCalcFields(fw::DataSet &DataSet)
{
    const int d = EnteroOCero(DataSet, QStringLiteral("DIASPRIMERVENCIMIENTO"));
    const int i = EnteroOCero(DataSet, QStringLiteral("INTERVALOVENCIMIENTOS"));
    const int n = EnteroOCero(DataSet, QStringLiteral("NUMEROVENCIMIENTOS"));
    const int dias = d == 0 ? i * (n - 1) + i : d + i * (n - 1);
    DataSet.fieldByName(QStringLiteral("DIASRIESGOCALCULADO")).setAsInteger(dias);
}
