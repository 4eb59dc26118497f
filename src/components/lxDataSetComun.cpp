#include "components/lxDataSetComun.h"

#include "framework/db/DataSet.h"
#include "framework/db/Field.h"

namespace lxcomun {

bool EsCampoValido(const fw::DataSet &ds, const QString &nombreCampo)
{
    for (const auto &f : ds.fields())
        if (f->fieldName().compare(nombreCampo, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace lxcomun
