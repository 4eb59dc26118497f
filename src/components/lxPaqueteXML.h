#pragma once
// The XML data packet writer that the library's query, editable data set and
// memory table share: one single-line DATAPACKET 2.0 file per call.
#include <QByteArray>
#include <QString>

namespace fw {
class DataSet;
class Field;
} // namespace fw

namespace lxcomun {

/// How a data set class cleans up the characters of values in the XML packet.
enum class LimpiezaXML {
    Query,   ///< umlauts and CR/LF kept, ª º Ç ç written as plain letters
    Edicion, ///< editable data sets and memory tables: umlauts plain, CR/LF blanks, ª º Ç ç as references
};

/// Writes every record of `ds` into `nombreFichero` (replaced when present) as
/// one line of XML data packet, then puts the data set back on the record it
/// stood on. Errors (file creation, writing, the data set) go to the caller.
/// Field names are written as they are, so a data set with a name that is no
/// plain ASCII XML name, or with two fields of one name, is refused with an
/// fw::Error before the file is touched.
void GuardarPaqueteXML(fw::DataSet &ds, const QString &nombreFichero, LimpiezaXML limpieza);

/// The value text of the current record's field as the packet writes it
/// (before escaping): the field's own text, not a get-text handler's; empty
/// means the attribute is left out.
QString TextoValorXML(const fw::Field &campo);

/// Applies the class's character clean-up and makes the text safe inside a
/// double-quoted attribute of a one-byte file: '&', '<', '>' as entity
/// references and every character above 127 as a numeric reference.
QByteArray LimpiarValorXML(const QString &valor, LimpiezaXML limpieza);

} // namespace lxcomun
