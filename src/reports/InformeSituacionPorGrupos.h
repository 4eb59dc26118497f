#pragma once
#include "components/DataSetCursor.h"
#include "framework/report/Report.h"

class TDatos;

/// The customers' risk situation by risk group: a heading per group, repeated
/// on every page the group continues on, one line per customer and a box with
/// the group's own sums, which the report adds up itself and starts again for
/// each group. There is no grand total.
///
/// Reads `RxClientesRiesgo` (ordered by group) and `IBQEmpresas` of the data
/// module, which must be open when the report is generated and outlive it.
class TQuickReportSituacionPorGrupos : public fw::report::Report
{
    Q_OBJECT
public:
    explicit TQuickReportSituacionPorGrupos(TDatos &datos, QObject *parent = nullptr);

    /// The data module the report prints from; not owned.
    TDatos *Datos = nullptr;

    fw::report::Band *QRBandTitulo = nullptr;
    fw::report::Band *BandaCabeceraGrupoRiesgo = nullptr;
    fw::report::Band *DetailBand1 = nullptr;
    fw::report::Band *BandaPieGrupoRiesgo = nullptr;
    fw::report::Band *QRBand1 = nullptr;

    fw::report::Label *LabelTitulo = nullptr;
    fw::report::Label *LabelSubTitulo = nullptr;
    /// Balance heading of the group header; the totals box always reads "Saldo".
    fw::report::Label *LabelSaldo = nullptr;

    void DetailBand1BeforePrint(fw::report::Band &band, bool &imprimir);

private:
    fw::report::DataSetCursor m_filas;
    fw::report::DataSetCursor m_empresa;
};
