// The workbench through the ODBC path (the SQLite ODBC driver standing in for
// SQL Server): how many round trips to the server the lab's everyday actions
// pay, counted where the backend calls the driver. Over a WAN each costs tens
// of milliseconds, so these are the counts a lab waits for.
#include "EditGrid.h"
#include "clsConn.h"
#include "dbRoundTrips.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "mduHospital.h"
#include "mduProcess.h"
#include "tsMessages.h"
#include "tsOdbcStand.h"
#include "ucInput.h"
#include "mduFormParts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QSettings>
#include <QtTest>

namespace {

// The goals, round trips each (the login is counted apart).
constexpr qint64 SignInGoal = 8;
constexpr qint64 SaveGoal = 4;
constexpr qint64 SubmitGoal = 6;
// Each of the batch check, the import and submit-all of 1,000 rows.
constexpr qint64 ThousandRowsGoal = 100;

struct Stand {
    ScriptedMessages boxes;
    OdbcStand db;
    QTemporaryDir settingsDir;
    QSettings hospitals{settingsDir.filePath("hospitals.ini"), QSettings::IniFormat};
    std::unique_ptr<frmProducts> f;
    Stand() { SetHospitalStore(&hospitals); }
    ~Stand() {
        f.reset();
        SetHospitalStore(nullptr);
    }
    // Signs in and opens the workbench, shown.
    void open() {
        QVERIFY(db.signIn());
        f = std::make_unique<frmProducts>();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    }
    void enter(const QString& productKey, const QString& digits) {
        f->tabEntry->cmdNew_Click();
        f->tabEntry->ucProduct->setKey(productKey);
        f->tabEntry->txtPrdNo->setText(digits);
        f->tabEntry->txtPLName->setText("张");
        f->tabEntry->txtPFName->setText("三");
        f->tabEntry->txtHospital->setText("北京口腔医院");
    }
    int rowOf(const QString& number) {
        vt::EditGrid* g = f->tabEntry->list->grid;
        for (int r = 1; r < g->Rows(); ++r)
            if (g->Cells(r, 4).Text() == number)
                return r;
        return -1;
    }
};

} // namespace

class TestWanRoundTrips : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetProcessEnd([](int) { throw std::runtime_error("the program ended"); }); }
    void signInSaveAndSubmit();
    void proceduresDescribedOncePerConnection();
    void thousandRowsCheckedImportedAndSubmitted();
};

void TestWanRoundTrips::signInSaveAndSubmit() {
    dbRoundTrips::reset();
    Stand s;
    QCOMPARE(dbRoundTrips::logins(), 1);
    const qint64 connected = dbRoundTrips::count();
    s.open();
    const qint64 signIn = dbRoundTrips::count();
    QCOMPARE(s.f->tabEntry->list->grid->Rows(), 3);
    QCOMPARE(s.f->tabEntry->ucProduct->ListCount(), 3);

    s.enter("C01", "00000150");
    const qint64 beforeSave = dbRoundTrips::count();
    s.f->tabEntry->cmdSave_Click();
    const qint64 save = dbRoundTrips::count() - beforeSave;
    QVERIFY2(s.boxes.shown().isEmpty(), qPrintable(s.boxes.texts().join('|')));
    QCOMPARE(s.db.scalar("select count(*) from tblrecord where fldPrdNo='C00000150' and fldStatus='00'"), QVariant(qlonglong(1)));
    QVERIFY(s.rowOf("C00000150") > 0);

    s.f->tabEntry->egNew_RowDblClick(s.rowOf("C00000150"));
    const qint64 beforeSubmit = dbRoundTrips::count();
    s.f->tabEntry->cmdSubmit_Click();
    const qint64 submit = dbRoundTrips::count() - beforeSubmit;
    QVERIFY2(s.boxes.shown().isEmpty(), qPrintable(s.boxes.texts().join('|')));
    QCOMPARE(s.db.scalar("select fldStatus from tblrecord where fldPrdNo='C00000150'"), QVariant("01"));
    QCOMPARE(s.rowOf("C00000150"), -1);

    qInfo("round trips: connect %lld, sign-in %lld, save %lld, submit %lld", connected, signIn, save, submit);
    QCOMPARE(dbRoundTrips::logins(), 1);
    QVERIFY2(signIn <= SignInGoal, qPrintable(QString::number(signIn)));
    QVERIFY2(save <= SaveGoal, qPrintable(QString::number(save)));
    QVERIFY2(submit <= SubmitGoal, qPrintable(QString::number(submit)));
}

// The first call of a system procedure describes them all in one request;
// later calls on the connection send the call alone. A new connection asks
// again: the server may have changed meanwhile.
void TestWanRoundTrips::proceduresDescribedOncePerConnection() {
    Stand s;
    QVERIFY(s.db.signIn());
    auto products = [] {
        QVariantList p{"PrdNo", gConn->OpId(), "", "", "", ""};
        return vt::toArray(gConn->GetSP("upvProducts", p)).rows();
    };
    qint64 before = dbRoundTrips::count();
    QCOMPARE(products(), 3);
    QCOMPARE(dbRoundTrips::count() - before, 2);
    before = dbRoundTrips::count();
    QCOMPARE(products(), 3);
    QVariantList kinds{"BasCode", "01", ""};
    gConn->GetSP("upVBasShow", kinds);
    QCOMPARE(dbRoundTrips::count() - before, 2);
    QVERIFY(s.db.connect());
    before = dbRoundTrips::count();
    QCOMPARE(products(), 3);
    QCOMPARE(dbRoundTrips::count() - before, 2);
    QVERIFY(s.boxes.shown().isEmpty());
}

