#include "vgGrid.h"

#include "common/vtColor.h"
#include "vtError.h"
#include "common/vtTwips.h"

#include <QApplication>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QHelpEvent>
#include <QToolTip>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace vt {

// The row header: the first fixed column, with its check boxes when the
// column's data type is 11.
class vgRowHeader : public QHeaderView {
public:
    explicit vgRowHeader(vgGrid* grid) : QHeaderView(Qt::Vertical, grid), m_grid(grid) {
        setSectionsClickable(true);
        setHighlightSections(false);
    }

protected:
    void paintSection(QPainter* p, const QRect& rect, int section) const override {
        QHeaderView::paintSection(p, rect, section);
        const int row = section + m_grid->FixedRows();
        if (m_grid->FixedCols() == 0 || m_grid->ColDataType(0) != 11 || !m_grid->validRow(row))
            return;
        QStyleOptionButton box;
        const int side = std::min(rect.height() - 2, 13);
        box.rect = QRect(rect.left() + (rect.width() - side) / 2, rect.top() + (rect.height() - side) / 2, side, side);
        box.state = QStyle::State_Enabled | (m_grid->CellChecked(row, 0) == 1 ? QStyle::State_On : QStyle::State_Off);
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, p, this);
    }

private:
    vgGrid* m_grid;
};

namespace {

[[noreturn]] void badRow() { throw Error(30009, QStringLiteral("无效的行值")); }
[[noreturn]] void badCol() { throw Error(30010, QStringLiteral("无效的列值")); }

int px(int twips) { return twipsToPixels(twips); }

QItemSelectionModel::SelectionFlags selectionFlagsFor(int mode) {
    if (mode == 1 || mode == 3)
        return QItemSelectionModel::Rows;
    if (mode == 2)
        return QItemSelectionModel::Columns;
    return QItemSelectionModel::NoUpdate;
}

} // namespace

vgGrid::vgGrid(QWidget* parent) : QTableView(parent), m_model(new vgGridModel(this)), m_rowHeader(new vgRowHeader(this)) {
    setVerticalHeader(m_rowHeader);
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setSelectionMode(0);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(px(defaultColWidth()));
    verticalHeader()->setDefaultSectionSize(px(defaultRowHeight()));
    // What the user may resize follows AllowUserResizing from the start.
    setAllowUserResizing(m_allowUserResizing);
    // A column the user resized keeps its width: it becomes the column's.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (m_applyingSizes)
            return;
        const int col = section + FixedCols();
        if (col < 0 || col >= Cols())
            return;
        m_model->colInfo(col).width = pixelsToTwips(size);
        emit ColumnResized(col, pixelsToTwips(size));
    });
    verticalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (m_explorerBar != 5)
            return;
        const int col = section + FixedCols();
        m_sortDescending = (m_sortColumn == col) ? !m_sortDescending : false;
        m_sortColumn = col;
        m_model->sortRows(col, m_sortDescending ? 2 : 1);
        horizontalHeader()->setSortIndicatorShown(true);
        horizontalHeader()->setSortIndicator(section, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
        applySizes(true);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applySizes(true);
        syncCurrent();
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { onCurrentChanged(current); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_syncing)
            emit SelChange();
    });
    setBackColor(m_backColor);
    setForeColor(m_foreColor);
    setBackColorBkg(m_backColorBkg);
    setBackColorFixed(m_backColorFixed);
    setGridColor(m_gridColor);
    applyShape();
}

int vgGrid::defaultRowHeight() const {
    if (m_defaultRowHeight < 0)
        m_defaultRowHeight = pixelsToTwips(fontMetrics().height() + 4);
    return m_defaultRowHeight;
}

void vgGrid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        m_defaultRowHeight = -1;
        verticalHeader()->setDefaultSectionSize(px(std::max(defaultRowHeight(), m_rowHeightMin)));
        applySizes(true);
    }
    QTableView::changeEvent(event);
}

void vgGrid::checkRow(int row) const {
    if (!validRow(row))
        badRow();
}

void vgGrid::checkCol(int col) const {
    if (!validCol(col))
        badCol();
}

void vgGrid::applyShape() {
    horizontalHeader()->setVisible(FixedRows() > 0 && Cols() > 0);
    verticalHeader()->setVisible(FixedCols() > 0 && Rows() > 0);
    applySizes();
    syncCurrent();
}

