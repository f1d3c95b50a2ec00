#pragma once

#include "dataset/DataSource.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace dataset {
class Field;
} // namespace dataset

namespace forms {

/// Ties a text control to one column of a data source's current row.
///
/// The control shows the column and follows row moves, state changes and
/// value changes, so two controls on the same column stay alike. Text the
/// user typed is handed to the field when the control loses the focus and
/// when the data source asks for pending text (before Post and before the
/// dataset leaves an edited row) — only while the dataset is editing and
/// only when the text differs from the field.
///
/// A binding is a child of its control and dies with it; the data source is
/// not owned.
class TextBinding : public QObject {
    Q_OBJECT
  public:
    const QString &column() const { return m_column; }
    dataset::DataSource *source() const { return m_source; }

    /// Writes the control's text into the field when the dataset is editing
    /// and the text differs. Throws db::DbError when the field refuses it
    /// (a character Windows-1250 cannot hold, a number that is not one).
    void handOver();
    /// Shows the field's value, dropping any text not handed over.
    void reload();
    /// True while the dataset is editing and the control shows text the
    /// field does not hold (typed and not yet handed over, or refused).
    bool hasPendingText() const;
    /// The binding of `control` (or of the control a drop-down's line box
    /// belongs to), or null.
    static TextBinding *of(QWidget *control);

    /// Hands over the pending text of every binding on `source` among the
    /// descendants of `root`. Throws db::DbError at the first refusal.
    static void handOverAll(QObject *root, dataset::DataSource &source);

  protected:
    TextBinding(QWidget *control, dataset::DataSource &source, const QString &column);

    virtual QString controlText() const = 0;
    virtual void setControlText(const QString &text) = 0;
    /// The field's text as the control shows it.
    virtual QString displayed(const QString &fieldText) const { return fieldText; }
    /// The control's text as the field stores it.
    virtual QString stored(const QString &controlText) const { return controlText; }
    /// Hands the text over now; a refusal goes to the standard error report
    /// (called from signal handlers, where no error may escape).
    void handOverReporting();

  private:
    dataset::Field *field() const;
    bool isEditing() const;
    QString fieldText() const;
    void onSourceChanged();

    QPointer<dataset::DataSource> m_source;
    QString m_column;
    QString m_loaded; // the field's text as last shown
};

/// A single-line box (QLineEdit) on a column.
class LineEditBinding : public TextBinding {
    Q_OBJECT
  public:
    LineEditBinding(QLineEdit *box, dataset::DataSource &source, const QString &column);

  protected:
    QString controlText() const override;
    void setControlText(const QString &text) override;

  private:
    QLineEdit *m_box;
};

/// An editable drop-down list (QComboBox with a line edit) on a column:
/// the chosen or typed text is stored.
class ComboBinding : public TextBinding {
    Q_OBJECT
  public:
    ComboBinding(QComboBox *list, dataset::DataSource &source, const QString &column);

  protected:
    QString controlText() const override;
    void setControlText(const QString &text) override;

  private:
    QComboBox *m_list;
};

/// A note box (QPlainTextEdit) on a column of several lines. Line breaks
/// are stored as CR LF, the convention of the database's existing notes;
/// stored LF or CR breaks show alike and are not rewritten unless the
/// text is edited.
class NoteBinding : public TextBinding {
    Q_OBJECT
  public:
    NoteBinding(QPlainTextEdit *box, dataset::DataSource &source, const QString &column);

  protected:
    QString controlText() const override;
    void setControlText(const QString &text) override;
    QString displayed(const QString &fieldText) const override;
    QString stored(const QString &controlText) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QPlainTextEdit *m_box;
};

/// The text a note box holds, every character as typed: line breaks as LF,
/// no-break spaces kept (the box's plain text turns them into blanks).
QString noteText(const QPlainTextEdit *box);

} // namespace forms
