// EditGrid: creation, properties, column set-up, loading and the accessors.
#include "EditGrid.h"

#include "common/vtColor.h"
#include "vtError.h"
#include "common/vtTwips.h"
#include "vtValue.h"
#include "pickers/ucCheckList.h"
#include "pickers/ucInput.h"
#include "pickers/ucList.h"
#include "vgGrid.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace vt {

namespace {
[[noreturn]] void subscript() { throw vt::Error(9, QStringLiteral("下标越界")); }
} // namespace

void EditGrid::raiseAs(int number, const std::exception& e) {
    if (const auto* ve = dynamic_cast<const vt::Error*>(&e))
        throw vt::Error(number, ve->description());
    throw vt::Error(number, QString::fromLocal8Bit(e.what()));
}

EditGrid::EditGrid(QWidget* parent)
    : QWidget(parent), GRID(new vgGrid(this)), txtEdit(new QLineEdit(this)), cmdSelect(new QPushButton(this)),
      mnRoot(new QMenu(this)) {
    setObjectName(QStringLiteral("EditGrid"));
    GRID->setObjectName(QStringLiteral("GRID"));
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    mnRoot->setObjectName(QStringLiteral("mnRoot"));
    cmdSelect->setText(QStringLiteral("..."));
    cmdSelect->setFocusPolicy(Qt::NoFocus);
    cmdSelect->resize(twipsToPixels(300), twipsToPixels(255));
    txtEdit->setFrame(false);
    txtEdit->hide();
    cmdSelect->hide();
    mnAddRow = mnRoot->addAction(QStringLiteral("增加一行"));
    mnAddRow->setObjectName(QStringLiteral("mnAddRow"));
    mnDelete = mnRoot->addAction(QStringLiteral("删除此行"));
    mnDelete->setObjectName(QStringLiteral("mnDelete"));
    setFocusProxy(GRID);

    // The per-column tables exist for one column from the start, with list 0.
    m_cols.resize(1);
    auto* first = new ucList(this);
    first->setObjectName(QStringLiteral("ucSelect0")); // the list of column 0
    first->hide();
    ucSelect.append(first);
    connectList(first);
    GRID->setRows(1);
    GRID->setCols(1);

    connect(GRID, &vgGrid::KeyDownEvent, this, guard(&EditGrid::onGridKeyDown));
    connect(GRID, &vgGrid::KeyPressEvent, this, guard(&EditGrid::onGridKeyPress));
    connect(GRID, &vgGrid::DblClick, this, guard(&EditGrid::onGridDblClick));
    connect(GRID, &vgGrid::Click, this, guard(&EditGrid::onGridClick));
    connect(GRID, &vgGrid::MouseDownEvent, this, guard(&EditGrid::onGridMouseDown));
    connect(GRID, &vgGrid::MouseUpEvent, this, guard(&EditGrid::onGridMouseUp));
    connect(GRID, &vgGrid::MouseMoveEvent, this, guard(&EditGrid::onGridMouseMove));
    connect(GRID, &vgGrid::SelChange, this, &EditGrid::SelChange);
    connect(GRID, &vgGrid::RowColChange, this, &EditGrid::RowColChange);
    connect(GRID, &vgGrid::EnterCell, this, guard(&EditGrid::onEnterCell));
    connect(GRID, &vgGrid::ColumnResized, this, &EditGrid::ColWidthChanged);
    connect(txtEdit, &QLineEdit::textChanged, this, [this](const QString& t) { guarded([&] { onEditorChanged(t); }); });
    txtEdit->installEventFilter(this);
    connect(cmdSelect, &QPushButton::clicked, this, [this] {
        guarded([this] {
            emit BeforeListDown();
            m_savedText = GRID->Text();
            openList();
        });
    });
    connect(mnAddRow, &QAction::triggered, this, [this] {
        guarded([this] {
            NewRecord();
            focusGrid();
        });
    });
    connect(mnDelete, &QAction::triggered, this, [this] { guarded([this] { RemoveRow(GRID->Row()); }); });
}

EditGrid::~EditGrid() {
    // Going away is no commit: the editor's focus loss raises nothing now.
    txtEdit->removeEventFilter(this);
    m_editing = false;
}

