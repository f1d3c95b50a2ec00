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

} // namespace forms::kit
