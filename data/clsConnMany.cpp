// The connection object's statements for many rows at once.
#include "clsConn.h"

bool clsConn::ExeManyInChunk(const QString& SqlString, const QVariantList& params) {
    // As ExeCommand: the kept text of an earlier failure goes.
    m_errText.clear();
    m_statementRan = false;
    m_numberTaken = false;
    m_rowsChanged = -1;
    if (!ChunkAlive() || m_chunkBroken)
        return false;
    try {
        // Values of text and numbers only: each is sent as its own type,
        // with nothing for the server to describe first (a round trip per
        // chunk saved). A count of markers that differs fails the statement.
        QList<DbParam> ps;
        ps.reserve(params.size());
        for (const QVariant& v : params) {
            if (v.metaType().id() == QMetaType::QByteArray)
                return false;
            DbParam p;
            p.value = v;
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
