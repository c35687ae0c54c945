#include "dbCollation.h"

#include "dbBackend.h"

QString CodePageQuery() {
    return QStringLiteral("SELECT COLLATIONPROPERTY(CONVERT(NVARCHAR(128), DATABASEPROPERTYEX(DB_NAME(), "
                          "'Collation')), 'CodePage')");
}

QString CollationProblem(const QString& dbmsName, const std::function<QVariant()>& askCodePage) {
    if (!IsSqlServer(dbmsName))
        return {};
    QString codePage;
    try {
        codePage = askCodePage().toString().trimmed();
    } catch (...) {
        codePage.clear();
    }
    if (codePage == QLatin1String("936") || codePage == QLatin1String("65001"))
        return {};
    return QStringLiteral("数据库的排序规则不能保存中文（代码页：%1），中文将被存成问号“?”。\r"
                          "请使用中文排序规则（如 Chinese_PRC_CI_AS）或 UTF-8 排序规则的数据库。")
        .arg(codePage.isEmpty() ? QStringLiteral("未知") : codePage);
}
