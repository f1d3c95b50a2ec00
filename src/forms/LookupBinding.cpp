#include "forms/LookupBinding.h"

#include "dataset/DataSource.h"
#include "dataset/Dataset.h"
#include "db/DbError.h"

#include <QCollator>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QLineEdit>

#include <algorithm>

namespace forms {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kFoldedRole = Qt::UserRole + 1;

/// Case and accents aside: "Žlutý" and "zluty" are the same.
QString folded(const QString &text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out.toCaseFolded();
}

/// Offers the rows whose text contains what was typed, case and accents aside.
class FoldingCompleter : public QCompleter {
  public:
    explicit FoldingCompleter(QComboBox *box) : QCompleter(box->model(), box) {
        setCompletionRole(kFoldedRole);
        setFilterMode(Qt::MatchContains);
        setCaseSensitivity(Qt::CaseInsensitive);
        setCompletionMode(QCompleter::PopupCompletion);
    }
    QStringList splitPath(const QString &path) const override { return {folded(path)}; }
    QString pathFromIndex(const QModelIndex &index) const override {
        return index.data(Qt::DisplayRole).toString();
    }
};

} // namespace

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
    if (box->lineEdit())
        box->lineEdit()->setReadOnly(true); // typed into only while choosing
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
    if (m_choosing)
        return; // the list the user chooses from stays as it is
    m_stale = !m_box->isVisible();
    if (m_stale)
        return;
    QString text;
    try {
        if (const qint64 key = currentKey(); key >= 0)
            text = lookUp(key);
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

qint64 LookupBinding::currentKey() const {
    dataset::Dataset *dataset = m_source ? m_source->dataset() : nullptr;
    const dataset::Field *key =
        dataset && dataset->isActive() ? dataset->findField(m_keyColumn) : nullptr;
    return key && !key->isNull() ? key->asInteger() : -1;
}

void LookupBinding::fetchWholeList() const {
    while (m_list && m_list->isActive() && m_list->canFetchMore())
        m_list->fetchMore(256);
}

void LookupBinding::setChoosing(bool on) {
    if (on == m_choosing)
        return;
    m_choosing = on;
    m_box->clear();
    if (m_box->lineEdit())
        m_box->lineEdit()->setReadOnly(!on);
    if (!on) {
        refresh();
        return;
    }
    struct Row {
        QString text;
        qint64 key;
    };
    QList<Row> rows;
    const int keyColumn = m_list ? m_list->columnIndex(m_listKeyColumn) : -1;
    const int listColumn = m_list ? m_list->columnIndex(m_listColumn) : -1;
    if (keyColumn >= 0 && listColumn >= 0) {
        fetchWholeList();
        for (int i = 0; i < m_list->fetchedCount(); ++i)
            rows.append({m_list->valueAt(i, listColumn).toString(),
                         m_list->valueAt(i, keyColumn).toLongLong()});
    }
    QCollator czech{QLocale(QLocale::Czech)};
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const Row &a, const Row &b) { return czech.compare(a.text, b.text) < 0; });
    const qint64 current = currentKey();
    int shown = -1;
    for (const Row &row : std::as_const(rows)) {
        if (row.key == current && shown < 0)
            shown = m_box->count();
        m_box->addItem(row.text, row.key);
        m_box->setItemData(m_box->count() - 1, folded(row.text), kFoldedRole);
    }
    m_box->setInsertPolicy(QComboBox::NoInsert);
    if (!m_completer)
        m_completer = new FoldingCompleter(m_box); // kept for the next edit
    if (m_box->lineEdit())
        m_box->setCompleter(m_completer);
    m_box->setCurrentIndex(shown);
}

qint64 LookupBinding::chosenKey() const {
    const QString text = m_box->currentText().trimmed();
    const int picked = m_box->currentIndex();
    if (picked >= 0 && m_box->itemText(picked) == text)
        return m_box->itemData(picked, kKeyRole).toLongLong();
    for (int i = 0; i < m_box->count(); ++i)
        if (m_box->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return m_box->itemData(i, kKeyRole).toLongLong();
    return -1;
}

bool LookupBinding::choiceDiffers() const {
    return m_choosing && chosenKey() != currentKey();
}

void LookupBinding::handOver() {
    if (!m_choosing || !m_source || !m_source->dataset())
        return;
    const qint64 key = chosenKey();
    if (key < 0)
        throw db::DbError(QStringLiteral("Firma „%1“ není v seznamu firem. Vyberte firmu ze "
                                         "seznamu.")
                              .arg(m_box->currentText().trimmed()));
    if (key != currentKey())
        m_source->dataset()->fieldByName(m_keyColumn)->setAsInteger(key);
}

} // namespace forms