// The batch of 1,000 rows: checked, imported and submitted a chunk at a
// time, a few round trips each, with every row stored and submitted.
void TestWanRoundTrips::thousandRowsCheckedImportedAndSubmitted() {
    Stand s;
    s.db.executeNative("delete from tblrecord where fldStatus='00';"
                       "update tblProductNoSet set fldPrdNoFrom='C00000001', fldPrdNoTo='C99999999' "
                       "where fldmaker=1 and fldPrdNoFrom like 'C%';");
    s.open();
    s.f->stbInfo->setCurrentIndex(3);
    QCoreApplication::processEvents();
    const int n = 1000;
    vt::ValueArray rows(11, n);
    for (int i = 0; i < n; ++i) {
        const QStringList r{"钴铬合金烤瓷冠", QString("C%1").arg(200000 + i, 8, 10, QChar('0')), "2013-09-01",
                            "2013-09-02", "李", QString("明%1").arg(i), "", "", "协和医院", "", i == 7 ? "O'Neil" : ""};
        for (int c = 0; c < 11; ++c)
            rows.setText(c, i, r[c]);
    }
    // One number of the batch is held by a submitted card: warned of.
    s.db.executeNative("update tblrecord set fldPrdNo='C00200500' where fldStatus='01' and fldsn=(select min(fldsn) "
                       "from tblrecord where fldStatus='01')");
    frmBatchTab* batch = s.f->tabBatch;
    batch->egBatch->LoadData(vt::toVariant(rows));
    batch->cmdCheck->setEnabled(true);
    qint64 before = dbRoundTrips::count();
    batch->cmdCheck_Click();
    const qint64 check = dbRoundTrips::count() - before;
    QVERIFY(batch->cmdImport->isEnabled());
    QCOMPARE(batch->egBatch->Cells(501, BatchCardNumber).BackColor(), WarningColor);
    QVERIFY(batch->egBatch->Cells(500, BatchCardNumber).BackColor() != WarningColor);

    s.boxes.setNextAnswer(MsgYes);
    s.db.executeNative("update tblrecord set fldPrdNo='C09999999' where fldPrdNo='C00200500'");
    const qint64 logBefore = s.db.scalar("select count(*) from tblExecLog").toLongLong();
    before = dbRoundTrips::count();
    batch->cmdImport_Click();
    const qint64 import = dbRoundTrips::count() - before;
    QCOMPARE(batch->egBatch->Rows(), 1);
    QCOMPARE(s.db.scalar("select count(*) from tblrecord where fldStatus='00' and fldPrdNo like 'C002%'"),
             QVariant(qlonglong(n)));
    QCOMPARE(s.db.scalar("select fldPLName||fldPFName||fldHospital||fldMemo||fldPdTime from tblrecord "
                         "where fldPrdNo='C00200007'"),
             QVariant("李明7协和医院O'Neil2013-09-01"));
    // Each chunk's insert logged once, as it ran, with its values.
    const qint64 inserts = s.db.scalar("select count(*) from tblExecLog").toLongLong() - logBefore;
    QVERIFY2(inserts > 1 && inserts <= 10, qPrintable(QString::number(inserts)));
    QCOMPARE(s.db.scalar("select count(*) from tblExecLog where fldStatement like 'insert into tblrecord (%) values (?,%'")
                 .toLongLong(),
             inserts);
    QVERIFY(s.db.scalar("select max(length(fldParams)) from tblExecLog").toLongLong() > 4000);

    QCOMPARE(s.f->tabEntry->list->grid->Rows(), n + 1);
    s.boxes.setNextAnswer(MsgYes);
    before = dbRoundTrips::count();
    s.f->tabEntry->cmdSubmitAll_Click();
    const qint64 submitAll = dbRoundTrips::count() - before;
    QCOMPARE(s.f->tabEntry->list->grid->Rows(), 1);
    QCOMPARE(s.db.scalar("select count(*) from tblrecord where fldStatus='01' and fldPrdNo like 'C002%'"),
             QVariant(qlonglong(n)));
    QCOMPARE(s.boxes.texts(), QStringList({"你确认要保存吗？", "你确定要全部上报吗？"}));

    qInfo("round trips for %d rows: check %lld, import %lld, submit-all %lld", n, check, import, submitAll);
    QVERIFY2(check <= ThousandRowsGoal, qPrintable(QString::number(check)));
    QVERIFY2(import <= ThousandRowsGoal, qPrintable(QString::number(import)));
    QVERIFY2(submitAll <= ThousandRowsGoal, qPrintable(QString::number(submitAll)));
}

QTEST_MAIN(TestWanRoundTrips)
#include "tst_wanRoundTrips.moc"
