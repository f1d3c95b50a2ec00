#include "forms/RecordProtocol.h"

#include "base/MessageService.h"
#include "forms/BoundText.h"
#include "forms/DbNavigator.h"
#include "forms/MessageTexts.h"
#include "ui/SharedColors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QWindow>

namespace forms {
namespace {

void setBackground(QWidget *w, const QColor &colour) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, colour);
    w->setPalette(palette);
}

} // namespace

RecordProtocol::RecordProtocol(const Controls &controls) : QObject(controls.form), m_c(controls) {
    m_c.form->installEventFilter(this);
    // Enter is handled by the key table alone: no push button of the form
    // may act as a default button behind its back.
    for (QPushButton *b : m_c.form->findChildren<QPushButton *>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

bool RecordProtocol::isBrowseMode() const {
    return m_c.editButton->isEnabled();
}

void RecordProtocol::lookStep(bool editable) {
    const ui::SharedColors &colours = ui::sharedColors();
    const QColor &background = editable ? colours.editable : colours.readOnly;
    for (QLineEdit *box : std::as_const(m_c.lineBoxes)) {
        setBackground(box, background);
        box->setReadOnly(!editable);
    }
    for (QComboBox *list : std::as_const(m_c.dropDowns)) {
        setBackground(list, background);
        if (list->lineEdit()) {
            setBackground(list->lineEdit(), background);
            list->lineEdit()->setReadOnly(!editable);
        }
        list->setEnabled(editable);
    }
    for (QPlainTextEdit *box : std::as_const(m_c.noteBoxes)) {
        setBackground(box, background);
        box->setReadOnly(!editable);
    }
    if (onLook)
        onLook(editable);
}

void RecordProtocol::buttonStep(bool confirm, bool cancel, bool browseGroup) {
    m_c.navigator->setEnabled(browseGroup);
    m_c.newButton->setEnabled(browseGroup);
    m_c.editButton->setEnabled(browseGroup);
    m_c.deleteButton->setEnabled(browseGroup);
    for (QWidget *w : std::as_const(m_c.browseGroup))
        w->setEnabled(browseGroup);
    m_c.confirmButton->setEnabled(confirm);
    m_c.cancelButton->setEnabled(cancel);
}

void RecordProtocol::enterEditMode() {
    lookStep(true);
    buttonStep(true, true, false);
    m_textsAtEdit = shownTexts();
    focusFirstBox();
}

QStringList RecordProtocol::shownTexts() const {
    QStringList texts;
    for (const QLineEdit *box : m_c.lineBoxes)
        texts << box->text();
    for (const QComboBox *list : m_c.dropDowns)
        texts << list->currentText();
    for (const QPlainTextEdit *note : m_c.noteBoxes)
        texts << noteText(note);
    return texts;
}

bool RecordProtocol::hasChanges() const {
    return shownTexts() != m_textsAtEdit || (m_c.otherChanges && m_c.otherChanges());
}

bool RecordProtocol::changedSinceEdit(const QLineEdit *box) const {
    // The line boxes come first in the remembered texts, in their order.
    const qsizetype index = m_c.lineBoxes.indexOf(box);
    return index < 0 || index >= m_textsAtEdit.size() || box->text() != m_textsAtEdit.at(index);
}

void RecordProtocol::focusFirstBox() {
    QWidget *page = m_c.mainTabs->currentWidget();
    const QWidget *focused = QApplication::focusWidget();
    if (!page || (focused && page->isAncestorOf(focused) && !focused->inherits("QAbstractButton")))
        return;
    auto isBox = [this](QWidget *w) {
        return m_c.lineBoxes.contains(w) || m_c.noteBoxes.contains(w) ||
               m_c.dropDowns.contains(qobject_cast<QComboBox *>(w));
    };
    for (QWidget *w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w))
            break;
        if (isBox(w) && w->isEnabled() && w->isVisibleTo(page)) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void RecordProtocol::enterBrowseMode() {
    lookStep(false);
    buttonStep(false, false, true);
}

void RecordProtocol::firstTabStep() {
    // A tab the program selects is no tab change of the user's.
    const QSignalBlocker quiet(m_c.mainTabs);
    m_c.mainTabs->setCurrentIndex(0);
}

void RecordProtocol::creationStep() {
    firstTabStep();
    for (QWidget *box : std::as_const(m_c.neverEditable)) {
        setBackground(box, ui::sharedColors().readOnly);
        if (auto *line = qobject_cast<QLineEdit *>(box))
            line->setReadOnly(true);
        else if (auto *list = qobject_cast<QComboBox *>(box); list && list->lineEdit())
            list->lineEdit()->setReadOnly(true);
    }
    enterBrowseMode();
}

bool RecordProtocol::confirmDelete() const {
    return base::msg::show(base::msg::Kind::Warning, forms::texts::msgConfirmDelete(),
                           base::msg::Buttons::YesNo) == base::msg::Answer::Yes;
}

bool RecordProtocol::allowClose() {
    if (!isBrowseMode()) {
        base::msg::show(base::msg::Kind::Warning, forms::texts::msgFormInEditMode(),
                        base::msg::Buttons::Ok);
        return false;
    }
    firstTabStep();
    return true;
}

void RecordProtocol::watchWindow() {
    QWindow *window = m_c.form->windowHandle();
    if (!window || window == m_watchedWindow)
        return;
    window->installEventFilter(this);
    m_watchedWindow = window;
}

bool RecordProtocol::focusInNoteBox() const {
    const QWidget *focus = m_c.form->focusWidget();
    for (const QPlainTextEdit *box : m_c.noteBoxes)
        if (focus && (focus == box || box->isAncestorOf(focus)))
            return true;
    return false;
}

bool RecordProtocol::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_c.form) {
        if (event->type() == QEvent::Show)
            watchWindow();
        return false;
    }
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<QKeyEvent *>(event)->key());
    return false;
}

