#pragma once
#include "framework/db/DataSet.h"

namespace fw {

/// A data set whose records live in memory only. Fields must be declared
/// before opening; opening starts empty and closing discards every record.
class MemoryDataSet : public DataSet
{
    Q_OBJECT
public:
    explicit MemoryDataSet(QObject *parent = nullptr);
    ~MemoryDataSet() override;

    /// Removes every record, staying open.
    void emptyTable();

protected:
    void internalOpen() override;
    void internalClose() noexcept override;
};

} // namespace fw
