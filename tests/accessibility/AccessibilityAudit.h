#pragma once

#include <QSet>
#include <QStringList>

class QAccessibleInterface;
class QWidget;

/// Reads one window the way a screen reader and a keyboard user meet it,
/// through Qt's accessibility interfaces, and lists what they could not use:
/// - every interactive control (button, box, list, table, tab) has a name;
/// - every text box and drop-down list has its label (a label whose buddy
///   it is), or fills a tab page alone and carries the tab's caption;
/// - every display says what it shows: a label's name is its text, a label
///   showing nothing has no name unless it takes the focus (a picture area);
///   a read-only text that takes no focus is named by its text or not at all;
/// - every interactive control is reached by Tab, by a shortcut of its own,
///   or by a key declared with reachedByKey() (the caller proves that key).
/// Only what is visible is read: switch tabs and read again for the rest.
class AccessibilityAudit {
  public:
    explicit AccessibilityAudit(QWidget *window) : m_window(window) {}

    /// `control` is reached by a key the window handles itself.
    void reachedByKey(QWidget *control) { m_keyReached.insert(control); }

    /// Reads the window; one line per fault, "<control>: <fault>".
    QStringList faults();
    /// How many controls the last faults() looked at.
    int inspected() const { return m_inspected; }

  private:
    void walk(QAccessibleInterface *parent);
    void inspect(QAccessibleInterface *item);
    void inspectLabel(QAccessibleInterface *item, QWidget *label);
    void inspectControl(QAccessibleInterface *item, QWidget *control);
    bool isLabelled(QWidget *box, const QString &name) const;
    bool isReachable(QWidget *control) const;
    void fault(QAccessibleInterface *item, const QString &what);

    QWidget *m_window;
    QSet<QWidget *> m_keyReached;
    QStringList m_faults;
    int m_inspected = 0;
};
