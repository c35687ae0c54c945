// The workbench on the embedded demo database, driven as the user drives it,
// with the message boxes answered by the test.
#include "EditGrid.h"
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmPublishedTab.h"
#include "frmRecordList.h"
#include "frmSubmittedTab.h"
#include "mduCarriedMarks.h"
#include "mduHospital.h"
#include "mduProcess.h"
#include "qvDatePicker.h"
#include "tsControlParts.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"
#include "tsOdbcStand.h"
#include "tsSyncWatch.h"
#include "ucInput.h"
#include "vgGrid.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>
#include <QClipboard>
#include <QHeaderView>
#include <QToolTip>
#include <algorithm>
#include <QScrollBar>
#include <QGroupBox>
#include "common/vtTwips.h"
#include "common/vtColor.h"

namespace {

// A signed-in demo lab and its workbench, shown.
struct Bench {
    ScriptedMessages boxes;
    DemoDatabase db;
    QTemporaryDir settingsDir;
    std::unique_ptr<QSettings> hospitals;
    // The ODBC path instead of the embedded backend, when asked for.
    std::unique_ptr<OdbcStand> odbc;
    std::unique_ptr<frmProducts> f;
    explicit Bench(const QString& account = "1001", const QString& password = "1234") { open(account, password); }
    // On the embedded backend, or through ODBC (the SQLite ODBC driver
    // standing in for SQL Server).
    explicit Bench(bool overOdbc) {
        if (overOdbc)
            odbc = std::make_unique<OdbcStand>();
        open("1001", "1234");
    }
    void open(const QString& account, const QString& password) {
        hospitals = std::make_unique<QSettings>(settingsDir.filePath("hospitals.ini"), QSettings::IniFormat);
        SetHospitalStore(hospitals.get());
        if (odbc)
            odbc->signIn(account, password);
        else
            db.signIn(account, password);
        f = std::make_unique<frmProducts>();
        f->show();
        if (!QTest::qWaitForWindowExposed(f.get()))
            qWarning("the workbench was not shown");
    }
    // Statements on the database in use, beside the workbench.
    void script(const QString& sql) {
        if (odbc)
            odbc->executeNative(sql);
        else
            db.backend()->executeScript(sql);
    }
    ~Bench() {
        f.reset();
        SetHospitalStore(nullptr);
    }
    QString cell(vt::EditGrid* g, int r, int c) { return g->Cells(r, c).Text(); }
    int rowOf(vt::EditGrid* g, int col, const QString& text) {
        for (int r = 1; r < g->Rows(); ++r)
            if (g->Cells(r, col).Text() == text)
                return r;
        return -1;
    }
    QVariant scalar(const QString& sql) { return odbc ? odbc->scalar(sql) : db.scalar(sql); }
    // Fills the entry fields for a new record of the product.
    void enter(const QString& productKey, const QString& digits, const QString& hospital = "北京口腔医院") {
        f->tabEntry->cmdNew_Click();
        f->tabEntry->ucProduct->setKey(productKey);
        f->tabEntry->txtPrdNo->setText(digits);
        f->tabEntry->txtPLName->setText("张");
        f->tabEntry->txtPFName->setText("三");
        f->tabEntry->txtHospital->setText(hospital);
    }
    QString lastPending() { return cell(f->tabEntry->list->grid, f->tabEntry->list->grid->Rows() - 1, 4); }
};

// The outcome of the bulk actions, on either backend.
void backends() {
    QTest::addColumn<bool>("overOdbc");
    QTest::newRow("embedded") << false;
    QTest::newRow("odbc") << true;
}

} // namespace

class TestFrmProducts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetProcessEnd([](int) { throw std::runtime_error("the program ended"); }); }
    void loadShowsPendingListAndLab();
    void dateRangeOfTheMonth();
    void twoMonthRule_data();
    void twoMonthRule();
    void saveChecksInOrder_data();
    void saveChecksInOrder();
    void insertOpenUpdateDelete();
    void quotesStoredExactly();
    void failedSaveKeepsTheRecord();
    void submitRangeTests_data();
    void submitRangeTests();
    void twoPendingWithTheSameNumber();
    void submitAllWithFailingMiddleRow_data() { backends(); }
    void submitAllWithFailingMiddleRow();
    void submitAllMeetsANumberTwice_data() { backends(); }
    void submitAllMeetsANumberTwice();
    void resetBringsRecordBack();
    void layoutMinimaAndRememberedTab();
    void batchChecks_data();
    void batchChecks();
    void batchImportBottomUpAndFailedRowKept_data() { backends(); }
    void batchImportBottomUpAndFailedRowKept();
    void hospitalNames();
    void failedLogStillMovesOn();
    void nulRefused_data();
    void nulRefused();
    void submitTypedNumberMustBeSaved();
    void failedStatusChangeKeepsRows_data() { backends(); }
    void failedStatusChangeKeepsRows();
    void submitAllEndsOnTopmostFailingRow_data() { backends(); }
    void submitAllEndsOnTopmostFailingRow();
    void openedRowWithoutDates();
    void houseColoursOnGrids();
    void listsShowWholeNumbersAndDates();
    void batchGridInsideItsPage();
    void statusBarAndHelpFit();
    void tabReachesHospitalList();
    void unsavedChangesAreAskedFor();
    void unsavedStateFollowsTheFields_data();
    void unsavedStateFollowsTheFields();
    void submitAllEndsWithNewOnAndASummary_data();
    void submitAllEndsWithNewOnAndASummary();
    void clearAndDeleteRowsAsk();
    void everyStepSaysWhatItDid();
    void hospitalNamesAtOnceAndFiltered();
    void labClinicsAfterRememberedNames();
    void earlyWarnings();
    void earlyWarningsFollowTheDatabase();
    void plausibilityWarnings();
    void pasteIntoEmptyBatchGrid();
    void pasteIntoEmptiedBatchGrid_data();
    void pasteIntoEmptiedBatchGrid();
    void keyboardShortcuts();
    void carriedFieldsMarked_data();
    void carriedFieldsMarked();
    void newEmptiesAllButTheDates();
    void columnWidthsRemembered();
    void sortKeptAndCutTextShown();
    void screenshot();
    void closingEndsTheProgram();
};

void TestFrmProducts::loadShowsPendingListAndLab() {
    Bench b;
    QCOMPARE(b.f->windowTitle(), QString("质保卡信息输入    Quorvat"));
    QCOMPARE(b.f->InfoBarPanel1->text(), QString("华美义齿制作所(王建国)"));
    QCOMPARE(b.f->tabEntry->list->grid->Rows(), 3);
    QCOMPARE(b.f->tabEntry->list->grid->Cols(), 14);
    QCOMPARE(b.cell(b.f->tabEntry->list->grid, 1, 4), QString("C00000110"));
    QCOMPARE(b.cell(b.f->tabEntry->list->grid, 1, 3), QString("钴铬合金烤瓷冠"));
    QCOMPARE(b.f->tabEntry->list->grid->Col(1).Width(), 0);
    QCOMPARE(b.f->tabProc->list->grid->Rows(), 1); // header only until refreshed
    QCOMPARE(b.f->tabOuted->list->grid->Rows(), 1);
    QCOMPARE(b.f->tabEntry->ucProduct->ListCount(), 3);
    QCOMPARE(b.f->tabBatch->ucProduct2->ListCount(), 3);
    QVERIFY(b.f->tabEntry->cmdNew->isEnabled() && !b.f->tabEntry->cmdSave->isEnabled() && !b.f->tabEntry->cmdDel->isEnabled());
    QCOMPARE(b.f->tabEntry->lbId->text(), QString());
    // "姓" and "名" are hints in the name boxes, not text that would be stored.
    QCOMPARE(b.f->tabEntry->txtPLName->text(), QString());
    QCOMPARE(b.f->tabEntry->txtPLName->placeholderText(), QString("姓"));
    QCOMPARE(b.f->tabEntry->txtDFName->placeholderText(), QString("名"));
    QCOMPARE(b.f->tabEntry->txtPrdNo->maxLength(), 8);
    QVERIFY(b.f->tabEntry->txtPrdNo1->isReadOnly());
    b.f->tabProc->cmdRefresh_Click();
    QCOMPARE(b.f->tabProc->list->grid->Rows(), 3);
    QCOMPARE(b.cell(b.f->tabProc->list->grid, 2, 4), QString("患者姓名与医院登记不符"));
    QVERIFY(b.boxes.shown().isEmpty());
    QVERIFY(!b.f->InfoBarPanel3->text().isEmpty());
}

void TestFrmProducts::dateRangeOfTheMonth() {
    Bench b;
    const QDate today = QDate::currentDate();
    QCOMPARE(b.f->tabOuted->dateFrom->date(), QDate(today.year(), today.month(), 1));
    QCOMPARE(b.f->tabOuted->dateTo->date(), QDate(today.year(), today.month(), today.daysInMonth()));
    // The same rule on given days: September 2013 and a leap February.
    for (auto [day, last] : {std::pair{QDate(2013, 9, 17), QDate(2013, 9, 30)}, std::pair{QDate(2024, 2, 10), QDate(2024, 2, 29)}}) {
        QDate from, to;
        frmPublishedTab::MonthRange(day, &from, &to);
        QCOMPARE(from, QDate(day.year(), day.month(), 1));
        QCOMPARE(to, last);
    }
}

void TestFrmProducts::twoMonthRule_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<int>("rows");
    QTest::newRow("neighbouring months") << QDate(2013, 8, 1) << QDate(2013, 9, 30) << true << 3;
    QTest::newRow("three months") << QDate(2013, 8, 1) << QDate(2013, 10, 1) << false << 1;
    QTest::newRow("reversed range passes on") << QDate(2013, 9, 1) << QDate(2013, 8, 31) << true << 1;
    QTest::newRow("one month") << QDate(2013, 9, 1) << QDate(2013, 9, 30) << true << 2;
}

void TestFrmProducts::twoMonthRule() {
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(bool, loads);
    QFETCH(int, rows);
    Bench b;
    b.f->tabOuted->dateFrom->setDate(from);
    b.f->tabOuted->dateTo->setDate(to);
    b.f->tabOuted->cmdViewAll_Click();
    QCOMPARE(b.boxes.texts().contains("时间间隔过长！每次只能调取2个月的数据！"), !loads);
    QCOMPARE(b.f->tabOuted->list->grid->Rows(), rows);
    QCOMPARE(frmPublishedTab::MonthsBetween(QDate(2013, 9, 30), QDate(2013, 10, 1)), 1);
}