// --- Pass-through and own properties -------------------------------------

int EditGrid::SelectionMode() const { return GRID->SelectionMode(); }
void EditGrid::setSelectionMode(int code) { GRID->setSelectionMode(code); }
int EditGrid::FixedRows() const { return GRID->FixedRows(); }
void EditGrid::setFixedRows(int n) { GRID->setFixedRows(n); }
int EditGrid::FixedCols() const { return GRID->FixedCols(); }
void EditGrid::setFixedCols(int n) { GRID->setFixedCols(n); }
QFont EditGrid::Font() const { return GRID->font(); }

void EditGrid::setGridFont(const QFont& font) {
    GRID->setFont(font);
    txtEdit->setFont(font);
    for (ucList* l : std::as_const(ucSelect))
        l->setListFont(font);
}

int EditGrid::Cols() const { return GRID->Cols(); }
int EditGrid::Rows() const { return GRID->Rows(); }

void EditGrid::setRows(int n) {
    cmdSelect->hide();
    GRID->setRows(n);
}

void EditGrid::resizeColumnTables(int n) {
    const int had = static_cast<int>(m_cols.size());
    m_cols.resize(static_cast<std::size_t>(std::max(0, n)));
    for (int i = had; i < n; ++i)
        m_cols[static_cast<std::size_t>(i)] = ColumnSettings();
}

void EditGrid::setCols(int n) {
    GRID->setCols(n);
    cmdSelect->hide();
    const int highest = static_cast<int>(ucSelect.size()) - 1;
    if (highest < n - 1) {
        resizeColumnTables(n);
        for (int i = highest + 1; i <= n - 1; ++i) {
            auto* l = new ucList(this);
            l->setObjectName(QStringLiteral("ucSelect%1").arg(i));
            l->hide();
            l->resize(ucSelect.first()->size());
            l->setListFont(GRID->font());
            l->setBackColor(GRID->BackColor());
            ucSelect.append(l);
            connectList(l);
        }
    } else {
        // The tables keep the columns that remain; list 0 can never go.
        for (int i = highest; i >= n; --i) {
            if (i == 0) {
                resizeColumnTables(std::max(n, 1));
                throw vt::Error(360, QStringLiteral("对象已经加载"));
            }
            delete ucSelect.takeLast();
        }
        resizeColumnTables(n);
    }
}

int EditGrid::AllowUserResizing() const { return GRID->AllowUserResizing(); }
void EditGrid::setAllowUserResizing(int code) { GRID->setAllowUserResizing(code); }
int EditGrid::Appearance() const { return GRID->Appearance(); }
void EditGrid::setAppearance(int code) { GRID->setAppearance(code); }
long EditGrid::BackColorBkg() const { return GRID->BackColorBkg(); }
void EditGrid::setBackColorBkg(long c) { GRID->setBackColorBkg(c); }
int EditGrid::TopRow() const { return GRID->TopRow(); }
void EditGrid::setTopRow(int row) { GRID->setTopRow(row); }
long EditGrid::BackColor() const { return GRID->BackColor(); }

void EditGrid::setBackColor(long color) {
    GRID->setBackColor(color);
    QPalette p = txtEdit->palette();
    p.setColor(QPalette::Base, fromColorValue(color));
    txtEdit->setPalette(p);
    for (ucList* l : std::as_const(ucSelect))
        l->setBackColor(color);
}

