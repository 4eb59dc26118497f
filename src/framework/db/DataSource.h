#pragma once
#include "framework/db/DataSet.h"

#include <QObject>
#include <QPointer>

#include <vector>

namespace fw {

class DataLink;

/// Follows one data set for widgets: forwards its events as Qt signals and to
/// the DataLinks attached to it. Neither owns the other; whichever goes first
/// detaches itself.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr);
    ~DataSource() override;

    DataSet *dataSet() const { return m_dataSet; }
    void setDataSet(DataSet *dataSet);

    /// When true (default) a control that starts changing a value puts the
    /// data set into edit mode through edit().
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool v) { m_autoEdit = v; }
    /// A disabled source passes nothing on.
    bool enabled() const { return m_enabled; }
    void setEnabled(bool v);

    DataSetState state() const { return m_dataSet ? m_dataSet->state() : DataSetState::Inactive; }
    bool active() const { return m_dataSet && m_dataSet->active() && m_enabled; }
    /// Puts the data set into edit mode when autoEdit allows; false otherwise.
    bool edit();

    void addLink(DataLink *link);
    void removeLink(DataLink *link) noexcept;

    /// Called by the data set.
    void notify(DataEvent event, Field *field);

signals:
    void activeChanged(bool active);
    /// Opened, closed, refreshed, rows added or removed.
    void dataChanged();
    /// Another record became current.
    void scrolled();
    /// The current record's values changed; field is null when all may have.
    void recordChanged(fw::Field *field);
    void stateChanged(fw::DataSetState state);
    /// About to post: controls write their pending text to their fields.
    void updateData();
    void layoutChanged();

private:
    void detach() noexcept;

    QPointer<DataSet> m_dataSet;
    bool m_autoEdit = true;
    bool m_enabled = true;
    bool m_wasActive = false;
    std::vector<DataLink *> m_links;
};

/// The base a data-aware control derives from to follow a data source.
class DataLink
{
public:
    DataLink() = default;
    virtual ~DataLink();
    DataLink(const DataLink &) = delete;
    DataLink &operator=(const DataLink &) = delete;

    DataSource *dataSource() const { return m_source; }
    void setDataSource(DataSource *source);
    DataSet *dataSet() const { return m_source ? m_source->dataSet() : nullptr; }
    bool active() const { return m_source && m_source->active(); }
    bool editing() const;
    /// Asks the data source to enter edit mode (autoEdit); true when editing.
    bool edit();
    /// Makes the control write its pending value (calls updateData()).
    void updateRecord();

protected:
    friend class DataSource;
    virtual void activeChanged(bool active) {}
    virtual void dataSetChanged() {}
    virtual void dataSetScrolled() {}
    virtual void recordChanged(Field *field) {}
    virtual void editingChanged(bool editing) {}
    virtual void updateData() {}
    virtual void layoutChanged() {}

private:
    QPointer<DataSource> m_source;
    bool m_editing = false;
};

} // namespace fw
