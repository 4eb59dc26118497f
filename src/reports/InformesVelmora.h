#pragma once
// Building the three listings' reports from gathered data, with no window: the
// listings window and command-line tools create a report here, then preview or
// export it. Each builder reads the data module's memory table as it stands
// (fill it first) and its company record; the report keeps pointers to both.
#include "reports/InformeSituacionClientes.h"
#include "reports/InformeSituacionPorGrupos.h"
#include "reports/InformeVentasCCaucion.h"

#include <QDate>
#include <QString>

#include <memory>

namespace fw::report {
class Document;
}

/// Which risks a listing keeps: all, only the exceeded ones or only the others.
enum class RiesgosListados { Todos, Excedidos, NoExcedidos };

/// Heading of the balance column: "Saldo", "Excedido" or "Disponible".
QString TituloSaldo(RiesgosListados riesgos);

/// An amount as the listings' totals print it: "#,##0.00" with the system's separators.
QString ImporteListado(double valor);

struct TextosSituacionClientes
{
    QString Titulo;
    QString SubTitulo;
    RiesgosListados Riesgos = RiesgosListados::Todos;
    double SumaPedidos = 0;
    double SumaAlbaranes = 0;
    double SumaVtos = 0;
    double SumaRemesas = 0;
    double SumaTotalRiesgo = 0;
    double SumaRiesgoConcedido = 0;
    double SumaSaldo = 0;
};

struct TextosSituacionPorGrupos
{
    QString Titulo;
    QString SubTitulo;
    RiesgosListados Riesgos = RiesgosListados::Todos;
};

struct TextosVentasCaucion
{
    QString TituloEmpresa;
    QString Titulo;
    QString SubTitulo;
    /// Last day of the declared period.
    QDate FechaHasta;
    /// Sales of the rows listed.
    double Total = 0;
    // Sales by payment term, to customers with a cover (C) and to the others.
    double Suma30C = 0, Suma60C = 0, Suma90C = 0, SuperiorC = 0;
    double Suma30 = 0, Suma60 = 0, Suma90 = 0, Superior = 0;
};

std::unique_ptr<TQuickReportSituacionClientes> CrearInformeSituacionClientes(TDatos &datos,
                                                                             const TextosSituacionClientes &textos,
                                                                             QObject *parent = nullptr);
std::unique_ptr<TQuickReportSituacionPorGrupos> CrearInformeSituacionPorGrupos(TDatos &datos,
                                                                               const TextosSituacionPorGrupos &textos,
                                                                               QObject *parent = nullptr);
std::unique_ptr<TQuickReportVentasCCaucion> CrearInformeVentasCaucion(TDatos &datos, const TextosVentasCaucion &textos,
                                                                      QObject *parent = nullptr);

/// Index of a report file type as the host numbers them: QRP 0, HTM 1, PDF 2,
/// RTF 3, XLS 4, TXT 5, QRX 6, CSV 7 (with or without the point, any case); -1
/// for any other.
int IndiceExtension(const QString &extension);
/// The extension (capitals, no point) of a type index; PDF for any index out of range.
QString ExtensionDeIndice(int indice);

/// Writes a generated report to `fichero` through every export registered for
/// its extension; false, with nothing written, when there is none. Each export
/// writes a file beside the target and renames it over the target only once
/// complete, so a failure (folder missing or read-only, disk full) leaves no
/// half-written file under that name; it throws fw::report::ReportError with a
/// text naming the target.
bool ExportarDocumento(const fw::report::Document &documento, const QString &fichero);
/// Generates the report when it has not been generated yet, then ExportarDocumento.
bool ExportarInforme(fw::report::Report &informe, const QString &fichero);
