#include "reports/InformeVentasCCaucion.h"

#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "reports/InformeComun.h"
#include "reports/InformeSituacionClientes.h"

using namespace fw::report;
using namespace informes;

namespace {

struct BloqueTitulo
{
    Label *fecha, *empresa, *titulo, *subTitulo;
};

// The title block of the first page and of the summary, laid out alike.
BloqueTitulo bloqueTitulo(Band *banda, const QString &sufijo)
{
    return {etiqueta(banda, QStringLiteral("LabelFecha") + sufijo, {}, kAnchoPagina - 50, 0, 50, 5, tipo(8),
                     Qt::AlignRight),
            etiqueta(banda, QStringLiteral("LabelTituloEmpresa") + sufijo, {}, 0, 0, 130, 6, tipo(11, true),
                     Qt::AlignLeft, kVerdeAzulado),
            etiqueta(banda, QStringLiteral("LabelTitulo") + sufijo, {}, 0, 7, kAnchoPagina, 6.5, tipo(12, true)),
            etiqueta(banda, QStringLiteral("LabelSubTitulo") + sufijo, {}, 0, 13.5, kAnchoPagina, 5, tipo(9))};
}

} // namespace

TQuickReportVentasCCaucion::TQuickReportVentasCCaucion(TDatos &datos, QObject *parent)
    : Report(parent), Datos(&datos), m_filas(*datos.RxClientesRiesgo)
{
    setObjectName(QStringLiteral("QuickReportVentasCCaucion"));
    setTitle(QStringLiteral("SituacionRiesgoClientes"));
    setCursor(&m_filas);
    setPrintIfEmpty(true);
    setPreviewMaximized(true);

    // The title block belongs to the group, which every row of one declaration
    // shares: it prints once, at the top of the first page.
    BandaGrupo = addGroupHeader(QStringLiteral("GrupoRiesgo"), 26, QStringLiteral("BandaGrupo"));
    BandaGrupo->setReprintOnNewPage(false);
    BandaGrupo->frame().bottom = true;
    const BloqueTitulo primero = bloqueTitulo(BandaGrupo, {});
    LabelFecha = primero.fecha;
    LabelTituloEmpresa = primero.empresa;
    LabelTitulo = primero.titulo;
    LabelSubTitulo = primero.subTitulo;

    DetailBand1 = addBand(BandKind::Detail, 4.5, QStringLiteral("DetailBand1"));
    DetailBand1->frame().style = PenStyle::None;
    DetailBand1->setBeforePrint([this](Band &band, bool &imprimir) { DetailBand1BeforePrint(band, imprimir); });

    struct Columna
    {
        const char *campo, *titulo;
        double x, ancho;
        Qt::Alignment alineacion;
        const char *mascara;
    };
    static const Columna columnas[] = {
        {"FechaCaucion", "Fecha", 0, 15, Qt::AlignLeft, "dd/mm/yy"},
        {"CodigoCaucion", "Cod.  C.C", 15, 25, Qt::AlignLeft, ""},
        {"ClienteNombre", "Nombre Cliente", 40, 58, Qt::AlignLeft, ""},
        {"DiasCondicionPago", "Condicion Pago", 98, 22, Qt::AlignRight, "#,##0"},
        {"TotalRiesgo", "Importe", 120, 23, Qt::AlignRight, ""},
        {"RiesgoConcedido", "Cobertura", 143, 23, Qt::AlignRight, ""},
        {"Excedente", "Excedente", 166, 23, Qt::AlignRight, ""},
    };
    const QFont titulo = tipo(7, true);
    const QFont dato = tipo(7.5);
    for (const Columna &c : columnas) {
        const QString nombre = QLatin1String(c.campo);
        etiqueta(BandaGrupo, QStringLiteral("QRLabel") + nombre, QString::fromUtf8(c.titulo), c.x, 20.5, c.ancho, 5,
                 titulo, c.alineacion);
        campo(DetailBand1, QStringLiteral("QRDBText") + nombre, nombre, c.x, 0, c.ancho, 4.5, dato, c.alineacion,
              QLatin1String(c.mascara));
    }

    PieGrupo = addGroupFooter(BandaGrupo, 7, QStringLiteral("PieGrupo"));
    PieGrupo->frame().top = true;
    LabelTotales = etiqueta(PieGrupo, QStringLiteral("LabelTotales"), {}, 60, 1, 143 - 60 - kBlancosImporte, 5,
                            tipo(8, true), Qt::AlignRight);

    QRBand2 = addBand(BandKind::Summary, 60, QStringLiteral("QRBand2"));
    QRBand2->setStartNewPage(true);
    const BloqueTitulo resumen = bloqueTitulo(QRBand2, QStringLiteral("2"));
    LabelFecha2 = resumen.fecha;
    LabelTituloEmpresa2 = resumen.empresa;
    LabelTitulo2 = resumen.titulo;
    LabelSubTitulo2 = resumen.subTitulo;
    struct ColumnaResumen
    {
        const char *titulo;
        Qt::Alignment alineacion;
        fw::report::Memo **memo;
    };
    const ColumnaResumen resumenes[] = {{"Hasta", Qt::AlignLeft, &QRMemo1},
                                        {"Venta Clientes", Qt::AlignLeft, &QRMemo2},
                                        {"Ventas Anonimos", Qt::AlignRight, &QRMemo3},
                                        {"Total Ventas", Qt::AlignRight, &QRMemo4}};
    constexpr double kAnchoResumen = 40;
    for (int i = 0; i < 4; ++i) {
        const double x = 10 + i * 45;
        etiqueta(QRBand2, QStringLiteral("QRLabelResumen%1").arg(i + 1), QString::fromUtf8(resumenes[i].titulo), x, 23,
                 kAnchoResumen, 5, tipo(9, true), resumenes[i].alineacion);
        auto *memo = new Memo(QRBand2, QStringLiteral("QRMemo%1").arg(i + 1));
        memo->setGeometry(x, 30, kAnchoResumen, 5);
        memo->setFont(tipo(9));
        memo->setAlignment(Qt::AlignRight);
        *resumenes[i].memo = memo;
    }
    auto *punteada = new Line(QRBand2, QStringLiteral("QRShapePunteada"), Qt::Horizontal);
    punteada->setGeometry(10, 28, 3 * 45 + kAnchoResumen, 1);
    punteada->setStyle(PenStyle::Dot);
    QRBand2->setHeight(30);

    QRBand1 = piePagina(this);
}

void TQuickReportVentasCCaucion::DetailBand1BeforePrint(Band &band, bool &)
{
    LineaSobreCliente(band, m_filas);
}
