#pragma once
// The pieces the workbench's tabs are built of: their controls placed in
// twips as the form design places them, the grids' design settings, the
// column widths the user set, and what the tabs are given by the window.
#include <QHash>
#include <QList>
#include <QString>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class qvDatePicker;
class frmRecordList;

namespace vt {
class EditGrid;
class ucInput;
} // namespace vt

// What the window gives each tab.
struct TabLinks {
    // What the last action did, with the time, in the middle status panel;
    // a warning is shown in red.
    std::function<void(const QString& what, bool warning)> report;
    // The products' warranty terms in months, read at load.
    std::function<QHash<QString, int>()> terms;
    // A record list by its key ("New", "Pro" or "Done"); null for others.
    std::function<frmRecordList*(const QString& key)> list;
};

// The background of a cell with a warning, and of a cell that failed a check.
inline constexpr long WarningColor = 10547455; // light yellow
inline constexpr long FailureColor = 12632319; // light red

// The builders; positions and sizes in twips.
namespace wb {
int px(int twips);
void place(QWidget* w, int left, int top, int width, int height);
QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top, int width = 1000);
QLineEdit* textBox(QWidget* parent, const char* name, int maxLength, int left, int top, int width,
                   const QString& text = QString());
QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top, int width = 1100);
qvDatePicker* datePicker(QWidget* parent, const char* name, int left, int top);
vt::EditGrid* grid(QWidget* parent, const char* name);
vt::ucInput* picker(QWidget* parent, const char* name);
// A tab's page and the frame on it.
QGroupBox* frame(QWidget* page, const char* name);
} // namespace wb

// The design settings the form keeps for its grids.
void ApplyGridDesign(vt::EditGrid* grid);
// Widens the columns that show card numbers and dates so that a whole one
// fits in the grid's font; the form's widths are the least.
void FitNumberAndDateColumns(vt::EditGrid* grid, const QList<int>& numberColumns, const QList<int>& dateColumns);
// Column widths the user sets are remembered per grid, and set again.
// Widens a column so that the widest of the texts fits, as the number and
// date columns are fitted.
void FitColumnToTexts(vt::EditGrid* grid, int col, const QStringList& texts);
void KeepColumnWidths(vt::EditGrid* grid);
void RestoreColumnWidths(vt::EditGrid* grid);
// Makes the last row whose column col holds text current and shows it,
// with its cell of column show (col itself when -1) selected.
void SelectRowOf(vt::EditGrid* grid, int col, const QString& text, int show = -1);
