#pragma once
#include "components/DataSetCursor.h"
#include "framework/report/Report.h"

class TDatos;

/// The customers' risk situation: one line per customer and risk group of the
/// data module's memory table, each customer's block under a line, and the
/// grand totals at the end. The launching routine sets the title, the balance
/// heading and the totals as finished texts; the report computes nothing.
///
/// Reads `RxClientesRiesgo` and the company record `IBQEmpresas` of the data
/// module, which must be open when the report is generated and outlive it.
class TQuickReportSituacionClientes : public fw::report::Report
{
    Q_OBJECT
public:
    explicit TQuickReportSituacionClientes(TDatos &datos, QObject *parent = nullptr);

    /// The data module the report prints from; not owned.
    TDatos *Datos = nullptr;

    fw::report::Band *QRBandTitulo = nullptr;
    fw::report::Band *DetailBand1 = nullptr;
    fw::report::Band *SummaryBand1 = nullptr;
    fw::report::Band *QRBand1 = nullptr;

    fw::report::Label *LabelTitulo = nullptr;
    fw::report::Label *LabelSubTitulo = nullptr;
    fw::report::Label *LabelSaldo = nullptr;
    fw::report::Label *LabelSumaPedidos = nullptr;
    fw::report::Label *LabelSumaAlbaranes = nullptr;
    fw::report::Label *LabelSumaVtos = nullptr;
    fw::report::Label *LabelSumaRemesas = nullptr;
    fw::report::Label *LabelSumaTotalRiesgo = nullptr;
    fw::report::Label *LabelSumaRiesgoConcedido = nullptr;
    fw::report::Label *LabelSumaSaldo = nullptr;

    /// A customer's first line opens his block with a line above it; his later
    /// lines, whose code is a single blank, carry none.
    void DetailBand1BeforePrint(fw::report::Band &band, bool &imprimir);

private:
    fw::report::DataSetCursor m_filas;
    fw::report::DataSetCursor m_empresa;
};

/// The rule every listing's detail band follows: a line along its top unless the
/// row's `CodigoCliente` is a single blank. Reads the current row of `filas`.
void LineaSobreCliente(fw::report::Band &band, const fw::report::DataSetCursor &filas);
