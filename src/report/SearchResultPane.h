#pragma once

#include "report/PreparedReport.h"

#include <QWidget>

class QLabel;
class QListWidget;

namespace report {

/// The "Search result" tab: what was searched for and one row per line that holds it.
class SearchResultPane : public QWidget {
    Q_OBJECT
  public:
    explicit SearchResultPane(QWidget *parent = nullptr);

    /// Lists `hits` of `text` in `report` (not kept).
    void show(const PreparedReport &report, const QString &text, bool matchCase,
              const QList<SearchHit> &hits);
    void clear();

    QListWidget *list() const { return m_list; }
    QLabel *summary() const { return m_summary; }

  signals:
    void hitChosen(SearchHit hit);

  private:
    QLabel *m_summary;
    QListWidget *m_list;
};

} // namespace report