void TestFrmProducts::saveChecksInOrder_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("hospital");
    QTest::addColumn<QString>("message");
    QTest::newRow("no product") << "" << "" << "" << "" << "请选择产品名称！";
    QTest::newRow("no digits") << "C01" << "" << "" << "" << "请输入质保卡号！";
    QTest::newRow("12a") << "C01" << "12a" << "" << "" << "质保卡号 异 常 ！无法保存！\r";
    QTest::newRow("no patient") << "C01" << "12.5" << "" << "x" << "请输入病者姓名！";
    QTest::newRow("no hospital, -7") << "C01" << "-7" << "张" << "" << "请输入医院证所名称！";
    QTest::newRow("1e3 saves") << "C01" << "1e3" << "张" << "x" << "";
}

void TestFrmProducts::saveChecksInOrder() {
    QFETCH(QString, product);
    QFETCH(QString, digits);
    QFETCH(QString, surname);
    QFETCH(QString, hospital);
    QFETCH(QString, message);
    Bench b;
    b.f->tabEntry->cmdNew_Click();
    b.f->tabEntry->ucProduct->setKey(product);
    b.f->tabEntry->txtPrdNo->setText(digits);
    b.f->tabEntry->txtPLName->setText(surname);
    b.f->tabEntry->txtPFName->setText(surname.isEmpty() ? "" : "三");
    b.f->tabEntry->txtHospital->setText(hospital);
    const QVariant before = b.scalar("select count(*) from tblrecord");
    b.f->tabEntry->cmdSave_Click();
    if (message.isEmpty()) {
        QVERIFY(b.boxes.shown().isEmpty());
        QCOMPARE(b.scalar("select count(*) from tblrecord").toInt(), before.toInt() + 1);
        QCOMPARE(b.lastPending(), QString("C1e3"));
    } else {
        QCOMPARE(b.boxes.texts(), QStringList{message});
        QCOMPARE(b.scalar("select count(*) from tblrecord"), before);
    }
}

void TestFrmProducts::insertOpenUpdateDelete() {
    Bench b;
    b.enter("D01", "00000042");
    QCOMPARE(b.f->tabEntry->txtPrdNo1->text(), QString("D"));
    b.f->tabEntry->txtPdTime->setDate(QDate(2013, 9, 5));
    b.f->tabEntry->txtOpTime->setDate(QDate(2013, 9, 9));
    b.f->tabEntry->txtMemo->setPlainText("复诊");
    b.f->tabEntry->cmdSave_Click();
    QVERIFY(b.boxes.shown().isEmpty());
    QCOMPARE(b.f->tabEntry->txtPrdNo->text(), QString());
    QCOMPARE(b.f->tabEntry->txtHospital->text(), QString("北京口腔医院")); // kept for the next record
    QVERIFY(b.f->tabEntry->cmdNew->isEnabled() && !b.f->tabEntry->cmdSave->isEnabled());
    const int r = b.rowOf(b.f->tabEntry->list->grid, 4, "D00000042");
    QVERIFY(r > 0);
    const QString key = b.cell(b.f->tabEntry->list->grid, r, 1);
    QCOMPARE(b.scalar("select fldStatus||fldMsn||fldmaker||fldPrdName||fldPdTime||fldOpTime from tblrecord where fldsn=" + key),
             QVariant("0011001D012013-09-052013-09-09"));
    QCOMPARE(b.scalar("select fldStatement from tblExecLog order by fldsn desc limit 1").toString().left(22),
             QString("insert into tblrecord "));

    b.f->tabEntry->egNew_RowDblClick(r);
    QCOMPARE(b.f->tabEntry->lbId->text(), key);
    QCOMPARE(b.f->tabEntry->txtPrdNo1->text() + b.f->tabEntry->txtPrdNo->text(), QString("D00000042"));
    QCOMPARE(b.f->tabEntry->ucProduct->Key(), QVariant("D01"));
    QCOMPARE(b.f->tabEntry->txtOpTime->date(), QDate(2013, 9, 9));
    QCOMPARE(b.f->tabEntry->txtMemo->toPlainText(), QString("复诊"));
    QVERIFY(!b.f->tabEntry->cmdNew->isEnabled() && b.f->tabEntry->cmdSave->isEnabled() && b.f->tabEntry->cmdDel->isEnabled() && b.f->tabEntry->cmdSubmit->isEnabled());
    b.f->tabEntry->txtPFName->setText("四");
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(b.scalar("select fldPFName from tblrecord where fldsn=" + key), QVariant("四"));
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldPrdNo='D00000042'"), QVariant(qlonglong(1)));

    b.f->tabEntry->egNew_RowDblClick(b.rowOf(b.f->tabEntry->list->grid, 1, key));
    b.boxes.setNextAnswer(MsgNo);
    b.f->tabEntry->cmdDel_Click();
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldsn=" + key), QVariant(qlonglong(1)));
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabEntry->cmdDel_Click();
    QCOMPARE(b.boxes.texts(), QStringList({"你确认要删除吗？", "你确认要删除吗？"}));
    QCOMPARE(b.boxes.shown().last().defaultButton, int(MsgNo));
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldsn=" + key), QVariant(qlonglong(0)));
    QCOMPARE(b.rowOf(b.f->tabEntry->list->grid, 1, key), -1);
    b.f->tabEntry->cmdDel_Click(); // nothing open: no question
    QCOMPARE(b.boxes.shown().size(), 2);
}

void TestFrmProducts::quotesStoredExactly() {
    Bench b;
    const QString odd = "O'Hara'); delete from tblrecord; --";
    b.enter("C01", "00000150", "张's 诊所 50%_");
    b.f->tabEntry->txtPLName->setText(odd.left(25));
    b.f->tabEntry->txtMemo->setPlainText(odd);
    const QVariant before = b.scalar("select count(*) from tblrecord");
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(b.scalar("select count(*) from tblrecord").toInt(), before.toInt() + 1);
    QCOMPARE(b.scalar("select fldMemo from tblrecord where fldPrdNo='C00000150'"), QVariant(odd));
    QCOMPARE(b.scalar("select fldHospital from tblrecord where fldPrdNo='C00000150'"), QVariant("张's 诊所 50%_"));
}

void TestFrmProducts::failedSaveKeepsTheRecord() {
    Bench b;
    const int r = b.rowOf(b.f->tabEntry->list->grid, 4, "C00000110");
    b.f->tabEntry->egNew_RowDblClick(r);
    const QString key = b.f->tabEntry->lbId->text();
    b.db.backend()->executeScript("create trigger noUpdate before update on tblrecord begin select raise(abort, 'locked'); end;");
    b.f->tabEntry->txtPrdNo->setText("00000111");
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(b.boxes.shown().size(), 1); // the database's own message
    QCOMPARE(b.f->tabEntry->lbId->text(), key);
    QCOMPARE(b.f->tabEntry->txtPrdNo->text(), QString("00000111"));
    QVERIFY(b.f->tabEntry->cmdSave->isEnabled() && b.f->tabEntry->cmdDel->isEnabled() && !b.f->tabEntry->cmdNew->isEnabled());
    b.db.backend()->executeScript("drop trigger noUpdate;");
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(b.scalar("select fldPrdNo from tblrecord where fldsn=" + key), QVariant("C00000111"));
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldPrdNo like 'C0000011_'"), QVariant(qlonglong(1)));
}

void TestFrmProducts::submitRangeTests_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<bool>("passes");
    QTest::newRow("C00000102") << "C01" << "00000102" << true;
    QTest::newRow("C102 length differs") << "C01" << "102" << false;
    QTest::newRow("D00000102 other letter's range") << "D01" << "00000102" << false;
    QTest::newRow("C00000501 past the range") << "C01" << "00000501" << false;
    QTest::newRow("related lab's range") << "C01" << "00000650" << true;
}

void TestFrmProducts::submitRangeTests() {
    QFETCH(QString, product);
    QFETCH(QString, digits);
    QFETCH(bool, passes);
    Bench b;
    b.db.backend()->executeNative("update tblProductNoSet set fldPrdNoFrom='C00000001' where fldPrdNoFrom='C00000100'", {});
    b.enter(product, digits);
    b.f->tabEntry->cmdSave_Click();
    const QString number = product.left(1) + digits;
    b.f->tabEntry->egNew_RowDblClick(b.rowOf(b.f->tabEntry->list->grid, 4, number));
    const QString key = b.f->tabEntry->lbId->text();
    b.f->tabEntry->cmdSubmit_Click();
    if (passes) {
        QVERIFY(b.boxes.shown().isEmpty());
        QCOMPARE(b.scalar("select fldStatus from tblrecord where fldsn=" + key), QVariant("01"));
        QCOMPARE(b.scalar("select fldsubmitDate from tblrecord where fldsn=" + key),
                 QVariant(QDate::currentDate().toString("yyyy-MM-dd")));
        QCOMPARE(b.rowOf(b.f->tabEntry->list->grid, 1, key), -1);
        QVERIFY(b.rowOf(b.f->tabProc->list->grid, 1, key) > 0);
        QCOMPARE(b.f->tabEntry->lbId->text(), QString());
        // The next card can be entered at once.
        QVERIFY(!b.f->tabEntry->cmdSubmit->isEnabled() && b.f->tabEntry->cmdNew->isEnabled() && b.f->tabEntry->cmdDel->isEnabled());
    } else {
        QCOMPARE(b.boxes.texts(), QStringList{"该保质卡号不存在，不可用。 "});
        QCOMPARE(b.boxes.shown().first().title, QString("无法上报！"));
        QCOMPARE(b.scalar("select fldStatus from tblrecord where fldsn=" + key), QVariant("00"));
    }
}

void TestFrmProducts::twoPendingWithTheSameNumber() {
    Bench b;
    b.enter("C01", "00000200");
    b.f->tabEntry->cmdSave_Click();
    b.enter("C01", "00000200");
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldPrdNo='C00000200'"), QVariant(qlonglong(2)));
    b.f->tabEntry->egNew_RowDblClick(b.rowOf(b.f->tabEntry->list->grid, 4, "C00000200"));
    b.f->tabEntry->cmdSubmit_Click();
    QVERIFY(b.boxes.shown().isEmpty());
    b.f->tabEntry->egNew_RowDblClick(b.rowOf(b.f->tabEntry->list->grid, 4, "C00000200"));
    b.f->tabEntry->cmdSubmit_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"该保质卡号(00000200)已经存在！"});
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldPrdNo='C00000200' and fldStatus='01'"), QVariant(qlonglong(1)));
}