long EditGrid::BackColorFixed() const { return GRID->BackColorFixed(); }
void EditGrid::setBackColorFixed(long c) { GRID->setBackColorFixed(c); }
int EditGrid::BorderStyle() const { return GRID->BorderStyle(); }
void EditGrid::setBorderStyle(int c) { GRID->setBorderStyle(c); }
int EditGrid::FillStyle() const { return GRID->FillStyle(); }
void EditGrid::setFillStyle(int c) { GRID->setFillStyle(c); }
long EditGrid::ForeColor() const { return GRID->ForeColor(); }
void EditGrid::setForeColor(long c) { GRID->setForeColor(c); }
long EditGrid::ForeColorFixed() const { return GRID->ForeColorFixed(); }
void EditGrid::setForeColorFixed(long c) { GRID->setForeColorFixed(c); }
long EditGrid::GridColor() const { return GRID->GridColor(); }
void EditGrid::setGridColor(long c) { GRID->setGridColor(c); }
long EditGrid::GridColorFixed() const { return GRID->GridColorFixed(); }
void EditGrid::setGridColorFixed(long c) { GRID->setGridColorFixed(c); }
int EditGrid::GridLines() const { return GRID->GridLines(); }
void EditGrid::setGridLines(int c) { GRID->setGridLines(c); }
int EditGrid::GridLinesFixed() const { return GRID->GridLinesFixed(); }
void EditGrid::setGridLinesFixed(int c) { GRID->setGridLinesFixed(c); }
int EditGrid::MergeCells() const { return GRID->MergeCells(); }
void EditGrid::setMergeCells(int c) { GRID->setMergeCells(c); }
int EditGrid::PictureType() const { return GRID->PictureType(); }
void EditGrid::setPictureType(int c) { GRID->setPictureType(c); }
int EditGrid::RowHeightMin() const { return GRID->RowHeightMin(); }
void EditGrid::setRowHeightMin(int t) { GRID->setRowHeightMin(t); }
int EditGrid::TextStyle() const { return GRID->TextStyle(); }
void EditGrid::setTextStyle(int c) { GRID->setTextStyle(c); }
int EditGrid::TextStyleFixed() const { return GRID->TextStyleFixed(); }
void EditGrid::setTextStyleFixed(int c) { GRID->setTextStyleFixed(c); }
short EditGrid::GridLinesWidth() const { return static_cast<short>(GRID->GridLineWidth()); }
void EditGrid::setGridLinesWidth(short w) { GRID->setGridLineWidth(w); }
bool EditGrid::WordWrap() const { return GRID->WordWrap(); }
void EditGrid::setWordWrap(bool on) { GRID->setWordWrap(on); }

void EditGrid::setAutoSort(bool on) {
    m_autoSort = on;
    GRID->setExplorerBar(on ? 5 : 0);
}

void EditGrid::setAutoCheckMark(const QString& mark) {
    m_autoCheckMark = mark;
    GRID->setColDataType(0, mark.isEmpty() ? 8 : 11);
}

bool EditGrid::GridEnabled() const { return GRID->isEnabled(); }
void EditGrid::setGridEnabled(bool on) { GRID->setEnabled(on); }
short EditGrid::ListBoxHeight() const { return static_cast<short>(pixelsToTwips(ucSelect.first()->height())); }

void EditGrid::setListBoxHeight(short twips) {
    for (ucList* l : std::as_const(ucSelect))
        l->resize(l->width(), twipsToPixels(twips));
}

int EditGrid::ExplorerBar() const { return GRID->ExplorerBar(); }
void EditGrid::setExplorerBar(int code) { GRID->setExplorerBar(code); }

EditGrid::ColumnSettings& EditGrid::settings(int col) {
    if (col < 0 || col >= static_cast<int>(m_cols.size()))
        subscript();
    return m_cols[static_cast<std::size_t>(col)];
}

const EditGrid::ColumnSettings& EditGrid::settings(int col) const {
    if (col < 0 || col >= static_cast<int>(m_cols.size()))
        subscript();
    return m_cols[static_cast<std::size_t>(col)];
}

ucList* EditGrid::list(int col) const {
    if (col < 0 || col >= ucSelect.size())
        subscript();
    return ucSelect[col];
}

// --- Column set-up ----------------------------------------------------------

void EditGrid::InitColHeaders(const QString& FirstCaption, const QVariantList& Caption) {
    try {
        GRID->setRows(2);
        GRID->setFixedRows(1);
        GRID->setRows(1);
        if (Caption.isEmpty()) {
            GRID->setCols(2);
            GRID->setFixedCols(1);
            setCols(1);
        } else {
            setCols(static_cast<int>(Caption.size()) + 1);
            GRID->setFixedCols(1);
        }
        GRID->setTextMatrix(0, 0, FirstCaption);
        for (int k = 0; k < Caption.size(); ++k)
            GRID->setTextMatrix(0, k + 1, vtListTable::textOf(Caption[k]));
        for (int c = 0; c < Cols(); ++c)
            GRID->setColAlignment(c, 1);
    } catch (const std::exception& e) {
        raiseAs(5005, e);
    }
}

