#include "report/SearchResultPane.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace report {

namespace {

constexpr int kPageRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;

} // namespace

SearchResultPane::SearchResultPane(QWidget *parent)
    : QWidget(parent), m_summary(new QLabel), m_list(new QListWidget) {
    m_summary->setWordWrap(true);
    m_summary->setBuddy(m_list);
    m_list->setAccessibleName(QStringLiteral("Search result"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);

    const auto choose = [this](QListWidgetItem *item) {
        if (item)
            emit hitChosen({item->data(kPageRole).toInt(), item->data(kLineRole).toInt()});
    };
    connect(m_list, &QListWidget::itemClicked, this, choose);
    connect(m_list, &QListWidget::itemActivated, this, choose);
    clear();
}

void SearchResultPane::show(const PreparedReport &report, const QString &text, bool matchCase,
                            const QList<SearchHit> &hits) {
    m_list->clear();
    m_summary->setText(QStringLiteral("Search for: \"%1\"%2 - %3 found")
                           .arg(text, matchCase ? QStringLiteral(" (Match Case)") : QString())
                           .arg(hits.size()));
    for (const SearchHit &hit : hits) {
        const QString line = report.pages[hit.page].lines[hit.line].text.simplified();
        auto *item = new QListWidgetItem(QStringLiteral("Page %1: %2").arg(hit.page + 1).arg(line));
        item->setData(kPageRole, hit.page);
        item->setData(kLineRole, hit.line);
        m_list->addItem(item);
    }
}

void SearchResultPane::clear() {
    m_list->clear();
    m_summary->setText(QStringLiteral("No search yet."));
}

} // namespace report