void vgGrid::applySizes(bool allRows) {
    if (!m_redraw)
        return;
    const QScopedValueRollback<bool> applying(m_applyingSizes, true);
    const int fr = FixedRows(), fc = FixedCols();
    auto* hh = horizontalHeader();
    auto* vh = verticalHeader();
    // Only what differs from the header's present sections is changed.
    for (int c = fc; c < Cols(); ++c) {
        const int w = m_model->colInfo(c).width;
        const int section = c - fc;
        if (w == 0) {
            if (!hh->isSectionHidden(section))
                hh->hideSection(section);
        } else {
            if (hh->isSectionHidden(section))
                hh->showSection(section);
            const int size = px(w < 0 ? defaultColWidth() : w);
            if (hh->sectionSize(section) != size)
                hh->resizeSection(section, size);
        }
    }
    // Rows keep their sections while rows are added or cut at the end; only
    // after the whole table was laid anew are their own heights given again.
    for (int r = fr; allRows && m_model->anyRowInfo() && r < Rows(); ++r) {
        const int h = std::as_const(*m_model).rowInfo(r).height;
        if (h < 0)
            continue;
        if (h == 0) {
            vh->hideSection(r - fr);
        } else {
            vh->showSection(r - fr);
            vh->resizeSection(r - fr, px(std::max(h, m_rowHeightMin)));
        }
    }
    if (fc > 0) {
        const int w = m_model->colInfo(0).width;
        vh->setFixedWidth(px(w < 0 ? defaultColWidth() : w));
        vh->setVisible(w != 0 && Rows() > 0);
    }
    if (fr > 0) {
        const int h = std::as_const(*m_model).rowInfo(0).height;
        hh->setFixedHeight(px(h < 0 ? std::max(defaultRowHeight(), m_rowHeightMin) : h));
        hh->setVisible(h != 0 && Cols() > 0);
    }
}

void vgGrid::syncCurrent() {
    m_row = std::clamp(m_row, 0, std::max(0, Rows() - 1));
    m_col = std::clamp(m_col, 0, std::max(0, Cols() - 1));
    // The current cell stays out of the fixed rows and columns while there
    // are data rows and columns.
    if (m_row < FixedRows() && Rows() > FixedRows())
        m_row = FixedRows();
    if (m_col < FixedCols() && Cols() > FixedCols())
        m_col = FixedCols();
    if (Rows() == 0 || Cols() == 0 || !m_redraw)
        return; // while Redraw is off the view learns the current cell at the end
    if (m_row < FixedRows() || m_col < FixedCols())
        return;
    const QModelIndex i = m_model->index(m_row - FixedRows(), m_col - FixedCols());
    if (selectionModel()->currentIndex() != i) {
        m_syncing = true;
        selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | selectionFlagsFor(m_selectionMode));
        m_syncing = false;
    }
}

void vgGrid::onCurrentChanged(const QModelIndex& current) {
    if (m_syncing || !current.isValid())
        return;
    const int row = current.row() + FixedRows();
    const int col = current.column() + FixedCols();
    if (row == m_row && col == m_col)
        return;
    m_row = row;
    m_col = col;
    emit RowColChange();
    emit EnterCell();
}

void vgGrid::setRows(int rows) {
    m_model->setRows(rows);
    applyShape();
}

void vgGrid::setCols(int cols) {
    m_model->setCols(cols);
    applyShape();
}

void vgGrid::setFixedRows(int n) {
    if (n < 0 || n > Rows())
        badRow();
    m_model->setFixedRows(n);
    applyShape();
}

void vgGrid::setFixedCols(int n) {
    if (n < 0 || n > Cols())
        badCol();
    m_model->setFixedCols(n);
    applyShape();
}

void vgGrid::setRow(int row) {
    checkRow(row);
    if (row == m_row)
        return;
    m_row = row;
    syncCurrent();
    emit RowColChange();
    emit EnterCell();
}

void vgGrid::setCol(int col) {
    checkCol(col);
    if (col == m_col)
        return;
    m_col = col;
    syncCurrent();
    emit RowColChange();
    emit EnterCell();
}

int vgGrid::RowSel() const {
    const QModelIndex cur = selectionModel()->currentIndex();
    for (const QItemSelectionRange& r : selectionModel()->selection())
        if (r.contains(cur))
            return (r.top() == cur.row() ? r.bottom() : r.top()) + FixedRows();
    return m_row;
}

