#include "forms/BoundText.h"

#include "dataset/DataSource.h"
#include "dataset/Dataset.h"
#include "ui/ErrorReport.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace forms {

TextBinding::TextBinding(QWidget *control, dataset::DataSource &source, const QString &column)
    : QObject(control), m_source(&source), m_column(column) {
    connect(&source, &dataset::DataSource::changed, this, &TextBinding::onSourceChanged);
    // No error may travel back through the signal into the dataset's Post:
    // a refusal is reported here, and the confirm steps hand over first
    // (handOverAll) so that a refusal ends them before anything is posted.
    connect(&source, &dataset::DataSource::collectRequested, this, &TextBinding::handOverReporting);
}

dataset::Field *TextBinding::field() const {
    dataset::Dataset *dataset = m_source ? m_source->dataset() : nullptr;
    return dataset && dataset->isActive() ? dataset->findField(m_column) : nullptr;
}

bool TextBinding::isEditing() const {
    dataset::Dataset *dataset = m_source ? m_source->dataset() : nullptr;
    return dataset && dataset->isEditing();
}

QString TextBinding::fieldText() const {
    const dataset::Field *f = field();
    return f ? displayed(f->asString()) : QString();
}

void TextBinding::onSourceChanged() {
    try {
        const QString value = fieldText();
        // Text typed but not yet handed over survives changes of other
        // columns; a change of this column, a move or a state change wins.
        if (isEditing() && value == m_loaded && controlText() != m_loaded)
            return;
        m_loaded = value;
        if (controlText() != value)
            setControlText(value);
    } catch (const std::exception &) {
        // A value that cannot be read (the connection went away) shows empty.
        m_loaded.clear();
        setControlText(QString());
    }
}

void TextBinding::reload() {
    m_loaded = QString(QChar(0xFFFF)); // force the next change to show the field
    onSourceChanged();
}

void TextBinding::handOver() {
    if (!isEditing())
        return;
    dataset::Field *f = field();
    if (!f)
        return;
    const QString text = controlText();
    if (text == displayed(f->asString()))
        return;
    f->setAsString(stored(text));
    m_loaded = text;
}

bool TextBinding::hasPendingText() const {
    return isEditing() && field() && controlText() != fieldText();
}

TextBinding *TextBinding::of(QWidget *control) {
    for (QWidget *w = control; w; w = qobject_cast<QComboBox *>(w->parentWidget())) {
        if (auto *binding = w->findChild<TextBinding *>(QString(), Qt::FindDirectChildrenOnly))
            return binding;
    }
    return nullptr;
}

void TextBinding::handOverReporting() {
    ui::guarded([this] { handOver(); });
}

void TextBinding::handOverAll(QObject *root, dataset::DataSource &source) {
    const auto bindings = root->findChildren<TextBinding *>();
    for (TextBinding *binding : bindings)
        if (binding->source() == &source)
            binding->handOver();
}

// ---- single-line box ------------------------------------------------------

LineEditBinding::LineEditBinding(QLineEdit *box, dataset::DataSource &source, const QString &column)
    : TextBinding(box, source, column), m_box(box) {
    connect(box, &QLineEdit::editingFinished, this, &LineEditBinding::handOverReporting);
    reload();
}

QString LineEditBinding::controlText() const {
    return m_box->text();
}

void LineEditBinding::setControlText(const QString &text) {
    m_box->setText(text);
    m_box->setCursorPosition(0);
}

// ---- drop-down list -------------------------------------------------------

ComboBinding::ComboBinding(QComboBox *list, dataset::DataSource &source, const QString &column)
    : TextBinding(list, source, column), m_list(list) {
    Q_ASSERT(list->isEditable());
    list->setInsertPolicy(QComboBox::NoInsert);
    connect(list->lineEdit(), &QLineEdit::editingFinished, this, &ComboBinding::handOverReporting);
    reload();
}

QString ComboBinding::controlText() const {
    return m_list->currentText();
}

void ComboBinding::setControlText(const QString &text) {
    const int item = m_list->findText(text, Qt::MatchExactly);
    if (item >= 0)
        m_list->setCurrentIndex(item);
    m_list->setEditText(text);
}

// ---- note box -------------------------------------------------------------

NoteBinding::NoteBinding(QPlainTextEdit *box, dataset::DataSource &source, const QString &column)
    : TextBinding(box, source, column), m_box(box) {
    box->installEventFilter(this);
    reload();
}

QString noteText(const QPlainTextEdit *box) {
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QString NoteBinding::controlText() const {
    return noteText(m_box);
}

void NoteBinding::setControlText(const QString &text) {
    m_box->setPlainText(text);
}

QString NoteBinding::displayed(const QString &fieldText) const {
    QString text = fieldText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString NoteBinding::stored(const QString &controlText) const {
    QString text = controlText;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

bool NoteBinding::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_box && event->type() == QEvent::FocusOut)
        handOverReporting();
    return false;
}

} // namespace forms
