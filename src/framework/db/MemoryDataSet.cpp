#include "framework/db/MemoryDataSet.h"

#include "framework/base/Error.h"

namespace fw {

MemoryDataSet::MemoryDataSet(QObject *parent) : DataSet(parent) {}

MemoryDataSet::~MemoryDataSet() = default;

void MemoryDataSet::internalOpen()
{
    if (fieldCount() == 0)
        throw Error(objectName().isEmpty()
                        ? QStringLiteral("Una tabla en memoria necesita campos declarados")
                        : QStringLiteral("%1: una tabla en memoria necesita campos declarados").arg(objectName()));
}

void MemoryDataSet::internalClose() noexcept {}

void MemoryDataSet::emptyTable()
{
    checkActive();
    checkBrowseMode();
    clearRecords();
}

} // namespace fw
