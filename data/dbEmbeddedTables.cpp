#include "dbEmbeddedTables.h"

#include <QDir>

const QStringList& EmbeddedTableNames() {
    static const QStringList names{
        QStringLiteral("tblMaker"),         QStringLiteral("tblSystem"),  QStringLiteral("tblProduct"),
        QStringLiteral("tblrecord"),        QStringLiteral("tblProductNoSet"), QStringLiteral("tblBasReportFile"),
        QStringLiteral("dicOpMenus"),       QStringLiteral("dicBasCode"), QStringLiteral("tblExecLog")};
    return names;
}

bool HasEmbeddedTables(const QStringList& tables) {
    for (const QString& name : EmbeddedTableNames())
        if (tables.contains(name, Qt::CaseInsensitive))
            return true;
    return false;
}

QString ForeignDatabaseMessage(const QString& path) {
    return QStringLiteral("文件 %1 不是本程序的数据库（其中没有本程序的任何一张表，如 tblrecord、tblProduct），"
                          "可能是别的程序的数据库。程序没有改动这个文件；请在数据库设置中选择本程序的数据库。")
        .arg(QDir::toNativeSeparators(path));
}
