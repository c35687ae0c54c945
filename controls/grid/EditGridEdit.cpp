// EditGrid: editing in place, the per-column lists, keyboard and mouse, and
// copying, clearing and pasting blocks of cells.
#include "EditGrid.h"

#include "vtClipText.h"
#include "vtDateText.h"
#include "vtNumber.h"
#include "vtError.h"
#include "common/vtTwips.h"
#include "pickers/ucList.h"
#include "vgGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

namespace vt {

namespace {
int px(int twips) { return twipsToPixels(twips); }
} // namespace

// --- Checks by column kind ---------------------------------------------------

bool EditGrid::IsNumeric(const QString& text) { return IsNumericText(text); }

bool EditGrid::FitsFormat(const QString& text, const QString& format) { return fitsDatePattern(text, format); }

QString EditGrid::FormatToday(const QString& format) { return formatDate(QDate::currentDate(), format); }

// --- Guards and geometry -----------------------------------------------------------

bool EditGrid::dataAreaGuard() const {
    return FixedCols() != Cols() && FixedRows() != Rows() && GRID->RowHeight(GRID->Row()) != 0;
}

bool EditGrid::currentInDataArea() const { return GRID->Row() >= FixedRows() && GRID->Col() >= FixedCols(); }

int EditGrid::borderOffset() const { return Appearance() != 0 && BorderStyle() != 0 ? 20 : 0; }

void EditGrid::markModified(int row) {
    if (GRID->validRow(row) && GRID->RowData(row) == rsNormal)
        GRID->setRowData(row, rsModify);
}

void EditGrid::focusGrid() {
    GRID->setFocus(Qt::OtherFocusReason);
    // Where the window has no focus to move (not shown, not active), the
    // editor does not lose it either: commit as losing it would.
    if (m_editing && !m_committing)
        commitEdit();
}

// --- The editor ----------------------------------------------------------------

void EditGrid::openEditor(const QString& text) {
    const int off = borderOffset();
    txtEdit->setGeometry(px(GRID->CellLeft() - off), px(GRID->CellTop() - off), px(GRID->CellWidth()),
                         px(GRID->CellHeight()));
    txtEdit->show();
    txtEdit->raise();
    txtEdit->setText(text);
    m_editing = true;
    m_escape = false;
    const short max = settings(m_editCol).maxEditLength;
    txtEdit->setMaxLength(max > 0 ? max : 32767);
    txtEdit->setFocus(Qt::OtherFocusReason);
}

void EditGrid::onEditorChanged(const QString& text) {
    if (!m_editing)
        return;
    GRID->setTextMatrix(m_editRow, m_editCol, text);
    markModified(m_editRow);
}

void EditGrid::toggleCheck() {
    const int row = GRID->Row();
    GRID->setCellChecked(row, 0, GRID->CellChecked(row, 0) == 1 ? 2 : 1);
}

void EditGrid::startEditByDoubleClick() {
    if (!dataAreaGuard())
        return;
    if (FixedCols() > 0 && GRID->ColDataType(0) == 11)
        toggleCheck();
    const int col = GRID->Col();
    if (settings(col).canEdit) {
        m_editRow = GRID->Row();
        m_editCol = col;
        m_savedText = GRID->Text();
        openEditor(m_savedText);
        txtEdit->end(false);
        m_caretMode = m_savedText.isEmpty() ? 1 : 2;
    } else if (settings(col).canSelect) {
        emit BeforeListDown();
        m_savedText = GRID->Text();
        openList();
    }
    emit DblClick();
    emit RowDblClick(GRID->Row());
}

void EditGrid::commitEdit() {
    if (!m_editing || m_committing)
        return;
    m_committing = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_committing};

