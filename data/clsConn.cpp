#include "clsConn.h"

#include "dbCollation.h"
#include "dbEmbeddedUpgrade.h"
#include "vtError.h"
#include "dbUserInterface.h"
#include "mduINI.h"
#include "mduSqlText.h"

ConnHolder gConn;
QString gServerName;
QString gDatabaseName;

namespace {

const QString LostLinkText = QStringLiteral("通讯链接失败");

} // namespace

clsConn& ConnHolder::get() {
    if (!m_conn)
        m_conn = std::make_unique<clsConn>();
    return *m_conn;
}

clsConn::clsConn() = default;

clsConn::~clsConn() {
    if (m_backend && m_backend->isOpen())
        m_backend->close();
}

bool clsConn::IsConnected() const { return m_backend && m_backend->isOpen(); }

DbBackend& clsConn::backend() const {
    if (!m_backend)
        throw ClosedConnectionError();
    return *m_backend;
}

QString clsConn::describe(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->description;
    if (const auto* vte = dynamic_cast<const vt::Error*>(&e))
        return vte->description();
    return QString::fromLocal8Bit(e.what());
}

bool clsConn::ConnectToDatabase(QString& ServerName, QString& DatabaseName, QString UID, QString pwd) {
    // A name read from the settings that would add keys of its own to the
    // connection string (";driver=…") is not connected to.
    if (!IsSafeConnectionName(ServerName) || !IsSafeConnectionName(DatabaseName)) {
        m_backend.reset();
        Inform(QStringLiteral("数据库连接失败！"), QStringLiteral("数据库连接"), UnsafeConnectionNameMessage());
        return false;
    }
    ConnectRequest request;
    request.connectionString = QStringLiteral("driver={SQL Server};server=") + ServerName +
                               QStringLiteral(";uid=") + UID + QStringLiteral(";pwd=") + pwd +
                               QStringLiteral(";database=") + DatabaseName;
    request.server = ServerName;
    request.database = DatabaseName;
    request.uid = UID;
    request.pwd = pwd;
    return Open(request);
}

bool clsConn::ConnectToODBC(QString sDSN) {
    ConnectRequest request;
    request.connectionString = QStringLiteral("dsn=") + sDSN + QStringLiteral(";UID=sa;pwd=");
    request.uid = QStringLiteral("sa");
    return Open(request);
}

bool clsConn::Open(const ConnectRequest& request) {
    m_backend.reset();
    // The transaction, if one was open, went with the old connection.
    ShowHeldMessages();
    try {
        std::shared_ptr<DbBackend> b = CreateBackend(request);
        b->open(request);
        // A SQL Server database whose collation would store Chinese text as
        // "?" is not worked with: nothing typed may be changed silently.
        const QString lost = CollationProblem(b->dbmsName(), [&b] {
            const DbResult r = b->execute(CodePageQuery(), {}, 30);
            return r.hasRowSet && r.rows.rows() > 0 ? r.rows.at(0, 0) : QVariant();
        });
        if (!lost.isEmpty()) {
            b->close();
            Inform(lost, QStringLiteral("数据库连接"));
            return false;
        }
        m_backend = std::move(b);
        ++m_connectionNumber;
        // What opening could not bring up to date (an upgrade refused).
        for (const QString& notice : m_backend->openNotices())
            Inform(notice, QStringLiteral("系统提示！"));
        return true;
    } catch (const std::exception& e) {
        m_backend.reset();
        // The reason (SQLite's or the driver's) goes with the box, so that a
        // wrong file, name or password can be told apart.
        Inform(QStringLiteral("数据库连接失败！"), QStringLiteral("数据库连接"), describe(e));
        return false;
    }
}

void clsConn::DisconnectFromDatabase() {
    if (m_backend)
        m_backend->close();
    m_backend.reset();
    // No transaction outlives its connection.
    ShowHeldMessages();
}

namespace {
// Runs at the end of a scope, however it is left.
template <typename F>
struct AtExit {
    F f;
    ~AtExit() { f(); }
};
template <typename F>
AtExit(F) -> AtExit<F>;
} // namespace

void clsConn::Inform(const QString& text, const QString& title, const QString& detail) {
    if (m_holding) {
        m_held.append([text, title, detail] { InformUser(text, title, detail); });
        return;
    }
    InformUser(text, title, detail);
}

