#include "reports/InformeListado.h"

#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "framework/report/Elements.h"

#include <QFont>

using namespace fw::report;

namespace {

constexpr double kAnchoPagina = 190; // A4 portrait less 10 mm margins

QFont tipo(int puntos, bool negrita = false)
{
    QFont f(QStringLiteral("DejaVu Sans"), puntos);
    f.setBold(negrita);
    return f;
}

} // namespace

TInformeListado::TInformeListado(TDatos &datos, const std::vector<Columna> &columnas, QObject *parent)
    : Report(parent), Datos(&datos), m_filas(*datos.RxClientesRiesgo)
{
    setObjectName(QStringLiteral("InformeListado"));
    setTitle(QStringLiteral("SituacionRiesgoClientes"));
    setCursor(&m_filas);
    setPrintIfEmpty(true);

    Band *cabecera = addBand(BandKind::PageHeader, 30, QStringLiteral("QRBandTitulo"));
    cabecera->frame().bottom = true;
    LabelEmpresa = new Label(cabecera, QStringLiteral("LabelEmpresa"));
    LabelEmpresa->setGeometry(0, 0, 130, 6);
    LabelEmpresa->setFont(tipo(10, true));
    LabelEmpresa->setColor(QColor(0x00, 0x80, 0x80));
    auto *fecha = new PrintDate(cabecera, QStringLiteral("QRSysData1"), QStringLiteral("Fecha : "));
    fecha->setGeometry(kAnchoPagina - 60, 0, 60, 5);
    fecha->setAlignment(Qt::AlignRight);
    LabelTitulo = new Label(cabecera, QStringLiteral("LabelTitulo"));
    LabelTitulo->setGeometry(0, 8, kAnchoPagina, 7);
    LabelTitulo->setFont(tipo(12, true));
    LabelSubTitulo = new Label(cabecera, QStringLiteral("LabelSubTitulo"));
    LabelSubTitulo->setGeometry(0, 16, kAnchoPagina, 5);
    LabelSubTitulo->setFont(tipo(9));

    Band *detalle = addBand(BandKind::Detail, 5, QStringLiteral("DetailBand1"));
    double x = 0;
    for (const Columna &c : columnas) {
        auto *titulo = new Label(cabecera, QStringLiteral("Titulo") + c.campo, c.titulo);
        titulo->setGeometry(x, 24, c.ancho, 5);
        titulo->setFont(tipo(6, true));
        titulo->setAlignment(c.alineacion | Qt::AlignBottom);
        auto *campo = new DataField(detalle, c.campo, c.campo);
        campo->setGeometry(x, 0.5, c.ancho, 4);
        campo->setFont(tipo(7));
        campo->setAlignment(c.alineacion);
        campo->setMask(c.mascara);
        x += c.ancho;
    }

    Band *resumen = addBand(BandKind::Summary, 6, QStringLiteral("SummaryBand1"));
    resumen->frame().top = true;
    MemoTotales = new Memo(resumen, QStringLiteral("MemoTotales"));
    MemoTotales->setGeometry(0, 1, kAnchoPagina, 4);
    MemoTotales->setFont(tipo(8));

    Band *pie = addBand(BandKind::PageFooter, 7, QStringLiteral("QRBand1"));
    pie->frame().top = true;
    auto *pagina = new PageNumber(pie, QStringLiteral("QRSysData2"), QStringLiteral("Pag. "));
    pagina->setGeometry(kAnchoPagina - 40, 1, 40, 5);
    pagina->setAlignment(Qt::AlignRight);
}
