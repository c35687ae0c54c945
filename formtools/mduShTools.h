#pragma once
// Small routines that every form uses: the house look, a month formatter,
// keyboard and focus conveniences, and a sizing rule for controls that
// follow the window. Measures are twips.
#include <QString>
#include <QVariant>

class QWidget;
class QObject;
namespace vt {
class EditGrid;
}

// House colours, as colour values (blue x 65536 + green x 256 + red).
constexpr long HouseBackColor = 16771787;  // forms and most controls
constexpr long HouseFixedColor = 14139808; // fixed (header) cells of grids
constexpr long EmphasisColor = 255;        // emphasised label text
constexpr long PlainTextColor = 0;         // ordinary label text

// The product name recorded in the program's version information.
QString ProductName();

// The kind of control a widget is, in the system's terms: "TextBox",
// "CommandButton", "Frame", "CheckBox", "OptionButton", "SSTab", "Label",
// "Image", "ucInput", "EditGrid", or "" for anything else.
QString ControlTypeName(const QObject* control);

// Gives a form the house look: background, caption suffix with the product
// name, and the rules for each kind of control on it.
void StyleForm(QWidget* form);
// "yyyy-mm" of a date value; "" for Empty, Null, "" or anything no date.
QString YearMonthText(const QVariant& value);
// Enter (13) moves the focus on as Tab would. The key itself is kept.
void EnterToTab(short& keyAscii);
// Gives the control the focus and selects its whole text.
void SelectAllText(QWidget* control);
// Sizes control to fill container: 200 twips margin on the right, 400 plus
// 300 per row of controls below at the bottom, never below the minimum.
// Negative minima are set to 0 in the caller's variables.
void FitToContainer(QWidget* container, QWidget* control, short& minWidth, short& minHeight,
                    short& rows);
// Removes every data row of an editable grid, from the last up to row 1;
// the header row stays.
void RemoveAllRows(vt::EditGrid* grid);