int vgGrid::ColSel() const {
    const QModelIndex cur = selectionModel()->currentIndex();
    for (const QItemSelectionRange& r : selectionModel()->selection())
        if (r.contains(cur))
            return (r.left() == cur.column() ? r.right() : r.left()) + FixedCols();
    return m_col;
}

void vgGrid::setRowSel(int row) {
    checkRow(row);
    if (row < FixedRows() || m_row < FixedRows() || m_col < FixedCols())
        return;
    const int fromCol = std::min(m_col, ColSel()), toCol = std::max(m_col, ColSel());
    QItemSelection s(m_model->index(std::min(m_row, row) - FixedRows(), fromCol - FixedCols()),
                     m_model->index(std::max(m_row, row) - FixedRows(), toCol - FixedCols()));
    selectionModel()->select(s, QItemSelectionModel::ClearAndSelect);
}

void vgGrid::setColSel(int col) {
    checkCol(col);
    if (col < FixedCols() || m_row < FixedRows() || m_col < FixedCols())
        return;
    const int fromRow = std::min(m_row, RowSel()), toRow = std::max(m_row, RowSel());
    QItemSelection s(m_model->index(fromRow - FixedRows(), std::min(m_col, col) - FixedCols()),
                     m_model->index(toRow - FixedRows(), std::max(m_col, col) - FixedCols()));
    selectionModel()->select(s, QItemSelectionModel::ClearAndSelect);
}

int vgGrid::TopRow() const {
    const int r = rowAt(0);
    return r < 0 ? FixedRows() : r + FixedRows();
}

void vgGrid::setTopRow(int row) {
    checkRow(row);
    if (row < FixedRows())
        return;
    scrollTo(m_model->index(row - FixedRows(), std::max(0, m_col - FixedCols())), QAbstractItemView::PositionAtTop);
}

QString vgGrid::TextMatrix(int row, int col) const {
    checkRow(row);
    checkCol(col);
    return m_model->text(row, col);
}

void vgGrid::setTextMatrix(int row, int col, const QString& text) {
    checkRow(row);
    checkCol(col);
    if (m_redraw)
        m_model->setText(row, col, text);
    else
        m_model->setTextQuiet(row, col, text);
}

void vgGrid::setRedraw(bool on) {
    if (on == m_redraw)
        return;
    m_redraw = on;
    if (!on) {
        m_model->beginBulk();
    } else {
        m_model->endBulk();
        applyShape();
    }
}

qint64 vgGrid::RowData(int row) const {
    checkRow(row);
    return std::as_const(*m_model).rowInfo(row).data;
}

void vgGrid::setRowData(int row, qint64 value) {
    checkRow(row);
    m_model->editRowInfo(row).data = value;
}

int vgGrid::RowHeight(int row) const {
    checkRow(row);
    const int h = std::as_const(*m_model).rowInfo(row).height;
    return h < 0 ? std::max(defaultRowHeight(), m_rowHeightMin) : h;
}

void vgGrid::setRowHeight(int row, int twips) {
    checkRow(row);
    m_model->editRowInfo(row).height = twips < 0 ? -1 : twips;
    const int fr = FixedRows();
    if (row >= fr && m_redraw) {
        if (twips == 0) {
            verticalHeader()->hideSection(row - fr);
        } else {
            verticalHeader()->showSection(row - fr);
            verticalHeader()->resizeSection(row - fr, px(twips < 0 ? defaultRowHeight() : std::max(twips, m_rowHeightMin)));
        }
    } else {
        applySizes();
    }
}

int vgGrid::ColWidth(int col) const {
    checkCol(col);
    const int w = m_model->colInfo(col).width;
    return w < 0 ? defaultColWidth() : w;
}

void vgGrid::setColWidth(int col, int twips) {
    checkCol(col);
    m_model->colInfo(col).width = twips < 0 ? -1 : twips;
    applySizes();
}

int vgGrid::ColAlignment(int col) const {
    checkCol(col);
    return m_model->colInfo(col).alignment;
}

void vgGrid::setColAlignment(int col, int code) {
    checkCol(col);
    if (code < 0 || code > 10)
        throw Error(380, QStringLiteral("无效的属性值"));
    m_model->colInfo(col).alignment = code;
    m_model->columnChanged(col);
}

