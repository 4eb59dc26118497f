#pragma once
// Layout pieces the three listings share: type, colours and the way a text or a
// column is placed on a band. Internal to the reports layer.
#include "framework/report/Elements.h"
#include "framework/report/Report.h"

#include <QColor>
#include <QFont>

namespace informes {

/// A4 portrait less the 10 mm margins on each side.
constexpr double kAnchoPagina = 190;

inline const QColor kVerdeAzulado(0x00, 0x80, 0x80);
inline const QColor kGranate(0x80, 0x00, 0x00);
inline const QColor kGris(0x80, 0x80, 0x80);

QFont tipo(double puntos, bool negrita = false, bool cursiva = false);

/// A text on a band, at x, y with width w and height h (millimetres).
fw::report::Label *etiqueta(fw::report::Band *banda, const QString &nombre, const QString &texto, double x, double y,
                            double w, double h, const QFont &fuente, Qt::Alignment alineacion = Qt::AlignLeft,
                            const QColor &color = Qt::black);

/// A field of the report's rows (or of `cursor`), with an optional mask.
fw::report::DataField *campo(fw::report::Band *banda, const QString &nombre, const QString &nombreCampo, double x,
                             double y, double w, double h, const QFont &fuente,
                             Qt::Alignment alineacion = Qt::AlignLeft, const QString &mascara = {},
                             fw::report::Cursor *cursor = nullptr);

/// The dotted vertical line that splits the amount columns, over `alto` millimetres.
fw::report::Line *separador(fw::report::Band *banda, const QString &nombre, double x, double y, double alto);

/// Where one column of a risk listing sits and what its heading reads.
struct ColumnaRiesgo
{
    const char *campo;
    const char *titulo;
    double x;
    double ancho;
};

/// The amount columns of both risk listings, from `x`: Pedidos, a separator,
/// Albaran. Pte., Vtos. Pte, Remesas, Total Riesgo, a separator, Riesgo Conc.
/// and the balance. `separadores` receives the x of the two separators.
std::vector<ColumnaRiesgo> columnasImportes(double x, double separadores[2]);

constexpr double kAnchoImporte = 17.5;
/// Amounts shown through the data module's display end in two blanks; finished
/// totals under them stop this much short of the column's edge to line up.
constexpr double kBlancosImporte = 1.6;

/// The title block of a page header: the company logo stretched into its box,
/// the company name, "Fecha : " and the date of printing, the title and below it
/// the subtitle. `empresa` is the company record.
struct CabeceraEmpresa
{
    fw::report::Label *titulo = nullptr;
    fw::report::Label *subTitulo = nullptr;
};
CabeceraEmpresa cabeceraEmpresa(fw::report::Band *banda, fw::report::Cursor *empresa);

/// The page footer of every listing: a line above and "Pag. " with the page number.
fw::report::Band *piePagina(fw::report::Report *informe);

} // namespace informes
