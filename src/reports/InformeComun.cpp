#include "reports/InformeComun.h"

using namespace fw::report;

namespace informes {

QFont tipo(double puntos, bool negrita, bool cursiva)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(puntos);
    f.setBold(negrita);
    f.setItalic(cursiva);
    return f;
}

Label *etiqueta(Band *banda, const QString &nombre, const QString &texto, double x, double y, double w, double h,
                const QFont &fuente, Qt::Alignment alineacion, const QColor &color)
{
    auto *l = new Label(banda, nombre, texto);
    l->setGeometry(x, y, w, h);
    l->setFont(fuente);
    l->setAlignment(alineacion | Qt::AlignVCenter);
    l->setColor(color);
    return l;
}

DataField *campo(Band *banda, const QString &nombre, const QString &nombreCampo, double x, double y, double w,
                 double h, const QFont &fuente, Qt::Alignment alineacion, const QString &mascara, Cursor *cursor)
{
    auto *c = new DataField(banda, nombre, nombreCampo);
    c->setGeometry(x, y, w, h);
    c->setFont(fuente);
    c->setAlignment(alineacion | Qt::AlignVCenter);
    c->setMask(mascara);
    c->setCursor(cursor);
    return c;
}

Line *separador(Band *banda, const QString &nombre, double x, double y, double alto)
{
    auto *l = new Line(banda, nombre, Qt::Vertical);
    l->setGeometry(x - 0.5, y, 1, alto);
    l->setStyle(PenStyle::Dot);
    return l;
}

std::vector<ColumnaRiesgo> columnasImportes(double x, double separadores[2])
{
    constexpr double kHueco = 1.5; // room for a dotted separator between two amounts
    std::vector<ColumnaRiesgo> c;
    auto anadir = [&](const char *campo, const char *titulo) {
        c.push_back({campo, titulo, x, kAnchoImporte});
        x += kAnchoImporte;
    };
    anadir("PedidosPtes", "Pedidos");
    separadores[0] = x + kHueco / 2;
    x += kHueco;
    anadir("AlbaranesSinFacturar", "Albaran. Pte.");
    anadir("FacturasPtesCobro", "Vtos. Pte");
    anadir("RemesasEnRiesgo", "Remesas");
    anadir("TotalRiesgo", "Total Riesgo");
    separadores[1] = x + kHueco / 2;
    x += kHueco;
    anadir("RiesgoConcedido", "Riesgo Conc.");
    anadir("Excedente", "");
    return c;
}

CabeceraEmpresa cabeceraEmpresa(Band *banda, Cursor *empresa)
{
    auto *logo = new Image(banda, QStringLiteral("QRDBImageLogo"));
    logo->setField(QStringLiteral("LOGOTIPO"));
    logo->setCursor(empresa);
    logo->setStretch(true);
    logo->setGeometry(0, 0, 26, 18);
    campo(banda, QStringLiteral("QRDBTextEmpresa"), QStringLiteral("NOMBRE"), 29, 0, 110, 6, tipo(11, true),
          Qt::AlignLeft, {}, empresa)
        ->setColor(kVerdeAzulado);
    auto *fecha = new PrintDate(banda, QStringLiteral("QRSysDataFecha"), QStringLiteral("Fecha : "));
    fecha->setGeometry(kAnchoPagina - 50, 0, 50, 5);
    fecha->setFont(tipo(8));
    fecha->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CabeceraEmpresa c;
    c.titulo = etiqueta(banda, QStringLiteral("LabelTitulo"), {}, 29, 7, kAnchoPagina - 29, 6.5, tipo(12, true));
    c.subTitulo = etiqueta(banda, QStringLiteral("LabelSubTitulo"), {}, 29, 13.5, kAnchoPagina - 29, 5, tipo(9));
    return c;
}

Band *piePagina(Report *informe)
{
    Band *pie = informe->addBand(BandKind::PageFooter, 7, QStringLiteral("QRBand1"));
    pie->frame().top = true;
    auto *pagina = new PageNumber(pie, QStringLiteral("QRSysDataPagina"), QStringLiteral("Pag. "));
    pagina->setGeometry(kAnchoPagina - 40, 1.5, 40, 5);
    pagina->setFont(tipo(8));
    pagina->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return pie;
}

} // namespace informes
