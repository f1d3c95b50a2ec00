#include "AccessibilityAudit.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>

namespace {

bool isInteractive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::PageTab:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Link:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
        return true;
    default:
        return false;
    }
}

/// Roles whose parts are read as one control: a list's rows, a drop-down
/// list's own box, a scroll bar's arrows.
bool isWhole(QAccessible::Role role) {
    switch (role) {
    case QAccessible::ComboBox:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::ScrollBar:
    case QAccessible::SpinBox:
        return true;
    default:
        return false;
    }
}

QString stripMnemonic(QString text) {
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QChar(1), QLatin1Char('&'));
}

/// What a label shows: its plain text, without the mnemonic marks.
QString shownText(const QLabel *label) {
    QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument document;
        document.setHtml(text);
        text = document.toPlainText();
    }
    return label->buddy() ? stripMnemonic(text) : text;
}

bool hasOwnShortcut(QWidget *control) {
    if (auto *tool = qobject_cast<QToolButton *>(control);
        tool && tool->defaultAction() && !tool->defaultAction()->shortcut().isEmpty())
        return true;
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return !button->shortcut().isEmpty() ||
               QKeySequence::mnemonic(button->text()) != QKeySequence();
    return false;
}

/// The tab page `widget` lies on, with its tab control.
std::pair<QTabWidget *, QWidget *> tabPageOf(QWidget *widget) {
    for (QWidget *w = widget; w && w->parentWidget(); w = w->parentWidget())
        if (qobject_cast<QStackedWidget *>(w->parentWidget()))
            if (auto *tabs = qobject_cast<QTabWidget *>(w->parentWidget()->parentWidget()))
                return {tabs, w};
    return {nullptr, nullptr};
}

} // namespace

QStringList AccessibilityAudit::faults() {
    m_faults.clear();
    m_inspected = 0;
    if (QAccessibleInterface *root = QAccessible::queryAccessibleInterface(m_window))
        walk(root);
    else
        m_faults << QStringLiteral("%1: no accessibility interface").arg(m_window->objectName());
    return m_faults;
}

void AccessibilityAudit::walk(QAccessibleInterface *parent) {
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface *item = parent->child(i);
        if (!item || item->state().invisible)
            continue;
        // A window of its own (a menu, a dialog) is read on its own.
        if (auto *w = qobject_cast<QWidget *>(item->object()); w && w->isWindow() && w != m_window)
            continue;
        inspect(item);
        if (!isWhole(item->role()))
            walk(item);
    }
}

void AccessibilityAudit::inspect(QAccessibleInterface *item) {
    auto *widget = qobject_cast<QWidget *>(item->object());
    if (auto *label = qobject_cast<QLabel *>(widget);
        label && item->role() != QAccessible::EditableText) {
        ++m_inspected;
        inspectLabel(item, label);
        return;
    }
    if (!isInteractive(item->role()))
        return;
    ++m_inspected;
    if (widget && item->role() == QAccessible::EditableText && item->state().readOnly &&
        !(widget->focusPolicy() & Qt::TabFocus)) {
        // A read-only text out of the keyboard's way is a display.
        const QString name = item->text(QAccessible::Name);
        const QString shown = item->text(QAccessible::Value).simplified();
        if (!name.isEmpty() && name.simplified() != shown)
            fault(item, QStringLiteral("is named \"%1\" but shows \"%2\"").arg(name, shown));
        return;
    }
    if (item->text(QAccessible::Name).isEmpty())
        fault(item, QStringLiteral("no name"));
    if (item->role() == QAccessible::PageTab) {
        // A tab is reached through its tab bar.
        QAccessibleInterface *bar = item->parent();
        if (!bar || !isReachable(qobject_cast<QWidget *>(bar->object())))
            fault(item, QStringLiteral("its tab bar takes no focus"));
        return;
    }
    if (widget)
        inspectControl(item, widget);
}

void AccessibilityAudit::inspectLabel(QAccessibleInterface *item, QWidget *widget) {
    const auto *label = static_cast<QLabel *>(widget);
    if (!label->pixmap().isNull())
        return; // a picture: its name is its description
    const QString name = item->text(QAccessible::Name);
    const QString shown = shownText(label);
    if (shown.isEmpty()) {
        const bool focusable = label->focusPolicy() & Qt::TabFocus;
        if (focusable && name.isEmpty())
            fault(item, QStringLiteral("takes the focus but has no name"));
        if (!focusable && !name.isEmpty())
            fault(item, QStringLiteral("shows nothing but is named \"%1\"").arg(name));
        return;
    }
    if (name != shown)
        fault(item, QStringLiteral("is named \"%1\" but shows \"%2\"").arg(name, shown));
    if ((label->focusPolicy() & Qt::TabFocus) && !isReachable(widget))
        fault(item, QStringLiteral("cannot be reached by keyboard"));
}

void AccessibilityAudit::inspectControl(QAccessibleInterface *item, QWidget *control) {
    const bool box =
        item->role() == QAccessible::EditableText || item->role() == QAccessible::ComboBox;
    if (box && !isLabelled(control, item->text(QAccessible::Name)))
        fault(item, QStringLiteral("has no label"));
    if (!isReachable(control))
        fault(item, QStringLiteral("cannot be reached by keyboard"));
}

bool AccessibilityAudit::isLabelled(QWidget *box, const QString &name) const {
    for (const QLabel *label : m_window->findChildren<QLabel *>())
        if (label->buddy() == box)
            return true;
    // A box that fills its tab page alone is labelled by the tab.
    const auto [tabs, page] = tabPageOf(box);
    if (!tabs)
        return false;
    int focusable = 0;
    for (const QWidget *w : page->findChildren<QWidget *>())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->isHidden())
            ++focusable;
    return focusable == 1 && name == stripMnemonic(tabs->tabText(tabs->indexOf(page)));
}

bool AccessibilityAudit::isReachable(QWidget *control) const {
    if (!control)
        return false;
    return (control->focusPolicy() & Qt::TabFocus) || hasOwnShortcut(control) ||
           m_keyReached.contains(control);
}

void AccessibilityAudit::fault(QAccessibleInterface *item, const QString &what) {
    const QObject *object = item->object();
    QString who = object && !object->objectName().isEmpty() ? object->objectName() : QString();
    if (who.isEmpty())
        who = QStringLiteral("%1 \"%2\"")
                  .arg(object ? QString::fromLatin1(object->metaObject()->className())
                              : QStringLiteral("item"),
                       item->text(QAccessible::Name));
    m_faults << who + QStringLiteral(": ") + what;
}
