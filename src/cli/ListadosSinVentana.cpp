#include "cli/ListadosSinVentana.h"

#include "components/lxDBEditLookupSrc.h"
#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "framework/base/Error.h"
#include "framework/db/Field.h"
#include "framework/report/Exports.h"
#include "framework/ui/Dialogs.h"
#include "framework/report/Report.h"
#include "reports/ListadosVelmora.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <memory>

namespace {

/// The gathering warns about its own errors; without a window the first warning
/// becomes the run's error instead.
class AvisosRecogidos : public fw::ui::Dialogs
{
public:
    void inform(const QString &t) override { anotar(t); }
    bool warn(const QString &t) override
    {
        anotar(t);
        return true;
    }
    bool confirm(const QString &, const QString &) override { return false; }
    void error(const QString &t, const QString &) override { anotar(t); }

    /// Throws the first warning, if there was one.
    void comprobar() const
    {
        if (!m_primero.isEmpty())
            throw fw::Error(m_primero);
    }

private:
    void anotar(const QString &t)
    {
        if (m_primero.isEmpty())
            m_primero = t;
    }
    QString m_primero;
};

/// The listings window, never shown: its launches gather and build the report
/// as on screen, and the report goes to a file where the window would preview it.
class TVentanaSinPantalla : public TFormListadosVelmora
{
public:
    TVentanaSinPantalla(TDatos &datos, QString salida, bool omitirVacio)
        : m_salida(std::move(salida)), m_omitirVacio(omitirVacio)
    {
        Datos = &datos;
        FormShow();
        m_avisos.comprobar();
    }

    using TFormListadosVelmora::AplicarMes;
    using TFormListadosVelmora::GruposListados;
    using TFormListadosVelmora::ListarSituacionClientes;
    using TFormListadosVelmora::ListarSituacionPorGrupos;
    using TFormListadosVelmora::ListarVentasCaucion;

    TListadoEscrito resultado;

protected:
    void MostrarInforme(const std::function<std::unique_ptr<fw::report::Report>()> &crearInforme) override
    {
        // The memory table closes afterwards whatever happens, as after the preview.
        struct CerrarTabla
        {
            TDatos *datos;
            ~CerrarTabla()
            {
                try {
                    if (datos->RxClientesRiesgo->active())
                        datos->RxClientesRiesgo->close();
                } catch (...) {
                    // Nothing is lost: the rows were only ever in memory.
                }
            }
        } cerrar{Datos};
        // A listing cut short by an error is not written as if it were complete.
        m_avisos.comprobar();
        resultado.filas = Datos->RxClientesRiesgo->active() ? Datos->RxClientesRiesgo->recordCount() : 0;
        if (resultado.filas == 0 && m_omitirVacio)
            return;
        std::unique_ptr<fw::report::Report> informe = crearInforme();
        const fw::report::Export *exportacion = fw::report::findExport(QFileInfo(m_salida).suffix());
        if (exportacion == nullptr)
            throw fw::report::ReportError(QStringLiteral("No se conoce el formato de %1").arg(m_salida));
        exportacion->write(*informe->generate(), m_salida);
        resultado.escrito = true;
    }

private:
    QString m_salida;
    bool m_omitirVacio;
    // Installed for the window's whole life, so every warning of its steps is caught.
    AvisosRecogidos m_avisos;
    fw::ui::ScopedDialogs m_avisosInstalados{m_avisos};
};

void PonerRango(QCheckBox *todos, QLineEdit *desde, QLineEdit *hasta, const std::optional<TRangoCodigos> &rango)
{
    // Unticking "all" first: ticking it empties the range.
    todos->setChecked(!rango.has_value());
    if (rango) {
        desde->setText(rango->desde);
        hasta->setText(rango->hasta);
    }
}

/// Ticks exactly the risk groups given; none given ticks "all groups".
void MarcarGrupos(TVentanaSinPantalla &v, const std::vector<int> &grupos)
{
    v.CheckBoxGruposTodos->setChecked(grupos.empty());
    QCheckBox *casillas[5] = {v.CheckBoxGrupoRiesgo1, v.CheckBoxGrupoRiesgo2, v.CheckBoxGrupoRiesgo3,
                              v.CheckBoxGrupoRiesgo4, v.CheckBoxGrupoRiesgo5};
    for (int g = 1; g <= 5; ++g)
        casillas[g - 1]->setChecked(std::find(grupos.begin(), grupos.end(), g) != grupos.end());
}

void SeguirProgreso(TVentanaSinPantalla &ventana, const TAvisoProgreso &progreso, int total)
{
    if (!progreso)
        return;
    ventana.ClienteLeido = [progreso, total, leidos = 0]() mutable { progreso(++leidos, total); };
}

} // namespace

