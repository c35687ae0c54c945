#pragma once
// The connection object: every database operation of the program goes
// through the one instance gConn. Each operation catches its own errors,
// shows them, keeps their text (ErrInfo) and returns a failure value; after
// a lost link the next failing operation rebuilds the connection from the
// settings file. Successful writes are recorded in the execution log.
#include "clsRecord.h"
#include "clsRecordSet.h"
#include "dbBackend.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

class BusyPointer;

// What DicMenuInit sets up on a grid: its column count and, per column, the
// header text, alignment and width (twips).
class GridLayoutTarget {
public:
    virtual ~GridLayoutTarget() = default;
    virtual void SetCols(int cols) = 0;
    virtual void SetHeaderText(int col, const QString& text) = 0;
    virtual void SetColAlignment(int col, int alignment) = 0;
    virtual void SetColWidth(int col, int twips) = 0;
};

class clsConn {
public:
    clsConn();
    ~clsConn();
    clsConn(const clsConn&) = delete;
    clsConn& operator=(const clsConn&) = delete;

    // Connecting.
    bool ConnectToDatabase(QString& ServerName, QString& DatabaseName, QString UID = QString(),
                           QString pwd = QString());
    bool ConnectToODBC(QString sDSN);
    void DisconnectFromDatabase();
    bool IsConnected() const;

    // Transactions; each clears the kept error text. While one is open the
    // object's boxes are held and shown, in order, once it has ended.
    void BeginTrans();
    // A transaction that will write: it takes the write lock at once, so a
    // second workstation waits for it instead of failing halfway.
    void BeginWriteTrans();
    void CommitTrans();
    void RollbackTrans();
    // Whether boxes are held now (a transaction or chunk is open).
    bool HoldsMessages() const { return m_holding; }
    // Shows something once no transaction is open: at once when none is,
    // else after the commit or rollback, in order with the object's own
    // held boxes. A box must never keep the write lock while it waits.
    void AfterTransaction(std::function<void()> show);

    // Chunks: many statements in one transaction, each row with a savepoint
    // of its own, committed together. A kill or a failed commit leaves whole
    // chunks only. BeginChunk and CommitChunk show a failure and give false;
    // a chunk whose connection was rebuilt meanwhile is never committed.
    // A chunk takes the write lock when it begins, and holds the object's
    // boxes until it has been committed or rolled back.
    bool BeginChunk();
    bool CommitChunk();
    void RollbackChunk();
    // ExeCommand for one row inside a chunk: a statement that failed is
    // rolled back to the row's savepoint (the chunk goes on without it).
    int ExeCommandInChunk(const QString& SqlString);
    bool InChunk() const { return m_chunkConnection != 0; }
    // One statement for many rows inside a chunk, its values bound to its
    // markers: run and written to the execution log once, as the statement
    // that ran. A failure shows nothing and keeps no error text: the caller
    // gives the chunk up and does its rows again one by one, and those show
    // what fails. True when it ran; RowsChanged says how many rows it changed.
    bool ExeManyInChunk(const QString& SqlString, const QVariantList& params);
    // A run of chunks whose commits do not each wait for the disk: the end
    // of the run waits once for all of them. A kill during the run still
    // leaves whole chunks. EndChunkRun shows a failure and gives false.
    void BeginChunkRun();
    bool EndChunkRun();

    QString ErrInfo() const { return m_errText; }
    DbBackend* GetConnection() const { return m_backend.get(); }
    // Whether a file is the database in use or one of its journals (a
    // database that is one file here; a server's never is).
    bool IsDatabaseFile(const QString& path) const;
    void Log(const QString& EventDesc, const QString& ClassID = QString()) const;
    // Shows a failure that reached a form (a stored file that could not be
    // written, say) in the object's own box and keeps its text.
    void ShowError(const std::exception& e);
    QVariant ConnectDate() const { return m_connectDate; }
    void SetConnectDate(const QVariant& value) { m_connectDate = value.toString(); }

    // Queries and commands. params are bound by position and receive the
    // values of input/output parameters after a stored procedure.
    QVariant GetArray(const QString& SqlString);
    std::unique_ptr<clsRecord> GetRecord(const QString& SqlString);
    std::unique_ptr<clsRecordSet> GetRecordSet(const QString& Source);
    QVariant GetSP(const QString& name, QVariantList& params);
    std::unique_ptr<clsRecord> GetSPR(const QString& name, QVariantList& params);
    QVariant ExeSP(const QString& name, QVariantList& params);
    int ExeCommand(const QString& SqlString, QVariantList& params);
    int ExeCommand(const QString& SqlString);
    // Whether the statement of the last ExeCommand with this result was
    // carried out: a failed execution log alone also gives -1.
    bool CommandRan(int result) const;
    // The rows the statement of the last ExeCommand (or ExeCommandInChunk)
    // changed; -1 when it did not run or its backend cannot tell.
    qint64 RowsChanged() const { return m_rowsChanged; }
    // Whether the last ExeCommand (or ExeCommandInChunk) failed because the
    // database refused a second record of one card number above '00'. That
    // refusal shows no box (the caller shows the taken-number message); its
    // description is kept as the error text.
    bool NumberTaken() const { return m_numberTaken; }
    // Whether a failure of the database is its refusal of a card number
    // that another record holds.
    static bool IsNumberTakenError(const std::exception& e);
    QVariant GetCommand(const QString& SqlString, QVariantList& params);
    // GetCommand's rows as an array; an empty one for no rows or a failure
    // (shown as GetCommand shows it).
    vt::ValueArray GetRows(const QString& SqlString, const QVariantList& params);
    // A query of the program's own (warnings, hints) that no form relies
    // on: it never shows a box, never keeps an error text (so it never
    // counts as the first failure of the recovery after a lost link) and
    // never rebuilds the connection. A failure gives an empty array, as no
    // rows do; failed, when given, tells the two apart.
    vt::ValueArray GetRowsQuietly(const QString& SqlString, const QVariantList& params = {},
                                  bool* failed = nullptr);
    std::unique_ptr<clsRecord> GetCommandR(const QString& SqlString, QVariantList& params);
    // The last identity value made on this connection; errors reach the caller.
    QVariant IDENTITY();

