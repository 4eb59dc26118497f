#pragma once
#include "components/DataSetCursor.h"
#include "framework/report/Report.h"

#include <QStringList>

#include <vector>

class TDatos;

/// A listing's gathered rows as a plain report: title block, one line per row
/// of the data module's memory table with the columns asked for, and the
/// listing's totals as finished texts at the end. The launching routine sets the
/// texts before the preview opens; the report computes nothing itself.
///
/// Reads `Datos->RxClientesRiesgo`, which must outlive the report.
class TInformeListado : public fw::report::Report
{
    Q_OBJECT
public:
    struct Columna
    {
        QString campo;
        QString titulo;
        double ancho = 0; ///< millimetres
        Qt::Alignment alineacion = Qt::AlignRight;
        QString mascara;  ///< empty: the field's own display text
    };

    TInformeListado(TDatos &datos, const std::vector<Columna> &columnas, QObject *parent = nullptr);

    /// The data module the report prints from; not owned.
    TDatos *Datos = nullptr;

    fw::report::Label *LabelEmpresa = nullptr;
    fw::report::Label *LabelTitulo = nullptr;
    fw::report::Label *LabelSubTitulo = nullptr;
    /// The totals, one line each, printed once after the last row.
    fw::report::Memo *MemoTotales = nullptr;

private:
    fw::report::DataSetCursor m_filas;
};
