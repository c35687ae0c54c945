#pragma once
// The checks a warranty record passes before it is stored: the entry tab's
// checks at Save and the batch grid's row checks, each in its order with its
// message. The first failing check is the answer; the form shows it.
#include "clsWarrantyRecord.h"

#include <QStringList>

// The entry field a failure points at (where the focus goes).
enum class EntryField {
    None, Product, CardDigits, PatientSurname, PatientGivenName, DoctorSurname, DoctorGivenName,
    Hospital, ProductionDate, TreatmentDate, Description, Remark, Lot, Teeth, Shade
};

struct RuleFailure {
    QString message;      // empty: the check passed
    QString title;
    short kind = 0;       // the message kind of ShowMessage
    EntryField field = EntryField::None;
    int column = 0;       // batch: the grid column that failed (1 to 11)
    bool failed() const { return !message.isEmpty(); }
};

// The checks of Save, in order: product, card digits (present, numeric),
// patient's name, hospital, then the two dates (an opened record may lack
// them) and no NUL in any text. digits is what the card-number box holds.
RuleFailure CheckEntry(const WarrantyRecord& record, const QString& digits);

// The batch grid's columns 1 to 11, in order.
enum BatchColumn {
    BatchProduct = 1, BatchCardNumber, BatchProductionDate, BatchTreatmentDate, BatchPatientSurname,
    BatchPatientGivenName, BatchDoctorSurname, BatchDoctorGivenName, BatchHospital, BatchDescription, BatchRemark,
    // Where the database has them: the card's lot, teeth and shade.
    BatchLot, BatchTeeth, BatchShade
};
// The header texts of columns 1 to 11.
QStringList BatchHeaders();
// The header texts of the columns the card's lot, teeth and shade add
// (12 to 14): "材料批号", "牙位", "比色".
QStringList BatchExtraHeaders();
// The longest lot and shade the database keeps.
constexpr int MostLotCharacters = 30;
constexpr int MostShadeCharacters = 20;

// The rows of a table read from a file, as batch rows (columns 1 to 14;
// the last three empty in a file without them).
// A first row with any of the batch headers names the columns (others are
// left out); without one the columns are taken by position. false with the
// reason when the table is empty or no column matches.
bool BatchRowsFromTable(const QList<QStringList>& table, QList<QStringList>* rows, QString* error);
// Where the batch columns come from in a table, by its first row's cells
// that hold a value (column from 0, text): for each batch column its
// column, -1 for none; by position when no cell names a batch column. A
// file reader keeps only these columns (BatchRowsFromTable then finds them
// in the batch's order).
QList<int> BatchSourceColumns(const QList<QPair<int, QString>>& firstRow);

// The checks of one batch row (cells: columns 1 to 11, row: its number as
// shown in the message), against the names of the product list in its
// order: product, card number, dates, patient, hospital, then no NUL.
RuleFailure CheckBatchRow(const QStringList& cells, int row, const QStringList& productNames);
// Every check of the row that fails, in order (the first is CheckBatchRow's).
QList<RuleFailure> BatchRowFailures(const QStringList& cells, int row, const QStringList& productNames);
// The position of a product name in the list (exact, letter case counts),
// or -1.
int FindProduct(const QStringList& productNames, const QString& name);
// Dates that read well but are hardly true: a production date after today
// or after the treatment, a treatment after today or more than a year after
// the production. Warnings, never refusals; each names the batch column and
// the entry field it points at. Missing dates give none.
QList<RuleFailure> DateWarnings(const QDate& production, const QDate& treatment, const QDate& today);

// The record a checked batch row stores, with the product's code.
WarrantyRecord BatchRowRecord(const QStringList& cells, const QString& productKey);