void TestFrmProducts::submitAllWithFailingMiddleRow() {
    SyncWatch watch;
    QFETCH(bool, overOdbc);
    Bench b(overOdbc);
    QCOMPARE(dynamic_cast<SqliteBackend*>(gConn->GetConnection()) == nullptr, overOdbc);
    b.script("delete from tblrecord where fldStatus='00'");
    for (const char* digits : {"00000301", "00000999", "00000303"}) {
        b.enter("C01", digits);
        b.f->tabEntry->cmdSave_Click();
    }
    QCOMPARE(b.f->tabEntry->list->grid->Rows(), 4);
    b.boxes.setNextAnswer(MsgYes);
    watch.reset();
    b.f->tabEntry->cmdSubmitAll_Click();
    QVERIFY(overOdbc || watch.logSyncedAfterLastWrite());
    QCOMPARE(b.boxes.texts(), QStringList({"你确定要全部上报吗？", "该保质卡号(C00000999) 不存在。\r"}));
    QCOMPARE(b.boxes.shown()[1].icon, MsgIcon::Critical);
    QCOMPARE(b.f->tabEntry->list->grid->Rows(), 2);
    QCOMPARE(b.cell(b.f->tabEntry->list->grid, 1, 4), QString("C00000999"));
    QVERIFY(b.f->tabEntry->list->grid->Cells(1, 4).Selected());
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldStatus='01' and fldPrdNo in ('C00000301','C00000303')"),
             QVariant(qlonglong(2)));
    // A taken number stops the run there.
    b.script("update tblrecord set fldStatus='00' where fldPrdNo='C00000303'");
    b.script("update tblProductNoSet set fldPrdNoTo='C00000999' where fldPrdNoTo='C00000500'");
    b.enter("C01", "00000301");
    b.f->tabEntry->cmdSave_Click();
    b.f->LoadRecordList("New");
    b.boxes.clear();
    b.boxes.setNextAnswer(MsgYes);
    watch.reset();
    b.f->tabEntry->cmdSubmitAll_Click();
    QVERIFY(overOdbc || watch.logSyncedAfterLastWrite());
    QCOMPARE(b.boxes.texts().last(), QString("该保质卡号(C00000301) 已经存在！"));
    QCOMPARE(b.scalar("select fldStatus from tblrecord where fldPrdNo='C00000999'"), QVariant("00"));
}

// Two pending cards of one number in one submit-all: the lower row is
// submitted, the upper one then finds its number taken and ends the run,
// though both were tested in the same query.
void TestFrmProducts::submitAllMeetsANumberTwice() {
    QFETCH(bool, overOdbc);
    Bench b(overOdbc);
    b.script("delete from tblrecord where fldStatus='00'");
    for (const char* digits : {"00000311", "00000312", "00000312", "00000313"}) {
        b.enter("C01", digits);
        b.f->tabEntry->cmdSave_Click();
    }
    vt::EditGrid* g = b.f->tabEntry->list->grid;
    QCOMPARE(g->Rows(), 5);
    const QString upper = b.cell(g, 2, 1), lower = b.cell(g, 3, 1);
    QCOMPARE(b.cell(g, 2, 4), QString("C00000312"));
    QCOMPARE(b.cell(g, 3, 4), QString("C00000312"));
    b.boxes.clear();
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabEntry->cmdSubmitAll_Click();
    QCOMPARE(b.boxes.texts(), QStringList({"你确定要全部上报吗？", "该保质卡号(C00000312) 已经存在！"}));
    QCOMPARE(b.scalar("select fldStatus from tblrecord where fldsn=" + lower), QVariant("01"));
    QCOMPARE(b.scalar("select fldStatus from tblrecord where fldsn=" + upper), QVariant("00"));
    QCOMPARE(b.scalar("select fldStatus from tblrecord where fldPrdNo='C00000313'"), QVariant("01"));
    QCOMPARE(b.scalar("select fldStatus from tblrecord where fldPrdNo='C00000311'"), QVariant("00"));
    QCOMPARE(g->Rows(), 3);
    QCOMPARE(b.cell(g, 1, 4) + b.cell(g, 2, 4), QString("C00000311C00000312"));
}

void TestFrmProducts::resetBringsRecordBack() {
    Bench b;
    b.f->tabProc->cmdRefresh_Click();
    const int r = b.rowOf(b.f->tabProc->list->grid, 7, "E00001005");
    QVERIFY(r > 0);
    const QString key = b.cell(b.f->tabProc->list->grid, r, 1);
    b.f->tabProc->list->grid->Cells(r, 7).setSelected(true);
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabProc->cmdReset_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"你确认要撤销或重置 铸瓷贴面(E00001005) ?"});
    QCOMPARE(b.scalar("select fldStatus||'|'||fldreturnmemo||'|'||fldsubmitDate from tblrecord where fldsn=" + key),
             QVariant("00||2013-08-22"));
    QVERIFY(b.rowOf(b.f->tabEntry->list->grid, 1, key) > 0);
    QCOMPARE(b.rowOf(b.f->tabProc->list->grid, 1, key), -1);
}

void TestFrmProducts::layoutMinimaAndRememberedTab() {
    Bench b;
    QCOMPARE(b.f->tabEntry->txtPdTime->date(), QDate::currentDate()); // set at load
    b.f->tabEntry->egNew_RowDblClick(1);
    const QDate opened = b.f->tabEntry->txtPdTime->date();
    QVERIFY(opened != QDate::currentDate());
    b.f->stbInfo->setCurrentIndex(2);
    b.f->resize(1200, 800);
    QCoreApplication::processEvents();
    QCOMPARE(b.f->stbInfo->currentIndex(), 2);
    // A resize never puts an open record's dates back to today.
    QCOMPARE(b.f->tabEntry->txtPdTime->date(), opened);
    const int expectW = b.f->centralWidget()->width() * 15 - b.f->stbInfo->x() * 15 - 200;
    QVERIFY(qAbs(b.f->stbInfo->width() * 15 - expectW) < 15);
    QCOMPARE(b.f->InfoBarPanel1->width(), 200);
    QVERIFY(b.f->InfoBarPanel3->width() >= 133);
    b.f->resize(60, 40);
    QCoreApplication::processEvents();
    QVERIFY(b.f->stbInfo->width() * 15 >= 1995);
    QVERIFY(b.f->stbInfo->height() * 15 >= 995);
    QVERIFY(b.f->tabEntry->list->grid->width() * 15 >= 1995);
    QCOMPARE(b.f->stbInfo->currentIndex(), 2);
}

void TestFrmProducts::batchChecks_data() {
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QString>("message");
    const QStringList good{"钴铬合金烤瓷冠", "C00000102", "2013-09-01", "2013-9-2", "张", "三", "", "", "北京口腔医院", "", ""};
    auto with = [&good](int col, const QString& v) {
        QStringList r = good;
        r[col - 1] = v;
        return r;
    };
    QTest::newRow("product case") << with(1, "钴铬合金烤瓷冠 ") << "行 1 :请提供正确的  质保产品  ！";
    QTest::newRow("no number") << with(2, "") << "行 1 :请提供  质保卡号  ！";
    QTest::newRow("one character") << with(2, "C") << "行 1 :质保卡号 格式有误（除首位外均为数字）  ！";
    QTest::newRow("decimal point") << with(2, "C0001.5") << "行 1 :质保卡号 格式有误（除首位外均为数字）  ！";
    QTest::newRow("production date") << with(3, "2013-13-01") << "行 1 :提供的  制作时间  格式有误！";
    QTest::newRow("treatment date") << with(4, "x") << "行 1 :提供的  诊疗时间  格式有误！";
    QTest::newRow("surname") << with(5, "") << "行 1 :请提供  患者姓  ！";
    QTest::newRow("given name") << with(6, "") << "行 1 :请提供  患者名  ！";
    QTest::newRow("hospital") << with(9, "") << "行 1 :请提供  医院诊所  ！";
    QTest::newRow("passes") << good << "";
}

void TestFrmProducts::batchChecks() {
    QFETCH(QStringList, row);
    QFETCH(QString, message);
    Bench b;
    b.f->tabBatch->cmdAdd_Click();
    QVERIFY(b.f->tabBatch->cmdCheck->isEnabled());
    for (int c = 0; c < row.size(); ++c)
        b.f->tabBatch->egBatch->Cells(1, c + 1).setText(row[c]);
    b.f->tabBatch->cmdCheck_Click();
    QCOMPARE(b.boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(b.f->tabBatch->cmdImport->isEnabled(), message.isEmpty());
}

void TestFrmProducts::batchImportBottomUpAndFailedRowKept() {
    SyncWatch watch;
    QFETCH(bool, overOdbc);
    Bench b(overOdbc);
    QCOMPARE(dynamic_cast<SqliteBackend*>(gConn->GetConnection()) == nullptr, overOdbc);
    const QVariant before = b.scalar("select count(*) from tblrecord");
    b.f->tabBatch->cmdClear_Click();
    const QStringList names{"一", "二", "三"};
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            b.f->tabBatch->cmdAdd_Click();
        const QStringList row{"二氧化锆全瓷冠", QString("D0000008%1").arg(i), "2013-9-1", "2013/09/02", "李", names[i], "", "",
                              "协和医院", "", i == 1 ? "O'Neil" : ""};
        for (int c = 0; c < row.size(); ++c)
            b.f->tabBatch->egBatch->Cells(i + 1, c + 1).setText(row[c]);
    }
    // The middle row's insert fails; it stays in the grid.
    b.script("create trigger noTwo before insert on tblrecord when new.fldPFName='二' "
                                  "begin select raise(abort, 'refused'); end;");
    b.boxes.setNextAnswer(MsgYes);
    watch.reset();
    b.f->tabBatch->cmdImport_Click();
    QVERIFY(overOdbc || watch.logSyncedAfterLastWrite()); // what is reported stored is on the disk
    QCOMPARE(b.scalar("select count(*) from tblrecord").toInt(), before.toInt() + 2);
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 2);
    QCOMPARE(b.f->tabBatch->egBatch->Cells(1, 6).Text(), QString("二"));
    QCOMPARE(b.scalar("select group_concat(fldPFName, '') from (select fldPFName from tblrecord where fldPrdNo like 'D0000008%' order by fldsn)"),
             QVariant("三一")); // bottom row first
    QCOMPARE(b.scalar("select fldPrdName||fldPdTime||fldOpTime||fldStatus from tblrecord where fldPFName='一'"),
             QVariant("D012013-09-012013-09-0200"));
    QVERIFY(!b.f->tabBatch->cmdImport->isEnabled() && !b.f->tabBatch->cmdCheck->isEnabled());
    QVERIFY(b.rowOf(b.f->tabEntry->list->grid, 4, "D00000080") > 0);
    // An empty grid: asks, inserts nothing.
    b.script("drop trigger noTwo;");
    b.f->tabBatch->egBatch->RemoveRow(1);
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 1);
    b.boxes.clear();
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabBatch->cmdImport_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"你确认要保存吗？"});
}

