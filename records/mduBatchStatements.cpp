#include "mduBatchStatements.h"

#include "mduRecordRules.h"
#include "mduRecordSql.h"

QString BatchRowStatement(const QStringList& cells, const ProductList& products, const QString& opId,
                          const QString& opNo, bool withExtras) {
    const int k = FindProduct(products.names, cells.value(BatchProduct - 1));
    const QString key = k >= 0 ? products.keys.value(k) : QString();
    return BatchInsertStatement(BatchRowRecord(cells, key), opId, opNo, withExtras);
}

InsertColumns BatchRowColumns(const QStringList& cells, const ProductList& products, const QString& opId,
                              const QString& opNo, bool withExtras) {
    const int k = FindProduct(products.names, cells.value(BatchProduct - 1));
    const QString key = k >= 0 ? products.keys.value(k) : QString();
    return BatchInsertColumns(BatchRowRecord(cells, key), opId, opNo, withExtras);
}
