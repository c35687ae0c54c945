#pragma once
// An open row set over the rows of a select, with a current row: the form in
// which the sign-in reads the system items and stored files are read and
// written. Rows of a single-table "select * from T where ..." can be
// changed and added, and long binary fields are read and written in pieces.
#include "vtValue.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <memory>

class DbBackend;

class clsRecordSet {
public:
    // Runs the source at once; errors are thrown as DbError.
    clsRecordSet(std::shared_ptr<DbBackend> backend, const QString& source);

    bool isEOF() const { return m_row >= m_rows.rows(); }
    int RecordCount() const { return m_rows.rows(); }
    void MoveFirst() { m_row = 0; }
    void MoveNext() { ++m_row; }

    int FieldCount() const { return static_cast<int>(m_names.size()); }
    QString FieldName(int i) const { return m_names.value(i); }
    // The value of a field of the current row (by name, without regard to
    // case); Empty for an unknown name or when there is no current row.
    QVariant Field(const QString& name) const;
    QVariant Field(int index) const;
    // The remaining rows from the current one on; afterwards the set is at its end.
    vt::ValueArray GetRows();

    // Long binary fields, in pieces: the byte count of the field, and the
    // next piece of at most `bytes` bytes after the pieces already read.
    qint64 ActualSize(const QString& name) const;
    QByteArray GetChunk(const QString& name, qint64 bytes);

    // Changes: a new row, a field's value, a piece appended to a long binary
    // field (the first piece after a row was made current replaces what the
    // field held), and the change written to the database.
    void AddNew();
    void SetField(const QString& name, const QVariant& value);
    void AppendChunk(const QString& name, const QByteArray& piece);
    void Update();
    void Close();

private:
    int column(const QString& name) const;

    std::shared_ptr<DbBackend> m_backend;
    QString m_table;
    QString m_condition;
    QStringList m_names;
    vt::ValueArray m_rows;
    int m_row = 0;
    bool m_adding = false;
    QHash<int, QVariant> m_changes;
    QHash<int, qint64> m_chunkRead;
};
