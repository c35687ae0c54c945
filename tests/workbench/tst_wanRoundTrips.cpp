// The workbench through the ODBC path (the SQLite ODBC driver standing in for
// SQL Server): how many round trips to the server the lab's everyday actions
// pay, counted where the backend calls the driver. Over a WAN each costs tens
// of milliseconds, so these are the counts a lab waits for.
#include "EditGrid.h"
#include "clsConn.h"
#include "dbRoundTrips.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "mduHospital.h"
#include "mduProcess.h"
#include "tsMessages.h"
#include "tsOdbcStand.h"
#include "ucInput.h"

#include <QLineEdit>
#include <QSettings>
#include <QtTest>

namespace {

// The goals, round trips each (the login is counted apart).
constexpr qint64 SignInGoal = 8;
constexpr qint64 SaveGoal = 4;
constexpr qint64 SubmitGoal = 6;

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

QTEST_MAIN(TestWanRoundTrips)
#include "tst_wanRoundTrips.moc"
