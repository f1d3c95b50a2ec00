#pragma once

#include <QIcon>
#include <QSize>
#include <QString>
#include <QStringList>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;

/// Builders for the controls of the record forms. Every control is created
/// as a child of `parent` (which owns it) and named `name`.
namespace dataset {
class DataSource;
class Dataset;
} // namespace dataset
namespace forms {
class DbNavigator;
}

namespace forms::kit {

QLineEdit *lineBox(QWidget *parent, const char *name);
/// A note box with a vertical scroll bar.
QPlainTextEdit *noteBox(QWidget *parent, const char *name);
/// An editable drop-down list holding `items` in this order.
QComboBox *dropDownList(QWidget *parent, const char *name, const QStringList &items);
/// A flat speed button with a glyph; its hint is its tooltip and its
/// accessible name.
QToolButton *speedButton(QWidget *parent, const char *name, const QString &hint, const QIcon &glyph,
                         QSize size = QSize(28, 28));
/// An 80×30 button with a caption and a glyph; its hint is its tooltip and
/// its accessible name.
QPushButton *dialogButton(QWidget *parent, const char *name, const QString &caption,
                          const QString &hint, const QIcon &glyph);
QGroupBox *groupBox(QWidget *parent, const char *name, const QString &title);
/// A grid with the tight spacing of the record forms, laid out on `owner`.
QGridLayout *grid(QWidget *owner);
/// Adds the row "caption  box" at the grid's next row, starting in
/// `column`; the label is the box's buddy. Returns the label.
QLabel *addRow(QGridLayout *grid, const QString &caption, QWidget *box, int column = 0);
/// A glyph of the record forms by its file name ("novy.svg").
QIcon glyph(const QString &fileName);

// The buttons of the record-form protocol.
QToolButton *newRecordButton(QWidget *parent, const char *name);
QToolButton *editRecordButton(QWidget *parent, const char *name);
QToolButton *deleteRecordButton(QWidget *parent, const char *name);
/// The 38-pixel panel along the top of a record form: the navigator on
/// `source` (named DBNavi) and the new, edit and delete buttons, packed to
/// the left or, with `alignRight`, to the right.
struct RecordButtonBar {
    QWidget *panel;
    DbNavigator *navigator;
    QToolButton *newButton;
    QToolButton *editButton;
    QToolButton *deleteButton;
};
RecordButtonBar recordButtonBar(QWidget *parent, dataset::DataSource &source, const char *newName,
                                const char *editName, const char *deleteName, bool alignRight);
/// "Potvrď", named BB_Jo.
QPushButton *confirmButton(QWidget *parent);
/// "Zruš", named BB_Zrus.
QPushButton *cancelButton(QWidget *parent);

/// Where an address group puts its boxes, and their names: six single-line
/// boxes, then the note box. `suffix` names the address family ("_FS",
/// "_FF", "_FD", or "" for a contact's own address).
struct AddressBoxes {
    QLineEdit **lines[6];
    QPlainTextEdit **note;
    const char *names[7];
    const char *suffix;
};
/// Fills `group` with the rows of an address, "Název" to "Poznámka" as the
/// column catalogue captions them (the note box takes the spare height),
/// and binds each box to its column of the family through `source`; the
/// button "Zobrazit na mapě" (sbMapa and the suffix) beside the note box
/// shows the address on the map.
QGridLayout *addressRows(QGroupBox *group, const AddressBoxes &boxes, dataset::DataSource &source);

/// Where a connection group puts its boxes: EditTelefon, EditMobil,
/// EditTelefon2, EditFax, EditEmail, EditEmail2, EditWWW, EditICQ,
/// EditSkype, EditDalsi1 and EditDalsi2, then the note box MemoPoznamkaSP,
/// bound to `noteColumn`.
struct ConnectionBoxes {
    QLineEdit **lines[11];
    QPlainTextEdit **note;
    const char *noteColumn;
};
/// Fills `group` with the connection rows from "Telefon" to "Další 2" and
/// "Poznámka", captioned by the column catalogue, and binds each box to
/// its column through `source`.
QGridLayout *connectionRows(QGroupBox *group, const ConnectionBoxes &boxes,
                            dataset::DataSource &source);

/// A page for a tab control, named `name`.
QWidget *tabPage(const char *name);
/// The page tsSpojeni of a record form: the group gbSpojeni, titled
/// `title` and put into `*group`, with the connection rows of `boxes`.
QWidget *connectionTab(QGroupBox **group, const QString &title, const ConnectionBoxes &boxes,
                       dataset::DataSource &source);
/// The page tsPoznamka of a record form: the note box MemoPoznamka alone,
/// put into `*note`; the caller binds it.
QWidget *noteTab(QPlainTextEdit **note);

/// Gives every field of `dataset` the caption the column catalogue has for
/// its column of `table`, so that a refusal of what the user typed names
/// the box the user sees.
void labelFields(dataset::Dataset &dataset, const QString &table);

} // namespace forms::kit
