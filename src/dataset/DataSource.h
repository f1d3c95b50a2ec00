#pragma once

#include <QObject>

namespace dataset {

class Dataset;

/// Connects data-bound controls to one dataset. Controls listen to
/// `changed()` to show the current row and answer `collectRequested()` by
/// writing the text they hold into their field.
class DataSource : public QObject {
    Q_OBJECT
  public:
    explicit DataSource(Dataset *dataset = nullptr, QObject *parent = nullptr);
    ~DataSource() override;

    Dataset *dataset() const { return m_dataset; }
    void setDataset(Dataset *dataset);

    /// Called by the dataset before Post and before it moves off an edited row.
    void collectPendingText() { emit collectRequested(); }

  signals:
    /// The current row, its values or the dataset's state changed.
    void changed();
    void collectRequested();

  private:
    Dataset *m_dataset = nullptr;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace dataset
