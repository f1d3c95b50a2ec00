#include "grid/GridHeader.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionHeader>

namespace grid {

GridHeader::GridHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false); // a title click sorts nothing and selects nothing
    setSectionsMovable(true);
    setSectionResizeMode(QHeaderView::Interactive);
    setHighlightSections(false);
    setMinimumSectionSize(0);
    connect(this, &QHeaderView::sectionResized, this, &GridHeader::placeFilterEditor);
    connect(this, &QHeaderView::sectionMoved, this, &GridHeader::placeFilterEditor);
}

void GridHeader::setTitleHeight(int pixels) {
    m_titleHeight = qMax(0, pixels);
    updateGeometry();
}

void GridHeader::setWrapTitles(bool wrap) {
    m_wrap = wrap;
    viewport()->update();
}

void GridHeader::setFilterBarVisible(bool visible) {
    if (!visible)
        closeFilterEditor(true);
    m_filterBar = visible;
    updateGeometry();
    viewport()->update();
}

QSize GridHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    size.setHeight((m_titleHeight > 0 ? m_titleHeight : size.height()) +
                   (m_filterBar ? kFilterHeight : 0));
    return size;
}

QRect GridHeader::filterCellRect(int logical) const {
    if (!m_filterBar || logical < 0 || logical >= count() || isSectionHidden(logical))
        return {};
    return QRect(sectionViewportPosition(logical), height() - kFilterHeight, sectionSize(logical),
                 kFilterHeight);
}

void GridHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logical) const {
    QHeaderView::initStyleOptionForIndex(option, logical);
    if (m_wrap)
        option->textAlignment |= Qt::Alignment(Qt::TextWordWrap);
}

void GridHeader::paintSection(QPainter *painter, const QRect &rect, int logical) const {
    if (!m_filterBar) {
        QHeaderView::paintSection(painter, rect, logical);
        return;
    }
    QHeaderView::paintSection(painter, rect.adjusted(0, 0, 0, -kFilterHeight), logical);
    const QRect cell(rect.left(), rect.bottom() - kFilterHeight + 1, rect.width(), kFilterHeight);
    painter->save();
    painter->fillRect(cell, palette().color(QPalette::Base));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawRect(cell.adjusted(0, 0, -1, -1));
    if (m_filterValues) {
        painter->setPen(palette().color(QPalette::Text));
        painter->drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          m_filterValues(logical));
    }
    painter->restore();
}

void GridHeader::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton) {
        emit contextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_filterBar && pos.y() >= height() - kFilterHeight) {
        const int logical = logicalIndexAt(pos.x());
        if (logical >= 0) {
            openFilterEditor(logical);
            event->accept();
            return;
        }
    }
    QHeaderView::mousePressEvent(event);
}

void GridHeader::mouseDoubleClickEvent(QMouseEvent *event) {
    QHeaderView::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

QLineEdit *GridHeader::filterEditor() const {
    return m_editor && m_editor->isVisible() ? m_editor : nullptr;
}

void GridHeader::openFilterEditor(int logical) {
    if (!m_filterBar || logical < 0 || logical >= count())
        return;
    closeFilterEditor(true);
    if (!m_editor) {
        m_editor = new QLineEdit(viewport());
        m_editor->setFrame(false);
        m_editor->installEventFilter(this);
    }
    m_editedSection = logical;
    m_editor->setText(m_filterValues ? m_filterValues(logical) : QString());
    const QString title =
        model() ? model()->headerData(logical, Qt::Horizontal).toString() : QString();
    m_editor->setAccessibleName(QStringLiteral("Filtr sloupce %1").arg(title));
    placeFilterEditor();
    m_editor->show();
    m_editor->setFocus(Qt::MouseFocusReason);
    m_editor->selectAll();
}

void GridHeader::placeFilterEditor() {
    if (m_editor && m_editedSection >= 0)
        m_editor->setGeometry(filterCellRect(m_editedSection));
}

void GridHeader::closeFilterEditor(bool commit) {
    if (!m_editor || !m_editor->isVisible() || m_closing)
        return;
    m_closing = true;
    const int section = m_editedSection;
    const QString text = m_editor->text();
    const bool changed = !m_filterValues || m_filterValues(section) != text;
    const bool hadFocus = m_editor->hasFocus();
    m_editor->hide();
    m_editedSection = -1;
    if (hadFocus && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    m_closing = false;
    if (commit && changed)
        emit filterEdited(section, text);
    viewport()->update();
}

bool GridHeader::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_editor) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                closeFilterEditor(key != Qt::Key_Escape);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            closeFilterEditor(true);
        }
    }
    return QHeaderView::eventFilter(watched, event);
}

} // namespace grid
