#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QComboBox;
class QDialog;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

namespace forms {

class DbNavigator;

/// The editing protocol both record forms follow: browse and edit mode, the
/// button bar, the look of the bound boxes, the first tab, the delete
/// confirmation, the close guard and the keyboard.
///
/// The mode is the enabled state of the form's edit button (enabled means
/// browse mode); buttonStep() is the only thing that changes it.
///
/// Keys are watched on the form's window, so they are seen once, before the
/// focused control, and only while the form is the window receiving them.
/// The protocol is a child of the form; it owns none of the controls it is
/// given.
class RecordProtocol : public QObject {
    Q_OBJECT
  public:
    struct Controls {
        QDialog *form = nullptr;
        QTabWidget *mainTabs = nullptr;
        DbNavigator *navigator = nullptr;
        QAbstractButton *newButton = nullptr;
        QAbstractButton *editButton = nullptr;
        QAbstractButton *deleteButton = nullptr;
        /// Further controls of the browse group (enabled in browse mode only).
        QList<QWidget *> browseGroup;
        QAbstractButton *confirmButton = nullptr;
        QAbstractButton *cancelButton = nullptr;
        // The look lists.
        QList<QLineEdit *> lineBoxes;
        QList<QComboBox *> dropDowns;
        /// Note boxes; Enter in them stays a line break.
        QList<QPlainTextEdit *> noteBoxes;
        /// Boxes that are never editable (the ID box and the like).
        QList<QWidget *> neverEditable;
        /// Changes the look lists do not show (a photo loaded); may be unset.
        std::function<bool()> otherChanges;
    };

    explicit RecordProtocol(const Controls &controls);

    bool isBrowseMode() const;

    /// Colours and writability of the look lists (read-only, not disabled,
    /// in browse mode; drop-down lists are disabled too), then `onLook`.
    void lookStep(bool editable);
    /// Enables the confirm button, the cancel button and the browse group.
    void buttonStep(bool confirm, bool cancel, bool browseGroup);
    /// Look step and button step of edit mode; the focus goes to the first
    /// box of the shown tab unless a box has it already. What the boxes
    /// show now is what Esc compares with.
    void enterEditMode();
    /// True when a box shows other text than when edit mode began, or
    /// otherChanges says so.
    bool hasChanges() const;
    /// True when `box` (one of the line boxes) shows other text than when
    /// edit mode began.
    bool changedSinceEdit(const QLineEdit *box) const;
    /// Look step and button step of browse mode.
    void enterBrowseMode();
    /// Makes the first tab active; the tab control's currentChanged stays
    /// quiet, as it is meant for tab changes of the user.
    void firstTabStep();
    /// First tab; every box of the lists and every never-editable box
    /// read-only in the read-only colour; browse mode.
    void creationStep();
    /// Asks msgConfirmDelete (warning, Yes/No); true only for Yes.
    bool confirmDelete() const;
    /// The close guard: in browse mode shows the first tab and allows the
    /// close; in edit mode shows msgFormInEditMode and refuses it. The form
    /// asks it in its reject(), the way every close request of a QDialog
    /// takes (its closeEvent calls reject() and stays open when that did not
    /// hide it).
    bool allowClose();

    /// Form-specific part of the look step, run after it with its flag.
    std::function<void(bool editable)> onLook;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    bool handleKey(int key);
    /// Esc in edit mode: cancels at once when nothing changed, else asks
    /// "Zahodit změny?"; No keeps everything.
    void cancelByKey();
    QStringList shownTexts() const;
    void focusFirstBox();
    void confirmByKey();
    bool focusInNoteBox() const;
    void watchWindow();

    Controls m_c;
    QPointer<QObject> m_watchedWindow;
    QStringList m_textsAtEdit;
};

} // namespace forms