bool ExportacionConocida(const QString &salida)
{
    const QString extension = QFileInfo(salida).suffix();
    return !extension.isEmpty() && fw::report::findExport(extension) != nullptr;
}

TListadoEscrito EscribirDeclaracion(TDatos &datos, const TFiltrosDeclaracion &f, const QString &salida,
                                    bool omitirVacio, const TAvisoProgreso &progreso)
{
    TVentanaSinPantalla v(datos, salida, omitirVacio);

    v.AplicarMes(f.mes);
    if (f.anio) {
        const QDate primero(*f.anio, f.mes, 1);
        v.DateTimeDesde->setDate(primero);
        v.DateTimeHasta->setDate(primero.addDays(primero.daysInMonth() - 1));
        // The subtitle ends in the year the window chose; it names the year asked for instead.
        const QString subtitulo = v.EditSubTituloListado2->text();
        v.EditSubTituloListado2->setText(subtitulo.left(subtitulo.size() - 4)
                                         + QStringLiteral("%1").arg(*f.anio, 4, 10, QLatin1Char('0')));
    }
    MarcarGrupos(v, {f.grupoRiesgo});
    PonerRango(v.CheckBoxSeriesTodas, v.lxDBEditSerieDesde, v.lxDBEditSerieHasta, f.series);
    PonerRango(v.CheckBoxClientesTodos2, v.lxDBEditLookupClienteDesde2, v.lxDBEditLookupClienteHasta2, f.clientes);
    if (progreso)
        SeguirProgreso(v, progreso, v.ContarClientesCaucion());

    v.ListarVentasCaucion();
    return v.resultado;
}

TListadoEscrito EscribirSituacion(TDatos &datos, const TFiltrosSituacion &f, const QString &salida,
                                  bool omitirVacio, const TAvisoProgreso &progreso)
{
    TVentanaSinPantalla v(datos, salida, omitirVacio);

    v.RadioButtonRiesgosTodos->setChecked(f.saldos == TFiltrosSituacion::Saldos::Todos);
    v.RadioButtonRiesgosExcedidos->setChecked(f.saldos == TFiltrosSituacion::Saldos::Excedidos);
    v.RadioButtonRiesgosNoExcedidos->setChecked(f.saldos == TFiltrosSituacion::Saldos::NoExcedidos);
    MarcarGrupos(v, f.grupos);
    if (progreso) {
        // By groups the statement reads every customer once per group listed.
        const int vueltas = f.porGrupos ? v.GruposListados() : 1;
        SeguirProgreso(v, progreso, v.ContarClientesRiesgo() * vueltas);
    }

    if (f.porGrupos)
        v.ListarSituacionPorGrupos();
    else
        v.ListarSituacionClientes();
    return v.resultado;
}

std::optional<TRiesgoCliente> LeerRiesgoCliente(TDatos &datos, int idCliente)
{
    datos.IdCliente = idCliente;
    datos.GrupoRiesgo = 0;
    TlxIBQuery &q = *datos.IBQSituacionClientesRiesgo;
    if (q.active())
        q.close();
    q.open();
    struct Cerrar
    {
        TlxIBQuery &q;
        ~Cerrar()
        {
            try {
                q.close();
            } catch (...) {
                // Read only: closing it can lose nothing.
            }
        }
    } cerrar{q};
    if (!q.active() || q.eof() || q.fieldByName(QStringLiteral("IDCLIENTES")).isNull())
        return std::nullopt;

    TRiesgoCliente r;
    r.id = idCliente;
    r.codigo = q.fieldByName(QStringLiteral("CODIGO")).asString();
    r.nombre = q.fieldByName(QStringLiteral("NOMBRE")).asString();
    for (int g = 1; g <= 5; ++g) {
        auto campo = [&](const char *familia) -> fw::Field & {
            return q.fieldByName(QLatin1String(familia) + QString::number(g));
        };
        TRiesgoGrupo grupo;
        grupo.grupo = g;
        grupo.concedido = campo("PARRIESGOCONCEDIDO").asFloat();
        grupo.enUso = campo("PARTOTALRIESGO").asFloat();
        grupo.anticipos = campo("PARTOTALANTICIPOS").asFloat();
        grupo.saldo = campo("TOTALEXCEDIDO").asFloat();
        grupo.excedido = grupo.saldo < 0;
        grupo.textoConcedido = campo("PARRIESGOCONCEDIDO").displayText();
        grupo.textoEnUso = campo("PARTOTALRIESGO").displayText();
        grupo.textoAnticipos = campo("PARTOTALANTICIPOS").displayText();
        grupo.textoSaldo = campo("TOTALEXCEDIDO").displayText();
        r.grupos.push_back(grupo);
    }
    return r;
}