    if (m_escape) {
        m_editing = false;
        txtEdit->hide();
        return;
    }
    const QString text = txtEdit->text();
    const ColumnSettings& s = settings(m_editCol);
    if (!text.isEmpty()) {
        bool fails = false;
        QString replacement;
        if (s.validate == dvNumeric) {
            fails = !IsNumeric(text);
            replacement = QStringLiteral("0");
        } else if (s.validate == dvDate || s.validate == dvMonth || s.validate == dvYear) {
            const QString& format = s.validate == dvDate ? s.dateFormat : s.validate == dvMonth ? s.monthFormat : s.yearFormat;
            fails = !FitsFormat(text, format);
        }
        if (fails) {
            bool cancel = false;
            emit ValidateError(Cells(m_editRow, m_editCol), cancel);
            if (cancel) {
                GRID->setRow(m_editRow);
                GRID->setCol(m_editCol);
                txtEdit->setFocus(Qt::OtherFocusReason);
                return; // editing goes on
            }
            txtEdit->setText(replacement);
        }
    }
    bool cancel = false;
    emit CellValidate(Cells(m_editRow, m_editCol), cancel);
    if (cancel) {
        GRID->setRow(m_editRow);
        GRID->setCol(m_editCol);
        txtEdit->setText(m_savedText);
        m_editing = false;
        txtEdit->hide();
        return;
    }
    m_editing = false;
    txtEdit->hide();
    emit CellModified(Cells(m_editRow, m_editCol));
}

bool EditGrid::onEditorKey(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Left: case Qt::Key_Up: case Qt::Key_Right: case Qt::Key_Down:
        if (m_caretMode != 1)
            return false;
        focusGrid();
        // A ValidateError handler that refused the value keeps the editor
        // open over its cell: the current cell stays with it.
        if (m_editing)
            return true;
        // The same arrow key goes to the grid, which moves its current cell.
        QCoreApplication::postEvent(GRID, new QKeyEvent(QEvent::KeyPress, e->key(), e->modifiers()));
        return true;
    case Qt::Key_Return: case Qt::Key_Enter:
        focusGrid();
        if (!m_editing)
            enterMove();
        return true;
    case Qt::Key_Escape:
        m_escape = true;
        GRID->setTextMatrix(m_editRow, m_editCol, m_savedText);
        focusGrid();
        return true;
    default:
        return false;
    }
}

bool EditGrid::eventFilter(QObject* watched, QEvent* event) {
    bool handled = false;
    guarded([&] { handled = filterEditorEvent(watched, event); });
    return handled || QWidget::eventFilter(watched, event);
}

bool EditGrid::filterEditorEvent(QObject* watched, QEvent* event) {
    if (watched == txtEdit) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return onEditorKey(static_cast<QKeyEvent*>(event));
        case QEvent::MouseButtonPress:
            m_caretMode = 2;
            break;
        case QEvent::FocusIn:
            m_escape = false;
            break;
        case QEvent::FocusOut: {
            // The editor's own context menu or another window taking the
            // focus leaves the edit open; it commits when the focus moves to
            // another widget of this window.
            const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
            if (why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason)
                commitEdit();
            break;
        }
        default:
            break;
        }
    }
    return false;
}

// --- Lists -----------------------------------------------------------------------

void EditGrid::placeSelectButton() {
    const int off = borderOffset();
    const int h = GRID->CellHeight();
    cmdSelect->setGeometry(px(GRID->CellLeft() + GRID->CellWidth() - off) - cmdSelect->width(),
                           px(GRID->CellTop() - off), cmdSelect->width(), px(h));
    cmdSelect->show();
    cmdSelect->raise();
}

void EditGrid::onEnterCell() {
    if (!dataAreaGuard() || !currentInDataArea())
        return;
    cmdSelect->hide();
    if (settings(GRID->Col()).canSelect)
        placeSelectButton();
}

void EditGrid::openList() {
    const int col = GRID->Col();
    ucList* l = list(col);
    const int off = borderOffset();
    const int cellTop = GRID->CellTop();
    const int listHeight = pixelsToTwips(l->height());
    const int top = listHeight < cellTop ? cellTop - listHeight + off : cellTop + GRID->CellHeight() + off;
    l->setGeometry(px(GRID->CellLeft() + off), px(top), px(GRID->CellWidth()), l->height());
    l->show();
    l->raise();
    l->dcSelect->setFocus(Qt::OtherFocusReason);
    m_openList = col;
}

void EditGrid::hideList(int index) {
    list(index)->hide();
    if (m_openList == index)
        m_openList = -1;
}

