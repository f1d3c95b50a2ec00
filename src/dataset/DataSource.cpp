#include "dataset/DataSource.h"

#include "dataset/Dataset.h"

namespace dataset {

DataSource::DataSource(Dataset *dataset, QObject *parent) : QObject(parent) {
    setDataset(dataset);
}

DataSource::~DataSource() {
    if (m_dataset)
        m_dataset->detachDataSource(this);
}

void DataSource::setDataset(Dataset *dataset) {
    if (m_dataset == dataset)
        return;
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    if (m_dataset)
        m_dataset->detachDataSource(this);
    m_dataset = dataset;
    if (!m_dataset)
        return;
    m_dataset->attachDataSource(this);
    m_connections << connect(m_dataset, &Dataset::reset, this, &DataSource::changed)
                  << connect(m_dataset, &Dataset::currentChanged, this, &DataSource::changed)
                  << connect(m_dataset, &Dataset::stateChanged, this, &DataSource::changed)
                  << connect(m_dataset, &Dataset::rowChanged, this,
                             [this](int row) {
                                 if (row == m_dataset->currentIndex())
                                     emit changed();
                             })
                  << connect(m_dataset, &Dataset::destroyed, this, [this] { m_dataset = nullptr; });
}

} // namespace dataset
