#include "PuntosEntrada.h"

#include "PantallaPrincipal.h"
#include "components/lxIBQuery.h"
#include "data/ModuloDatos.h"
#include "data/SesionDatos.h"
#include "framework/ui/Dialogs.h"
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

/// The error being handled, in a plain message box when windows can be shown.
void mostrarError() noexcept
{
    if (AplicacionDelHost::admiteVentanas())
        MostrarErrorActual();
}

/// Runs one entry's steps with a widget application and the module's dialogs
/// installed. No error leaves it: each is shown in a plain message box.
template <typename Pasos>
void ConVentanasDelModulo(Pasos &&pasos) noexcept
{
    try {
        AplicacionDelHost aplicacion;
        if (!AplicacionDelHost::admiteVentanas())
            return;
        TDialogosVelmora dialogos;
        fw::ui::ScopedDialogs dialogosInstalados(dialogos);
        try {
            pasos();
        } catch (...) {
            // Any error of the entry's steps, shown while the application and the dialogs are there.
            mostrarError();
        }
    } catch (...) {
        // Any error creating the application or installing the dialogs.
        mostrarError();
    }
}

/// The risk check on a connected session: company, document context, risk
/// query, the window that applies, and the risk check's closing sequence. It
/// never writes, so it always rolls back.
void ComprobarRiesgo(TSesionDatos &sesion)
{
    TDatos &datos = sesion.datos();
    sesion.abrirEmpresa();
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
    sesion.deshacer();
}

} // namespace

extern "C" {

std::int32_t MostrarRiesgoCliente(std::int32_t IdEmpresa, std::int32_t IdGrupoEmpresa, std::int32_t IdUsuario,
                                  std::int32_t IdCliente, std::int32_t IDSerie, std::int32_t IdDocumento,
                                  std::int32_t TipoDocumento, fw::host::HostStringPtr RutaBaseDatos,
                                  fw::host::HostStringPtr NombreUsuario, fw::host::HostStringPtr Password)
{
    ConVentanasDelModulo([&] {
        TSesionDatos sesion({IdEmpresa, IdGrupoEmpresa, IdUsuario, IdCliente, IDSerie, IdDocumento, TipoDocumento,
                             fw::host::fromHostString(RutaBaseDatos), fw::host::fromHostString(NombreUsuario),
                             fw::host::fromHostString(Password)});
        try {
            sesion.conectar();
        } catch (...) {
            // Any failure to connect is silent: the host carries on as if no risk problem had been found.
            return;
        }
        try {
            ComprobarRiesgo(sesion);
        } catch (...) {
            // Any error of the check, shown before the session closes.
            mostrarError();
        }
    });
    return 1;
}

std::int32_t AbrirConfiguracionVelmora(std::int32_t IdEmpresa, std::int32_t IdGrupoEmpresa, std::int32_t IdUsuario,
                                       fw::host::HostStringPtr RutaBaseDatos, fw::host::HostStringPtr NombreUsuario,
                                       fw::host::HostStringPtr Password)
{
    ConVentanasDelModulo([&] {
        auto pantalla = std::make_unique<TFormPantallaPrincipal>();
        pantalla->IdEmpresaPrin = IdEmpresa;
        pantalla->IdGrupoEmpresaPrin = IdGrupoEmpresa;
        pantalla->IdUsuarioPrin = IdUsuario;
        pantalla->RutaBaseDatosPrin = fw::host::fromHostString(RutaBaseDatos);
        pantalla->NombreUsuarioPrin = fw::host::fromHostString(NombreUsuario);
        pantalla->PasswordPrin = fw::host::fromHostString(Password);
        pantalla->exec();
    });
    return 1;
}
}
