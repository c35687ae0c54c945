#include "dbBackend.h"

#include "dbOdbcBackend.h"
#include "dbSqliteBackend.h"

namespace {
BackendFactory& factoryOverride() {
    static BackendFactory f;
    return f;
}
} // namespace

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
