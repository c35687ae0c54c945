// The connection object's statements for many rows at once.
#include "clsConn.h"

bool clsConn::ExeManyInChunk(const QString& SqlString, const QVariantList& params) {
    m_statementRan = false;
    m_numberTaken = false;
    m_rowsChanged = -1;
    if (!ChunkAlive() || m_chunkBroken)
        return false;
    try {
        const QList<DbParamInfo> info = backend().describeParameters(SqlString);
        if (info.size() != params.size())
            return false;
        QList<DbParam> ps;
        ps.reserve(params.size());
        for (qsizetype i = 0; i < params.size(); ++i) {
            DbParam p;
            p.info = info[i];
            p.value = params[i];
            ps << p;
        }
        m_rowsChanged = backend().execute(SqlString, ps, 0).rowsChanged;
    } catch (const std::exception&) {
        m_rowsChanged = -1;
        return false;
    }
    m_statementRan = true;
    // A failed log entry leaves the rows stored, as after ExeCommand.
    if (!WriteExecLog(SqlString, params))
        m_errText = QStringLiteral("日志记录失败");
    return true;
}
