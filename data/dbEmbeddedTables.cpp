#include "dbEmbeddedTables.h"

#include <QDir>

QStringList MissingEmbeddedTables(const QStringList& tables) {
    QStringList missing;
    for (const char* name : {"tblMaker", "tblSystem", "tblProduct", "tblrecord"})
        if (!tables.contains(QLatin1String(name), Qt::CaseInsensitive))
            missing << QLatin1String(name);
    return missing;
}

QString ForeignDatabaseMessage(const QString& path, const QStringList& missing) {
    return QStringLiteral("文件 %1 不是本程序的数据库（其中没有 %2 表），可能是别的程序的数据库。"
                          "程序没有改动这个文件；请在数据库设置中选择本程序的数据库。")
        .arg(QDir::toNativeSeparators(path), missing.join(QStringLiteral("、")));
}
