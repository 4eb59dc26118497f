#include "reports/InformeSituacionPorGrupos.h"

#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "reports/InformeComun.h"
#include "reports/InformeSituacionClientes.h"

using namespace fw::report;
using namespace informes;

TQuickReportSituacionPorGrupos::TQuickReportSituacionPorGrupos(TDatos &datos, QObject *parent)
    : Report(parent), Datos(&datos), m_filas(*datos.RxClientesRiesgo), m_empresa(*datos.IBQEmpresas)
{
    setObjectName(QStringLiteral("QuickReportSituacionPorGrupos"));
    setTitle(QStringLiteral("SituacionRiesgoClientes"));
    setCursor(&m_filas);
    setPrintIfEmpty(true);
    setPreviewMaximized(false);

    QRBandTitulo = addBand(BandKind::PageHeader, 21, QStringLiteral("QRBandTitulo"));
    const CabeceraEmpresa cabecera = cabeceraEmpresa(QRBandTitulo, &m_empresa);
    LabelTitulo = cabecera.titulo;
    LabelSubTitulo = cabecera.subTitulo;

    const QString grupo = QStringLiteral("GrupoRiesgo");
    BandaCabeceraGrupoRiesgo = addGroupHeader(grupo, 16, QStringLiteral("BandaCabeceraGrupoRiesgo"));
    BandaCabeceraGrupoRiesgo->setReprintOnNewPage(true);
    BandaCabeceraGrupoRiesgo->frame().bottom = true;
    const QFont grande = tipo(13, true);
    etiqueta(BandaCabeceraGrupoRiesgo, QStringLiteral("QRLabelGrupo"), QStringLiteral("Grupo de Riesgo"), 0, 1, 48, 7,
             grande, Qt::AlignLeft, kGranate);
    campo(BandaCabeceraGrupoRiesgo, QStringLiteral("QRDBTextGrupo"), grupo, 48, 1, 20, 7, grande)->setColor(kGranate);

    DetailBand1 = addBand(BandKind::Detail, 4.5, QStringLiteral("DetailBand1"));
    DetailBand1->frame().bottom = true;
    DetailBand1->setBeforePrint([this](Band &band, bool &imprimir) { DetailBand1BeforePrint(band, imprimir); });

    BandaPieGrupoRiesgo = addGroupFooter(BandaCabeceraGrupoRiesgo, 22, QStringLiteral("BandaPieGrupoRiesgo"));
    auto *caja = new Rectangle(BandaPieGrupoRiesgo, QStringLiteral("QRShapeCaja"));
    caja->setGeometry(0, 2, kAnchoPagina, 18);
    etiqueta(BandaPieGrupoRiesgo, QStringLiteral("QRLabelTotalesGrupo"), QStringLiteral("Totales Grupo de Riesgo"), 2,
             3, 45, 5, tipo(9, true), Qt::AlignLeft, kGranate);
    campo(BandaPieGrupoRiesgo, QStringLiteral("QRDBTextTotalesGrupo"), grupo, 47, 3, 15, 5, tipo(9, true))
        ->setColor(kGranate);

    constexpr double kTitulos = 10.5; // top of the group header's column headings
    const QFont titulo = tipo(6.5, true);
    const QFont dato = tipo(7);
    etiqueta(BandaCabeceraGrupoRiesgo, QStringLiteral("QRLabelCodigo"), QStringLiteral("Codigo"), 0, kTitulos, 14, 5,
             titulo);
    campo(DetailBand1, QStringLiteral("QRDBTextCodigoCliente"), QStringLiteral("CodigoCliente"), 0, 0, 14, 4.5, dato);
    etiqueta(BandaCabeceraGrupoRiesgo, QStringLiteral("QRLabelNombre"), QStringLiteral("Nombre"), 14, kTitulos, 45, 5,
             titulo);
    campo(DetailBand1, QStringLiteral("QRDBTextClienteNombre"), QStringLiteral("ClienteNombre"), 14, 0, 45, 4.5, dato);

    double separadores[2];
    for (const ColumnaRiesgo &c : columnasImportes(59, separadores)) {
        const QString nombre = QLatin1String(c.campo);
        const bool granate = nombre == QLatin1String("RiesgoConcedido") || nombre == QLatin1String("Excedente");
        const bool saldo = nombre == QLatin1String("Excedente");
        Label *l = etiqueta(BandaCabeceraGrupoRiesgo, saldo ? QStringLiteral("LabelSaldo") : QStringLiteral("QRLabel") + nombre,
                            QString::fromUtf8(c.titulo), c.x, kTitulos, c.ancho, 5, titulo, Qt::AlignRight,
                            granate ? kGranate : QColor(Qt::black));
        if (saldo)
            LabelSaldo = l;
        campo(DetailBand1, QStringLiteral("QRDBText") + nombre, nombre, c.x, 0, c.ancho, 4.5, dato, Qt::AlignRight);

        // The totals box: its own headings, "Total Riesgo" in grey, the balance always "Saldo".
        etiqueta(BandaPieGrupoRiesgo, QStringLiteral("QRLabelPie") + nombre,
                 saldo ? QStringLiteral("Saldo") : QString::fromUtf8(c.titulo), c.x, 8.5, c.ancho, 4.5, titulo,
                 Qt::AlignRight, nombre == QLatin1String("TotalRiesgo") ? kGris : QColor(Qt::black));
        auto *suma = new SumField(BandaPieGrupoRiesgo, QStringLiteral("QRExprSuma") + nombre, nombre);
        suma->setGeometry(c.x - 3, 14, c.ancho + 3 - kBlancosImporte, 5);
        suma->setFont(tipo(7, true));
        suma->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int i = 0; i < 2; ++i) {
        separador(BandaCabeceraGrupoRiesgo, QStringLiteral("QRShapeTitulo%1").arg(i + 1), separadores[i], kTitulos, 5);
        separador(DetailBand1, QStringLiteral("QRShapeDetalle%1").arg(i + 1), separadores[i], 0, 4.5);
    }
    auto *punteada = new Line(BandaPieGrupoRiesgo, QStringLiteral("QRShapePunteada"), Qt::Horizontal);
    punteada->setGeometry(59, 12.5, kAnchoPagina - 61, 1);
    punteada->setStyle(PenStyle::Dot);

    QRBand1 = piePagina(this);
}

void TQuickReportSituacionPorGrupos::DetailBand1BeforePrint(Band &band, bool &)
{
    LineaSobreCliente(band, m_filas);
}
