#pragma once
// What the library's data sets share beyond their descriptors (lxDescriptores)
// and their XML packet (lxPaqueteXML).
#include <QString>

namespace fw {
class DataSet;
} // namespace fw

namespace lxcomun {

/// True when `ds` has a field of that name, ignoring case.
bool EsCampoValido(const fw::DataSet &ds, const QString &nombreCampo);

} // namespace lxcomun
