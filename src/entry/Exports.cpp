#include "Exports.h"

#include "PantallaPrincipal.h"
#include "data/ModuloDatos.h"
#include "framework/db/Database.h"
#include "components/lxIBQuery.h"
#include "framework/db/Transaction.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"
#include "screens/ControlRiesgo.h"
#include "screens/DialogoAviso.h"
#include "screens/RiesgoClientes.h"

#include <QApplication>

#include <memory>

namespace {

/// The library uses the host's QApplication when there is one and otherwise
/// creates one for the length of the call.
class AplicacionDelHost
{
public:
    AplicacionDelHost()
    {
        if (QCoreApplication::instance() == nullptr)
            m_propia = std::make_unique<QApplication>(m_argc, m_argv);
    }
    /// Windows need a widget application; a host with only a core application
    /// gets no windows rather than a crash.
    static bool admiteVentanas() { return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr; }

private:
    int m_argc = 1;
    char m_nombre[8] = "velmora";
    char *m_argv[2] = {m_nombre, nullptr};
    std::unique_ptr<QApplication> m_propia;
};

void mostrarError() noexcept
{
    try {
        if (AplicacionDelHost::admiteVentanas())
            fw::ui::dialogs().inform(fw::ui::errorText(std::current_exception()));
    } catch (...) {
    }
}

/// Steps of the risk check once the session is open: company, document context,
/// risk query, the window that applies, and the closing sequence. The risk
/// check never writes, so it always rolls back.
void RecorrerRiesgoCliente(TDatos &datos)
{
    datos.AbrirEmpresa();
    if (datos.TipoDocumento < 0)
        datos.GrupoRiesgo = 0;
    else
        datos.CargarDatosDocumento();

    if (datos.IBQSituacionClientesRiesgo->active())
        datos.IBQSituacionClientesRiesgo->close();
    datos.IBQSituacionClientesRiesgo->open();

    if (datos.TipoDocumento < 0) {
        auto vista = std::make_unique<TFormRiesgoClientes>();
        vista->Datos = &datos;
        vista->exec();
    } else if (datos.SobrepasadoRiesgo()) {
        auto dialogo = std::make_unique<TFormControlRiesgo>();
        dialogo->Datos = &datos;
        dialogo->exec();
    }

    datos.IBQSituacionClientesRiesgo->close();
    datos.IBQEmpresas->close();
    datos.BaseDatosNORVIK->closeDataSets();
    if (datos.IBTransaccion->active())
        datos.IBTransaccion->rollback();
    datos.BaseDatosNORVIK->close();
}

} // namespace

extern "C" {

std::int32_t MostrarRiesgoCliente(std::int32_t IdEmpresa, std::int32_t IdGrupoEmpresa, std::int32_t IdUsuario,
                                  std::int32_t IdCliente, std::int32_t IDSerie, std::int32_t IdDocumento,
                                  std::int32_t TipoDocumento, fw::host::HostStringPtr RutaBaseDatos,
                                  fw::host::HostStringPtr NombreUsuario, fw::host::HostStringPtr Password)
{
    const std::int32_t resultado = 1;
    try {
        AplicacionDelHost aplicacion;
        if (!AplicacionDelHost::admiteVentanas())
            return resultado;
        TDialogosVelmora dialogos;
        fw::ui::ScopedDialogs dialogosInstalados(dialogos);
        auto datos = std::make_unique<TDatos>();
        try {
            datos->IdEmpresa = IdEmpresa;
            datos->IdGrupoEmpresa = IdGrupoEmpresa;
            datos->IdUsuario = IdUsuario;
            datos->IdCliente = IdCliente;
            datos->IDSerie = IDSerie;
            datos->IdDocumento = IdDocumento;
            datos->TipoDocumento = TipoDocumento;
            datos->RutaBaseDatos = fw::host::fromHostString(RutaBaseDatos);
            datos->NombreUsuario = fw::host::fromHostString(NombreUsuario);
            datos->Password = fw::host::fromHostString(Password);
            datos->ConfigurarConexion();

            // A database that cannot be opened is silent: the host carries on as
            // if no risk problem had been found.
            bool abierta = false;
            try {
                datos->BaseDatosNORVIK->open();
                datos->IBTransaccion->start();
                abierta = true;
            } catch (...) {
            }
            if (abierta)
                RecorrerRiesgoCliente(*datos);
        } catch (...) {
            mostrarError();
        }
        datos.reset();
    } catch (...) {
        mostrarError();
    }
    return resultado;
}

std::int32_t AbrirConfiguracionVelmora(std::int32_t IdEmpresa, std::int32_t IdGrupoEmpresa, std::int32_t IdUsuario,
                                       fw::host::HostStringPtr RutaBaseDatos, fw::host::HostStringPtr NombreUsuario,
                                       fw::host::HostStringPtr Password)
{
    try {
        AplicacionDelHost aplicacion;
        if (!AplicacionDelHost::admiteVentanas())
            return 1;
        TDialogosVelmora dialogos;
        fw::ui::ScopedDialogs dialogosInstalados(dialogos);
        try {
            auto pantalla = std::make_unique<TFormPantallaPrincipal>();
            pantalla->IdEmpresaPrin = IdEmpresa;
            pantalla->IdGrupoEmpresaPrin = IdGrupoEmpresa;
            pantalla->IdUsuarioPrin = IdUsuario;
            pantalla->RutaBaseDatosPrin = fw::host::fromHostString(RutaBaseDatos);
            pantalla->NombreUsuarioPrin = fw::host::fromHostString(NombreUsuario);
            pantalla->PasswordPrin = fw::host::fromHostString(Password);
            pantalla->exec();
        } catch (...) {
            mostrarError();
        }
    } catch (...) {
        mostrarError();
    }
    return 1;
}
}