void EditGrid::connectList(ucList* l) {
    // A list's column is its place in ucSelect, looked up when it reports.
    connect(l, &ucList::Click, this, [this, l] { guarded([&] { onListClick(static_cast<int>(ucSelect.indexOf(l))); }); });
    connect(l, &ucList::KeyDown, this, [this, l](int& code, int&) {
        guarded([&] {
            if (onListKey(static_cast<int>(ucSelect.indexOf(l)), code))
                code = 0;
        });
    });
    connect(l, &ucList::MouseDown, this, [this](int&, int&, float&, float&) { m_listCommit = 1; });
    connect(l, &ucList::focusLost, this, [this, l] {
        guarded([&] {
            hideList(static_cast<int>(ucSelect.indexOf(l)));
            m_listCommit = 1;
        });
    });
}

void EditGrid::onListClick(int index) {
    ucList* l = list(index);
    if (!l->isVisible())
        return;
    if (l->ListIndex() == -1) {
        GRID->setText(QString());
        hideList(index);
        if (GRID->isVisible())
            GRID->setFocus(Qt::OtherFocusReason);
        emit SelectItemClick(vtListTable::textOf(l->Key()));
        return;
    }
    if (m_listCommit != 1)
        return;
    GRID->setText(l->Text());
    const QString key = vtListTable::textOf(l->Key());
    hideList(index);
    if (GRID->isVisible())
        GRID->setFocus(Qt::OtherFocusReason);
    emit SelectItemClick(key);
    markModified(GRID->Row());
    emit CellModified(CurrentCell());
    l->Refresh();
}

bool EditGrid::onListKey(int index, int keyCode) {
    ucList* l = list(index);
    if (keyCode >= 37 && keyCode <= 40) {
        m_listCommit = 0;
        return false;
    }
    if (keyCode == 13) {
        hideList(index);
        GRID->setFocus(Qt::OtherFocusReason);
        if (l->ListIndex() != -1) {
            GRID->setText(l->Text());
            emit SelectItemClick(vtListTable::textOf(l->Key()));
            emit CellModified(CurrentCell());
            l->Refresh();
        }
        return true;
    }
    if (keyCode == 27) {
        hideList(index);
        GRID->setFocus(Qt::OtherFocusReason);
        GRID->setText(m_savedText);
        return true;
    }
    return false;
}

// --- Enter-key move ------------------------------------------------------------------

void EditGrid::enterMove() {
    const int row = GRID->Row();
    const int col = GRID->Col();
    if (settings(col).canSelect) {
        emit BeforeListDown();
        m_savedText = GRID->Text();
        openList();
        return;
    }
    auto nextVisibleRow = [this](int r) {
        for (int i = r + 1; i < Rows(); ++i)
            if (GRID->RowHeight(i) != 0)
                return i;
        return -1;
    };
    auto firstVisibleDataRow = [this] {
        for (int i = FixedRows(); i < Rows(); ++i)
            if (GRID->RowIsVisible(i))
                return i;
        return -1;
    };
    auto nextVisibleCol = [this](int c) {
        for (int i = std::max(c + 1, FixedCols()); i < Cols(); ++i)
            if (GRID->ColWidth(i) != 0)
                return i;
        return -1;
    };
    auto nextEditableCol = [this](int c) {
        for (int i = c + 1; i < Cols(); ++i)
            if (GRID->ColWidth(i) != 0 && settings(i).canEdit)
                return i;
        return -1;
    };
    auto firstVisibleDataCol = [this] {
        for (int i = FixedCols(); i < Cols(); ++i)
            if (GRID->ColWidth(i) >= 1 && GRID->ColIsVisible(i))
                return i;
        return -1;
    };
    auto firstEditableDataCol = [this] {
        for (int i = FixedCols(); i < Cols(); ++i)
            if (GRID->ColIsVisible(i) && settings(i).canEdit)
                return i;
        return -1;
    };
    switch (m_onEnterKeyMove) {
    case fmtHorNext:
        if (const int c = nextVisibleCol(col); c >= 0) {
            GRID->setCol(c);
        } else if (const int r = nextVisibleRow(row); r >= 0) {
            GRID->setRow(r);
            if (const int first = firstVisibleDataCol(); first >= 0)
                GRID->setCol(first);
        }
        break;
    case fmtHorNextEdit:
        if (const int c = nextEditableCol(col); c >= 0) {
            GRID->setCol(c);
        } else {
            const int r = nextVisibleRow(row);
            const int first = firstEditableDataCol();
            if (r >= 0 && first >= 0) {
                GRID->setRow(r);
                GRID->setCol(first);
            }
        }
        break;
    case fmtVerNext:
        if (const int r = nextVisibleRow(row); r >= 0) {
            GRID->setRow(r);
        } else if (const int c = nextVisibleCol(col); c >= 0) {
            GRID->setCol(c);
            if (const int first = firstVisibleDataRow(); first >= 0)
                GRID->setRow(first);
        }
        break;
    case fmtEdit:
        startEditByDoubleClick();
        break;
    default:
        break;
    }
}

