#pragma once
// The interface between the connection object and a database: run SQL text
// with positional "?" parameters, call stored procedures with a return value
// and input/output parameters, and hand back all rows of a row set at once.
// Every failure is thrown as DbError with the driver's description.
#include "vtValue.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <stdexcept>

struct DbError : std::runtime_error {
    explicit DbError(const QString& description, const QString& sqlState = {})
        : std::runtime_error(description.toStdString()), description(description),
          sqlState(sqlState) {}
    QString description;
    QString sqlState;
    // Whether the database refused the statement for breaking one of its
    // rules (a unique key, a check): SQLSTATE class 23 on every backend.
    bool constraintViolation() const { return sqlState.startsWith(QLatin1String("23")); }
};

// The data layer's own failures, in the words the system shows for them.
DbError ClosedConnectionError();  // an operation without an open connection
DbError NoSuchItemError();        // a parameter or field that is not there
DbError NoCurrentRecordError();   // a change to a row set at its end

// The description of a lost link: the recovery of the connection object looks
// for "通讯链接失败" after the first character of the kept error text, so every
// backend reports SQLSTATE 08S01 in this one form.
QString LostLinkDescription(const QString& driverMessage);

enum class ParamDirection { Input, InputOutput, Output, ReturnValue };
enum class ParamKind { Text, Integer, Real, Binary, Date, Other };

// A parameter as the database describes it (the parameter refresh).
struct DbParamInfo {
    QString name;
    ParamDirection direction = ParamDirection::Input;
    ParamKind kind = ParamKind::Text;
    int size = 0; // characters or bytes, 0 when unknown
};

// A parameter with its value, for a call.
struct DbParam {
    DbParamInfo info;
    QVariant value;
    // Binary parameters are filled by appending chunks; the backend sends
    // them to the driver piece by piece.
    QList<QByteArray> chunks;
};

// The outcome of one statement or call.
struct DbResult {
    bool hasRowSet = false; // the statement produced an open row set
    vt::ValueArray rows;    // all its rows, columns first; NULL kept as Null
    QStringList columnNames;
    QVariant returnValue;   // procedures: parameter 0 after the call, or Empty
    // The rows an insert, update or delete changed; -1 for a statement that
    // changes none by its nature (a query) or when the driver cannot tell.
    qint64 rowsChanged = -1;
};

struct ConnectRequest {
    QString connectionString; // as spliced by the connection object
    QString server;           // the pieces it was spliced from
    QString database;
    QString uid;
    QString pwd;
    int loginTimeoutSeconds = 15;
};

class DbBackend {
public:
    virtual ~DbBackend() = default;

    virtual void open(const ConnectRequest& request) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The server's product name as its driver reports it (SQLGetInfo's DBMS
    // name); empty where there is no such driver.
    virtual QString dbmsName() const { return {}; }
    // The file of the open database when it is one file on this machine;
    // empty for a server.
    virtual QString filePath() const { return {}; }

    // Describes the "?" markers of a statement, one entry per marker.
    virtual QList<DbParamInfo> describeParameters(const QString& sql) = 0;
    // Runs SQL text; params are bound to the "?" markers in order.
    // timeoutSeconds 0 means the driver's default.
    virtual DbResult execute(const QString& sql, const QList<DbParam>& params,
                             int timeoutSeconds) = 0;

    // The parameters of a stored procedure as the database reports them;
    // entry 0 is the return value.
    virtual QList<DbParamInfo> describeProcedure(const QString& name) = 0;
    // Calls a stored procedure. params holds entry 0 (the return value) and
    // the procedure's parameters; input/output values are written back.
    virtual DbResult callProcedure(const QString& name, QList<DbParam>& params,
                                   int timeoutSeconds) = 0;

    virtual void beginTransaction() = 0;
    // A transaction that will write: it takes the database's write lock at
    // once, so that a second writer waits for it instead of failing halfway.
    // A server that locks row by row begins an ordinary one.
    virtual void beginWriteTransaction() { beginTransaction(); }
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;
    // Savepoints inside a transaction: the standard statements, which the
    // embedded database and most ODBC servers take.
    virtual void savepoint(const QString& name) { execute(QStringLiteral("SAVEPOINT ") + name, {}, 30); }
    virtual void rollbackToSavepoint(const QString& name) {
        execute(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name, {}, 30);
    }
    virtual void releaseSavepoint(const QString& name) { execute(QStringLiteral("RELEASE SAVEPOINT ") + name, {}, 30); }

    // Whether each commit waits until the disk holds it (outside a
    // transaction only). Commits that do not wait survive a kill of the
    // program, not yet a power cut: flushCommitted puts them on the disk.
    // A server that keeps its own log ignores both.
    virtual void setCommitsWaitForDisk(bool) {}
    virtual void flushCommitted() {}

    // What opening found that the user must be told (an upgrade of the
    // database that could not be made); empty when nothing.
    virtual QStringList openNotices() const { return {}; }
};

// Creates the backend for a connection: the embedded database for the
// server name "(embedded)", ODBC for anything else.
using BackendFactory = std::function<std::unique_ptr<DbBackend>(const ConnectRequest& request)>;
std::unique_ptr<DbBackend> CreateBackend(const ConnectRequest& request);
// Whether a DBMS name (SQLGetInfo's) is SQL Server's.
bool IsSqlServer(const QString& dbmsName);
// Replaces the factory (for tests); an empty one restores the standard one.
void SetBackendFactory(BackendFactory factory);
