#include "forms/FormKit.h"

#include "dataset/Dataset.h"
#include "forms/AddressMap.h"
#include "forms/BoundText.h"
#include "schema/Columns.h"

#include "forms/DbNavigator.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

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
    // A click never takes the focus from a box; Tab reaches the button.
    button->setFocusPolicy(Qt::TabFocus);
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

QToolButton *newRecordButton(QWidget *parent, const char *name) {
    return speedButton(parent, name, QStringLiteral("Založ nový záznam"),
                       glyph(QStringLiteral("novy.svg")));
}

QToolButton *editRecordButton(QWidget *parent, const char *name) {
    return speedButton(parent, name, QStringLiteral("Edituj záznam"),
                       glyph(QStringLiteral("edituj.svg")));
}

QToolButton *deleteRecordButton(QWidget *parent, const char *name) {
    return speedButton(parent, name, QStringLiteral("Smaž záznam"),
                       glyph(QStringLiteral("smaz.svg")));
}

RecordButtonBar recordButtonBar(QWidget *parent, dataset::DataSource &source, const char *newName,
                                const char *editName, const char *deleteName, bool alignRight) {
    RecordButtonBar bar;
    bar.panel = new QWidget(parent);
    bar.panel->setFixedHeight(38);
    auto *row = new QHBoxLayout(bar.panel);
    row->setContentsMargins(6, 5, 6, 5);
    row->setSpacing(2);
    bar.navigator = new DbNavigator(source, bar.panel);
    bar.navigator->setObjectName(QStringLiteral("DBNavi"));
    bar.newButton = newRecordButton(bar.panel, newName);
    bar.editButton = editRecordButton(bar.panel, editName);
    bar.deleteButton = deleteRecordButton(bar.panel, deleteName);
    if (alignRight)
        row->addStretch();
    row->addWidget(bar.navigator);
    row->addSpacing(10);
    row->addWidget(bar.newButton);
    row->addWidget(bar.editButton);
    row->addWidget(bar.deleteButton);
    if (!alignRight)
        row->addStretch();
    return bar;
}

QPushButton *confirmButton(QWidget *parent) {
    return dialogButton(parent, "BB_Jo", QStringLiteral("Potvrď"),
                        QStringLiteral("Ulož záznam / změny"), glyph(QStringLiteral("potvrd.svg")));
}

QPushButton *cancelButton(QWidget *parent) {
    return dialogButton(parent, "BB_Zrus", QStringLiteral("Zruš"), QStringLiteral("Zruš změny"),
                        glyph(QStringLiteral("zrus.svg")));
}

namespace {

/// Adds single-line rows and a note row that takes the spare height, each
/// captioned by the catalogue and bound to its column.
QGridLayout *rowsWithNote(QGroupBox *group, dataset::DataSource &source, const QString &table,
                          const QStringList &columns, QLineEdit **const lines[],
                          const char *const names[], QPlainTextEdit **note, const char *noteName,
                          const QString &noteColumn) {
    QGridLayout *layout = grid(group);
    for (int i = 0; i < columns.size(); ++i) {
        *lines[i] = lineBox(group, names[i]);
        addRow(layout, schema::labelOf(table, columns[i]), *lines[i]);
        new LineEditBinding(*lines[i], source, columns[i]);
    }
    *note = noteBox(group, noteName);
    addRow(layout, schema::labelOf(table, noteColumn), *note);
    new NoteBinding(*note, source, noteColumn);
    layout->setRowStretch(layout->rowCount() - 1, 1);
    return layout;
}

} // namespace

QGridLayout *addressRows(QGroupBox *group, const AddressBoxes &boxes, dataset::DataSource &source) {
    const QString suffix = QString::fromLatin1(boxes.suffix);
    QStringList columns;
    for (const char *stem : {"NAZEV_ADRESA", "ADRESA", "ULICE", "OBEC", "PSC", "STAT"})
        columns << QString::fromLatin1(stem) + suffix;
    // A company's families carry a suffix, a contact's own address none.
    const QString table = suffix.isEmpty() ? QStringLiteral("KONTAKT") : QStringLiteral("FIRMA");
    QGridLayout *layout =
        rowsWithNote(group, source, table, columns, boxes.lines, boxes.names, boxes.note,
                     boxes.names[6], QStringLiteral("POZNAMKA") + suffix);
    // Beside the note, below its caption: the streets, the city, the postcode
    // and the country (the address's name is no place) on the map.
    const QByteArray name = "sbMapa" + QByteArray(boxes.suffix);
    QToolButton *map = mapButton(
        group, name.constData(),
        {*boxes.lines[1], *boxes.lines[2], *boxes.lines[3], *boxes.lines[4], *boxes.lines[5]});
    layout->addWidget(map, layout->rowCount() - 1, 0, Qt::AlignLeft | Qt::AlignVCenter);
    return layout;
}

QGridLayout *connectionRows(QGroupBox *group, const ConnectionBoxes &boxes,
                            dataset::DataSource &source) {
    static const QStringList columns{
        QStringLiteral("TELEFON1"), QStringLiteral("MOBIL"),  QStringLiteral("TELEFON2"),
        QStringLiteral("FAX"),      QStringLiteral("EMAIL1"), QStringLiteral("EMAIL2"),
        QStringLiteral("WWW"),      QStringLiteral("ICQ"),    QStringLiteral("SKYPE"),
        QStringLiteral("DALSI1"),   QStringLiteral("DALSI2")};
    static const char *const names[] = {"EditTelefon", "EditMobil",  "EditTelefon2", "EditFax",
                                        "EditEmail",   "EditEmail2", "EditWWW",      "EditICQ",
                                        "EditSkype",   "EditDalsi1", "EditDalsi2"};
    const QString noteColumn = QString::fromLatin1(boxes.noteColumn);
    const QString table = schema::findColumn(QStringLiteral("FIRMA"), noteColumn)
                              ? QStringLiteral("FIRMA")
                              : QStringLiteral("KONTAKT");
    return rowsWithNote(group, source, table, columns, boxes.lines, names, boxes.note,
                        "MemoPoznamkaSP", noteColumn);
}

QWidget *tabPage(const char *name) {
    auto *page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    return page;
}

QWidget *connectionTab(QGroupBox **group, const QString &title, const ConnectionBoxes &boxes,
                       dataset::DataSource &source) {
    QWidget *tab = tabPage("tsSpojeni");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    *group = groupBox(tab, "gbSpojeni", title);
    connectionRows(*group, boxes, source);
    layout->addWidget(*group);
    return tab;
}

QWidget *noteTab(QPlainTextEdit **note) {
    QWidget *tab = tabPage("tsPoznamka");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    *note = noteBox(tab, "MemoPoznamka");
    (*note)->setAccessibleName(QStringLiteral("Poznámka"));
    layout->addWidget(*note);
    return tab;
}

void labelFields(dataset::Dataset &dataset, const QString &table) {
    for (const schema::Column &column : schema::columnsOf(table))
        if (!column.label.isEmpty())
            dataset.setDisplayLabel(column.name, column.label);
}

} // namespace forms::kit