// --- Grid notifications ------------------------------------------------------------

namespace {
// A key's character that types into a cell: printable text (32 to 126) or a
// double-byte character (a negative code). Control characters, DEL (127,
// which X11 gives the Delete key) among them, never type.
bool typesCharacter(int code) { return (code >= 32 && code <= 126) || code < 0; }
} // namespace

void EditGrid::onGridKeyPress(int& keyAscii) {
    if (!dataAreaGuard())
        return;
    if (!currentInDataArea()) {
        emit KeyPress(keyAscii);
        return;
    }
    const int row = GRID->Row();
    const int col = GRID->Col();
    if ((typesCharacter(keyAscii) || keyAscii == 8) && !settings(col).canEdit)
        return;
    // The host sees the key first, and what it leaves (0 to drop it, or
    // another character, such as the capital) is what the grid acts on.
    emit KeyPress(keyAscii);
    const int code = keyAscii;
    if (typesCharacter(code)) {
        if (!settings(col).canEdit)
            return;
        const QString ch(QChar(static_cast<char16_t>(code < 0 ? -code : code)));
        if (m_editing) {
            txtEdit->setText(txtEdit->text() + ch);
            txtEdit->end(false);
        } else {
            m_editRow = row;
            m_editCol = col;
            m_savedText = GRID->Text();
            openEditor(QString());
            txtEdit->setText(ch);
            txtEdit->end(false);
            m_caretMode = 1;
        }
    } else if (code == 13) {
        enterMove();
    } else if (code == 8) {
        if (!settings(col).canEdit)
            return;
        m_editRow = row;
        m_editCol = col;
        m_savedText = GRID->Text();
        GRID->setTextMatrix(row, col, QString());
        openEditor(QString());
        m_caretMode = 1;
    }
}

void EditGrid::onGridKeyDown(int& keyCode, int& shift) {
    if (!dataAreaGuard())
        return;
    if (!currentInDataArea()) {
        emit KeyDown(keyCode, shift);
        return;
    }
    const bool canEdit = settings(GRID->Col()).canEdit;
    const auto isPaste = [](int code, int sh) { return (code == 86 || code == 118) && sh == 2; };
    // Keys the grid drops are not raised.
    if ((keyCode == 46 && !canEdit) || (isPaste(keyCode, shift) && (!m_allowPaste || !canEdit)))
        return;
    // The host sees the key first; the grid acts on what it leaves.
    emit KeyDown(keyCode, shift);
    if (keyCode == 46) {
        if (canEdit)
            clearBlock();
    } else if ((keyCode == 67 || keyCode == 99) && shift == 2) {
        copyBlock();
    } else if (isPaste(keyCode, shift)) {
        if (m_allowPaste && canEdit)
            pasteClipboard();
    }
}

void EditGrid::onGridDblClick() { startEditByDoubleClick(); }

void EditGrid::onGridClick() {
    if (FixedCols() != Cols() && FixedRows() != Rows()) {
        if (GRID->ColDataType(0) == 11 && m_checkColumn)
            toggleCheck();
    }
    if (GRID->validRow(GRID->Row()) && GRID->RowHeight(GRID->Row()) != 0) {
        emit Click();
        emit RowClick(GRID->Row());
    }
}

void EditGrid::onGridMouseDown(int button, int shift, double x, double y) {
    m_checkColumn = FixedCols() != 0 && button == 1 ? (GRID->ColWidth(0) > x) : false;
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    emit MouseDown(button, shift, fx, fy);
}

void EditGrid::onGridMouseUp(int button, int shift, double x, double y) {
    if (button == 2 && m_showMenu) {
        mnDelete->setEnabled(GRID->Row() >= FixedRows());
        mnRoot->popup(QCursor::pos());
    }
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    emit MouseUp(button, shift, fx, fy);
}

