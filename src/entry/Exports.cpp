#include "Exports.h"

#include <QString>

extern "C" {

std::int32_t MostrarRiesgoCliente(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                  std::int32_t, std::int32_t, fw::host::HostStringPtr RutaBaseDatos,
                                  fw::host::HostStringPtr NombreUsuario, fw::host::HostStringPtr Password)
{
    try {
        const QString ruta = fw::host::fromHostString(RutaBaseDatos);
        const QString usuario = fw::host::fromHostString(NombreUsuario);
        const QString clave = fw::host::fromHostString(Password);
        Q_UNUSED(ruta);
        Q_UNUSED(usuario);
        Q_UNUSED(clave);
    } catch (...) {
    }
    return 1;
}

std::int32_t AbrirConfiguracionVelmora(std::int32_t, std::int32_t, std::int32_t, fw::host::HostStringPtr RutaBaseDatos,
                                       fw::host::HostStringPtr NombreUsuario, fw::host::HostStringPtr Password)
{
    try {
        const QString ruta = fw::host::fromHostString(RutaBaseDatos);
        const QString usuario = fw::host::fromHostString(NombreUsuario);
        const QString clave = fw::host::fromHostString(Password);
        Q_UNUSED(ruta);
        Q_UNUSED(usuario);
        Q_UNUSED(clave);
    } catch (...) {
    }
    return 1;
}
}
