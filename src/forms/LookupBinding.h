#pragma once

#include "dataset/DataSource.h"
#include "dataset/Dataset.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;

namespace forms {

/// A read-only lookup list: shows, for the key column of a data source's
/// current row, the list column of the row of a list dataset whose key
/// equals it (for a contact, the name of its company). The list dataset is
/// read row by row without moving its current row; rows it has not fetched
/// yet are fetched as far as the search needs. While the list box is
/// hidden the search waits until it is shown.
///
/// The binding is a child of its list box; the datasets are not owned.
class LookupBinding : public QObject {
    Q_OBJECT
  public:
    LookupBinding(QComboBox *box, dataset::DataSource &source, const QString &keyColumn,
                  dataset::Dataset &listDataset, const QString &listKeyColumn,
                  const QString &listColumn);

    /// The text shown for the current key (empty when no row has it).
    QString shownText() const;
    /// Looks the current key up again (once the box is shown).
    void refresh();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QString lookUp(qint64 key) const;

    QComboBox *m_box;
    QPointer<dataset::DataSource> m_source;
    QString m_keyColumn;
    QPointer<dataset::Dataset> m_list;
    QString m_listKeyColumn;
    QString m_listColumn;
    bool m_stale = false;
};

} // namespace forms