void TestFrmProducts::hospitalNames() {
    Bench b;
    QSettings& s = *b.hospitals;
    s.setValue("HName/1H", "北京口腔医院");
    s.setValue("HName/3H", "上海第九人民医院");
    b.f = std::make_unique<frmProducts>();
    // The two remembered names, then the lab's two clinics not among them.
    QCOMPARE(b.f->tabEntry->ucHospital->ListCount(), 4);
    SaveHospitalName("北京口腔医院");
    QCOMPARE(s.value("HName/2H").toString(), QString());
    SaveHospitalName("协和医院");
    QCOMPARE(s.value("HName/2H").toString(), QString("协和医院"));
    SaveHospitalName("北京口腔医院 ");
    QCOMPARE(s.value("HName/4H").toString(), QString("北京口腔医院 "));
    for (int n = 5; n <= 50; ++n)
        s.setValue(QString("HName/%1H").arg(n), QString("医院%1").arg(n));
    SaveHospitalName("满了");
    QVERIFY(!s.allKeys().contains("HName/51H"));
    QCOMPARE(s.allKeys().filter("HName/").size(), 50);
    // Choosing copies the name; Enter in the search box finds by initials.
    b.f->tabEntry->ucHospital->setListIndex(1);
    QCOMPARE(b.f->tabEntry->txtHospital->text(), QString("上海第九人民医院"));
    b.f->tabEntry->txtPinYin->setText("bj");
    QTest::keyClick(b.f->tabEntry->txtPinYin, Qt::Key_Return);
    QCOMPARE(b.f->tabEntry->txtHospital->text(), QString("北京口腔医院"));
}

// The record's own statement ran although its execution-log entry failed:
// the form moves on as after a clean save, and a stored batch row leaves the
// grid, so nothing is stored twice.
void TestFrmProducts::failedLogStillMovesOn() {
    Bench b;
    b.db.backend()->executeScript("drop table tblExecLog;");
    const int before = b.scalar("select count(*) from tblrecord").toInt();
    b.enter("C01", "00000160");
    for (int i = 0; i < 3; ++i)
        b.f->tabEntry->cmdSave->click();
    QCOMPARE(b.scalar("select count(*) from tblrecord").toInt(), before + 1);
    QCOMPARE(b.f->tabEntry->txtPrdNo->text(), QString());
    QVERIFY(!b.f->tabEntry->cmdSave->isEnabled() && b.f->tabEntry->cmdNew->isEnabled());
    QVERIFY(b.rowOf(b.f->tabEntry->list->grid, 4, "C00000160") > 0);

    b.f->tabBatch->cmdClear_Click();
    const QStringList row{"二氧化锆全瓷冠", "D00000090", "2013-9-1", "2013-9-2", "李", "四", "", "", "协和医院", "", ""};
    for (int c = 0; c < row.size(); ++c)
        b.f->tabBatch->egBatch->Cells(1, c + 1).setText(row[c]);
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabBatch->cmdImport_Click();
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 1);
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabBatch->cmdImport_Click(); // nothing left to store again
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldPrdNo='D00000090'").toInt(), 1);
    QCOMPARE(b.boxes.texts(), QStringList({"你确认要保存吗？", "你确认要保存吗？"}));
}

void TestFrmProducts::nulRefused_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("message");
    QTest::newRow("hospital") << "txtHospital" << "医院诊所 含有无效字符（空字符），无法保存！";
    QTest::newRow("remark") << "txtMemo" << "备注 含有无效字符（空字符），无法保存！";
    QTest::newRow("batch given name") << "6" << "行 1 :患者名 含有无效字符（空字符）！";
    QTest::newRow("batch remark") << "11" << "行 1 :备注 含有无效字符（空字符）！";
}

void TestFrmProducts::nulRefused() {
    QFETCH(QString, where);
    QFETCH(QString, message);
    Bench b;
    const QString nul = QString("王") + QChar(0) + "五";
    const int before = b.scalar("select count(*) from tblrecord").toInt();
    if (where.startsWith("txt")) {
        b.enter("C01", "00000170");
        if (where == "txtMemo")
            b.f->tabEntry->txtMemo->setPlainText(nul);
        else
            b.f->tabEntry->txtHospital->setText(nul);
        b.f->tabEntry->cmdSave_Click();
    } else {
        const QStringList row{"二氧化锆全瓷冠", "D00000091", "2013-9-1", "2013-9-2", "李", "四", "", "", "协和医院", "", ""};
        b.f->tabBatch->cmdAdd_Click();
        for (int c = 0; c < row.size(); ++c)
            b.f->tabBatch->egBatch->Cells(1, c + 1).setText(row[c]);
        b.f->tabBatch->egBatch->Cells(1, where.toInt()).setText(nul);
        b.f->tabBatch->cmdCheck_Click();
        QVERIFY(!b.f->tabBatch->cmdImport->isEnabled());
    }
    QCOMPARE(b.boxes.texts(), QStringList{message});
    QCOMPARE(b.scalar("select count(*) from tblrecord").toInt(), before);
}

void TestFrmProducts::submitTypedNumberMustBeSaved() {
    Bench b;
    const int r = b.rowOf(b.f->tabEntry->list->grid, 4, "C00000110");
    b.f->tabEntry->egNew_RowDblClick(r);
    const QString key = b.f->tabEntry->lbId->text();
    b.f->tabEntry->txtPrdNo->setText("00000999"); // typed, not saved
    b.f->tabEntry->cmdSubmit_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"质保卡号已修改，请先保存再上报！"});
    QCOMPARE(b.scalar("select fldStatus||fldPrdNo from tblrecord where fldsn=" + key), QVariant("00C00000110"));
    // Typed back as stored, it is submitted.
    b.f->tabEntry->txtPrdNo->setText("00000110");
    b.boxes.clear();
    b.f->tabEntry->cmdSubmit_Click();
    QCOMPARE(b.scalar("select fldStatus from tblrecord where fldsn=" + key), QVariant("01"));
}

void TestFrmProducts::failedStatusChangeKeepsRows() {
    QFETCH(bool, overOdbc);
    Bench b(overOdbc);
    QCOMPARE(dynamic_cast<SqliteBackend*>(gConn->GetConnection()) == nullptr, overOdbc);
    const int pending = b.f->tabEntry->list->grid->Rows() - 1;
    QVERIFY(pending >= 2);
    b.script("update tblProductNoSet set fldPrdNoTo='C00000999' where fldPrdNoTo='C00000500'");
    b.script("create trigger locked before update on tblrecord begin select raise(abort, 'database is locked'); end;");
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabEntry->cmdSubmitAll_Click();
    QCOMPARE(b.f->tabEntry->list->grid->Rows() - 1, pending);
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldStatus='00'").toInt(), pending);
    QVERIFY(b.boxes.texts().join("|").contains("database is locked"));
    // Submit one: the record stays open and listed.
    b.f->tabEntry->egNew_RowDblClick(1);
    const QString key = b.f->tabEntry->lbId->text();
    b.f->tabEntry->cmdSubmit_Click();
    QCOMPARE(b.f->tabEntry->lbId->text(), key);
    QVERIFY(b.rowOf(b.f->tabEntry->list->grid, 1, key) > 0);
}

void TestFrmProducts::submitAllEndsOnTopmostFailingRow() {
    QFETCH(bool, overOdbc);
    Bench b(overOdbc);
    QCOMPARE(dynamic_cast<SqliteBackend*>(gConn->GetConnection()) == nullptr, overOdbc);
    b.script("delete from tblrecord where fldStatus='00'");
    for (const char* digits : {"00000998", "00000301", "00000999", "00000303"}) {
        b.enter("C01", digits);
        b.f->tabEntry->cmdSave_Click();
    }
    b.f->tabEntry->egNew_RowDblClick(1); // a record open: New is off until the run ends
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabEntry->cmdSubmitAll_Click();
    QCOMPARE(b.f->tabEntry->list->grid->Rows(), 3);
    QCOMPARE(b.cell(b.f->tabEntry->list->grid, 1, 4), QString("C00000998"));
    QCOMPARE(b.f->tabEntry->list->grid->CurrentRow().Index(), 1);
    QCOMPARE(b.f->tabEntry->list->grid->CurrentCol().Index(), 4);
    QVERIFY(b.f->tabEntry->cmdNew->isEnabled());
}

void TestFrmProducts::openedRowWithoutDates() {
    Bench b;
    b.db.backend()->executeNative("update tblrecord set fldPdTime='', fldOpTime='not a date' where fldPrdNo='C00000110'", {});
    b.f->LoadRecordList("New");
    const int other = b.rowOf(b.f->tabEntry->list->grid, 4, "C00000110") == 1 ? 2 : 1;
    b.f->tabEntry->egNew_RowDblClick(other); // its dates are in the pickers now
    b.f->tabEntry->egNew_RowDblClick(b.rowOf(b.f->tabEntry->list->grid, 4, "C00000110"));
    QVERIFY(b.f->tabEntry->txtPdTime->isMissing());
    QVERIFY(b.f->tabEntry->txtOpTime->isMissing());
    QCOMPARE(b.f->tabEntry->txtPdTime->text().trimmed(), QString());
    const QString key = b.f->tabEntry->lbId->text();
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"请输入制作时间！"});
    QCOMPARE(b.scalar("select fldPdTime from tblrecord where fldsn=" + key), QVariant(""));
    b.f->tabEntry->txtPdTime->setDate(QDate(2013, 9, 3));
    b.f->tabEntry->txtOpTime->setDate(QDate(2013, 9, 4));
    b.boxes.clear();
    b.f->tabEntry->cmdSave_Click();
    QVERIFY(b.boxes.shown().isEmpty());
    QCOMPARE(b.scalar("select fldPdTime||fldOpTime from tblrecord where fldsn=" + key), QVariant("2013-09-032013-09-04"));
}

