// The workbench when another workstation or the central office changed a
// record in between: each statement leaves the record alone, says so and
// reloads; a number the database refuses is shown as taken; and a box of a
// chunked run waits until the chunk has ended.
#include "EditGrid.h"
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "frmSubmittedTab.h"
#include "mduDataUi.h"
#include "mduHospital.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QtTest>

#include <sqlite3.h>

namespace {

const QString Elsewhere = QStringLiteral("该质保卡已在别处上报、发布或删除，请刷新后再操作。");

// A signed-in demo lab and its workbench.
struct Bench {
    ScriptedMessages boxes;
    DemoDatabase db;
    QTemporaryDir settingsDir;
    std::unique_ptr<QSettings> hospitals;
    std::unique_ptr<frmProducts> f;
    Bench() {
        hospitals = std::make_unique<QSettings>(settingsDir.filePath("hospitals.ini"), QSettings::IniFormat);
        SetHospitalStore(hospitals.get());
        db.signIn();
        f = std::make_unique<frmProducts>();
    }
    ~Bench() {
        f.reset();
        SetHospitalStore(nullptr);
    }
    int rowOf(vt::EditGrid* g, int col, const QString& text) {
        for (int r = 1; r < g->Rows(); ++r)
            if (g->Cells(r, col).Text() == text)
                return r;
        return -1;
    }
    // Another workstation's statement, on a connection of its own.
    void elsewhere(const QString& sql) {
        SqliteBackend other;
        other.openFile(db.dbPath(), false);
        other.executeNative(sql, {});
    }
    // Every record, whole.
    QVariant records() {
        return db.scalar("select group_concat(fldsn||fldMsn||ifnull(fldPrdNo,'')||ifnull(fldPLName,'')||fldStatus||"
                         "ifnull(fldreturnmemo,'')||ifnull(fldsubmitDate,''), '|') from tblrecord");
    }
};

} // namespace

class TestFrmProductsElsewhere : public QObject {
    Q_OBJECT
private slots:
    void changedElsewhere_data();
    void changedElsewhere();
    void numberRefusedByTheDatabase_data();
    void numberRefusedByTheDatabase();
    void othersWriteWhileSubmitAllsBoxIsOpen();
};

void TestFrmProductsElsewhere::changedElsewhere_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("meanwhile");
    const QList<std::pair<const char*, const char*>> toPending{
        {"submitted", "update tblrecord set fldStatus='01' where fldPrdNo='%1'"},
        {"published", "update tblrecord set fldStatus='02' where fldPrdNo='%1'"},
        {"deleted", "delete from tblrecord where fldPrdNo='%1'"},
    };
    // D00000012 is the bottom row of the pending list: submit-all meets it first.
    for (const char* action : {"save", "delete", "submit", "submit-all"})
        for (const auto& [what, sql] : toPending)
            QTest::addRow("%s, %s", action, what)
                << action << (QLatin1String(action) == "submit-all" ? "D00000012" : "C00000110") << sql;
    // E00001005 is sent back: reset finds it published, deleted or reset.
    const QList<std::pair<const char*, const char*>> toReset{
        {"published", "update tblrecord set fldStatus='02' where fldPrdNo='%1'"},
        {"deleted", "delete from tblrecord where fldPrdNo='%1'"},
        {"reset", "update tblrecord set fldStatus='00' where fldPrdNo='%1'"},
    };
    for (const auto& [what, sql] : toReset)
        QTest::addRow("reset, %s", what) << "reset" << "E00001005" << sql;
}

void TestFrmProductsElsewhere::changedElsewhere() {
    QFETCH(QString, action);
    QFETCH(QString, number);
    QFETCH(QString, meanwhile);
    Bench b;
    if (action == "reset") {
        b.f->tabProc->cmdRefresh_Click();
        const int r = b.rowOf(b.f->tabProc->list->grid, 7, number);
        QVERIFY(r > 0);
        b.f->tabProc->list->grid->Cells(r, 7).setSelected(true);
    } else if (action != "submit-all") {
        b.f->tabEntry->egNew_RowDblClick(b.rowOf(b.f->List("New")->grid, 4, number));
        QVERIFY(!b.f->tabEntry->lbId->text().isEmpty());
    }
    vt::EditGrid* listed = action == "reset" ? b.f->tabProc->list->grid : b.f->List("New")->grid;
    QVERIFY(b.rowOf(listed, action == "reset" ? 7 : 4, number) > 0);
    b.elsewhere(meanwhile.arg(number));
    const QVariant before = b.records();
    if (action != "save")
        b.boxes.setNextAnswer(MsgYes);
    if (action == "save")
        b.f->tabEntry->cmdSave_Click();
    else if (action == "delete")
        b.f->tabEntry->cmdDel_Click();
    else if (action == "submit")
        b.f->tabEntry->cmdSubmit_Click();
    else if (action == "submit-all")
        b.f->tabEntry->cmdSubmitAll_Click();
    else
        b.f->tabProc->cmdReset_Click();
    QCOMPARE(b.records(), before); // nothing changed, here or elsewhere
    QCOMPARE(b.boxes.texts().count(Elsewhere), 1);
    QCOMPARE(b.boxes.texts().last(), Elsewhere);
    // The list reloaded shows the record where it is now.
    const bool pendingNow = meanwhile.contains("fldStatus='00'");
    QCOMPARE(b.rowOf(b.f->List("New")->grid, 4, number) > 0, pendingNow);
}

