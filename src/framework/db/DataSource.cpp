#include "framework/db/DataSource.h"

#include <algorithm>

namespace fw {

DataSource::DataSource(QObject *parent) : QObject(parent) {}

DataSource::~DataSource()
{
    detach();
    for (DataLink *l : std::vector<DataLink *>(m_links))
        l->setDataSource(nullptr);
}

void DataSource::detach() noexcept
{
    if (m_dataSet)
        m_dataSet->removeDataSource(this);
}

void DataSource::setDataSet(DataSet *dataSet)
{
    if (dataSet == m_dataSet)
        return;
    detach();
    m_dataSet = dataSet;
    if (dataSet)
        dataSet->addDataSource(this);
    notify(DataEvent::DataSetChange, nullptr);
}

void DataSource::setEnabled(bool v)
{
    if (v == m_enabled)
        return;
    m_enabled = v;
    if (v) {
        notify(DataEvent::DataSetChange, nullptr);
    } else if (m_wasActive) {
        m_wasActive = false;
        emit activeChanged(false);
        for (DataLink *l : std::vector<DataLink *>(m_links))
            l->activeChanged(false);
    }
}

bool DataSource::edit()
{
    if (!m_dataSet || !m_dataSet->active())
        return false;
    const DataSetState s = m_dataSet->state();
    if (s == DataSetState::Edit || s == DataSetState::Insert)
        return true;
    if (!m_autoEdit || s != DataSetState::Browse)
        return false;
    m_dataSet->edit();
    return m_dataSet->state() == DataSetState::Edit || m_dataSet->state() == DataSetState::Insert;
}

void DataSource::addLink(DataLink *link)
{
    if (std::find(m_links.begin(), m_links.end(), link) == m_links.end())
        m_links.push_back(link);
}

void DataSource::removeLink(DataLink *link) noexcept
{
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
}

void DataSource::notify(DataEvent event, Field *field)
{
    if (!m_enabled)
        return;
    const bool nowActive = active();
    if (nowActive != m_wasActive) {
        m_wasActive = nowActive;
        emit activeChanged(nowActive);
        for (DataLink *l : std::vector<DataLink *>(m_links))
            l->activeChanged(nowActive);
    }
    const std::vector<DataLink *> links(m_links);
    switch (event) {
    case DataEvent::FieldChange:
    case DataEvent::RecordChange:
        emit recordChanged(field);
        for (DataLink *l : links)
            l->recordChanged(field);
        break;
    case DataEvent::DataSetChange:
        emit dataChanged();
        for (DataLink *l : links)
            l->dataSetChanged();
        break;
    case DataEvent::DataSetScroll:
        emit scrolled();
        for (DataLink *l : links)
            l->dataSetScrolled();
        break;
    case DataEvent::LayoutChange:
        emit layoutChanged();
        for (DataLink *l : links)
            l->layoutChanged();
        break;
    case DataEvent::UpdateRecord:
        emit updateData();
        for (DataLink *l : links)
            l->updateData();
        break;
    case DataEvent::UpdateState: {
        emit stateChanged(state());
        const DataSetState s = state();
        const bool editing = s == DataSetState::Edit || s == DataSetState::Insert;
        for (DataLink *l : links) {
            if (l->m_editing != editing) {
                l->m_editing = editing;
                l->editingChanged(editing);
            }
        }
        break;
    }
    }
}

DataLink::~DataLink()
{
    if (m_source)
        m_source->removeLink(this);
}

void DataLink::setDataSource(DataSource *source)
{
    if (source == m_source)
        return;
    if (m_source)
        m_source->removeLink(this);
    m_source = source;
    if (source)
        source->addLink(this);
    activeChanged(active());
    dataSetChanged();
}

bool DataLink::editing() const
{
    const DataSet *ds = dataSet();
    return ds && (ds->state() == DataSetState::Edit || ds->state() == DataSetState::Insert);
}

bool DataLink::edit()
{
    return m_source && m_source->edit();
}

void DataLink::updateRecord()
{
    updateData();
}

} // namespace fw