void TestFrmProducts::houseColoursOnGrids() {
    Bench b;
    for (int tab : {0, 3}) {
        b.f->stbInfo->setCurrentIndex(tab);
        vt::EditGrid* g = tab == 0 ? b.f->tabEntry->list->grid : b.f->tabBatch->egBatch;
        QCoreApplication::processEvents();
        const QImage shot = g->grab().toImage();
        // The empty area under the rows and a header cell.
        const QColor area = shot.pixelColor(shot.width() / 2, shot.height() - 30);
        const QColor header = shot.pixelColor(shot.width() / 2 + 7, 4);
        auto near = [](const QColor& c, int r, int gg, int bl) {
            return qAbs(c.red() - r) <= 2 && qAbs(c.green() - gg) <= 2 && qAbs(c.blue() - bl) <= 2;
        };
        QVERIFY2(near(area, 203, 235, 255), qPrintable(area.name()));
        QVERIFY2(near(header, 160, 193, 215), qPrintable(header.name()));
    }
}

void TestFrmProducts::listsShowWholeNumbersAndDates() {
    Bench b;
    b.f->tabProc->cmdRefresh_Click();
    struct Col {
        vt::EditGrid* grid;
        int col;
        QString text;
    };
    const Col cols[] = {{b.f->tabEntry->list->grid, 4, "C00000110"},   {b.f->tabEntry->list->grid, 10, "2013-09-28"}, {b.f->tabEntry->list->grid, 13, "2013-09-28"},
                        {b.f->tabProc->list->grid, 7, "E00001005"},  {b.f->tabProc->list->grid, 8, "2013-08-22"}, {b.f->tabOuted->list->grid, 6, "C00000100"},
                        {b.f->tabOuted->list->grid, 2, "2013-08-22"}, {b.f->tabBatch->egBatch, 2, "C00000102"}, {b.f->tabBatch->egBatch, 4, "2013-09-01"}};
    for (const Col& c : cols) {
        const int need = QFontMetrics(c.grid->Font()).horizontalAdvance(c.text);
        const int width = vt::twipsToPixels(c.grid->Col(c.col).Width());
        QVERIFY2(need + 6 <= width, qPrintable(QString("%1 col %2: %3 > %4").arg(c.grid->objectName()).arg(c.col).arg(need).arg(width)));
    }
    // The batch grid shows every product name whole, and its hospital
    // column is as wide as the lists'.
    vt::EditGrid* batch = b.f->tabBatch->egBatch;
    for (int k = 0; k < b.f->tabBatch->ucProduct2->ListCount(); ++k) {
        const QString name = b.f->tabBatch->ucProduct2->ListText(k);
        const int need = QFontMetrics(batch->Font()).horizontalAdvance(name);
        QVERIFY2(need + 6 <= vt::twipsToPixels(batch->Col(1).Width()), qPrintable(name));
    }
    QCOMPARE(batch->Col(9).Width(), b.f->tabEntry->list->grid->Col(9).Width());
}

void TestFrmProducts::batchGridInsideItsPage() {
    Bench b;
    for (QSize size : {QSize(1024, 768), QSize(1280, 1024)}) {
        b.f->resize(size);
        b.f->stbInfo->setCurrentIndex(3);
        QCoreApplication::processEvents();
        QWidget* page = b.f->stbInfo->currentWidget();
        const QRect grid(b.f->tabBatch->egBatch->mapTo(page, QPoint(0, 0)), b.f->tabBatch->egBatch->size());
        QVERIFY2(page->rect().contains(grid), qPrintable(QString("%1x%2").arg(grid.bottom()).arg(page->height())));
        for (QWidget* frame : {(QWidget*)b.f->tabEntry->frmNew, (QWidget*)b.f->tabBatch->frmBatch}) {
            const QRect r(frame->mapTo(frame->window(), QPoint(0, 0)), frame->size());
            QVERIFY(b.f->stbInfo->geometry().contains(r.translated(-b.f->centralWidget()->pos())));
        }
    }
}

void TestFrmProducts::statusBarAndHelpFit() {
    Bench b;
    for (QSize size : {QSize(1024, 768), QSize(1280, 1024), QSize(1600, 900)}) {
        b.f->resize(size);
        QCoreApplication::processEvents();
        QLabel* clock = b.f->InfoBarPanel3;
        const QRect r(clock->mapTo(b.f->statusBar(), QPoint(0, 0)), clock->size());
        QVERIFY2(r.right() < b.f->statusBar()->width(), qPrintable(QString::number(r.right())));
        QVERIFY(QFontMetrics(clock->font()).horizontalAdvance(clock->text()) <= clock->contentsRect().width());
        // The help lines break only after a phrase, and stay inside the frame.
        const QStringList lines = b.f->tabEntry->lblHelp->text().split('\n');
        for (const QString& line : lines)
            QVERIFY2(line.endsWith(QChar(0xFF0C)) || line.endsWith(QChar(0x3002)), qPrintable(line));
        QVERIFY(QFontMetrics(b.f->tabEntry->lblHelp->font()).horizontalAdvance(lines.first()) <= b.f->tabEntry->lblHelp->width());
        QVERIFY(b.f->tabEntry->lblHelp->geometry().right() <= b.f->tabEntry->frmNew->width());
    }
    b.f->resize(1280, 1024);
    QCoreApplication::processEvents();
    QCOMPARE(b.f->tabEntry->lblHelp->text().split('\n').size(), 3);
}

void TestFrmProducts::tabReachesHospitalList() {
    Bench b;
    b.f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(b.f.get()));
    b.f->tabEntry->cmdNew_Click(); // Save is on, and the focus is on the product
    QTRY_VERIFY(b.f->tabEntry->ucProduct->isAncestorOf(QApplication::focusWidget()));
    // The keyboard order of the entry panel, the pickers' parts included.
    QStringList seen;
    for (int i = 0; i < 20; ++i) {
        QWidget* w = QApplication::focusWidget();
        QWidget* picker = w->parentWidget();
        const bool inPicker = picker == b.f->tabEntry->ucProduct || picker == b.f->tabEntry->ucHospital;
        const QString name = inPicker ? picker->objectName() + "." + w->objectName() : w->objectName();
        if (seen.isEmpty() || seen.last() != name)
            seen << name;
        if (w == b.f->tabEntry->cmdSave)
            break;
        QTest::keyClick(w, Qt::Key_Tab);
    }
    QCOMPARE(seen, QStringList({"ucProduct.txtKey", "ucProduct.dcSelect", "txtPrdNo", "txtPLName", "txtPFName",
                                "txtDLName", "txtDFName", "txtPdTime", "txtOpTime", "txtHospital",
                                "txtPinYin", "ucHospital.dcSelect", "txtOpDesp", "cboLot", "txtTeeth", "cboShade",
                                "txtMemo", "cmdSave"}));
    // Below the buttons: print, the list's filter box, export, then the list.
    b.f->tabEntry->list->cmdPrint->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), b.f->tabEntry->list->cmdPrint);
    QStringList below;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* w = QApplication::focusWidget();
        below << (b.f->tabEntry->list->grid->isAncestorOf(w) ? QString("egNew") : w->objectName());
    }
    QCOMPARE(below, QStringList({"txtFilterNew", "cmdExportNew", "egNew"}));
}

void TestFrmProducts::unsavedChangesAreAskedFor() {
    Bench b;
    // Nothing typed: opening a row asks nothing.
    b.f->tabEntry->egNew_RowDblClick(1);
    QVERIFY(b.boxes.shown().isEmpty());
    QVERIFY(!b.f->tabEntry->lbId->text().isEmpty());
    b.f->tabEntry->cmdDel->setEnabled(false);
    // A half-typed new card: the question, default No, keeps it.
    b.f->tabEntry->cmdNew_Click();
    b.f->tabEntry->txtPrdNo->setText("00000177");
    b.f->tabEntry->egNew_RowDblClick(2);
    QCOMPARE(b.boxes.texts(), QStringList{"输入的内容尚未保存，确定要放弃吗？"});
    QCOMPARE(b.boxes.shown().first().defaultButton, int(MsgNo));
    QCOMPARE(b.f->tabEntry->txtPrdNo->text(), QString("00000177"));
    QVERIFY(b.f->tabEntry->lbId->text().isEmpty());
    // Yes lets it go.
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabEntry->egNew_RowDblClick(2);
    QVERIFY(!b.f->tabEntry->lbId->text().isEmpty());
    // Closing the window with changes: No keeps the program running.
    b.f->tabEntry->txtMemo->setPlainText("改了");
    bool ended = false;
    try {
        b.f->close();
    } catch (const std::runtime_error&) {
        ended = true;
    }
    QVERIFY(!ended);
    QVERIFY(b.f->isVisible());
    // The question says which card is unsaved.
    QCOMPARE(b.boxes.texts().last(), QString("质保卡 %1（%2%3）：输入的内容尚未保存，确定要放弃吗？")
                                         .arg(b.cell(b.f->tabEntry->list->grid, 2, 4), b.cell(b.f->tabEntry->list->grid, 2, 5),
                                              b.cell(b.f->tabEntry->list->grid, 2, 6)));
    b.f->tabEntry->cmdNew_Click();
    b.f->tabEntry->txtPLName->clear();
    b.f->tabEntry->txtPFName->clear();
    try {
        b.f->close();
    } catch (const std::runtime_error&) {
        ended = true;
    }
    QVERIFY(!ended);
    QCOMPARE(b.boxes.texts().last(), QString("未填卡号的质保卡：输入的内容尚未保存，确定要放弃吗？"));
}

void TestFrmProducts::unsavedStateFollowsTheFields_data() {
    // Steps on the entry tab, then the question whether typed values may be
    // dropped (asked by a double-click on a row and by closing the window).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("asks");
    QTest::newRow("open, delete") << QStringList{"open", "delete"} << false;
    QTest::newRow("open, type, delete") << QStringList{"open", "type", "delete"} << false;
    QTest::newRow("open, new") << QStringList{"open", "new"} << false;
    QTest::newRow("open, save") << QStringList{"open", "type", "save"} << false;
    QTest::newRow("open, type, submit") << QStringList{"open", "type", "submit"} << true;
    QTest::newRow("open, submit") << QStringList{"open", "submit"} << false;
    QTest::newRow("new, digits, submit-all") << QStringList{"new", "digits", "submitAll"} << true;
    QTest::newRow("type, submit-all") << QStringList{"type", "submitAll"} << true;
    QTest::newRow("open, submit-all") << QStringList{"open", "submitAll"} << false;
    QTest::newRow("new, type, new") << QStringList{"new", "type", "new"} << true;
    QTest::newRow("new, digits, new") << QStringList{"new", "digits", "new"} << false;
}

