#pragma once
// The batch grid's rows as the statements that store them: plain cell
// texts and the product list as values in, statement texts out.
#include <QString>
#include <QStringList>

#include "mduRecordSql.h"

// The products a batch row may name: each one's code and the name the
// product list shows, in the list's order.
struct ProductList {
    QStringList keys;
    QStringList names;
};

// The insert of one checked batch row (cells: columns 1 to 11) as a new
// pending record of the lab opId, entered by the account opNo; the product
// is stored by the code of the first entry whose name equals column 1
// (exact, letter case counts), or empty when none does. withExtras: the
// database has the card's lot, teeth and shade, columns 12 to 14.
QString BatchRowStatement(const QStringList& cells, const ProductList& products, const QString& opId,
                          const QString& opNo, bool withExtras = false);
// The same row as its insert's columns and values, for an insert of many
// rows (InsertRowsStatement).
InsertColumns BatchRowColumns(const QStringList& cells, const ProductList& products, const QString& opId,
                              const QString& opNo, bool withExtras = false);
