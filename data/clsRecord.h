#pragma once
// A read-only result table: a value array with its column names, looked up
// without regard to letter case.
#include "vtValue.h"

#include <QHash>
#include <QStringList>
#include <QVariant>

class clsRecordSet;
struct DbResult;

class clsRecord {
public:
    // The cell of a column (by number, or by name when ColIndex is no
    // number) in a row. Error 5010 "错误的列名或没有记录:" + ColIndex for an
    // unknown name, no data, or an index out of range.
    QVariant value(const QVariant& colIndex, int rowIndex = 0) const;
    // Takes the remaining rows of an open recordset. False, and the object
    // stays empty, when the recordset is at its end. Two columns of one name
    // cannot be taken: that raises error 457.
    bool GetRecord(clsRecordSet& rs);
    // The same for a result that the connection object fetched.
    bool GetRecord(const DbResult& result);

    int ListCount() const;
    short ColCount() const;
    QVariant GetArray() const { return m_data; }
    short GetFieldCount() const;
    QString GetFieldName(short& index) const;

private:
    bool take(const QStringList& names, const vt::ValueArray& rows);

    QVariant m_data;                  // value array or Empty
    QHash<QString, short> m_colNumbers; // by lower-case name
    QStringList m_names;
    bool m_hasNames = false;
};