void TestFrmProducts::unsavedStateFollowsTheFields() {
    QFETCH(QStringList, steps);
    QFETCH(bool, asks);
    Bench b;
    frmEntryTab* t = b.f->tabEntry;
    for (const QString& step : steps) {
        if (step == "open") {
            t->egNew_RowDblClick(b.rowOf(t->list->grid, 4, "C00000110"));
        } else if (step == "type") {
            t->txtMemo->setPlainText("手写的备注");
        } else if (step == "digits") {
            t->txtPrdNo->setText("00000177");
        } else if (step == "new") {
            t->cmdNew_Click();
        } else if (step == "save") {
            t->cmdSave_Click();
        } else if (step == "submit") {
            t->cmdSubmit_Click();
        } else if (step == "delete" || step == "submitAll") {
            b.boxes.setNextAnswer(MsgYes);
            step == "delete" ? t->cmdDel_Click() : t->cmdSubmitAll_Click();
        }
    }
    const QStringList before = b.boxes.texts();
    QVERIFY2(!before.contains("输入的内容尚未保存，确定要放弃吗？"), qPrintable(before.join('|')));
    QCOMPARE(t->EntryChanged(), asks);
    const QString opened = t->lbId->text();
    if (t->list->grid->Rows() > 1) {
        // A double-click on a row: the question only when something is unsaved,
        // and its default No keeps the fields.
        t->egNew_RowDblClick(1);
        QCOMPARE(b.boxes.texts().mid(before.size()),
                 asks ? QStringList{"输入的内容尚未保存，确定要放弃吗？"} : QStringList());
        QCOMPARE(t->lbId->text().isEmpty(), asks && opened.isEmpty());
    } else {
        QCOMPARE(t->AskToDropChanges(), !asks);
        QCOMPARE(b.boxes.texts().size(), before.size() + (asks ? 1 : 0));
    }
}

void TestFrmProducts::submitAllEndsWithNewOnAndASummary_data() {
    // How the pending list is prepared, and what the status line then says.
    QTest::addColumn<QString>("prepare");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<int>("left");
    QTest::newRow("taken number stops the run")
        << "update tblrecord set fldPrdNo='C00000120' where fldPrdNo='D00000012'"
        << "已上报 0 张，留下 2 张待提交：卡号 C00000120 已经存在，上报停在该行" << 2;
    QTest::newRow("out of range is left")
        << "update tblrecord set fldPrdNo='C00000999' where fldPrdNo='D00000012'"
        << "已上报 1 张，留下 1 张待提交：1 张卡号不在范围内" << 1;
    QTest::newRow("failed status change")
        << "create trigger noSubmit before update on tblrecord when new.fldStatus='01' begin select raise(abort, 'locked'); end;"
        << "已上报 0 张，留下 2 张待提交：状态更改失败，上报停在该行" << 2;
    QTest::newRow("all go") << "" << "已上报 2 张" << 0;
}

void TestFrmProducts::submitAllEndsWithNewOnAndASummary() {
    QFETCH(QString, prepare);
    QFETCH(QString, summary);
    QFETCH(int, left);
    Bench b;
    if (!prepare.isEmpty())
        b.db.backend()->executeScript(prepare);
    b.f->LoadRecordList("New");
    frmEntryTab* t = b.f->tabEntry;
    t->egNew_RowDblClick(b.rowOf(t->list->grid, 4, "C00000110")); // New is off while a record is open
    QVERIFY(!t->cmdNew->isEnabled());
    b.boxes.setNextAnswer(MsgYes);
    t->cmdSubmitAll_Click();
    QVERIFY(t->cmdNew->isEnabled());
    QVERIFY(!t->cmdSave->isEnabled() && !t->cmdSubmit->isEnabled());
    QCOMPARE(t->lbId->text(), QString());
    QCOMPARE(t->list->grid->Rows() - 1, left);
    QVERIFY2(b.f->InfoBarPanel2->text().endsWith(summary), qPrintable(b.f->InfoBarPanel2->text()));
}

void TestFrmProducts::clearAndDeleteRowsAsk() {
    Bench b;
    b.f->tabBatch->cmdClear_Click(); // one empty row, no question (nothing to lose)
    QVERIFY(b.boxes.shown().isEmpty());
    b.f->tabBatch->cmdAdd_Click();
    b.f->tabBatch->cmdAdd_Click();
    for (int r = 1; r <= 3; ++r)
        b.f->tabBatch->egBatch->Cells(r, 2).setText(QString("C0000040%1").arg(r));
    b.f->tabBatch->cmdClear_Click(); // answered No
    QCOMPARE(b.boxes.texts(), QStringList{"确认清除全部 3 行吗？"});
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 4);
    // Rows 1 and 2 selected, then deleted.
    b.f->stbInfo->setCurrentIndex(3);
    b.f->tabBatch->egBatch->Cells(1, 2).setSelected(true);
    b.f->tabBatch->egBatch->focusProxy()->setFocus();
    QTest::keyClick(b.f->tabBatch->egBatch->focusProxy(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(b.f->tabBatch->egBatch->SelectedRows(), QList<int>({1, 2}));
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabBatch->cmdDeleteRows->click();
    QCOMPARE(b.boxes.texts().last(), QString("确认删除选中的 2 行吗？"));
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 2);
    QCOMPARE(b.f->tabBatch->egBatch->Cells(1, 2).Text(), QString("C00000403"));
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabBatch->cmdClear_Click();
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 2);
    QCOMPARE(b.f->tabBatch->egBatch->Cells(1, 2).Text(), QString());
}

void TestFrmProducts::everyStepSaysWhatItDid() {
    Bench b;
    b.enter("C01", "00000151");
    b.f->tabEntry->cmdSave_Click();
    QVERIFY2(b.f->InfoBarPanel2->text().endsWith("已保存 C00000151"), qPrintable(b.f->InfoBarPanel2->text()));
    QVERIFY(QTime::fromString(b.f->InfoBarPanel2->text().left(8), "HH:mm:ss").isValid());
    // The saved row is the current one.
    QCOMPARE(b.cell(b.f->tabEntry->list->grid, b.f->tabEntry->list->grid->CurrentRow().Index(), 4), QString("C00000151"));
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabEntry->cmdSubmitAll_Click();
    QVERIFY2(b.f->InfoBarPanel2->text().endsWith("已上报 3 张"), qPrintable(b.f->InfoBarPanel2->text()));
    b.f->tabBatch->cmdClear_Click();
    const QStringList row{"二氧化锆全瓷冠", "D00000092", "2013-9-1", "2013-9-2", "李", "四", "", "", "协和医院", "", ""};
    for (int c = 0; c < row.size(); ++c)
        b.f->tabBatch->egBatch->Cells(1, c + 1).setText(row[c]);
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabBatch->cmdImport_Click();
    QVERIFY2(b.f->InfoBarPanel2->text().endsWith("已导入 1 行"), qPrintable(b.f->InfoBarPanel2->text()));
    QCOMPARE(b.cell(b.f->tabEntry->list->grid, b.f->tabEntry->list->grid->CurrentRow().Index(), 4), QString("D00000092"));
}

void TestFrmProducts::hospitalNamesAtOnceAndFiltered() {
    Bench b;
    QCOMPARE(b.f->tabEntry->ucHospital->ListCount(), 3); // the lab's own clinics
    b.enter("C01", "00000152", "北京口腔医院");
    b.f->tabEntry->cmdSave_Click();
    b.enter("C01", "00000153", "上海第九人民医院");
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(b.f->tabEntry->ucHospital->ListCount(), 4); // offered at once, not after a restart, each once
    b.f->tabEntry->txtPinYin->setFocus();
    QTest::keyClicks(b.f->tabEntry->txtPinYin, "sh");
    QCOMPARE(b.f->tabEntry->ucHospital->ListCount(), 1);
    QTest::keyClick(b.f->tabEntry->txtPinYin, Qt::Key_Return);
    QCOMPARE(b.f->tabEntry->txtHospital->text(), QString("上海第九人民医院"));
    b.f->tabEntry->txtPinYin->clear(); // an empty box shows all again
    QCOMPARE(b.f->tabEntry->ucHospital->ListCount(), 4);
}

void TestFrmProducts::labClinicsAfterRememberedNames() {
    Bench b;
    QSettings& store = *b.hospitals;
    store.setValue("HName/1H", "协和医院");
    store.setValue("HName/2H", "朝阳区牙科诊所");
    vt::ucInput* picker = b.f->tabEntry->ucHospital;
    LoadHospitalNames(picker);
    QStringList shown, keys;
    for (int k = 0; k < picker->ListCount(); ++k) {
        shown << picker->ListText(k);
        keys << vt::vtListTable::textOf(picker->ListKey(k));
    }
    // Remembered names in their slots, then the lab's clinics by use (another
    // lab's clinic is not among them), each name once.
    QCOMPARE(shown, QStringList({"协和医院", "朝阳区牙科诊所", "北京口腔医院", "海淀齿科门诊"}));
    QCOMPARE(keys.mid(0, 2), QStringList({"1H", "2H"}));
    QVERIFY(!keys.mid(2).contains("3H"));
    // Choosing a clinic fills the hospital box; saving remembers it in slot 3.
    picker->setListIndex(2);
    QCOMPARE(b.f->tabEntry->txtHospital->text(), QString("北京口腔医院"));
    QVERIFY(LabHospitalsStatement().startsWith(QString("select top %1 ").arg(LabHospitalLimit)));
    b.enter("C01", "00000159", "北京口腔医院");
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(store.value("HName/3H").toString(), QString("北京口腔医院"));
}

void TestFrmProducts::earlyWarnings() {
    Bench b;
    b.enter("C01", "00000999"); // in no range of the lab
    b.f->tabEntry->cmdSave_Click();
    QCOMPARE(b.boxes.shown().size(), 0); // no modal box
    QVERIFY2(b.f->InfoBarPanel2->text().contains("不在本所的卡号范围内"), qPrintable(b.f->InfoBarPanel2->text()));
    const int r = b.rowOf(b.f->tabEntry->list->grid, 4, "C00000999");
    QCOMPARE(b.f->tabEntry->list->grid->Cells(r, 4).BackColor(), WarningColor);
    // The batch: a repeated number, a foreign one, and a row with two faults.
    b.f->tabBatch->cmdClear_Click();
    b.f->tabBatch->cmdAdd_Click();
    b.f->tabBatch->cmdAdd_Click();
    const QStringList good{"钴铬合金烤瓷冠", "C00000410", "2013-9-1", "2013-9-2", "李", "四", "", "", "协和医院", "", ""};
    QStringList rows[3] = {good, good, good};
    rows[1][1] = "C00000999";
    rows[2][2] = "not a date";
    rows[2][8] = "";
    for (int i = 0; i < 3; ++i)
        for (int c = 0; c < 11; ++c)
            b.f->tabBatch->egBatch->Cells(i + 1, c + 1).setText(rows[i][c]);
    b.f->tabBatch->egBatch->Cells(3, 2).setText("C00000410"); // the first row's number again
    b.f->tabBatch->cmdCheck_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"行 3 :提供的  制作时间  格式有误！"}); // the first message, as before
    QCOMPARE(b.f->tabBatch->egBatch->Cells(3, 3).BackColor(), FailureColor);
    QCOMPARE(b.f->tabBatch->egBatch->Cells(3, 9).BackColor(), FailureColor);
    QCOMPARE(b.f->tabBatch->egBatch->Cells(1, 2).BackColor(), WarningColor); // twice in the paste
    QCOMPARE(b.f->tabBatch->egBatch->Cells(2, 2).BackColor(), WarningColor); // no range of the lab
    QCOMPARE(b.f->tabBatch->egBatch->Cells(1, 1).BackColor(), -1L);
    QVERIFY2(b.f->InfoBarPanel2->text().contains("检验发现 5 个问题"), qPrintable(b.f->InfoBarPanel2->text()));
}

