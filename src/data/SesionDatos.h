#pragma once
#include "data/ModuloDatos.h"

#include <memory>

/// One entry's session on the host database: it creates and owns the data
/// module, opens the connection, the transaction and the company record, and
/// ends the transaction in one of the two ways the entries end it. Whatever is
/// still open when it goes is closed by the destructor, which never throws, and
/// the data module is freed with it. Lives on the stack of the entry that opened
/// it; windows get `datos()` and never own it.
class TSesionDatos
{
public:
    /// What happens to an error while the destructor closes the session.
    enum class ErroresAlCerrar {
        Ignorar, ///< dropped without a word (risk check, configuration, listings)
        Mostrar, ///< shown in a plain message box (installation)
    };

    /// Creates the data module and copies the context into it; connects nothing.
    explicit TSesionDatos(const TContextoSesion &contexto, ErroresAlCerrar errores = ErroresAlCerrar::Ignorar);
    /// Closes the company record and every data set, closes the connection (an
    /// active transaction then ends with its default action, a commit) and frees
    /// the data module.
    ~TSesionDatos();
    TSesionDatos(const TSesionDatos &) = delete;
    TSesionDatos &operator=(const TSesionDatos &) = delete;

    TDatos &datos() const { return *m_datos; }

    /// Sets the database name and the three connection lines, connects and
    /// starts the transaction. Throws the connection's error; nothing else is opened.
    void conectar();
    /// IDEMPRESAS := IdEmpresa and opens the company record (which loads the
    /// company's base currency).
    void abrirEmpresa();

    /// Closes the company record, commits the transaction and closes the
    /// connection: how the configuration stores what was edited.
    void confirmar();
    /// Closes every data set on the connection, rolls back an active
    /// transaction and closes the connection: how every entry that writes
    /// nothing ends.
    void deshacer();

private:
    void cerrar();

    std::unique_ptr<TDatos> m_datos;
    ErroresAlCerrar m_errores;
};