void clsConn::AfterTransaction(std::function<void()> show) {
    if (!show)
        return;
    if (m_holding)
        m_held.append(std::move(show));
    else
        show();
}

void clsConn::HoldMessages() { m_holding = true; }

void clsConn::ShowHeldMessages() {
    m_holding = false;
    // What is shown may begin a transaction of its own: it holds anew.
    const QList<std::function<void()>> held = std::exchange(m_held, {});
    for (const auto& show : held)
        show();
}

void clsConn::BeginTrans() {
    backend().beginTransaction();
    HoldMessages();
    m_errText.clear();
}

void clsConn::BeginWriteTrans() {
    backend().beginWriteTransaction();
    HoldMessages();
    m_errText.clear();
}

void clsConn::CommitTrans() {
    AtExit show{[this] { ShowHeldMessages(); }};
    backend().commitTransaction();
    m_errText.clear();
}

void clsConn::RollbackTrans() {
    AtExit show{[this] { ShowHeldMessages(); }};
    m_errText.clear();
    backend().rollbackTransaction();
}

void clsConn::Log(const QString&, const QString&) const {}

bool clsConn::BeginChunk() {
    try {
        // Every chunk writes: the lock first, so that a chunk that reads
        // before it writes waits for another workstation's chunk.
        backend().beginWriteTransaction();
        m_chunkConnection = m_connectionNumber;
        m_chunkBroken = false;
        HoldMessages();
        return true;
    } catch (const std::exception& e) {
        m_chunkConnection = 0;
        Recover(describe(e), nullptr);
        return false;
    }
}

bool clsConn::ChunkAlive() const {
    return m_chunkConnection != 0 && m_chunkConnection == m_connectionNumber && IsConnected();
}

void clsConn::RollbackQuietly() {
    // Used where the chunk is given up already: a failing rollback changes
    // nothing of that, and the failure before it has been shown.
    try {
        backend().rollbackTransaction();
    } catch (...) {
    }
}

bool clsConn::CommitChunk() {
    AtExit show{[this] { ShowHeldMessages(); }};
    const bool alive = ChunkAlive();
    m_chunkConnection = 0;
    // A connection rebuilt after a lost link has lost the chunk's work with
    // the old one: committing on the new one would confirm nothing.
    if (!alive) {
        m_errText = QStringLiteral("连接已重建，本批未保存");
        Inform(m_errText, QStringLiteral("系统提示！"));
        return false;
    }
    if (m_chunkBroken) {
        RollbackQuietly();
        return false;
    }
    try {
        backend().commitTransaction();
        return true;
    } catch (const std::exception& e) {
        RollbackQuietly();
        Recover(describe(e), nullptr);
        return false;
    }
}

void clsConn::RollbackChunk() {
    AtExit show{[this] { ShowHeldMessages(); }};
    const bool alive = ChunkAlive();
    m_chunkConnection = 0;
    if (alive)
        RollbackQuietly();
}

void clsConn::BeginChunkRun() {
    m_runConnection = 0;
    try {
        backend().setCommitsWaitForDisk(false);
        m_runConnection = m_connectionNumber;
    } catch (const std::exception&) {
        // Each commit then waits for the disk, as it always does.
    }
}

bool clsConn::EndChunkRun() {
    const bool same = m_runConnection != 0 && m_runConnection == m_connectionNumber && IsConnected();
    m_runConnection = 0;
    // A connection rebuilt meanwhile is a new one, whose commits wait.
    if (!same)
        return true;
    try {
        backend().setCommitsWaitForDisk(true);
        backend().flushCommitted();
        return true;
    } catch (const std::exception& e) {
        ShowError(e);
        return false;
    }
}

