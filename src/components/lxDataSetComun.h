#pragma once
// What the library's data sets share: descriptor binding at the first open, the
// SQL wait cursor, error messages of the hooks, and the XML data packet writer.
#include "components/lxCampo.h"

#include <QString>

#include <exception>
#include <memory>

namespace fw {
class DataSet;
class Field;
} // namespace fw

namespace lxcomun {

/// Builds a new descriptor list for the fields `ds` has right now (declared
/// fields; those made at open do not exist yet), each descriptor parented to
/// `ds`, with its access level looked up in `accesos` (when set) under the key
/// data set name + field name upper-cased by `regla`. Closed lookup data sets
/// of lookup fields are opened on the way.
std::unique_ptr<TlxListaCampos> EnlazarDescriptoresCampos(fw::DataSet &ds, const TListaAccesoCampos *accesos,
                                                          MayusculasClave regla);

/// The descriptor whose `Field` is `campo` (identity, not name); null when the
/// list is not built yet or none matches.
TlxCampo *BuscarlxCampo(const TlxListaCampos *lista, const fw::Field *campo);

/// True when `ds` has a field of that name, ignoring case.
bool EsCampoValido(const fw::DataSet &ds, const QString &nombreCampo);

/// The application-wide SQL wait cursor. Showing it twice and restoring once
/// gives the normal cursor back, as a set-the-cursor call would; the override
/// stack of Qt is therefore pushed at most once. Nothing happens without a
/// QApplication.
void MostrarCursorEspera();
void RestaurarCursor() noexcept;
bool CursorEsperaVisible() noexcept;

/// The text a user sees for an exception.
QString TextoError(const std::exception_ptr &error);

/// How a data set class cleans up the characters of values in the XML packet.
enum class LimpiezaXML {
    Query,   ///< umlauts and CR/LF kept, ª º Ç ç written as plain letters
    Edicion, ///< editable data sets and memory tables: umlauts plain, CR/LF blanks, ª º Ç ç as references
};

/// Writes every record of `ds` into `nombreFichero` (replaced when present) as
/// one line of XML data packet, then puts the data set back on the record it
/// stood on. Errors (file creation, writing, the data set) go to the caller.
void GuardarPaqueteXML(fw::DataSet &ds, const QString &nombreFichero, LimpiezaXML limpieza);

/// The value text of the current record's field as the packet writes it
/// (before escaping); empty means the attribute is left out.
QString TextoValorXML(const fw::Field &campo);

/// Applies the class's character clean-up and makes the text safe inside a
/// double-quoted attribute of a one-byte file: '&', '<', '>' as entity
/// references and every character above 127 as a numeric reference.
QByteArray LimpiarValorXML(const QString &valor, LimpiezaXML limpieza);

} // namespace lxcomun
