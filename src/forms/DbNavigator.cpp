#include "DbNavigator.h"

#include "DataSource.h"
#include "Dataset.h"
#include "ErrorReport.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace forms {

DbNavigator::DbNavigator(data::DataSource &source, QWidget *parent)
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
}

void DbNavigator::move(Button which) {
    data::Dataset *dataset = m_source.dataset();
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
