#pragma once

#include "dataset/DataSource.h"
#include "dataset/Dataset.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;
class QCompleter;

namespace forms {

/// A read-only lookup list: shows, for the key column of a data source's
/// current row, the list column of the row of a list dataset whose key
/// equals it (for a contact, the name of its company). The list dataset is
/// read row by row without moving its current row; rows it has not fetched
/// yet are fetched as far as the search needs. While the list box is
/// hidden the search waits until it is shown.
///
/// While choosing (the contact form in edit mode) an editable box becomes
/// a drop-down of every list row, searched as the user types; the
/// choice is written into the key column only when handed over.
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

    /// Starts or ends choosing; ending it shows the current key's text again.
    void setChoosing(bool on);
    bool isChoosing() const { return m_choosing; }
    /// True while choosing when the box names another row than the key's.
    bool choiceDiffers() const;
    /// Writes the chosen row's key into the key column. Throws db::DbError
    /// when the typed text names no row of the list.
    void handOver();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QString lookUp(qint64 key) const;
    void fetchWholeList() const;
    qint64 currentKey() const;
    /// The key of the row the box names (the picked one, or the first whose
    /// text equals what was typed), or -1.
    qint64 chosenKey() const;

    QComboBox *m_box;
    QPointer<dataset::DataSource> m_source;
    QString m_keyColumn;
    QPointer<dataset::Dataset> m_list;
    QString m_listKeyColumn;
    QString m_listColumn;
    bool m_stale = false;
    bool m_choosing = false;
    QCompleter *m_completer = nullptr;
};

} // namespace forms
