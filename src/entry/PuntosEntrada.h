#pragma once
#include "framework/host/HostString.h"

#include <cstdint>

// The two entry points the host calls by name. On this platform there is one
// C calling convention; the argument order and types are the host's contract.
extern "C" {
__attribute__((visibility("default"))) std::int32_t
MostrarRiesgoCliente(std::int32_t IdEmpresa, std::int32_t IdGrupoEmpresa, std::int32_t IdUsuario,
                     std::int32_t IdCliente, std::int32_t IDSerie, std::int32_t IdDocumento,
                     std::int32_t TipoDocumento, fw::host::HostStringPtr RutaBaseDatos,
                     fw::host::HostStringPtr NombreUsuario, fw::host::HostStringPtr Password);

__attribute__((visibility("default"))) std::int32_t
AbrirConfiguracionVelmora(std::int32_t IdEmpresa, std::int32_t IdGrupoEmpresa, std::int32_t IdUsuario,
                          fw::host::HostStringPtr RutaBaseDatos, fw::host::HostStringPtr NombreUsuario,
                          fw::host::HostStringPtr Password);
}