int clsConn::ExeCommandInChunk(const QString& SqlString) {
    static const QString row = QStringLiteral("qvrow");
    // Whatever returns early here ran nothing: the flags of an earlier
    // statement must not answer for this one.
    m_statementRan = false;
    m_numberTaken = false;
    m_rowsChanged = -1;
    // A chunk gone with its connection, or already given up: nothing runs.
    if (!ChunkAlive() || m_chunkBroken)
        return -1;
    try {
        backend().savepoint(row);
    } catch (const std::exception& e) {
        m_chunkBroken = true;
        Recover(describe(e), nullptr);
        return -1;
    }
    const int result = ExeCommand(SqlString);
    if (m_chunkConnection != m_connectionNumber) {
        m_statementRan = false;
        return -1;
    }
    try {
        if (CommandRan(result))
            backend().releaseSavepoint(row);
        else
            backend().rollbackToSavepoint(row);
    } catch (const std::exception& e) {
        // The row's state in the chunk is unknown: the chunk is not committed.
        m_chunkBroken = true;
        m_statementRan = false;
        // A refusal that ended the whole transaction (SQL Server's trigger
        // does) is the refusal the caller shows; nothing else to show.
        if (!m_numberTaken)
            Recover(describe(e), nullptr);
        return -1;
    }
    return result;
}

void clsConn::ShowError(const std::exception& e) {
    m_errText = describe(e);
    Inform(m_errText, QStringLiteral("系统提示！"));
}

void clsConn::Recover(const QString& description, BusyPointer* busy) {
    // The kept text of an earlier failure decides: a lost link shows itself
    // first with the driver's description, and the failure after it rebuilds.
    if (m_errText.indexOf(LostLinkText) >= 1) {
        ReadDatabaseSettings(gServerName, gDatabaseName, m_uid, m_pwd);
        ConnectToDatabase(gServerName, gDatabaseName, m_uid, m_pwd);
        Inform(QStringLiteral("数据库连接重建，系统将重新尝试！"), QString());
        if (busy)
            busy->Restore();
        return;
    }
    if (busy)
        busy->Restore();
    m_errText = description;
    Inform(description, QStringLiteral("系统提示！"));
}

QString clsConn::LogParameterText(const QVariantList& params) {
    QString text;
    for (const QVariant& v : params) {
        if (v.metaType().id() == QMetaType::QByteArray)
            text += QStringLiteral("<%1 bytes>").arg(v.toByteArray().size());
        else if (v.metaType().id() == QMetaType::Bool)
            text += v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else if (!vt::isNothing(v))
            text += v.toString();
        text += QLatin1Char(',');
    }
    return text;
}