void EditGrid::onGridMouseMove(int button, int shift, double x, double y) {
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    emit MouseMove(button, shift, fx, fy);
}

// --- Blocks ----------------------------------------------------------------------------

void EditGrid::copyBlock() {
    const int r1 = std::min(GRID->Row(), GRID->RowSel()), r2 = std::max(GRID->Row(), GRID->RowSel());
    const int c1 = std::min(GRID->Col(), GRID->ColSel()), c2 = std::max(GRID->Col(), GRID->ColSel());
    QClipboard* clip = QApplication::clipboard();
    clip->clear();
    if (r1 == r2 && c1 == c2) {
        // One cell: its text, quoted only where a paste would split it.
        clip->setText(QuoteClipValue(GRID->TextMatrix(r1, c1)));
        return;
    }
    QList<QStringList> lines;
    for (int r = r1; r <= r2; ++r) {
        QStringList line;
        for (int c = c1; c <= c2; ++c)
            line << GRID->TextMatrix(r, c);
        lines << line;
    }
    clip->setText(FormatClipText(lines));
}

void EditGrid::clearBlock() {
    const int r1 = std::min(GRID->Row(), GRID->RowSel()), r2 = std::max(GRID->Row(), GRID->RowSel());
    const int c1 = std::min(GRID->Col(), GRID->ColSel()), c2 = std::max(GRID->Col(), GRID->ColSel());
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            if (!settings(c).canEdit)
                continue;
            const QString old = GRID->TextMatrix(r, c);
            GRID->setTextMatrix(r, c, settings(c).validate == dvNumeric ? QStringLiteral("0") : QString());
            bool cancel = false;
            emit CellValidate(Cells(r, c), cancel);
            if (cancel) {
                GRID->setTextMatrix(r, c, old);
            } else {
                if (!old.isEmpty()) {
                    markModified(r);
                    emit CellModified(Cells(r, c));
                }
                emit CellClear();
            }
        }
        markModified(r);
    }
}

bool EditGrid::IsHeaderLine(const QStringList& values, int startCol) const {
    bool named = false;
    for (qsizetype k = 0; k < values.size(); ++k) {
        const int j = startCol + static_cast<int>(k);
        if (j >= Cols() || FixedRows() < 1 || values[k].trimmed() != GRID->TextMatrix(0, j).trimmed())
            return false;
        named = named || !values[k].trimmed().isEmpty();
    }
    return named;
}

void EditGrid::pasteClipboard() {
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    QList<QStringList> lines = ParseClipText(text);
    const int startCol = GRID->Col();
    int i = GRID->Row();
    // A copied header row names the columns; it is not data.
    if (!lines.isEmpty() && IsHeaderLine(lines.first(), startCol))
        lines.removeFirst();
    // The grid is drawn once when the paste is done, not after every cell.
    GRID->setRedraw(false);
    struct RedrawAgain {
        vgGrid* grid;
        ~RedrawAgain() { grid->setRedraw(true); }
    } redrawAgain{GRID};
    try {
        for (qsizetype n = 0; n < lines.size(); ++n) {
            // Each line goes to the next row that is shown: a deleted row
            // (height 0) is skipped, as SaveData would drop what it holds.
            if (n > 0)
                ++i;
            while (i < Rows() && GRID->RowHeight(i) == 0)
                ++i;
            if (i >= Rows()) {
                NewRecord();
                i = Rows() - 1;
            }
            const QStringList& values = lines[n];
            for (qsizetype k = 0; k < values.size(); ++k) {
                const int j = startCol + static_cast<int>(k);
                if (j >= Cols())
                    break;
                if (!settings(j).canEdit)
                    continue;
                const QString& value = values[k];
                const QString old = GRID->TextMatrix(i, j);
                const bool numericColumn = settings(j).validate == dvNumeric;
                GRID->setTextMatrix(i, j, numericColumn && !IsNumeric(value) ? QStringLiteral("0") : value);
                bool cancel = false;
                emit CellValidate(Cells(i, j), cancel);
                if (cancel)
                    GRID->setTextMatrix(i, j, old);
            }
            markModified(i);
        }
    } catch (const std::exception&) {
        // A failure ends the paste where it is; what was written stays.
    }
}

} // namespace vt