int vgGrid::ColDataType(int col) const {
    checkCol(col);
    return m_model->colInfo(col).dataType;
}

void vgGrid::setColDataType(int col, int code) {
    checkCol(col);
    m_model->colInfo(col).dataType = code;
    m_model->columnChanged(col);
    if (col == 0)
        verticalHeader()->viewport()->update();
}

bool vgGrid::RowIsVisible(int row) const {
    checkRow(row);
    return std::as_const(*m_model).rowInfo(row).height != 0;
}

bool vgGrid::ColIsVisible(int col) const {
    checkCol(col);
    return m_model->colInfo(col).width != 0;
}

int vgGrid::CellChecked(int row, int col) const {
    checkRow(row);
    checkCol(col);
    return m_model->checkState(row, col);
}

void vgGrid::setCellChecked(int row, int col, int state) {
    checkRow(row);
    checkCol(col);
    m_model->setCheckState(row, col, state);
    if (col < FixedCols())
        verticalHeader()->viewport()->update();
}

// The editable grid takes 20 twips off the cell's left and top when the grid
// has a three-dimensional border; the positions are reported with that
// border so that what it computes is the cell's place in the grid.
int vgGrid::borderTwips() const { return m_appearance != 0 && m_borderStyle != 0 ? 20 : 0; }

int vgGrid::CellLeft() const {
    if (m_col < FixedCols())
        return pixelsToTwips(frameWidth()) + borderTwips();
    const QRect r = visualRect(m_model->index(std::max(0, m_row - FixedRows()), m_col - FixedCols()));
    return pixelsToTwips(toGrid(r.topLeft()).x()) + borderTwips();
}

int vgGrid::CellTop() const {
    if (m_row < FixedRows())
        return pixelsToTwips(frameWidth()) + borderTwips();
    const QRect r = visualRect(m_model->index(m_row - FixedRows(), std::max(0, m_col - FixedCols())));
    return pixelsToTwips(toGrid(r.topLeft()).y()) + borderTwips();
}

int vgGrid::CellWidth() const {
    if (m_col < FixedCols())
        return pixelsToTwips(verticalHeader()->width());
    return pixelsToTwips(columnWidth(m_col - FixedCols()));
}

int vgGrid::CellHeight() const {
    if (m_row < FixedRows())
        return pixelsToTwips(horizontalHeader()->height());
    return pixelsToTwips(rowHeight(m_row - FixedRows()));
}

void vgGrid::setSelectionMode(int code) {
    m_selectionMode = code;
    QTableView::setSelectionMode(code == 3 ? QAbstractItemView::SingleSelection
                                           : QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(code == 1 || code == 3 ? QAbstractItemView::SelectRows
                         : code == 2            ? QAbstractItemView::SelectColumns
                                                : QAbstractItemView::SelectItems);
}

void vgGrid::setExplorerBar(int code) {
    m_explorerBar = code;
    if (code == 0)
        horizontalHeader()->setSortIndicatorShown(false);
}

void vgGrid::ReapplyUserSort() {
    if (m_explorerBar != 5 || m_sortColumn < 0 || m_sortColumn >= Cols())
        return;
    m_model->sortRows(m_sortColumn, m_sortDescending ? 2 : 1);
    applySizes(true);
}

void vgGrid::setSort(int code) {
    m_model->sortRows(m_col, code);
    applySizes(true);
}

void vgGrid::RemoveItems(const QList<int>& rows) {
    m_model->removeDataRows(rows);
    applySizes(true);
    applyShape();
}

void vgGrid::RemoveItem(int row) {
    checkRow(row);
    m_model->removeRow(row);
    applyShape();
}

void vgGrid::setBackColor(long color) {
    m_backColor = color;
    viewport()->update();
}

void vgGrid::setBackColorBkg(long color) {
    m_backColorBkg = color;
    if (!styleSheet().isEmpty())
        updateStyleSheet();
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, fromColorValue(color));
    viewport()->setPalette(p);
    QPalette o = palette();
    o.setColor(QPalette::Base, fromColorValue(color));
    o.setColor(QPalette::Window, fromColorValue(color));
    setPalette(o);
}