void TestFrmProducts::earlyWarningsFollowTheDatabase() {
    Bench b;
    frmEntryTab* t = b.f->tabEntry;
    vt::EditGrid* g = t->list->grid;
    // An opened record whose number is in no range of the lab.
    b.db.backend()->executeNative("update tblrecord set fldPrdNo='C00000999' where fldPrdNo='C00000110'", {});
    b.f->LoadRecordList("New");
    t->egNew_RowDblClick(b.rowOf(g, 4, "C00000999"));
    QCOMPARE(t->NumberWarnings(), QStringList{"卡号 C00000999 不在本所的卡号范围内"});
    QCOMPARE(t->txtPrdNo->palette().color(QPalette::Base), vt::fromColorValue(WarningColor));
    QVERIFY(t->txtPrdNo->toolTip().contains("不在本所的卡号范围内"));
    QVERIFY2(b.f->InfoBarPanel2->text().contains("不在本所的卡号范围内"), qPrintable(b.f->InfoBarPanel2->text()));
    // Its range is issued meanwhile: the next look finds nothing.
    b.db.backend()->executeNative("update tblProductNoSet set fldPrdNoTo='C00000999' where fldPrdNoTo='C00000500'", {});
    t->egNew_RowDblClick(b.rowOf(g, 4, "C00000999"));
    QVERIFY(t->NumberWarnings().isEmpty());
    QVERIFY(t->txtPrdNo->palette().color(QPalette::Base) != vt::fromColorValue(WarningColor));
    // A product pick: the number the box now holds.
    b.boxes.setNextAnswer(MsgYes);
    t->cmdNew_Click();
    t->txtPrdNo->setText("00000120");
    t->ucProduct->setKey("D01");
    QCOMPARE(t->NumberWarnings(), QStringList{"卡号 D00000120 不在本所的卡号范围内"});
    t->ucProduct->setKey("C01"); // held by a submitted card
    QCOMPARE(t->NumberWarnings(), QStringList{"卡号 C00000120 已被已上报的质保卡使用"});
    t->txtPrdNo->setText("00000050");
    t->ucProduct->setKey("D01");
    QVERIFY(t->NumberWarnings().isEmpty());
    t->ucProduct->setKey("C01");
    QCOMPARE(t->NumberWarnings(), QStringList{"卡号 C00000050 不在本所的卡号范围内"});
    // A pending duplicate: both rows marked, and they stay marked across an
    // unrelated save, until one of them goes.
    for (const char* digits : {"00000210", "00000210", "00000211"}) {
        b.enter("C01", digits);
        t->cmdSave_Click();
    }
    const auto marked = [&](const QString& number) {
        QList<bool> marks;
        for (int r = 1; r < g->Rows(); ++r)
            if (b.cell(g, r, 4) == number)
                marks << (g->Cells(r, 4).BackColor() == WarningColor);
        return marks;
    };
    QCOMPARE(marked("C00000210"), QList<bool>({true, true}));
    QCOMPARE(marked("C00000211"), QList<bool>({false}));
    b.f->LoadRecordList("New"); // a reload from another tab
    QCOMPARE(marked("C00000210"), QList<bool>({true, true}));
    t->egNew_RowDblClick(b.rowOf(g, 4, "C00000210"));
    b.boxes.setNextAnswer(MsgYes);
    t->cmdDel_Click();
    QCOMPARE(marked("C00000210"), QList<bool>({false}));
    // The warnings' queries fail without a box of their own.
    b.db.backend()->executeScript("alter table tblProductNoSet rename to tblGone;");
    b.boxes.clear();
    t->egNew_RowDblClick(b.rowOf(g, 4, "C00000211"));
    b.f->LoadRecordList("New");
    QVERIFY2(b.boxes.shown().isEmpty(), qPrintable(b.boxes.texts().join('|')));
}

void TestFrmProducts::plausibilityWarnings() {
    Bench b;
    frmEntryTab* t = b.f->tabEntry;
    vt::EditGrid* g = t->list->grid;
    // At Save: a production date after the treatment, in the status line.
    b.enter("C01", "00000158");
    t->txtPdTime->setDate(QDate(2013, 9, 9));
    t->txtOpTime->setDate(QDate(2013, 9, 5));
    t->cmdSave_Click();
    QVERIFY(b.boxes.shown().isEmpty());
    QVERIFY2(b.f->InfoBarPanel2->text().contains("制作时间晚于诊疗时间"), qPrintable(b.f->InfoBarPanel2->text()));
    const int r = b.rowOf(g, 4, "C00000158");
    QCOMPARE(g->Cells(r, 13).BackColor(), WarningColor);
    QCOMPARE(g->Cells(r, 10).BackColor(), -1L);
    QCOMPARE(g->Cells(r, 4).BackColor(), -1L);
    // The batch: yellow cells, and the question says how many rows carry them.
    b.f->tabBatch->cmdClear_Click();
    b.f->tabBatch->cmdAdd_Click();
    b.f->tabBatch->cmdAdd_Click();
    const QString tomorrow = QDate::currentDate().addDays(1).toString("yyyy-MM-dd");
    const QStringList rows[3] = {
        {"钴铬合金烤瓷冠", "C00000420", "2013-9-1", "2013-9-2", "李", "四", "", "", "协和医院", "", ""},
        {"钴铬合金烤瓷冠", "C00000421", tomorrow, "2013-9-2", "李", "四", "", "", "协和医院", "", ""},
        {"钴铬合金烤瓷冠", "C00000422", "2012-9-1", "2013-9-2", "李", "四", "", "", "协和医院", "", ""}};
    for (int i = 0; i < 3; ++i)
        for (int c = 0; c < 11; ++c)
            b.f->tabBatch->egBatch->Cells(i + 1, c + 1).setText(rows[i][c]);
    b.f->tabBatch->cmdCheck_Click();
    QVERIFY(b.boxes.shown().isEmpty()); // warnings pass the check
    QVERIFY(b.f->tabBatch->cmdImport->isEnabled());
    QCOMPARE(b.f->tabBatch->egBatch->Cells(1, 3).BackColor(), -1L);
    QCOMPARE(b.f->tabBatch->egBatch->Cells(2, 3).BackColor(), WarningColor);
    QCOMPARE(b.f->tabBatch->egBatch->Cells(3, 4).BackColor(), WarningColor);
    b.boxes.setNextAnswer(MsgNo);
    b.f->tabBatch->cmdImport_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"你确认要保存吗？\n其中 2 行有提示（黄色单元格），仍要导入吗？"});
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 4);
    // Without warnings the question is as it was.
    b.f->tabBatch->egBatch->Cells(2, 3).setText("2013-9-1");
    b.f->tabBatch->egBatch->Cells(3, 3).setText("2013-9-1");
    b.boxes.clear();
    b.boxes.setNextAnswer(MsgNo);
    b.f->tabBatch->cmdImport_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"你确认要保存吗？"});
}

void TestFrmProducts::pasteIntoEmptyBatchGrid() {
    Bench b;
    b.f->stbInfo->setCurrentIndex(3);
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 1);
    QApplication::clipboard()->setText("钴铬合金烤瓷冠\tC00000411\r\n钴铬合金烤瓷冠\tC00000412");
    b.f->tabBatch->egBatch->focusProxy()->setFocus();
    QTest::keyClick(b.f->tabBatch->egBatch->focusProxy(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 3);
    QCOMPARE(b.f->tabBatch->egBatch->Cells(1, 2).Text(), QString("C00000411"));
    QCOMPARE(b.f->tabBatch->egBatch->Cells(2, 2).Text(), QString("C00000412"));
    QVERIFY(b.f->tabBatch->cmdCheck->isEnabled());
}

void TestFrmProducts::pasteIntoEmptiedBatchGrid_data() {
    // How the grid was emptied (its current cell left in column 3), and
    // whether the copied lines start with the grid's header row.
    QTest::addColumn<QString>("emptied");
    QTest::addColumn<bool>("headers");
    QTest::newRow("after an import") << "import" << false;
    QTest::newRow("after clear, with headers") << "clear" << true;
    QTest::newRow("after deleting the rows") << "deleteRows" << false;
    QTest::newRow("after an import, with headers") << "import" << true;
}