void TestFrmProductsElsewhere::numberRefusedByTheDatabase_data() {
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("message");
    QTest::newRow("submit") << false << "该保质卡号(00000012)已经存在！";
    QTest::newRow("submit-all") << true << "该保质卡号(D00000012) 已经存在！";
}

// Between the duplicate test and the status change another workstation
// submits a record of the same number: the database refuses, and the user
// sees the taken-number message, not the database's words.
void TestFrmProductsElsewhere::numberRefusedByTheDatabase() {
    QFETCH(bool, all);
    QFETCH(QString, message);
    Bench b;
    // The other workstation's submission lands just before this one's.
    b.elsewhere("create trigger trgOther before update on tblrecord when new.fldStatus='01' and "
                "new.fldPrdNo='D00000012' begin insert into tblrecord (fldMsn,fldPrdNo,fldStatus) "
                "values (2,'D00000012','01'); end");
    const QString key = b.db.scalar("select fldsn from tblrecord where fldPrdNo='D00000012'").toString();
    b.boxes.setNextAnswer(MsgYes);
    if (all) {
        b.f->tabEntry->cmdSubmitAll_Click();
    } else {
        b.f->tabEntry->egNew_RowDblClick(b.rowOf(b.f->List("New")->grid, 4, "D00000012"));
        b.f->tabEntry->cmdSubmit_Click();
    }
    QVERIFY(!b.boxes.shown().isEmpty());
    QCOMPARE(b.boxes.texts().last(), message);
    QCOMPARE(b.boxes.shown().last().title, QString("无法上报！"));
    QVERIFY(!b.boxes.texts().join("|").contains("UNIQUE"));
    QCOMPARE(b.db.scalar("select fldStatus from tblrecord where fldsn=" + key).toString(), QString("00"));
    QVERIFY(b.rowOf(b.f->List("New")->grid, 1, key) > 0);
}

namespace {
// Answers every box, and tries another workstation's write while it is open.
class WritingMessages final : public MessagePresenter {
public:
    explicit WritingMessages(QString path) : m_path(std::move(path)) {
        SetMessagePresenter(this);
        InstallFormDataUserInterface();
    }
    ~WritingMessages() override { SetMessagePresenter(nullptr); }
    int present(const MessageRequest& r) override {
        texts << r.text;
        if (!r.buttons.contains(MsgYes)) {
            SqliteBackend other;
            other.openFile(m_path, false);
            sqlite3_busy_timeout(other.handle(), 0);
            try {
                other.executeNative("update tblMaker set fldphone='W' where fldId='1002'", {});
                writes << "ok";
            } catch (const DbError& e) {
                writes << e.description;
            }
        }
        return r.buttons.contains(MsgYes) ? MsgYes : r.defaultButton;
    }
    QStringList texts, writes;

private:
    QString m_path;
};
} // namespace

// Submit-all's range failure is shown once its chunk has ended: while the
// box is open another workstation writes at once.
void TestFrmProductsElsewhere::othersWriteWhileSubmitAllsBoxIsOpen() {
    Bench b;
    WritingMessages boxes(b.db.dbPath());
    b.elsewhere("update tblrecord set fldPrdNo='D00000100' where fldPrdNo='D00000012'"); // outside every range
    b.f->LoadRecordList("New");
    b.f->tabEntry->cmdSubmitAll_Click();
    QCOMPARE(boxes.writes, QStringList{"ok"});
    QVERIFY(!boxes.texts.isEmpty());
    QVERIFY(boxes.texts.last().startsWith("该保质卡号(D00000100) 不存在。"));
    QCOMPARE(b.db.scalar("select fldStatus from tblrecord where fldPrdNo='C00000110'").toString(), QString("01"));
}

QTEST_MAIN(TestFrmProductsElsewhere)
#include "tst_frmProductsElsewhere.moc"