void vgGrid::setBackColorFixed(long color) {
    m_backColorFixed = color;
    if (!styleSheet().isEmpty())
        updateStyleSheet();
    for (QHeaderView* h : {static_cast<QHeaderView*>(horizontalHeader()), static_cast<QHeaderView*>(verticalHeader())}) {
        QPalette p = h->palette();
        p.setColor(QPalette::Button, fromColorValue(color));
        p.setColor(QPalette::Window, fromColorValue(color));
        h->setPalette(p);
    }
}

void vgGrid::setForeColor(long color) {
    // The cells' text colour is the view's: a cell gives none of its own.
    m_foreColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Text, fromColorValue(color));
    setPalette(p);
}

void vgGrid::setForeColorFixed(long color) {
    m_foreColorFixed = color;
    if (!styleSheet().isEmpty())
        updateStyleSheet();
    for (QHeaderView* h : {static_cast<QHeaderView*>(horizontalHeader()), static_cast<QHeaderView*>(verticalHeader())}) {
        QPalette p = h->palette();
        p.setColor(QPalette::ButtonText, fromColorValue(color));
        h->setPalette(p);
    }
}

void vgGrid::setGridColor(long color) {
    m_gridColor = color;
    updateStyleSheet();
}

void vgGrid::updateStyleSheet() {
    // Once a table view has a style sheet, the sheet paints its background
    // and its headers, not the palette: every colour goes into the sheet.
    const auto name = [](long c) { return fromColorValue(c).name(); };
    setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; background-color: %2; }"
                                 "QHeaderView::section { background-color: %3; color: %4; border: none;"
                                 " border-right: 1px solid %5; border-bottom: 1px solid %5; padding: 0px 2px; }"
                                 "QTableCornerButton::section { background-color: %3; border: none;"
                                 " border-right: 1px solid %5; border-bottom: 1px solid %5; }")
                      .arg(name(m_gridColor), name(m_backColorBkg), name(m_backColorFixed), name(m_foreColorFixed),
                           name(m_gridColorFixed)));
}

void vgGrid::setGridLines(int code) {
    m_gridLines = code;
    setShowGrid(code != 0);
}

void vgGrid::setGridLineWidth(int width) {
    m_gridLineWidth = std::max(1, width);
    viewport()->update();
}

void vgGrid::setBorderStyle(int code) {
    m_borderStyle = code;
    setFrameShape(code == 0 ? QFrame::NoFrame : QFrame::StyledPanel);
}

void vgGrid::setAppearance(int code) {
    m_appearance = code;
    setFrameShadow(code == 0 ? QFrame::Plain : QFrame::Sunken);
}