void TestFrmProducts::pasteIntoEmptiedBatchGrid() {
    QFETCH(QString, emptied);
    QFETCH(bool, headers);
    Bench b;
    b.f->stbInfo->setCurrentIndex(3);
    vt::EditGrid* g = b.f->tabBatch->egBatch;
    b.f->tabBatch->cmdClear_Click();
    const QStringList row{"二氧化锆全瓷冠", "D00000093", "2013-9-1", "2013-9-2", "李", "四", "", "", "协和医院", "", ""};
    for (int c = 0; c < row.size(); ++c)
        g->Cells(1, c + 1).setText(row[c]);
    g->Cells(1, 3).setSelected(true);
    b.boxes.setNextAnswer(MsgYes);
    if (emptied == "import") {
        b.f->tabBatch->cmdImport_Click();
    } else if (emptied == "clear") {
        b.f->tabBatch->cmdClear_Click();
        g->Row(1).Remove();
    } else {
        b.f->tabBatch->cmdDeleteRows_Click();
    }
    QCOMPARE(g->Rows(), 1);
    QString text = "钴铬合金烤瓷冠\tC00000413\t2013-09-01\r\n钴铬合金烤瓷冠\tC00000414\t2013-09-02";
    if (headers) {
        QStringList names;
        for (int c = 1; c < g->Cols(); ++c)
            names << g->Cells(0, c).Text();
        text = names.join('\t') + "\r\n" + text;
    }
    QApplication::clipboard()->setText(text);
    g->focusProxy()->setFocus();
    QTest::keyClick(g->focusProxy(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(g->Rows(), 3);
    QCOMPARE(g->Cells(1, 1).Text(), QString("钴铬合金烤瓷冠"));
    QCOMPARE(g->Cells(1, 2).Text(), QString("C00000413"));
    QCOMPARE(g->Cells(2, 3).Text(), QString("2013-09-02"));
    QCOMPARE(g->Cells(1, 4).Text(), QString());
}

void TestFrmProducts::carriedFieldsMarked_data() {
    // The field the clerk types in after New: it loses its mark, the others
    // keep theirs.
    QTest::addColumn<QString>("typedIn");
    QTest::newRow("patient surname") << "txtPLName";
    QTest::newRow("description") << "txtOpDesp";
    QTest::newRow("remark") << "txtMemo";
}

void TestFrmProducts::carriedFieldsMarked() {
    QFETCH(QString, typedIn);
    Bench b;
    b.f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(b.f.get()));
    frmEntryTab* t = b.f->tabEntry;
    b.enter("C01", "00000155");
    t->txtDLName->setText("刘");
    t->txtOpDesp->setText("上颌前牙烤瓷冠");
    t->txtMemo->setPlainText("复诊");
    t->cmdSave_Click();
    QTest::keyClick(b.f.get(), Qt::Key_N, Qt::ControlModifier);
    const QList<QWidget*> carried{t->txtPLName, t->txtPFName, t->txtDLName, t->txtHospital, t->txtOpDesp, t->txtMemo};
    for (QWidget* w : carried) {
        QVERIFY2(t->IsCarried(w), qPrintable(w->objectName()));
        QCOMPARE(w->toolTip(), QString("沿用上一张"));
        QCOMPARE(w->palette().color(QPalette::Base), CarriedMarks::Tint());
    }
    QVERIFY(!t->IsCarried(t->txtDFName)); // empty: nothing carried
    QVERIFY(t->txtDFName->palette().color(QPalette::Base) != CarriedMarks::Tint());
    // Typing in a field takes its mark away.
    QWidget* field = t->findChild<QWidget*>(typedIn);
    QVERIFY(field);
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, "x");
    QVERIFY(!t->IsCarried(field));
    QVERIFY(field->toolTip() != "沿用上一张");
    QVERIFY(field->palette().color(QPalette::Base) != CarriedMarks::Tint());
    for (QWidget* w : carried)
        QCOMPARE(t->IsCarried(w), w != field);
    // Saving confirms the rest.
    t->ucProduct->setKey("C01");
    t->txtPrdNo->setText("00000156");
    t->cmdSave_Click();
    QVERIFY(b.boxes.shown().isEmpty());
    for (QWidget* w : carried)
        QVERIFY2(!t->IsCarried(w) && w->toolTip() != "沿用上一张", qPrintable(w->objectName()));
    // Opening a record shows its own values, unmarked.
    t->cmdNew_Click();
    QVERIFY(t->IsCarried(t->txtHospital));
    t->egNew_RowDblClick(1);
    QVERIFY(!t->IsCarried(t->txtHospital));
}

void TestFrmProducts::newEmptiesAllButTheDates() {
    Bench b;
    b.f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(b.f.get()));
    frmEntryTab* t = b.f->tabEntry;
    b.enter("C01", "00000157");
    t->txtOpDesp->setText("单冠");
    t->txtMemo->setPlainText("复诊");
    t->txtPdTime->setDate(QDate(2013, 9, 5));
    t->txtOpTime->setDate(QDate(2013, 9, 9));
    t->cmdSave_Click();
    QVERIFY(t->cmdNew->toolTip().contains("新增（清空）"));
    QTest::keyClick(b.f.get(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(b.boxes.shown().isEmpty()); // nothing unsaved
    QCOMPARE(t->ucProduct->Key().toString(), QString());
    for (QLineEdit* box : {t->txtPrdNo1, t->txtPrdNo, t->txtPLName, t->txtPFName, t->txtDLName, t->txtDFName, t->txtHospital, t->txtOpDesp})
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    QCOMPARE(t->txtMemo->toPlainText(), QString());
    QCOMPARE(t->txtPdTime->date(), QDate(2013, 9, 5));
    QCOMPARE(t->txtOpTime->date(), QDate(2013, 9, 9));
    QVERIFY(t->cmdSave->isEnabled());
    QVERIFY(!t->IsCarried(t->txtHospital));
    QVERIFY(!t->EntryChanged());
    // A half-typed card is not emptied without the question; its default No keeps it.
    t->txtPLName->setText("王");
    QTest::keyClick(b.f.get(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(b.boxes.texts(), QStringList{"输入的内容尚未保存，确定要放弃吗？"});
    QCOMPARE(t->txtPLName->text(), QString("王"));
}

void TestFrmProducts::keyboardShortcuts() {
    Bench b;
    b.f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(b.f.get()));
    QVERIFY(b.f->tabEntry->cmdSave->toolTip().contains("Ctrl+S"));
    QVERIFY(b.f->tabEntry->cmdSubmit->toolTip().contains("Ctrl+Return"));
    QTest::keyClick(b.f.get(), Qt::Key_N, Qt::ControlModifier);
    QVERIFY(b.f->tabEntry->cmdSave->isEnabled());
    b.f->tabEntry->ucProduct->setKey("C01");
    b.f->tabEntry->txtPrdNo->setText("00000154");
    b.f->tabEntry->txtPLName->setText("王");
    b.f->tabEntry->txtPFName->setText("五");
    b.f->tabEntry->txtHospital->setText("协和医院");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldPrdNo='C00000154'"), QVariant(qlonglong(1)));
    b.f->tabEntry->egNew_RowDblClick(b.rowOf(b.f->tabEntry->list->grid, 4, "C00000154"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(b.scalar("select fldStatus from tblrecord where fldPrdNo='C00000154'"), QVariant("01"));
    // Enter on a focused button presses it.
    b.f->stbInfo->setCurrentIndex(1);
    b.f->tabProc->cmdRefresh->setFocus();
    QTest::keyClick(b.f->tabProc->cmdRefresh, Qt::Key_Return);
    QVERIFY(b.rowOf(b.f->tabProc->list->grid, 7, "C00000154") > 0);
}

void TestFrmProducts::columnWidthsRemembered() {
    int width = 0;
    {
        Bench b;
        auto* header = b.f->tabEntry->list->grid->findChild<QHeaderView*>();
        QVERIFY(header);
        // The user drags the hospital column's edge (section of column 9).
        const int section = 9 - 1;
        QCOMPARE(header->sectionResizeMode(section), QHeaderView::Interactive);
        header->resizeSection(section, header->sectionSize(section) + 80);
        width = b.f->tabEntry->list->grid->Col(9).Width();
        b.f->LoadRecordList("New"); // a reload keeps it
        QCOMPARE(b.f->tabEntry->list->grid->Col(9).Width(), width);
        // The program starts again with the same store.
        b.f = std::make_unique<frmProducts>();
        QCOMPARE(b.f->tabEntry->list->grid->Col(9).Width(), width);
    }
}

void TestFrmProducts::sortKeptAndCutTextShown() {
    Bench b;
    for (const char* digits : {"00000150", "00000160"}) {
        b.enter("C01", digits);
        b.f->tabEntry->cmdSave_Click();
    }
    // The user sorts by card number, downwards (two clicks on its header).
    auto* grid = parts::grid(b.f->tabEntry->list->grid);
    auto* header = grid->horizontalHeader();
    const QPoint onCard(header->sectionViewportPosition(3) + header->sectionSize(3) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onCard);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onCard);
    QCOMPARE(b.cell(b.f->tabEntry->list->grid, 1, 4), QString("D00000012"));
    // A save reloads the list: the order stays.
    b.enter("C01", "00000170");
    b.f->tabEntry->cmdSave_Click();
    QStringList numbers;
    for (int r = 1; r < b.f->tabEntry->list->grid->Rows(); ++r)
        numbers << b.cell(b.f->tabEntry->list->grid, r, 4);
    QStringList sorted = numbers;
    std::sort(sorted.begin(), sorted.end(), std::greater<QString>());
    QCOMPARE(numbers, sorted);
    // A cell whose text is cut shows it whole as a tooltip; a whole one none.
    const QString longText = "上颌前牙烤瓷冠修复，共三颗，颜色A2";
    b.f->tabEntry->list->grid->Cells(1, 11).setText(longText);
    const QRect cut = grid->visualRect(grid->model()->index(0, 11 - b.f->tabEntry->list->grid->FixedCols()));
    QHelpEvent help(QEvent::ToolTip, cut.center(), grid->viewport()->mapToGlobal(cut.center()));
    QApplication::sendEvent(grid->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), longText);
    QToolTip::hideText();
    const QRect whole = grid->visualRect(grid->model()->index(0, 4 - b.f->tabEntry->list->grid->FixedCols()));
    QHelpEvent none(QEvent::ToolTip, whole.center(), grid->viewport()->mapToGlobal(whole.center()));
    QApplication::sendEvent(grid->viewport(), &none);
    QVERIFY(!QToolTip::isVisible() || QToolTip::text() != b.cell(b.f->tabEntry->list->grid, 1, 4));
    // The batch grid's menu holds the delete-rows entry.
    bool found = false;
    for (QAction* a : b.f->tabBatch->egBatch->findChildren<QAction*>())
        found = found || a->text() == "删除行";
    QVERIFY(found);
    QVERIFY(b.f->tabBatch->egBatch->ShowMenu());
}

void TestFrmProducts::screenshot() {
    Bench b;
    b.f->resize(1100, 720);
    b.f->tabProc->cmdRefresh_Click();
    QCoreApplication::processEvents();
    QTemporaryDir scratch;
    const QString shots = qEnvironmentVariable("QV_SCREENSHOTS", scratch.path());
    for (int tab = 0; tab < 4; ++tab) {
        b.f->stbInfo->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        const QImage image = b.f->grab().toImage();
        QCOMPARE(image.size(), b.f->size());
        QVERIFY(image.save(QString("%1/frmProducts-%2.png").arg(shots).arg(tab)));
    }
}

void TestFrmProducts::closingEndsTheProgram() {
    Bench b;
    bool ended = false;
    try {
        b.f->close();
    } catch (const std::runtime_error&) {
        ended = true;
    }
    QVERIFY(ended);
}

QTEST_MAIN(TestFrmProducts)
#include "tst_frmProducts.moc"