bool clsConn::WriteExecLog(const QString& what, const QVariantList& params) {
    try {
        static const QString log = QStringLiteral("upDSYSExecLog");
        if (m_logParamsConnection != m_connectionNumber || m_logParams.isEmpty()) {
            m_logParams = ProcedureParams(log, {});
            m_logParamsConnection = m_connectionNumber;
        }
        if (m_logParams.size() < 4)
            throw NoSuchItemError();
        QList<DbParam> ps = m_logParams;
        ps[1].value = what;
        ps[2].value = LogParameterText(params);
        ps[3].value = m_opNo;
        backend().callProcedure(log, ps, 120);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QList<DbParam> clsConn::ProcedureParams(const QString& name, const QVariantList& params) {
    QList<DbParam> ps;
    for (const DbParamInfo& i : backend().describeProcedure(name)) {
        DbParam p;
        p.info = i;
        ps << p;
    }
    for (qsizetype i = 0; i < params.size(); ++i) {
        if (i + 1 >= ps.size())
            throw NoSuchItemError();
        ps[i + 1].value = params[i];
    }
    return ps;
}

void clsConn::CopyBack(const QList<DbParam>& ps, QVariantList& params) {
    for (qsizetype i = 1; i < ps.size(); ++i) {
        const ParamDirection d = ps[i].info.direction;
        if ((d == ParamDirection::InputOutput || d == ParamDirection::Output) && i - 1 < params.size())
            params[i - 1] = ps[i].value;
    }
}

QVariant clsConn::GetArray(const QString& SqlString) {
    try {
        DbResult r = backend().execute(SqlString, {}, 180);
        if (!r.hasRowSet || r.rows.rows() == 0)
            return vt::Empty();
        return vt::toVariant(r.rows);
    } catch (const std::exception& e) {
        Recover(describe(e), nullptr);
        return vt::Empty();
    }
}

std::unique_ptr<clsRecord> clsConn::GetRecord(const QString& SqlString) {
    try {
        DbResult r = backend().execute(SqlString, {}, 180);
        auto record = std::make_unique<clsRecord>();
        record->GetRecord(r);
        return record;
    } catch (const std::exception& e) {
        Recover(describe(e), nullptr);
        return nullptr;
    }
}

std::unique_ptr<clsRecordSet> clsConn::GetRecordSet(const QString& Source) {
    try {
        return std::make_unique<clsRecordSet>(m_backend, Source);
    } catch (const std::exception&) {
        return nullptr;
    }
}

QVariant clsConn::GetSP(const QString& name, QVariantList& params) {
    BusyPointer busy;
    try {
        QList<DbParam> ps = ProcedureParams(name, params);
        DbResult r = backend().callProcedure(name, ps, 30);
        const QVariant result = r.hasRowSet && r.rows.rows() > 0 ? vt::toVariant(r.rows) : vt::Empty();
        CopyBack(ps, params);
        return result;
    } catch (const std::exception& e) {
        Recover(describe(e), &busy);
        return vt::Empty();
    }
}

std::unique_ptr<clsRecord> clsConn::GetSPR(const QString& name, QVariantList& params) {
    try {
        QList<DbParam> ps = ProcedureParams(name, params);
        DbResult r = backend().callProcedure(name, ps, 30);
        auto record = std::make_unique<clsRecord>();
        record->GetRecord(r);
        return record;
    } catch (const std::exception& e) {
        Recover(describe(e), nullptr);
        return nullptr;
    }
}

QVariant clsConn::ExeSP(const QString& name, QVariantList& params) {
    BusyPointer busy;
    try {
        QList<DbParam> ps = ProcedureParams(name, params);
        DbResult r = backend().callProcedure(name, ps, 120);
        QVariant result = vt::isEmpty(r.returnValue) ? QVariant(-1) : r.returnValue;
        CopyBack(ps, params);
        // Reading procedures are not logged: names beginning "upv", "upV" or "UPV".
        const bool reading = name.startsWith(QLatin1String("upv")) ||
                             name.startsWith(QLatin1String("upV")) ||
                             name.startsWith(QLatin1String("UPV"));
        if (!reading && !WriteExecLog(name, params)) {
            result = -1;
            m_errText = QStringLiteral("日志记录失败,") + m_errText;
        }
        return result;
    } catch (const std::exception& e) {
        Recover(describe(e), &busy);
        return vt::Empty();
    }
}

int clsConn::ExeCommand(const QString& SqlString) {
    QVariantList none;
    return ExeCommand(SqlString, none);
}

int clsConn::ExeCommand(const QString& SqlString, QVariantList& params) {
    int result = -1;
    m_errText.clear();
    m_statementRan = false;
    m_numberTaken = false;
    m_rowsChanged = -1;
    BusyPointer busy;
    try {
        const QList<DbParamInfo> info = backend().describeParameters(SqlString);
        if (params.size() > info.size())
            throw NoSuchItemError();
        if (params.size() < info.size())
            throw DbError(QStringLiteral("至少一个参数没有被指定值。"));
        QList<DbParam> ps;
        for (qsizetype i = 0; i < params.size(); ++i) {
            DbParam p;
            p.info = info[i];
            const bool binary = info[i].kind == ParamKind::Binary ||
                                params[i].metaType().id() == QMetaType::QByteArray;
            if (binary)
                p.chunks << params[i].toByteArray(); // appended as a chunk
            else
                p.value = params[i];
            ps << p;
        }
        m_rowsChanged = backend().execute(SqlString, ps, 0).rowsChanged;
        m_statementRan = true;
        result = 0;
        if (!WriteExecLog(SqlString, params)) {
            result = -1;
            m_errText = QStringLiteral("日志记录失败");
        }
    } catch (const std::exception& e) {
        if (IsNumberTakenError(e)) {
            // The database's own refusal of a number another record holds:
            // the caller says so in its words, with the number.
            m_numberTaken = true;
            m_errText = describe(e);
            return result;
        }
        Recover(describe(e), &busy);
    }
    return result;
}

bool clsConn::CommandRan(int result) const { return result == 0 || m_statementRan; }

bool clsConn::IsNumberTakenError(const std::exception& e) {
    const auto* db = dynamic_cast<const DbError*>(&e);
    if (!db || !db->constraintViolation())
        return false;
    // By the names of the rule: the embedded database's index (SQLite names
    // the indexed column), SQL Server's table of held numbers and its key.
    // Names stay as created in any language the server answers in.
    for (const QString& name : {QString::fromLatin1(CardHeldIndexName), QStringLiteral("tblrecord.fldPrdNo"),
                                QStringLiteral("tblCardHeld"), QStringLiteral("pkCardHeld")})
        if (db->description.contains(name, Qt::CaseInsensitive))
            return true;
    return false;
}

QList<DbParam> clsConn::ValueParams(const QVariantList& values) {
    QList<DbParam> ps;
    ps.reserve(values.size());
    for (const QVariant& v : values) {
        DbParam p;
        p.value = v;
        ps << p;
    }
    return ps;
}

QVariant clsConn::GetCommand(const QString& SqlString, QVariantList& params) {
    try {
        // One element that is itself an array gives the parameters.
        const bool inner = params.size() == 1 && params[0].metaType().id() == QMetaType::QVariantList;
        DbResult r = backend().execute(SqlString, ValueParams(inner ? params[0].toList() : params), 30);
        return r.hasRowSet && r.rows.rows() > 0 ? vt::toVariant(r.rows) : vt::Empty();
    } catch (const std::exception& e) {
        Recover(describe(e), nullptr);
        return vt::Empty();
    }
}

vt::ValueArray clsConn::GetRows(const QString& SqlString, const QVariantList& params) {
    QVariantList values = params;
    const QVariant rows = GetCommand(SqlString, values);
    return vt::isArray(rows) ? vt::toArray(rows) : vt::ValueArray();
}

vt::ValueArray clsConn::GetRowsQuietly(const QString& SqlString, const QVariantList& params, bool* failed) {
    if (failed)
        *failed = false;
    try {
        DbResult r = backend().execute(SqlString, ValueParams(params), 30);
        return r.hasRowSet ? std::move(r.rows) : vt::ValueArray();
    } catch (const std::exception&) {
        if (failed)
            *failed = true;
        return {};
    }
}

std::unique_ptr<clsRecord> clsConn::GetCommandR(const QString& SqlString, QVariantList& params) {
    try {
        DbResult r = backend().execute(SqlString, ValueParams(params), 30);
        auto record = std::make_unique<clsRecord>();
        if (!record->GetRecord(r))
            return nullptr;
        return record;
    } catch (const std::exception& e) {
        Recover(describe(e), nullptr);
        return nullptr;
    }
}

QVariant clsConn::IDENTITY() {
    const QVariant a = GetArray(QStringLiteral("select @@identity"));
    if (!vt::isArray(a))
        throw DbError(QStringLiteral("类型不匹配"));
    return vt::toArray(a).at(0, 0);
}

bool clsConn::CheckUser(QString& OpNo, QString& password) {
    // A NUL cannot be part of any stored account or password, and would cut
    // the statement short: such a sign-in is simply not found.
    if (OpNo.contains(QChar(0)) || password.contains(QChar(0)))
        return false;
    if (auto rs = GetRecordSet(QStringLiteral("select flditemname,flditemCaption from tblSystem"))) {
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            const QString item = rs->Field(0).toString();
            if (item == QLatin1String("Company"))
                Company = rs->Field(1).toString();
            else if (item == QLatin1String("Version"))
                Version = rs->Field(1).toString();
            else if (item == QLatin1String("System"))
                System = rs->Field(1).toString();
        }
        rs->Close();
    }
    // The typed values are compared as typed; a quote inside one is doubled
    // so that it cannot change the statement.
    const QVariant found = GetArray(
        QStringLiteral("select fldid,fldcontactor,fldmakername,fldmakertype,fldphone,fldsn,fldmakercode,"
                       "isnull(convert(varchar(50),fldsame),'') from tblMaker where fldId='") +
        SqlQuote(OpNo) + QStringLiteral("' and fldpassword='") + SqlQuote(password) +
        QStringLiteral("' and fldstate='01'"));
    if (!vt::isArray(found))
        return false;
    const vt::ValueArray row = vt::toArray(found);
    const auto text = [&row](int col) {
        const QVariant& v = row.at(col, 0);
        return vt::isNothing(v) ? QString() : v.toString();
    };
    m_opNo = OpNo;
    m_opName = text(1);
    m_opCom = text(2);
    m_opType = text(3);
    m_opId = text(5);
    m_opId2 = text(7);
    return true;
}