void EditGrid::InitColWidth(int FirstWidth, const QVariantList& Width) {
    try {
        GRID->setColWidth(0, FirstWidth);
        for (int k = 0; k < Width.size(); ++k) {
            bool ok = false;
            const int w = Width[k].toInt(&ok);
            if (!ok)
                throw vt::Error(13, QStringLiteral("类型不匹配"));
            GRID->setColWidth(k + 1, w);
        }
    } catch (const std::exception& e) {
        raiseAs(5005, e);
    }
}

void EditGrid::InitColEdit(bool FirstCanEdit, const QVariantList& CanEdit) {
    try {
        settings(0).canEdit = FirstCanEdit;
        for (int k = 0; k < CanEdit.size(); ++k)
            settings(k + 1).canEdit = CanEdit[k].toBool();
    } catch (const std::exception& e) {
        raiseAs(5005, e);
    }
}

void EditGrid::InitColSelect(bool FirstCanSelect, const QVariantList& CanSelect) {
    try {
        settings(0).canSelect = FirstCanSelect;
        for (int k = 0; k < CanSelect.size(); ++k)
            settings(k + 1).canSelect = CanSelect[k].toBool();
    } catch (const std::exception& e) {
        raiseAs(5005, e);
    }
}

void EditGrid::InitColAlign(int FirstAlign, const QVariantList& Align) {
    try {
        GRID->setColAlignment(0, FirstAlign);
        for (int k = 0; k < Align.size(); ++k) {
            bool ok = false;
            const int a = Align[k].toInt(&ok);
            if (!ok)
                throw vt::Error(13, QStringLiteral("类型不匹配"));
            GRID->setColAlignment(k + 1, a);
        }
    } catch (const std::exception& e) {
        raiseAs(5005, e);
    }
}

void EditGrid::Clear() {
    setRows(1);
    setCols(1);
    setFixedRows(0);
    setFixedCols(0);
}

// --- Loading -----------------------------------------------------------------

void EditGrid::LoadData(const QVariant& DataArray, int RowStart, int ColStart) {
    try {
        GRID->setRows(RowStart);
        if (vt::isNothing(DataArray) || (vt::isArray(DataArray) && vt::toArray(DataArray).rows() == 0)) {
            cmdSelect->hide();
            return;
        }
        if (!vt::isArray(DataArray))
            throw vt::Error(13, QStringLiteral("类型不匹配"));
        const ValueArray& data = *static_cast<const ValueArray*>(DataArray.constData());
        const int C = data.ubound(1);
        const int R = data.ubound(2);
        GRID->setRedraw(false);
        setRows(R + RowStart + 1);
        if (Cols() < C + ColStart + 1)
            setCols(C + ColStart + 1);
        vgGridModel* table = GRID->table();
        // Each column takes the array's texts by reference, not a copy.
        for (int j = 0; j <= C; ++j)
            table->takeColumnQuiet(ColStart + j, RowStart, data, j);
        GRID->setRedraw(true);
        // A list the user sorted by a header click stays sorted when it is
        // loaded again.
        GRID->ReapplyUserSort();
    } catch (const std::exception& e) {
        GRID->setRedraw(true);
        raiseAs(5004, e);
    }
}

void EditGrid::RefreshData(const QVariant& DataArray, int RowStart, int ColStart) {
    try {
        if (vt::isNothing(DataArray) || (vt::isArray(DataArray) && vt::toArray(DataArray).rows() == 0)) {
            GRID->setRows(RowStart);
            return;
        }
        if (!vt::isArray(DataArray))
            throw vt::Error(13, QStringLiteral("类型不匹配"));
        const ValueArray data = vt::toArray(DataArray);
        for (int i = 0; i <= data.ubound(2); ++i)
            for (int j = 0; j <= data.ubound(1); ++j)
                GRID->setTextMatrix(RowStart + i, ColStart + j, vtListTable::textOf(data.at(j, i)));
    } catch (const std::exception& e) {
        raiseAs(5004, e);
    }
}