void vgGrid::setAllowUserResizing(int code) {
    m_allowUserResizing = code;
    horizontalHeader()->setSectionResizeMode(code == 1 || code == 3 ? QHeaderView::Interactive : QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(code == 2 || code == 3 ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void vgGrid::setRowHeightMin(int twips) {
    m_rowHeightMin = std::max(0, twips);
    verticalHeader()->setDefaultSectionSize(px(std::max(defaultRowHeight(), m_rowHeightMin)));
    applySizes(true);
}

void vgGrid::keyPressEvent(QKeyEvent* e) {
    int code = KeyCodeOf(e);
    int shift = ShiftOf(e->modifiers());
    emit KeyDownEvent(code, shift);
    if (code == 0) {
        e->accept();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
        QTableView::keyPressEvent(e);
        return;
    case Qt::Key_Tab: case Qt::Key_Backtab:
        e->ignore();
        return;
    default:
        break;
    }
    const QString text = e->text();
    if (text.isEmpty() || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return;
    for (const QChar ch : text) {
        int ascii = ch.unicode() < 128 ? ch.unicode() : -static_cast<int>(ch.unicode());
        emit KeyPressEvent(ascii);
    }
    e->accept();
}

void vgGrid::inputMethodEvent(QInputMethodEvent* e) {
    for (const QChar ch : e->commitString()) {
        int ascii = ch.unicode() < 128 ? ch.unicode() : -static_cast<int>(ch.unicode());
        emit KeyPressEvent(ascii);
    }
    e->accept();
}

void vgGrid::emitMouse(int kind, QMouseEvent* e, const QPoint& gridPos) {
    int button = 0;
    const Qt::MouseButtons b = kind == 1 ? e->buttons() : Qt::MouseButtons(e->button());
    if (b & Qt::LeftButton)
        button |= 1;
    if (b & Qt::RightButton)
        button |= 2;
    if (b & Qt::MiddleButton)
        button |= 4;
    const double x = pixelsToTwips(gridPos.x());
    const double y = pixelsToTwips(gridPos.y());
    const int shift = ShiftOf(e->modifiers());
    if (kind == 0)
        emit MouseDownEvent(button, shift, x, y);
    else if (kind == 1)
        emit MouseMoveEvent(button, shift, x, y);
    else
        emit MouseUpEvent(button, shift, x, y);
}

void vgGrid::mousePressEvent(QMouseEvent* e) {
    emitMouse(0, e, toGrid(e->position().toPoint()));
    QTableView::mousePressEvent(e);
}

void vgGrid::mouseMoveEvent(QMouseEvent* e) {
    emitMouse(1, e, toGrid(e->position().toPoint()));
    QTableView::mouseMoveEvent(e);
}

void vgGrid::mouseReleaseEvent(QMouseEvent* e) {
    QTableView::mouseReleaseEvent(e);
    emitMouse(2, e, toGrid(e->position().toPoint()));
    if (e->button() == Qt::LeftButton && indexAt(e->position().toPoint()).isValid())
        emit Click();
}

void vgGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && indexAt(e->position().toPoint()).isValid())
        emit DblClick();
}

bool vgGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex i = indexAt(help->pos());
        const QString text = i.isValid() ? i.data(Qt::DisplayRole).toString() : QString();
        const QRect cell = visualRect(i);
        // The text's width with the cell's margins against the cell's width.
        if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) + 6 > cell.width())
            QToolTip::showText(help->globalPos(), text, viewport(), cell);
        else
            QToolTip::hideText();
        return true;
    }
    return QTableView::viewportEvent(event);
}

bool vgGrid::eventFilter(QObject* watched, QEvent* event) {
    // A press on the row header makes its row current, as a press on the
    // first fixed column of the grid does.
    const QEvent::Type t = event->type();
    const bool mouse = t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick;
    if (mouse && watched == verticalHeader()->viewport()) {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint gridPos = verticalHeader()->viewport()->mapTo(this, e->position().toPoint());
        if (event->type() == QEvent::MouseButtonPress) {
            const int section = verticalHeader()->logicalIndexAt(e->position().toPoint());
            emitMouse(0, e, gridPos);
            if (section >= 0)
                setRow(section + FixedRows());
            setFocus(Qt::MouseFocusReason);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            emitMouse(2, e, gridPos);
            if (e->button() == Qt::LeftButton && verticalHeader()->logicalIndexAt(e->position().toPoint()) >= 0)
                emit Click();
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick)
            return true;
    }
    return QTableView::eventFilter(watched, event);
}

void vgGrid::paintEvent(QPaintEvent* event) {
    // The cells' background, once for the area they cover; a cell paints a
    // background only when it has a colour of its own.
    const int width = horizontalHeader()->length() - horizontalOffset();
    const int height = verticalHeader()->length() - verticalOffset();
    if (width > 0 && height > 0) {
        QPainter p(viewport());
        p.fillRect(QRect(0, 0, width, height) & event->rect(), fromColorValue(m_backColor));
    }
    QTableView::paintEvent(event);
    if (m_gridLineWidth <= 1 || !showGrid())
        return;
    // Lines wider than one pixel: drawn over the cell borders.
    QPainter p(viewport());
    p.setPen(QPen(fromColorValue(m_gridColor), m_gridLineWidth - 1));
    const QRect area = viewport()->rect();
    for (int c = columnAt(area.left()); c >= 0 && c <= columnAt(area.right()) ; ++c) {
        if (isColumnHidden(c))
            continue;
        const int x = columnViewportPosition(c) + columnWidth(c) - 1;
        p.drawLine(x, area.top(), x, area.bottom());
        if (c == columnAt(area.right()))
            break;
    }
    for (int r = rowAt(area.top()); r >= 0 && r <= rowAt(area.bottom()); ++r) {
        if (isRowHidden(r))
            continue;
        const int y = rowViewportPosition(r) + rowHeight(r) - 1;
        p.drawLine(area.left(), y, area.right(), y);
        if (r == rowAt(area.bottom()))
            break;
    }
}

} // namespace vt
