#include "dbBackend.h"

#include "dbOdbcBackend.h"
#include "dbSqliteBackend.h"

namespace {
BackendFactory& factoryOverride() {
    static BackendFactory f;
    return f;
}
} // namespace

DbError ClosedConnectionError() { return DbError(QStringLiteral("对象关闭时，不允许操作。")); }

DbError NoSuchItemError() { return DbError(QStringLiteral("在对应所需名称或序数的集合中，未找到项目。")); }

DbError NoCurrentRecordError() {
    return DbError(QStringLiteral("BOF 或 EOF 中有一个是“真”，或者当前记录已被删除，所请求的操作要求一个当前的记录。"));
}

QString LostLinkDescription(const QString& driverMessage) {
    return QStringLiteral("[08S01] 通讯链接失败: ") + driverMessage;
}

std::unique_ptr<DbBackend> CreateBackend(const ConnectRequest& request) {
    if (factoryOverride())
        return factoryOverride()(request);
    if (request.server == QLatin1String("(embedded)"))
        return std::make_unique<SqliteBackend>();
    return std::make_unique<OdbcBackend>();
}

void SetBackendFactory(BackendFactory factory) { factoryOverride() = std::move(factory); }

bool IsSqlServer(const QString& dbmsName) { return dbmsName.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive); }