void EditGrid::setDataSource(const QVariant& source) { GRID->setDataSource(source); }

// --- Accessors ---------------------------------------------------------------

clsRow EditGrid::CurrentRow() { return clsRow(this, GRID->Row()); }
clsCol EditGrid::CurrentCol() { return clsCol(this, GRID->Col()); }
clsCell EditGrid::CurrentCell() { return clsCell(this, GRID->Row(), GRID->Col()); }
clsRow EditGrid::LastRow() { return clsRow(this, Rows() - 1); }
QVariant EditGrid::HitTest(float, float) const { return QVariant(); }

void EditGrid::Sort(int ColIndex, int SortType) {
    GRID->setCol(ColIndex);
    GRID->setSort(SortType);
    settings(ColIndex).sortType = SortType;
}

// --- Property bag ---------------------------------------------------------------

void EditGrid::InitProperties() {
    setOnEnterKeyMove(fmtHorNext);
    setShowMenu(false);
    setAutoCheckMark(QString());
    setAllowPaste(true);
}

void EditGrid::ReadProperties(const PropertyBag& bag) {
    auto value = [&bag](const char* name, const QVariant& absent) {
        const QString key = QString::fromLatin1(name);
        return bag.contains(key) ? bag.value(key) : absent;
    };
    const QVariant font = value("Font", QVariant());
    if (font.isValid())
        setGridFont(font.value<QFont>());
    setOnEnterKeyMove(value("OnEnterKeyMove", QVariant()).toInt());
    setShowMenu(value("ShowMenu", false).toBool());
    setSelectionMode(value("SelectionMode", 0).toInt());
    setAllowUserResizing(value("AllowUserResizing", 0).toInt());
    setAppearance(value("Appearance", 1).toInt());
    setBackColorBkg(value("BackColorBkg", static_cast<qlonglong>(BackColor())).toLongLong());
    setBackColor(value("BackColor", static_cast<qlonglong>(BackColor())).toLongLong());
    setBackColorFixed(value("BackColorFixed", static_cast<qlonglong>(BackColorFixed())).toLongLong());
    setBorderStyle(value("BorderStyle", BorderStyle()).toInt());
    setFillStyle(value("FillStyle", FillStyle()).toInt());
    setForeColor(value("ForeColor", static_cast<qlonglong>(ForeColor())).toLongLong());
    setForeColorFixed(value("ForeColorFixed", static_cast<qlonglong>(ForeColorFixed())).toLongLong());
    setGridColor(value("GridColor", static_cast<qlonglong>(GridColor())).toLongLong());
    setGridColorFixed(value("GridColorFixed", static_cast<qlonglong>(GridColorFixed())).toLongLong());
    setGridLines(value("GridLines", GridLines()).toInt());
    setGridLinesFixed(value("GridLinesFixed", GridLinesFixed()).toInt());
    setGridLinesWidth(static_cast<short>(value("GridLinesWidth", GridLinesWidth()).toInt()));
    setMergeCells(value("MergeCells", MergeCells()).toInt());
    setPictureType(value("PictureType", PictureType()).toInt());
    setRowHeightMin(value("RowHeightMin", RowHeightMin()).toInt());
    setTextStyle(value("TextStyle", TextStyle()).toInt());
    setTextStyleFixed(value("TextStyleFixed", TextStyleFixed()).toInt());
    setWordWrap(value("WordWrap", WordWrap()).toBool());
    setAutoSort(value("AutoSort", true).toBool());
    setAutoCheckMark(value("AutoCheckMark", QString()).toString());
    setAllowPaste(value("AllowPaste", true).toBool());
    setListBoxHeight(static_cast<short>(value("ListBoxHeight", static_cast<float>(ListBoxHeight())).toFloat()));
}

