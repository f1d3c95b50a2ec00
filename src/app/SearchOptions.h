#pragma once

#include "data/BoardSearch.h"

#include <QWidget>

class QCheckBox;

namespace app {

/// The board's search options beside its filter box: three check boxes,
/// each remembered in the program's settings as soon as it changes.
class SearchOptions : public QWidget {
    Q_OBJECT
  public:
    /// Starts with the options remembered (all off the first time).
    explicit SearchOptions(QWidget *parent = nullptr);

    data::BoardSearch search() const;

    QCheckBox *ignoreAccents = nullptr;
    QCheckBox *allFields = nullptr;
    QCheckBox *czechOrder = nullptr;

  signals:
    void changed(const data::BoardSearch &search);

  private:
    QCheckBox *option(const char *name, const QString &text, const QString &tip);
};

} // namespace app
