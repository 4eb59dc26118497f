#include "reports/InformeSituacionClientes.h"

#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "framework/db/DataSet.h"
#include "reports/InformeComun.h"

using namespace fw::report;
using namespace informes;

void LineaSobreCliente(Band &band, const DataSetCursor &filas)
{
    const fw::Field *codigo = filas.dataSet().findField(QStringLiteral("CodigoCliente"));
    band.frame().top = codigo == nullptr || codigo->asString() != QStringLiteral(" ");
}

TQuickReportSituacionClientes::TQuickReportSituacionClientes(TDatos &datos, QObject *parent)
    : Report(parent), Datos(&datos), m_filas(*datos.RxClientesRiesgo), m_empresa(*datos.IBQEmpresas)
{
    setObjectName(QStringLiteral("QuickReportSituacionClientes"));
    setTitle(QStringLiteral("SituacionRiesgoClientes"));
    setCursor(&m_filas);
    setPrintIfEmpty(true);
    setPreviewMaximized(true);

    constexpr double kTitulos = 21; // top of the column headings
    QRBandTitulo = addBand(BandKind::PageHeader, 27, QStringLiteral("QRBandTitulo"));
    QRBandTitulo->frame().bottom = true;
    const CabeceraEmpresa cabecera = cabeceraEmpresa(QRBandTitulo, &m_empresa);
    LabelTitulo = cabecera.titulo;
    LabelSubTitulo = cabecera.subTitulo;

    DetailBand1 = addBand(BandKind::Detail, 4.5, QStringLiteral("DetailBand1"));
    DetailBand1->setBeforePrint([this](Band &band, bool &imprimir) { DetailBand1BeforePrint(band, imprimir); });

    const QFont titulo = tipo(6.5, true);
    const QFont dato = tipo(7);
    etiqueta(QRBandTitulo, QStringLiteral("QRLabelCodigo"), QStringLiteral("Codigo"), 0, kTitulos, 13, 5, titulo);
    campo(DetailBand1, QStringLiteral("QRDBTextCodigoCliente"), QStringLiteral("CodigoCliente"), 0, 0, 13, 4.5, dato);
    etiqueta(QRBandTitulo, QStringLiteral("QRLabelNombre"), QStringLiteral("Nombre Cliente"), 13, kTitulos, 37, 5,
             titulo);
    campo(DetailBand1, QStringLiteral("QRDBTextClienteNombre"), QStringLiteral("ClienteNombre"), 13, 0, 37, 4.5, dato);
    etiqueta(QRBandTitulo, QStringLiteral("QRLabelGrupo"), QStringLiteral("Grupo Riesgo"), 50, kTitulos, 12, 5, titulo,
             Qt::AlignRight);
    campo(DetailBand1, QStringLiteral("QRDBTextGrupoRiesgo"), QStringLiteral("GrupoRiesgo"), 50, 0, 12, 4.5,
          tipo(7, true), Qt::AlignRight, {})
        ->setColor(kGris);

    double separadores[2];
    const std::vector<ColumnaRiesgo> columnas = columnasImportes(62, separadores);
    for (const ColumnaRiesgo &c : columnas) {
        const QString nombre = QLatin1String(c.campo);
        Label *l = etiqueta(QRBandTitulo, QStringLiteral("QRLabel") + nombre, QString::fromUtf8(c.titulo), c.x,
                            kTitulos, c.ancho, 5, titulo, Qt::AlignRight);
        if (nombre == QLatin1String("RiesgoConcedido") || nombre == QLatin1String("Excedente"))
            l->setColor(kGranate);
        if (nombre == QLatin1String("Excedente")) {
            l->setObjectName(QStringLiteral("LabelSaldo"));
            LabelSaldo = l;
        }
        campo(DetailBand1, QStringLiteral("QRDBText") + nombre, nombre, c.x, 0, c.ancho, 4.5, dato, Qt::AlignRight);
    }
    for (int i = 0; i < 2; ++i) {
        separador(QRBandTitulo, QStringLiteral("QRShapeTitulo%1").arg(i + 1), separadores[i], kTitulos, 5);
        separador(DetailBand1, QStringLiteral("QRShapeDetalle%1").arg(i + 1), separadores[i], 0, 4.5);
    }

    SummaryBand1 = addBand(BandKind::Summary, 7, QStringLiteral("SummaryBand1"));
    SummaryBand1->frame().top = true;
    etiqueta(SummaryBand1, QStringLiteral("QRLabelTotales"), QStringLiteral("Totales ....."), 13, 1, 37, 5,
             tipo(7, false, true));
    Label **sumas[] = {&LabelSumaPedidos,     &LabelSumaAlbaranes,   &LabelSumaVtos, &LabelSumaRemesas,
                       &LabelSumaTotalRiesgo, &LabelSumaRiesgoConcedido, &LabelSumaSaldo};
    static const char *const nombres[] = {"LabelSumaPedidos",     "LabelSumaAlbaranes",
                                          "LabelSumaVtos",        "LabelSumaRemesas",
                                          "LabelSumaTotalRiesgo", "LabelSumaRiesgoConcedido",
                                          "LabelSumaSaldo"};
    for (size_t i = 0; i < columnas.size(); ++i)
        *sumas[i] = etiqueta(SummaryBand1, QLatin1String(nombres[i]), {}, columnas[i].x - 3, 1,
                             columnas[i].ancho + 3 - kBlancosImporte,
                             5, tipo(7, true), Qt::AlignRight);

    QRBand1 = piePagina(this);
}

void TQuickReportSituacionClientes::DetailBand1BeforePrint(Band &band, bool &)
{
    LineaSobreCliente(band, m_filas);
}
