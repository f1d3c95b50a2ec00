// The contact board: the grid on the board query with its company group
// lines, the filter box, and the board selection with its double click.
#include "app/U_deska.h"

#include "app/SearchOptions.h"

#include "base/MessageService.h"
#include "base/Win1250.h"
#include "data/U_DM.h"
#include "dataset/Dataset.h"
#include "dataset/Field.h"
#include "db/DbConnection.h"
#include "db/FbStatement.h"
#include "forms/MessageTexts.h"
#include "grid/DataGrid.h"
#include "ui/ErrorReport.h"

#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QSvgRenderer>
#include <QToolButton>

namespace {

const char *const kFilterParams[] = {"K1", "K2", "K3", "F1", "F2", "F3"};
constexpr int kGroupIconSize = 17;

std::vector<grid::GridColumn> designedColumns() {
    auto column = [](const char *field, int width,
                     grid::Alignment alignment = grid::Alignment::Left, bool readOnly = false) {
        grid::GridColumn c;
        c.field = QString::fromLatin1(field);
        c.width = width;
        c.readOnly = readOnly;
        c.dataStyle.alignment = alignment;
        return c;
    };
    return {column("ID_FIRMA", 0, grid::Alignment::Right),
            column("PRIJMENI", 105),
            column("JMENO", 105),
            column("MOBIL", 105),
            column("TELEFON1", 105),
            column("EMAIL1", 180),
            column("FLAG", 1, grid::Alignment::Right, true)};
}

/// "name (tel: phone, mob: mobile, fax: fax) " of a company row; NULLs read
/// empty. The group of contacts of no company has no company ID.
QString groupLineText(const dataset::Dataset &board, int row) {
    auto text = [&](const char *field) {
        return board.valueAt(row, board.columnIndex(QString::fromLatin1(field))).toString();
    };
    if (board.valueAt(row, board.columnIndex(QStringLiteral("ID_FIRMA"))).isNull())
        return QStringLiteral("Bez firmy");
    return QStringLiteral("%1 (tel: %2, mob: %3, fax: %4) ")
        .arg(text("NAZEV_FIRMA"), text("FTELEFON"), text("FMOBIL"), text("FFAX"));
}

/// A company row (the expression's field is 1) becomes a group row with its group line.
void gHlavniDeskaExpression(const dataset::Dataset &board, const QString &expression, int row,
                            QString &text, bool &value) {
    if (board.valueAt(row, board.columnIndex(expression)).toLongLong() != 1)
        return;
    value = true;
    text = groupLineText(board, row);
}

const QPixmap &groupIcon() {
    static const QPixmap icon = [] {
        QPixmap pixmap(kGroupIconSize, kGroupIconSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        QSvgRenderer(QStringLiteral(":/board/firma17.svg")).render(&painter);
        return pixmap;
    }();
    return icon;
}

/// Paints the band of a company row: its colour, the company icon and the group line.
void gHlavniDeskaDrawGroupingCell(QPainter &painter, const QRect &cellRect,
                                  const grid::Grouping &group, const QString &text,
                                  bool &defaultDrawing) {
    defaultDrawing = false;
    painter.fillRect(cellRect, group.color);
    painter.setFont(group.font);
    painter.setPen(group.fontColor);
    painter.drawPixmap(cellRect.topLeft() + QPoint(2, 2), groupIcon());
    QRect textRect = cellRect;
    textRect.setLeft(cellRect.left() + kGroupIconSize + 5);
    textRect.setTop(cellRect.top() + 2);
    // Further lines of a long text fall outside the row and are clipped with it.
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs,
                     text);
}

} // namespace

void Tfm_Deska::createBoard() {
    m_ui.gHlavniDeska = new grid::DataGrid(this);
    m_ui.gHlavniDeska->setObjectName(QStringLiteral("gHlavniDeska"));
    m_ui.gHlavniDeska->setAccessibleName(QStringLiteral("Firmy a kontakty"));
    m_ui.gHlavniDeska->setColumns(designedColumns());
    const QColor window = palette().color(QPalette::Base);
    m_ui.gHlavniDeska->setRowColors(window, window);
    QFont bandFont(QStringLiteral("MS Sans Serif"), 8);
    bandFont.setBold(true);
    m_ui.gHlavniDeska->setGroupings(
        {{QStringLiteral("Flag"), bandFont, palette().color(QPalette::ButtonText),
          palette().color(QPalette::Button)}});
    dataset::Dataset &board = m_dm.qHlavniDeska;
    m_ui.gHlavniDeska->setExpressionHandler(
        [&board](const QString &expression, int row, QString &text, bool &value) {
            gHlavniDeskaExpression(board, expression, row, text, value);
        });
    m_ui.gHlavniDeska->setDrawGroupingCellHandler(gHlavniDeskaDrawGroupingCell);
    m_dm.setBoardSearch(m_ui.pHledani->search());
    connect(m_ui.pHledani, &app::SearchOptions::changed, this,
            [this](const data::BoardSearch &search) {
                ui::guarded([&] { m_dm.setBoardSearch(search); });
            });
    m_ui.gHlavniDeska->setDataset(&board);
    m_ui.gHlavniDeska->setLayoutGroup(QStringLiteral("gHlavniDeska"));
    m_ui.gHlavniDeska->restoreLayout();
    setCentralWidget(m_ui.gHlavniDeska);

    connect(m_ui.gHlavniDeska, &grid::DataGrid::cellClick, this,
            [this](int column) { ui::guarded([&] { gHlavniDeskaCellClick(column); }); });
    connect(m_ui.gHlavniDeska, &grid::DataGrid::dblClick, this,
            [this] { ui::guarded([this] { gHlavniDeskaDblClick(); }); });
    if (m_ui.Edit1)
        connect(m_ui.Edit1, &QLineEdit::textChanged, this,
                [this] { ui::guarded([this] { Edit1Change(); }); });
    if (m_ui.SpeedButton2)
        connect(m_ui.SpeedButton2, &QAbstractButton::clicked, this,
                [this] { ui::guarded([this] { SpeedButton2Click(); }); });
    createBoardKeys();
}

