#pragma once
#include "components/DataSetCursor.h"
#include "framework/report/Report.h"

class TDatos;

/// The monthly sales declaration for the credit insurer: a title block and one
/// line per insured customer with sales, their total, and on a page of its own
/// the summary of the period's sales by payment term in four columns of six
/// lines. Every total and title is a finished text set by the launching routine.
///
/// Reads `RxClientesRiesgo` of the data module, which must be open when the
/// report is generated and outlive it.
class TQuickReportVentasCCaucion : public fw::report::Report
{
    Q_OBJECT
public:
    explicit TQuickReportVentasCCaucion(TDatos &datos, QObject *parent = nullptr);

    /// The data module the report prints from; not owned.
    TDatos *Datos = nullptr;

    fw::report::Band *BandaGrupo = nullptr;
    fw::report::Band *DetailBand1 = nullptr;
    fw::report::Band *PieGrupo = nullptr;
    fw::report::Band *QRBand2 = nullptr;
    fw::report::Band *QRBand1 = nullptr;

    fw::report::Label *LabelFecha = nullptr;
    fw::report::Label *LabelTituloEmpresa = nullptr;
    fw::report::Label *LabelTitulo = nullptr;
    fw::report::Label *LabelSubTitulo = nullptr;
    fw::report::Label *LabelTotales = nullptr;
    fw::report::Label *LabelFecha2 = nullptr;
    fw::report::Label *LabelTituloEmpresa2 = nullptr;
    fw::report::Label *LabelTitulo2 = nullptr;
    fw::report::Label *LabelSubTitulo2 = nullptr;
    /// The summary's columns: "Hasta", "Venta Clientes", "Ventas Anonimos", "Total Ventas".
    fw::report::Memo *QRMemo1 = nullptr;
    fw::report::Memo *QRMemo2 = nullptr;
    fw::report::Memo *QRMemo3 = nullptr;
    fw::report::Memo *QRMemo4 = nullptr;

    void DetailBand1BeforePrint(fw::report::Band &band, bool &imprimir);

private:
    fw::report::DataSetCursor m_filas;
};