    // Stored files, code lists, grid layouts, labs.
    QVariant LoadReport(const QString& Fid, const QString& Ext, const QString& Path);
    QVariant SaveReportFile(const QString& FileName, const QString& FName, const QString& FVersion,
                            const QString& Fid);
    QVariant GetBasCode(const QString& BType);
    QVariant DicMenuInit(GridLayoutTarget* eginfo, const QString& Ctype);
    QVariant GetOpList(const QString& Dept, const QString& Group, const QString& Types);

    // The program's settings file, for forms.
    QString GetIniValue(const QString& Section, const QString& KeyWord, const QString& Default);
    QString SetIniValue(const QString& Section, const QString& KeyWord, const QString& SetValue);
    QString GetBackFile();

    // Sign-in values.
    QVariant OpNo() const { return m_opNo; }
    QVariant OpId() const { return m_opId; }
    QVariant OpId2() const { return m_opId2; }
    QVariant OpName() const { return m_opName; }
    QVariant OpType() const { return m_opType; }
    QVariant OpCom() const { return m_opCom; }
    QVariant OpGroup() const { return m_opGroup; }
    QVariant OpLevel() const { return m_opLevel; }
    QVariant OpMaster() const { return m_opMaster; }

    // System items of tblSystem, filled at sign-in.
    QString Company;
    QString Version;
    QString System;

    // The parameter text of the execution log: each element's text followed by ",".
    static QString LogParameterText(const QVariantList& params);

    // Sign-in: true when an active account with that number and password
    // exists; loads the system items and keeps the lab's values.
    bool CheckUser(QString& OpNo, QString& password);

private:
    QString m_opNo, m_opId, m_opId2, m_opName, m_opType, m_opCom, m_opGroup, m_opLevel, m_opMaster;

    void Recover(const QString& description, BusyPointer* busy);
    // One box of the object: held while a transaction is open.
    void Inform(const QString& text, const QString& title, const QString& detail = QString());
    void HoldMessages();
    void ShowHeldMessages();
    static QString describe(const std::exception& e);
    bool WriteExecLog(const QString& what, const QVariantList& params);
    // Whether the open chunk still has the connection it began on.
    bool ChunkAlive() const;
    void RollbackQuietly();
    QList<DbParam> ProcedureParams(const QString& name, const QVariantList& params);
    static void CopyBack(const QList<DbParam>& ps, QVariantList& params);
    static QList<DbParam> ValueParams(const QVariantList& values);
    bool Open(const ConnectRequest& request);
    DbBackend& backend() const;

    std::shared_ptr<DbBackend> m_backend;
    QString m_errText;
    // Whether the statement of the last ExeCommand was carried out, even
    // when its execution-log entry then failed.
    bool m_statementRan = false;
    qint64 m_rowsChanged = -1;
    bool m_numberTaken = false;
    // Boxes and other showing held while a transaction is open.
    bool m_holding = false;
    QList<std::function<void()>> m_held;
    // Every successful open counts; a chunk remembers the one it began on.
    quint64 m_connectionNumber = 0;
    quint64 m_chunkConnection = 0;
    bool m_chunkBroken = false; // a savepoint step failed: the chunk must not commit
    quint64 m_runConnection = 0; // the connection a run of chunks began on
    // The execution log's parameters as described on the connection they
    // were described on: every statement writes one entry.
    QList<DbParam> m_logParams;
    quint64 m_logParamsConnection = 0;
    QString m_connectDate;
    QString m_uid, m_pwd;
};

// The program-wide connection object, created on first use and kept until
// the program ends (or dropped by start-up after a refused connection).
class ConnHolder {
public:
    clsConn* operator->() { return &get(); }
    clsConn& operator*() { return get(); }
    clsConn& get();
    bool exists() const { return m_conn != nullptr; }
    void reset() { m_conn.reset(); }

private:
    std::unique_ptr<clsConn> m_conn;
};

extern ConnHolder gConn;
extern QString gServerName;
extern QString gDatabaseName;