// Leaving the box hands its text to the row; the press confirms. A refusal
// on leaving has been reported already: the box keeps its text and the
// focus, and the press goes no further.
void RecordProtocol::confirmByKey() {
    QWidget *left = QApplication::focusWidget();
    m_c.confirmButton->setFocus(Qt::OtherFocusReason);
    if (TextBinding *binding = left ? TextBinding::of(left) : nullptr;
        binding && binding->hasPendingText()) {
        left->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_c.confirmButton->click();
}

void RecordProtocol::cancelByKey() {
    if (hasChanges() && base::msg::show(base::msg::Kind::Confirm, QStringLiteral("Zahodit změny?"),
                                        base::msg::Buttons::YesNo) != base::msg::Answer::Yes)
        return;
    m_c.cancelButton->setFocus(Qt::OtherFocusReason);
    m_c.cancelButton->click();
}

// The key table. A key goes on to the focused control afterwards, except
// Enter and Escape where the form acted: there the control or the dialog
// would act a second time (a second confirm, or a dialog closing itself
// past the close guard).
bool RecordProtocol::handleKey(int key) {
    const bool browse = isBrowseMode();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (browse || focusInNoteBox())
            return false;
        confirmByKey();
        return true;
    case Qt::Key_Escape:
        if (browse)
            m_c.form->close();
        else
            cancelByKey();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (browse) {
            const DbNavigator::Button button = key == Qt::Key_PageUp     ? DbNavigator::Prior
                                               : key == Qt::Key_PageDown ? DbNavigator::Next
                                               : key == Qt::Key_Home     ? DbNavigator::First
                                                                         : DbNavigator::Last;
            m_c.navigator->button(button)->click();
        }
        return false;
    case Qt::Key_F2:
        if (browse)
            m_c.editButton->click();
        return false;
    case Qt::Key_F3:
        if (browse)
            m_c.newButton->click();
        return false;
    default:
        return false;
    }
}

} // namespace forms
