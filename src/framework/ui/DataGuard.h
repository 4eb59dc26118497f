#pragma once
#include "framework/db/DataSet.h"
#include "framework/ui/Guard.h"

#include <utility>

namespace fw::ui {

/// Runs a handler of a data-aware control. The guard already lets a data-set
/// step cancelled with fw::Abort end silently; these names say so at the call.
template <typename F>
void runDataStep(F &&f) noexcept
{
    runGuarded(std::forward<F>(f));
}

template <typename F>
auto guardedData(F f)
{
    return guarded(std::move(f));
}

/// Stops the data set's bound controls from repainting for as long as it
/// lives; they repaint once when it ends, however the walk ended.
class ControlsDisabled
{
public:
    explicit ControlsDisabled(DataSet &dataSet) : m_dataSet(dataSet) { m_dataSet.disableControls(); }
    ~ControlsDisabled() { m_dataSet.enableControls(); }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    DataSet &m_dataSet;
};

} // namespace fw::ui
