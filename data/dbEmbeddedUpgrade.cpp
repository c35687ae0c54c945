#include "dbEmbeddedUpgrade.h"

#include "dbSqliteBackend.h"

const char* const CardHeldIndexName = "ixRecordCardHeld";
const char* const ClaimTableName = "tblClaim";

namespace {

bool exists(SqliteBackend& db, const QString& type, const QString& name) {
    const DbResult r = db.executeNative(
        QStringLiteral("select count(*) from sqlite_master where type=?1 and name=?2 collate nocase"), {type, name});
    return r.rows.rows() == 1 && r.rows.at(0, 0).toInt() > 0;
}

void rollbackQuietly(SqliteBackend& db) {
    try {
        db.executeNative(QStringLiteral("ROLLBACK"), {});
    } catch (const DbError&) {
        // Nothing was written: a rollback that fails leaves nothing behind.
    }
}

// The rule that a card number is submitted once: at most one record of a
// number above '00' (sent-back records hold their number too).
QString addCardRule(SqliteBackend& db) {
    const QString index = QString::fromLatin1(CardHeldIndexName);
    if (!exists(db, QStringLiteral("table"), QStringLiteral("tblrecord")) || exists(db, QStringLiteral("index"), index))
        return {};
    try {
        db.beginWriteTransaction();
    } catch (const DbError&) {
        return {}; // read-only, or another program holds the lock: next time
    }
    try {
        // Another program may have made it while this one waited for the lock.
        if (exists(db, QStringLiteral("index"), index)) {
            rollbackQuietly(db);
            return {};
        }
        const QStringList twice = NumbersHeldTwice(db);
        if (!twice.isEmpty()) {
            rollbackQuietly(db);
            QStringList shown = twice.mid(0, 10);
            if (twice.size() > shown.size())
                shown << QStringLiteral("…");
            return QStringLiteral("数据库中有 %1 个质保卡号已有不止一条已上报的记录：%2。\n"
                                  "在处理这些记录（退回或删除多余的记录）之前，数据库无法拒绝同一卡号的再次上报；"
                                  "处理后重新打开程序即可启用。")
                .arg(twice.size())
                .arg(shown.join(QStringLiteral("、")));
        }
        db.executeNative(QStringLiteral("CREATE UNIQUE INDEX ") + index +
                             QStringLiteral(" ON tblrecord (fldPrdNo) WHERE fldStatus > '00'"),
                         {});
        db.commitTransaction();
        return {};
    } catch (const DbError& e) {
        rollbackQuietly(db);
        return QStringLiteral("数据库升级失败（同一卡号只能上报一次的检查未启用）：") + e.description;
    }
}


// The table of warranty claims with its indexes, as the schema makes them.
const char* const ClaimStatements[] = {
    "CREATE TABLE IF NOT EXISTS tblClaim (\n"
    "    fldsn        INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "    fldMsn       INTEGER NOT NULL,\n"
    "    fldRecordSn  INTEGER NOT NULL,\n"
    "    fldPrdNo     TEXT COLLATE NOCASE,\n"
    "    fldClaimDate TEXT COLLATE NOCASE,\n"
    "    fldReason    TEXT COLLATE NOCASE,\n"
    "    fldText      TEXT COLLATE NOCASE,\n"
    "    fldTeeth     TEXT COLLATE NOCASE,\n"
    "    fldAction    TEXT COLLATE NOCASE,\n"
    "    fldInTerm    TEXT COLLATE NOCASE,\n"
    "    fldState     TEXT NOT NULL DEFAULT '受理中' COLLATE NOCASE,\n"
    "    fldCloseDate TEXT COLLATE NOCASE,\n"
    "    fldDone      TEXT COLLATE NOCASE,\n"
    "    fldRemakeSn  INTEGER,\n"
    "    fldOpenKey   INTEGER NOT NULL\n"
    ")",
    "CREATE INDEX IF NOT EXISTS ixClaimMakerDate ON tblClaim (fldMsn, fldClaimDate)",
    "CREATE INDEX IF NOT EXISTS ixClaimRecord ON tblClaim (fldRecordSn)",
    "CREATE INDEX IF NOT EXISTS ixClaimRemake ON tblClaim (fldRemakeSn)",
    "CREATE UNIQUE INDEX IF NOT EXISTS ixClaimOpen ON tblClaim (fldOpenKey)"};

// The warranty claims: the table and its indexes in one transaction, so
// that a database has all of them or none; the records are not touched.
QString addClaimsTable(SqliteBackend& db) {
    if (!exists(db, QStringLiteral("table"), QStringLiteral("tblrecord")) ||
        exists(db, QStringLiteral("table"), QString::fromLatin1(ClaimTableName)))
        return {};
    try {
        db.beginWriteTransaction();
    } catch (const DbError&) {
        return {}; // read-only, or another program holds the lock: next time
    }
    try {
        for (const char* statement : ClaimStatements)
            db.executeNative(QString::fromUtf8(statement), {});
        db.commitTransaction();
        return {};
    } catch (const DbError& e) {
        rollbackQuietly(db);
        return QStringLiteral("数据库升级失败（返修记录未启用）：") + e.description;
    }
}

// The card's lot, teeth and shade, and each record's history: the three
// columns, the index of a lab's lots, the history table and its triggers,
// as db/embedded/schema.sql makes them, in one step. The records stay as
// they were; their history begins with this step.
const char* const CardExtrasDdl =
    "CREATE INDEX IF NOT EXISTS ixRecordMakerLot ON tblrecord (fldMsn, fldLot);\n"
    "CREATE TABLE IF NOT EXISTS tblRecordHistory (\n"
    "    fldsn        INTEGER NOT NULL,\n"
    "    fldStep      INTEGER NOT NULL,\n"
    "    fldTime      TEXT NOT NULL,\n"
    "    fldPrdNo     TEXT COLLATE NOCASE,\n"
    "    fldMsn       INTEGER,\n"
    "    fldOldStatus TEXT COLLATE NOCASE,\n"
    "    fldNewStatus TEXT COLLATE NOCASE,\n"
    "    fldOldReason TEXT COLLATE NOCASE,\n"
    "    fldNewReason TEXT COLLATE NOCASE,\n"
    "    fldLogin     TEXT COLLATE NOCASE,\n"
    "    fldHost      TEXT COLLATE NOCASE,\n"
    "    PRIMARY KEY (fldsn, fldStep)\n"
    ");\n"
    "CREATE TRIGGER IF NOT EXISTS trgRecordHistoryInsert AFTER INSERT ON tblrecord\n"
    "BEGIN\n"
    "    INSERT INTO tblRecordHistory (fldsn, fldStep, fldTime, fldPrdNo, fldMsn, fldOldStatus, fldNewStatus,\n"
    "                                  fldOldReason, fldNewReason)\n"
    "    VALUES (NEW.fldsn, (SELECT COUNT(*) + 1 FROM tblRecordHistory WHERE fldsn = NEW.fldsn),\n"
    "            strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime'), NEW.fldPrdNo, NEW.fldMsn, NULL, NEW.fldStatus,\n"
    "            NULL, NEW.fldreturnmemo);\n"
    "END;\n"
    "CREATE TRIGGER IF NOT EXISTS trgRecordHistoryUpdate AFTER UPDATE OF fldStatus, fldreturnmemo ON tblrecord\n"
    "WHEN OLD.fldStatus IS NOT NEW.fldStatus OR OLD.fldreturnmemo IS NOT NEW.fldreturnmemo\n"
    "BEGIN\n"
    "    INSERT INTO tblRecordHistory (fldsn, fldStep, fldTime, fldPrdNo, fldMsn, fldOldStatus, fldNewStatus,\n"
    "                                  fldOldReason, fldNewReason)\n"
    "    VALUES (NEW.fldsn, (SELECT COUNT(*) + 1 FROM tblRecordHistory WHERE fldsn = NEW.fldsn),\n"
    "            strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime'), NEW.fldPrdNo, NEW.fldMsn, OLD.fldStatus,\n"
    "            NEW.fldStatus, OLD.fldreturnmemo, NEW.fldreturnmemo);\n"
    "END;\n"
    "CREATE TRIGGER IF NOT EXISTS trgRecordHistoryDelete AFTER DELETE ON tblrecord\n"
    "BEGIN\n"
    "    INSERT INTO tblRecordHistory (fldsn, fldStep, fldTime, fldPrdNo, fldMsn, fldOldStatus, fldNewStatus,\n"
    "                                  fldOldReason, fldNewReason)\n"
    "    VALUES (OLD.fldsn, (SELECT COUNT(*) + 1 FROM tblRecordHistory WHERE fldsn = OLD.fldsn),\n"
    "            strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime'), OLD.fldPrdNo, OLD.fldMsn, OLD.fldStatus, NULL,\n"
    "            OLD.fldreturnmemo, NULL);\n"
    "END;\n";

bool hasColumn(SqliteBackend& db, const QString& table, const QString& column) {
    const DbResult r = db.executeNative(
        QStringLiteral("select count(*) from pragma_table_info(?1) where name=?2 collate nocase"), {table, column});
    return r.rows.rows() == 1 && r.rows.at(0, 0).toInt() > 0;
}

QString addCardExtras(SqliteBackend& db) {
    if (!exists(db, QStringLiteral("table"), QStringLiteral("tblrecord")) ||
        hasColumn(db, QStringLiteral("tblrecord"), QStringLiteral("fldLot")))
        return {};
    try {
        db.beginWriteTransaction();
    } catch (const DbError&) {
        return {}; // read-only, or another program holds the lock: next time
    }
    try {
        if (hasColumn(db, QStringLiteral("tblrecord"), QStringLiteral("fldLot"))) {
            rollbackQuietly(db);
            return {};
        }
        for (const char* column : {"fldLot", "fldTeeth", "fldShade"})
            db.executeNative(QStringLiteral("ALTER TABLE tblrecord ADD COLUMN ") + QLatin1String(column) +
                                 QStringLiteral(" TEXT COLLATE NOCASE"),
                             {});
        db.executeNative(QString::fromLatin1(CardExtrasDdl), {});
        db.commitTransaction();
        return {};
    } catch (const DbError& e) {
        rollbackQuietly(db);
        return QStringLiteral("数据库升级失败（材料批号、牙位、比色与质保卡记录的历史未启用）：") + e.description;
    }
}
} // namespace

QStringList NumbersHeldTwice(SqliteBackend& db) {
    const DbResult r = db.executeNative(QStringLiteral("select fldPrdNo from tblrecord where fldStatus > '00' and "
                                                       "fldPrdNo is not null group by fldPrdNo having count(*) > 1 "
                                                       "order by fldPrdNo"),
                                        {});
    QStringList out;
    for (int i = 0; i < r.rows.rows(); ++i)
        out << r.rows.at(0, i).toString();
    return out;
}

QStringList UpgradeEmbeddedDatabase(SqliteBackend& db) {
    QStringList notices;
    if (const QString n = addCardRule(db); !n.isEmpty())
        notices << n;
    if (const QString n = addClaimsTable(db); !n.isEmpty())
        notices << n;
    if (const QString n = addCardExtras(db); !n.isEmpty())
        notices << n;
    return notices;
}