void EditGrid::WriteProperties(PropertyBag& bag) const {
    bag.insert(QStringLiteral("Font"), Font());
    bag.insert(QStringLiteral("OnEnterKeyMove"), m_onEnterKeyMove);
    bag.insert(QStringLiteral("ShowMenu"), m_showMenu);
    bag.insert(QStringLiteral("SelectionMode"), SelectionMode());
    bag.insert(QStringLiteral("AllowUserResizing"), AllowUserResizing());
    bag.insert(QStringLiteral("Appearance"), Appearance());
    bag.insert(QStringLiteral("BackColorBkg"), static_cast<qlonglong>(BackColorBkg()));
    bag.insert(QStringLiteral("BackColor"), static_cast<qlonglong>(BackColor()));
    bag.insert(QStringLiteral("BackColorFixed"), static_cast<qlonglong>(BackColorFixed()));
    bag.insert(QStringLiteral("BorderStyle"), BorderStyle());
    bag.insert(QStringLiteral("FillStyle"), FillStyle());
    bag.insert(QStringLiteral("ForeColor"), static_cast<qlonglong>(ForeColor()));
    bag.insert(QStringLiteral("ForeColorFixed"), static_cast<qlonglong>(ForeColorFixed()));
    bag.insert(QStringLiteral("GridColor"), static_cast<qlonglong>(GridColor()));
    bag.insert(QStringLiteral("GridColorFixed"), static_cast<qlonglong>(GridColorFixed()));
    bag.insert(QStringLiteral("GridLines"), GridLines());
    bag.insert(QStringLiteral("GridLinesFixed"), GridLinesFixed());
    bag.insert(QStringLiteral("GridLinesWidth"), QVariant::fromValue<short>(GridLinesWidth()));
    bag.insert(QStringLiteral("MergeCells"), MergeCells());
    bag.insert(QStringLiteral("PictureType"), PictureType());
    bag.insert(QStringLiteral("RowHeightMin"), RowHeightMin());
    bag.insert(QStringLiteral("TextStyle"), TextStyle());
    bag.insert(QStringLiteral("TextStyleFixed"), TextStyleFixed());
    bag.insert(QStringLiteral("WordWrap"), WordWrap());
    bag.insert(QStringLiteral("AutoSort"), m_autoSort);
    bag.insert(QStringLiteral("AutoCheckMark"), m_autoCheckMark);
    bag.insert(QStringLiteral("AllowPaste"), m_allowPaste);
    bag.insert(QStringLiteral("ListBoxHeight"), static_cast<float>(ListBoxHeight()));
}

QStringList EditGrid::StoredProperties() {
    return {QStringLiteral("Font"), QStringLiteral("OnEnterKeyMove"), QStringLiteral("ShowMenu"),
            QStringLiteral("SelectionMode"), QStringLiteral("AllowUserResizing"), QStringLiteral("Appearance"),
            QStringLiteral("BackColorBkg"), QStringLiteral("BackColor"), QStringLiteral("BackColorFixed"),
            QStringLiteral("BorderStyle"), QStringLiteral("FillStyle"), QStringLiteral("ForeColor"),
            QStringLiteral("ForeColorFixed"), QStringLiteral("GridColor"), QStringLiteral("GridColorFixed"),
            QStringLiteral("GridLines"), QStringLiteral("GridLinesFixed"), QStringLiteral("GridLinesWidth"),
            QStringLiteral("MergeCells"), QStringLiteral("PictureType"), QStringLiteral("RowHeightMin"),
            QStringLiteral("TextStyle"), QStringLiteral("TextStyleFixed"), QStringLiteral("WordWrap"),
            QStringLiteral("AutoSort"), QStringLiteral("AutoCheckMark"), QStringLiteral("AllowPaste"),
            QStringLiteral("ListBoxHeight")};
}

void EditGrid::resizeEvent(QResizeEvent*) { GRID->setGeometry(0, 0, width(), height()); }

// --- The factory -----------------------------------------------------------

QWidget* CreateControl(const QString& classId, QWidget* parent) {
    if (classId == QLatin1String("Vantelo.EditGrid"))
        return new EditGrid(parent);
    if (classId == QLatin1String("Vantelo.ucInput"))
        return new ucInput(parent);
    if (classId == QLatin1String("Vantelo.ucList"))
        return new ucList(parent);
    if (classId == QLatin1String("Vantelo.ucCheckList"))
        return new ucCheckList(parent);
    return nullptr;
}

} // namespace vt
