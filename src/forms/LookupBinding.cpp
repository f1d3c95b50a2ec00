#include "forms/LookupBinding.h"

#include "dataset/DataSource.h"
#include "dataset/Dataset.h"

#include <QComboBox>
#include <QEvent>

namespace forms {

LookupBinding::LookupBinding(QComboBox *box, dataset::DataSource &source, const QString &keyColumn,
                             dataset::Dataset &listDataset, const QString &listKeyColumn,
                             const QString &listColumn)
    : QObject(box), m_box(box), m_source(&source), m_keyColumn(keyColumn), m_list(&listDataset),
      m_listKeyColumn(listKeyColumn), m_listColumn(listColumn) {
    connect(&source, &dataset::DataSource::changed, this, &LookupBinding::refresh);
    // A renamed, added or removed company changes what is shown; rows merely
    // fetched (by this lookup among others) do not.
    connect(&listDataset, &dataset::Dataset::reset, this, &LookupBinding::refresh);
    connect(&listDataset, &dataset::Dataset::rowChanged, this, &LookupBinding::refresh);
    connect(&listDataset, &dataset::Dataset::rowInserted, this, &LookupBinding::refresh);
    connect(&listDataset, &dataset::Dataset::rowRemoved, this, &LookupBinding::refresh);
    box->installEventFilter(this);
    refresh();
}

QString LookupBinding::shownText() const {
    return m_box->count() > 0 ? m_box->itemText(0) : QString();
}

bool LookupBinding::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_box && event->type() == QEvent::Show && m_stale)
        refresh();
    return false;
}

void LookupBinding::refresh() {
    m_stale = !m_box->isVisible();
    if (m_stale)
        return;
    QString text;
    try {
        dataset::Dataset *dataset = m_source ? m_source->dataset() : nullptr;
        const dataset::Field *key =
            dataset && dataset->isActive() ? dataset->findField(m_keyColumn) : nullptr;
        if (key && !key->isNull())
            text = lookUp(key->asInteger());
    } catch (const std::exception &) {
        text.clear(); // nothing to show when the list cannot be read
    }
    if (m_box->count() == 1 && m_box->itemText(0) == text)
        return;
    m_box->clear();
    m_box->addItem(text);
}

QString LookupBinding::lookUp(qint64 key) const {
    if (!m_list || !m_list->isActive())
        return {};
    const int keyColumn = m_list->columnIndex(m_listKeyColumn);
    const int listColumn = m_list->columnIndex(m_listColumn);
    if (keyColumn < 0 || listColumn < 0)
        return {};
    for (int i = 0;; ++i) {
        if (i >= m_list->fetchedCount()) {
            if (!m_list->canFetchMore())
                return {};
            m_list->fetchMore(256);
            if (i >= m_list->fetchedCount())
                return {};
        }
        const QVariant value = m_list->valueAt(i, keyColumn);
        if (value.isValid() && value.toLongLong() == key)
            return m_list->valueAt(i, listColumn).toString();
    }
}

} // namespace forms
