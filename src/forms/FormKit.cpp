#include "FormKit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace forms::kit {
namespace {
const int kBoxHeight = 21; // the height of a single-line box at 8 pt
}

QLineEdit *lineBox(QWidget *parent, const char *name) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFixedHeight(kBoxHeight);
    return box;
}

QPlainTextEdit *noteBox(QWidget *parent, const char *name) {
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    return box;
}

QComboBox *dropDownList(QWidget *parent, const char *name, const QStringList &items) {
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(true);
    list->setFixedHeight(kBoxHeight);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->addItems(items);
    return list;
}

QToolButton *speedButton(QWidget *parent, const char *name, const QString &hint, const QIcon &glyph,
                         QSize size) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(glyph);
    button->setIconSize(size - QSize(6, 6));
    button->setFixedSize(size);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setFocusPolicy(Qt::NoFocus); // a speed button never takes the focus from a box
    return button;
}

QPushButton *dialogButton(QWidget *parent, const char *name, const QString &caption,
                          const QString &hint, const QIcon &glyph) {
    auto *button = new QPushButton(glyph, caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(80, 30);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoDefault(false);
    return button;
}

QGroupBox *groupBox(QWidget *parent, const char *name, const QString &title) {
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

QGridLayout *grid(QWidget *owner) {
    auto *layout = new QGridLayout(owner);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(2);
    return layout;
}

QLabel *addRow(QGridLayout *grid, const QString &caption, QWidget *box, int column) {
    auto *label = new QLabel(caption, grid->parentWidget());
    label->setBuddy(box);
    const int row = grid->count() == 0 ? 0 : grid->rowCount();
    const bool tall = qobject_cast<QPlainTextEdit *>(box) != nullptr;
    grid->addWidget(label, row, column, Qt::AlignLeft | (tall ? Qt::AlignTop : Qt::AlignVCenter));
    grid->addWidget(box, row, column + 1);
    return label;
}

QIcon glyph(const QString &fileName) {
    return QIcon(QStringLiteral(":/forms/") + fileName);
}

} // namespace forms::kit