// The board without a mouse: the arrow keys move the cursor row, Space
// makes it the selection and Enter opens it (the grid's click and double
// click), Ctrl+F goes to the filter box and F5 reloads the board.
void Tfm_Deska::createBoardKeys() {
    m_ui.gHlavniDeska->setTabKeyNavigation(
        false); // Tab leaves the board instead of walking its cells
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        m_ui.Edit1->setFocus(Qt::ShortcutFocusReason);
        m_ui.Edit1->selectAll();
    });
    auto *reload = new QShortcut(QKeySequence::Refresh, this);
    connect(reload, &QShortcut::activated, this,
            [this] { ui::guarded([this] { m_ui.gHlavniDeska->refreshDataset(); }); });
}

void Tfm_Deska::Edit1Change() {
    const QString text = m_ui.Edit1->text();
    QByteArray encoded;
    QChar foreign;
    if (!base::win1250::encode(text, encoded, &foreign)) {
        // The rows shown stay; nothing stored could match such a text.
        base::msg::show(base::msg::Kind::Warning,
                        forms::texts::msgSearchCharacterNotStorable(foreign),
                        base::msg::Buttons::Ok);
        return;
    }
    const QString pattern =
        text.isEmpty() ? QStringLiteral("%") : QStringLiteral("%") + text + QStringLiteral("%");
    dataset::QueryDataset &board = m_dm.qHlavniDeska;
    board.close();
    for (const char *name : kFilterParams)
        board.paramByName(QString::fromLatin1(name))->setAsString(pattern);
    board.open();
}

void Tfm_Deska::SpeedButton2Click() {
    // Clearing a non-empty box runs the filter step through its change signal.
    m_ui.Edit1->clear();
}

void Tfm_Deska::gHlavniDeskaCellClick(int) {
    m_ui.sbTisk->setEnabled(false);
    m_ui.sbEmail->setEnabled(false);
    selectedEmail.clear();
    const dataset::Dataset &board = m_dm.qHlavniDeska;
    selectedRowKind = board.fieldByName(QStringLiteral("Flag"))->asString();
    if (selectedRowKind == QLatin1String("1")) {
        selectedRowId = board.fieldByName(QStringLiteral("ID_FIRMA"))->asString();
        m_ui.sbTisk->setEnabled(!selectedRowId.isEmpty()); // not for the contacts of no company
    } else if (selectedRowKind == QLatin1String("2")) {
        selectedRowId = board.fieldByName(QStringLiteral("ID"))->asString();
        selectedEmail = board.fieldByName(QStringLiteral("EMAIL1"))->asString();
        m_ui.sbEmail->setEnabled(true);
    }
}

bool Tfm_Deska::selectionStillStored(const QString &gone) {
    const bool company = selectedRowKind == QLatin1String("1");
    if (!company && selectedRowKind != QLatin1String("2"))
        return true;
    if (selectedRowId.isEmpty())
        return true; // the group line of the contacts of no company names none
    const QByteArray sql =
        company ? "SELECT 1 FROM FIRMA WHERE ID = ?" : "SELECT 1 FROM KONTAKT WHERE ID = ?";
    db::PackedRow row;
    if (m_dm.ZConKontakty.openCursor(sql, {dataset::toInteger(selectedRowId)})->fetch(row))
        return true;
    selectionGone(company ? gone : QStringLiteral("Vybraný kontakt už v databázi není."));
    return false;
}

void Tfm_Deska::selectionGone(const QString &message) {
    base::msg::show(base::msg::Kind::Information, message);
    selectedRowKind.clear();
    selectedRowId.clear();
    selectedEmail.clear();
    m_ui.sbTisk->setEnabled(false);
    m_ui.sbEmail->setEnabled(false);
    m_dm.RefreshBoard();
}

// Acts on the board selection, not on the row under the mouse: the first
// click of the double click has already made that row the selection.
void Tfm_Deska::gHlavniDeskaDblClick() {
    if (!selectionStillStored(QStringLiteral("Vybraná firma už v databázi není.")))
        return;
    // The form opens on exactly the chosen row, or not at all.
    if (selectedRowKind == QLatin1String("1") && selectedRowId.isEmpty())
        return; // no company to open
    if (selectedRowKind == QLatin1String("1")) {
        if (m_companyForm)
            m_companyForm->firstTabStep();
        if (!m_dm.tFIRMA.locate(QStringLiteral("id"), {selectedRowId}, true))
            return selectionGone(QStringLiteral("Vybraná firma už v databázi není."));
        if (m_companyForm)
            m_companyForm->exec();
    } else if (selectedRowKind == QLatin1String("2")) {
        if (!openContact(selectedRowId))
            return selectionGone(QStringLiteral("Vybraný kontakt už v databázi není."));
    }
    m_dm.RefreshBoard();
}

bool Tfm_Deska::openContact(const QVariant &id) {
    if (m_contactForm)
        m_contactForm->firstTabStep();
    if (!m_dm.tKONTAKT.locate(QStringLiteral("id"), {id}, true))
        return false;
    if (m_contactForm)
        m_contactForm->exec();
    return true;
}
