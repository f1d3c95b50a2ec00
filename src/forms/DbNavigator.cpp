#include "forms/DbNavigator.h"

#include "dataset/DataSource.h"
#include "dataset/Dataset.h"
#include "db/DbError.h"
#include "ui/ErrorReport.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace forms {

DbNavigator::DbNavigator(dataset::DataSource &source, QWidget *parent)
    : QWidget(parent), m_source(source) {
    struct NavButton {
        Button which;
        QStyle::StandardPixmap icon;
        const char *name;
    };
    // The buttons show no hint; their accessible names say what they do.
    const NavButton navButtons[] = {{First, QStyle::SP_MediaSkipBackward, "První záznam"},
                                    {Prior, QStyle::SP_MediaSeekBackward, "Předchozí záznam"},
                                    {Next, QStyle::SP_MediaSeekForward, "Další záznam"},
                                    {Last, QStyle::SP_MediaSkipForward, "Poslední záznam"}};
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const NavButton &def : navButtons) {
        auto *b = new QToolButton(this);
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(def.icon));
        b->setFixedSize(25, 25);
        b->setAccessibleName(QString::fromUtf8(def.name));
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, which = def.which] { move(which); });
        layout->addWidget(b);
        m_buttons[def.which] = b;
    }
    connect(&m_source, &dataset::DataSource::changed, this, &DbNavigator::updateButtons);
    updateButtons();
}

void DbNavigator::updateButtons() {
    dataset::Dataset *dataset = m_source.dataset();
    const int current = dataset && dataset->isActive() ? dataset->currentIndex() : -1;
    // Rows arrive as they are needed: at the last fetched row one more is
    // fetched to learn whether the table goes on. When that fails the
    // buttons stay usable and the move itself reports the error.
    bool more = false;
    if (current >= 0 && current + 1 >= dataset->fetchedCount() && dataset->canFetchMore()) {
        try {
            dataset->fetchMore(1);
        } catch (const db::DbError &) {
            more = true;
        }
    }
    const bool atFirst = current <= 0;
    const bool atLast = current < 0 || (!more && current + 1 >= dataset->fetchedCount() &&
                                        !dataset->canFetchMore());
    m_buttons[First]->setEnabled(!atFirst);
    m_buttons[Prior]->setEnabled(!atFirst);
    m_buttons[Next]->setEnabled(!atLast);
    m_buttons[Last]->setEnabled(!atLast);
}

void DbNavigator::move(Button which) {
    dataset::Dataset *dataset = m_source.dataset();
    if (!dataset)
        return;
    const bool moved = ui::guarded([&] {
        switch (which) {
        case First:
            dataset->first();
            break;
        case Prior:
            dataset->prior();
            break;
        case Next:
            dataset->next();
            break;
        case Last:
            dataset->last();
            break;
        }
    });
    if (moved)
        emit this->moved(which);
}

} // namespace forms
