// The card's lot, tooth positions and shade on the demo database: stored
// through the entry tab, a paste into the batch and both file formats, and
// read back; in the look-up with the card's history, the exports and the
// printed card; the recall of a lot; and a database without the columns,
// which sees none of it and is sent the statements it always was.
#include "EditGrid.h"
#include "clsConn.h"
#include "dbRoundTrips.h"
#include "dbSqliteBackend.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmLookup.h"
#include "frmLotRecall.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "frmSubmittedTab.h"
#include "mduBatchStatements.h"
#include "mduCardExtrasData.h"
#include "mduCardFinder.h"
#include "mduCardPrint.h"
#include "mduCsvReader.h"
#include "mduDocumentPrint.h"
#include "mduExport.h"
#include "mduFileDialog.h"
#include "mduHospital.h"
#include "mduProcess.h"
#include "mduRecordRules.h"
#include "mduRecordSql.h"
#include "mduXlsxReader.h"
#include "mduXlsxWriter.h"
#include "qvToothChart.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"
#include "tsOdbcStand.h"
#include "ucInput.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QStringLiteral("<%1 did not finish>").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Bench {
    ScriptedMessages boxes;
    DemoDatabase db;
    QTemporaryDir dir;
    std::unique_ptr<QSettings> hospitals;
    std::unique_ptr<frmProducts> f;
    explicit Bench(const std::function<void()>& before = {}) {
        hospitals = std::make_unique<QSettings>(dir.filePath("hospitals.ini"), QSettings::IniFormat);
        SetHospitalStore(hospitals.get());
        db.signIn();
        if (before)
            before();
        f = std::make_unique<frmProducts>();
        f->show();
        if (!QTest::qWaitForWindowExposed(f.get()))
            qWarning("the workbench was not shown");
    }
    ~Bench() {
        f.reset();
        SetHospitalStore(nullptr);
    }
    QVariant scalar(const QString& sql) { return db.scalar(sql); }
    frmEntryTab* entry() { return f->tabEntry; }
    void enter(const QString& digits, const QString& lot, const QString& teeth, const QString& shade) {
        entry()->cmdNew_Click();
        entry()->ucProduct->setKey("C01");
        entry()->ucProduct_Click();
        entry()->txtPrdNo->setText(digits);
        entry()->txtPLName->setText("张");
        entry()->txtPFName->setText("三");
        entry()->txtHospital->setText("北京口腔医院");
        entry()->cboLot->setEditText(lot);
        entry()->txtTeeth->setText(teeth);
        entry()->cboShade->setEditText(shade);
    }
    int rowOf(vt::EditGrid* g, int col, const QString& text) {
        for (int r = 1; r < g->Rows(); ++r)
            if (g->Cells(r, col).Text() == text)
                return r;
        return -1;
    }
    QString stored(const QString& number) {
        return scalar("select ifnull(fldLot,'<null>')||'|'||ifnull(fldTeeth,'<null>')||'|'||ifnull(fldShade,'<null>') "
                      "from tblrecord where fldPrdNo='" + number + "'")
            .toString();
    }
};

void addRecord(int lab, const QString& number, const QString& hospital, const QString& lot, const QString& status,
               const QString& treated = "2013-09-01") {
    QVariantList p{lab, number, hospital, treated, status, lot};
    QVERIFY(gConn->ExeCommand("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                              "fldHospital,fldOpTime,fldPdTime,fldStatus,fldLot,fldTeeth,fldShade) "
                              "values (?,'x','C01',?,'李','四',?,?,'2013-01-01',?,?,'11 21','A2')",
                              p) >= 0);
}

// A batch file's rows: the batch's headers, the three new ones among them
// (in another order, as a spreadsheet may have them).
QList<QStringList> batchFile(const QString& number) {
    return {{"质保产品", "质保卡号", "制作时间", "诊疗时间", "患者姓", "患者名", "医院诊所", "比色", "牙位", "材料批号"},
            {"钴铬合金烤瓷冠", number, "2013-09-01", "2013-09-02", "王", "五", "协和医院", "3M2", "36-34", "LOT-F1"}};
}

} // namespace

class TestCardExtras : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetProcessEnd([](int) { throw std::runtime_error("the program ended"); }); }
    void entryStoresAndReadsBack();
    void entryRefusesTeethThatDoNotRead();
    void toothChartTogglesTheBox();
    void batchPasteStores();
    void filesStore_data();
    void filesStore();
    void listExportCarriesTheFields();
    void historyOfACard();
    void identityAfterSaveIsTheRecord();
    void recallFindsEveryCardOfTheLot();
    void printedCardShowsThem();
    void databaseWithoutTheColumns();
    void clinicsReadWithTheLots_data();
    void clinicsReadWithTheLots();
};

void TestCardExtras::entryStoresAndReadsBack() {
    Bench b;
    QVERIFY(b.entry()->cboLot->isVisible());
    QVERIFY(b.entry()->txtTeeth->isVisible());
    QCOMPARE(b.entry()->cboShade->count(), 45);
    QCOMPARE(b.entry()->cboShade->itemText(3), QString("A3.5"));
    b.enter("00000170", "LOT-2024A", "13-23", "A3.5");
    b.entry()->cmdSave_Click();
    QVERIFY2(b.boxes.shown().isEmpty(), qPrintable(b.boxes.texts().join('|')));
    QCOMPARE(b.stored("C00000170"), QString("LOT-2024A|11 12 13 21 22 23|A3.5"));
    // The lot is offered for the product from now on, first.
    QCOMPARE(b.entry()->cboLot->itemText(0), QString("LOT-2024A"));
    // Opened again: the three fields as stored; changed and saved.
    b.entry()->cmdNewEmpty_Click();
    QCOMPARE(b.entry()->txtTeeth->text(), QString());
    vt::EditGrid* g = b.entry()->list->grid;
    b.entry()->egNew_RowDblClick(b.rowOf(g, 4, "C00000170"));
    QCOMPARE(b.entry()->cboLot->currentText(), QString("LOT-2024A"));
    QCOMPARE(b.entry()->txtTeeth->text(), QString("11 12 13 21 22 23"));
    QCOMPARE(b.entry()->cboShade->currentText(), QString("A3.5"));
    QVERIFY(!b.entry()->EntryChanged());
    b.entry()->cboLot->setEditText("LOT-2024B");
    b.entry()->txtTeeth->setText("46");
    b.entry()->cboShade->setEditText("2M2");
    b.entry()->cmdSave_Click();
    QVERIFY2(b.boxes.shown().isEmpty(), qPrintable(b.boxes.texts().join('|')));
    QCOMPARE(b.stored("C00000170"), QString("LOT-2024B|46|2M2"));
    // The next workbench offers the lab's earlier lots of the product.
    b.f = std::make_unique<frmProducts>();
    b.entry()->ucProduct->setKey("C01");
    b.entry()->ucProduct_Click();
    QStringList offered;
    for (int i = 0; i < b.entry()->cboLot->count(); ++i)
        offered << b.entry()->cboLot->itemText(i);
    QCOMPARE(offered, QStringList{"LOT-2024B"}); // the record now carries B
    b.entry()->ucProduct->setKey("D01");
    b.entry()->ucProduct_Click();
    QCOMPARE(b.entry()->cboLot->count(), 0);
}

void TestCardExtras::entryRefusesTeethThatDoNotRead() {
    Bench b;
    b.enter("00000171", "", "13-43", "");
    b.entry()->cmdSave_Click();
    QCOMPARE(b.boxes.shown().size(), 1);
    QVERIFY2(b.boxes.texts()[0].contains("上颌与下颌"), qPrintable(b.boxes.texts()[0]));
    QCOMPARE(b.scalar("select count(*) from tblrecord where fldPrdNo='C00000171'").toInt(), 0);
    // Nothing typed: stored empty, not refused.
    b.boxes.clear();
    b.enter("00000172", "", "", "");
    b.entry()->cmdSave_Click();
    QVERIFY(b.boxes.shown().isEmpty());
    QCOMPARE(b.stored("C00000172"), QString("||"));
}

void TestCardExtras::toothChartTogglesTheBox() {
    Bench b;
    b.entry()->txtTeeth->setText("11 21");
    QTest::mouseClick(b.entry()->cmdTeethChart, Qt::LeftButton);
    qvToothChart* chart = b.entry()->ToothChart();
    QVERIFY(chart->isVisible());
    QVERIFY(chart->tooth(11)->isChecked());
    QVERIFY(!chart->tooth(12)->isChecked());
    QTest::mouseClick(chart->tooth(55), Qt::LeftButton);
    QTest::mouseClick(chart->tooth(11), Qt::LeftButton);
    QCOMPARE(b.entry()->txtTeeth->text(), QString("21 55"));
    // The chart's layout: upper arch above the lower, the patient's right on the left.
    QVERIFY(chart->tooth(18)->x() < chart->tooth(11)->x());
    QVERIFY(chart->tooth(11)->x() < chart->tooth(21)->x());
    QVERIFY(chart->tooth(18)->y() < chart->tooth(48)->y());
    QVERIFY(chart->tooth(55)->y() < chart->tooth(18)->y());
    QVERIFY(chart->tooth(85)->y() > chart->tooth(48)->y());
    int teeth = 0;
    for (int c = 11; c <= 85; ++c)
        teeth += chart->tooth(c) != nullptr;
    QCOMPARE(teeth, 52);
}

void TestCardExtras::batchPasteStores() {
    Bench b;
    frmBatchTab* batch = b.f->tabBatch;
    QCOMPARE(batch->egBatch->Cols(), 15);
    QCOMPARE(batch->egBatch->Cells(0, BatchLot).Text(), QString("材料批号"));
    b.f->stbInfo->setCurrentWidget(batch);
    QApplication::clipboard()->setText("钴铬合金烤瓷冠\tC00000173\t2013-09-01\t2013-09-02\t王\t五\t\t\t协和医院\t\t\tLOT-P1\t"
                                       "21-11\tB1");
    batch->egBatch->focusProxy()->setFocus();
    QTest::keyClick(batch->egBatch->focusProxy(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(batch->egBatch->Rows(), 2);
    QCOMPARE(batch->egBatch->Cells(1, BatchShade).Text(), QString("B1"));
    // Teeth that do not read fail the row, in their column.
    batch->egBatch->Cells(1, BatchTeeth).setText("19");
    batch->cmdCheck_Click();
    QCOMPARE(b.boxes.shown().size(), 1);
    QVERIFY2(b.boxes.texts()[0].startsWith("行 1 :牙位有误"), qPrintable(b.boxes.texts()[0]));
    b.boxes.clear();
    batch->egBatch->Cells(1, BatchTeeth).setText("21-11");
    b.boxes.setNextAnswer(MsgYes);
    batch->cmdImport_Click();
    QCOMPARE(b.stored("C00000173"), QString("LOT-P1|11 21|B1"));
}

void TestCardExtras::filesStore_data() {
    QTest::addColumn<QString>("suffix");
    QTest::newRow("CSV") << "csv";
    QTest::newRow("workbook") << "xlsx";
}

void TestCardExtras::filesStore() {
    QFETCH(QString, suffix);
    Bench b;
    const QString path = b.dir.filePath("batch." + suffix);
    QString error;
    const QList<QStringList> rows = batchFile("C00000174");
    QVERIFY2(suffix == "csv" ? WriteCsvFile(path, rows, &error) : WriteXlsxFile(path, "batch", rows, {}, &error),
             qPrintable(error));
    SetNextOpenFileName(path);
    QVERIFY(b.f->tabBatch->cmdReadFile_Click());
    vt::EditGrid* g = b.f->tabBatch->egBatch;
    QCOMPARE(g->Cells(1, BatchLot).Text(), QString("LOT-F1"));
    QCOMPARE(g->Cells(1, BatchTeeth).Text(), QString("36-34"));
    QCOMPARE(g->Cells(1, BatchShade).Text(), QString("3M2"));
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabBatch->cmdImport_Click();
    QVERIFY2(b.boxes.shown().size() == 1, qPrintable(b.boxes.texts().join('|'))); // the question only
    QCOMPARE(b.stored("C00000174"), QString("LOT-F1|34 35 36|3M2"));
}

void TestCardExtras::listExportCarriesTheFields() {
    Bench b([] { addRecord(1, "C00000175", "协和医院", "LOT-E1", "00"); });
    b.f->LoadRecordList("New");
    frmRecordList* l = b.f->List("New");
    const QString path = b.dir.filePath("pending.csv");
    SetNextSaveFileName(path);
    QVERIFY(l->ExportList());
    QList<QStringList> table;
    QString error;
    QVERIFY2(ReadCsvFile(path, &table, &error), qPrintable(error));
    const QStringList header = table.value(0);
    QCOMPARE(header.mid(0, 11), BatchHeaders());
    QCOMPARE(header.mid(header.size() - 3), BatchExtraHeaders());
    bool found = false;
    for (const QStringList& row : table)
        if (row.value(1) == "C00000175") {
            QCOMPARE(row.mid(row.size() - 3), (QStringList{"LOT-E1", "11 21", "A2"}));
            found = true;
        }
    QVERIFY(found);
    // Read back into the batch, the three land in their columns.
    SetNextOpenFileName(path);
    QVERIFY(b.f->tabBatch->cmdReadFile_Click());
    vt::EditGrid* g = b.f->tabBatch->egBatch;
    const int r = b.rowOf(g, BatchCardNumber, "C00000175");
    QVERIFY(r > 0);
    QCOMPARE(g->Cells(r, BatchLot).Text(), QString("LOT-E1"));
    QCOMPARE(g->Cells(r, BatchTeeth).Text(), QString("11 21"));
}

// Save, submit, a send-back written in the database as the central office
// writes it, reset, submit again, publish: every step kept, the reason too.
void TestCardExtras::historyOfACard() {
    Bench b;
    b.enter("00000176", "LOT-H1", "11", "A1");
    b.entry()->cmdSave_Click();
    const QString key = b.scalar("select fldsn from tblrecord where fldPrdNo='C00000176'").toString();
    QVERIFY(!key.isEmpty());
    vt::EditGrid* g = b.entry()->list->grid;
    b.entry()->egNew_RowDblClick(b.rowOf(g, 4, "C00000176"));
    b.entry()->cmdSubmit_Click();
    QCOMPARE(b.scalar("select fldStatus from tblrecord where fldsn=" + key), QVariant("01"));
    SqliteBackend* direct = b.db.backend();
    direct->executeNative("update tblrecord set fldStatus='03', fldreturnmemo='患者姓名与医院登记不符' where fldsn=" + key, {});
    b.f->tabProc->cmdRefresh_Click();
    vt::EditGrid* proc = b.f->tabProc->list->grid;
    const int r = b.rowOf(proc, 1, key);
    QVERIFY(r > 0);
    proc->Cells(r, 7).setSelected(true);
    b.boxes.setNextAnswer(MsgYes);
    b.f->tabProc->cmdReset_Click();
    QCOMPARE(b.scalar("select fldStatus||'|'||fldreturnmemo from tblrecord where fldsn=" + key), QVariant("00|"));
    b.entry()->list->LoadRecordList();
    b.entry()->egNew_RowDblClick(b.rowOf(g, 4, "C00000176"));
    b.entry()->cmdSubmit_Click();
    direct->executeNative("update tblrecord set fldStatus='02', fldpublishDate='2026-01-05' where fldsn=" + key, {});
    // The reason the reset cleared is kept in the history.
    QCOMPARE(b.scalar("select fldOldReason from tblRecordHistory where fldsn=" + key +
                      " and fldOldStatus='03' and fldNewStatus='00'"),
             QVariant("患者姓名与医院登记不符"));
    QCOMPARE(b.scalar("select group_concat(ifnull(fldOldStatus,'-')||'>'||ifnull(fldNewStatus,'-'), ' ') from "
                      "(select * from tblRecordHistory where fldsn=" + key + " order by fldStep)"),
             QVariant("->00 00>01 01>03 03>00 00>01 01>02"));
    b.f->ShowLookup();
    b.f->tabLookup->txtSearch->setText("C00000176");
    b.f->tabLookup->cmdFind_Click();
    QCOMPARE(b.f->tabLookup->Found().size(), 1);
    QCOMPARE(b.f->tabLookup->DetailText("历史"),
             QString("录入 → 上报 → 退回：患者姓名与医院登记不符 → 重置 → 上报 → 发布"));
    QCOMPARE(b.f->tabLookup->DetailText("材料批号"), QString("LOT-H1"));
    QCOMPARE(b.f->tabLookup->DetailText("牙位"), QString("11"));
    QCOMPARE(b.f->tabLookup->DetailText("比色"), QString("A1"));
    // Another lab's key asks for nothing of this card.
    QVERIFY(LoadRecordHistory("2", key).isEmpty());
    QCOMPARE(LoadRecordHistory("1", key).size(), 6);
}

// The history's insert inside the record's insert leaves the connection's
// last identity at the record (read straight after the Save's insert, before
// the execution log is written), on the embedded database and through ODBC.
void TestCardExtras::identityAfterSaveIsTheRecord() {
    WarrantyRecord r;
    r.productKey = "C01";
    r.cardNumber = "C00000177";
    r.patientSurname = "王";
    r.patientGivenName = "五";
    r.hospital = "协和医院";
    r.lot = "LOT-I1";
    r.teeth = "11";
    {
        ScriptedMessages boxes;
        DemoDatabase db;
        QVERIFY(db.signIn());
        db.backend()->executeNative("update tblrecord set fldStatus='00' where fldStatus='03'", {});
        QVERIFY(vt::isEmpty(gConn->GetArray(EntryInsertStatement(r, "1", "1001", true))));
        const QString key = db.scalar("select fldsn from tblrecord where fldPrdNo='C00000177'").toString();
        QCOMPARE(gConn->IDENTITY().toString(), key);
        QCOMPARE(db.scalar("select count(*) from tblRecordHistory where fldsn=" + key), QVariant(qlonglong(1)));
        QVERIFY(db.scalar("select max(rowid) from tblRecordHistory").toString() != key);
    }
    ScriptedMessages boxes;
    OdbcStand stand;
    QVERIFY(stand.signIn());
    // Some history first, so that its rows and the records' keys differ.
    stand.executeNative("update tblrecord set fldStatus='00' where fldStatus='03'; update tblrecord set fldStatus='03' "
                        "where fldStatus='00' and fldPrdNo='E00001005';");
    r.cardNumber = "C00000178";
    QVERIFY(vt::isEmpty(gConn->GetArray(EntryInsertStatement(r, "1", "1001", true))));
    const QString key = stand.scalar("select fldsn from tblrecord where fldPrdNo='C00000178'").toString();
    QCOMPARE(gConn->IDENTITY().toString(), key);
    QCOMPARE(stand.scalar("select count(*) from tblRecordHistory where fldsn=" + key), QVariant(qlonglong(1)));
    QVERIFY(stand.scalar("select max(rowid) from tblRecordHistory").toString() != key);
}

void TestCardExtras::recallFindsEveryCardOfTheLot() {
    Bench b([] {
        addRecord(1, "C00000180", "协和医院", "LOT-R1", "00");
        addRecord(1, "C00000181", "协和医院", "LOT-R1", "01", "2010-01-01");
        addRecord(1, "C00000182", "北京口腔医院", "lot-r1", "02");
        addRecord(1, "C00000183", "海淀齿科门诊", "LOT-R1", "03", "2025-12-31");
        addRecord(1, "C00000184", "协和医院", "LOT-R2", "00");
        addRecord(2, "C00000185", "协和医院", "LOT-R1", "02");
    });
    QVERIFY(b.f->stbInfo->isTabVisible(b.f->stbInfo->indexOf(b.f->tabRecall)));
    frmLotRecall* t = b.f->tabRecall;
    QVERIFY(t->cboLot->findText("LOT-R2") >= 0);
    t->cboLot->setEditText("LOT-R1");
    t->cmdFind_Click();
    QStringList numbers;
    for (const WarrantyCard& c : t->Found())
        numbers << c.record.cardNumber;
    numbers.sort();
    QCOMPARE(numbers, (QStringList{"C00000180", "C00000181", "C00000182", "C00000183"}));
    QCOMPARE(t->lstCards->rowCount(), 4);
    QCOMPARE(t->lstClinics->rowCount(), 3);
    QCOMPARE(t->lstClinics->item(0, 0)->text(), QString("协和医院"));
    QCOMPARE(t->lstClinics->item(0, 1)->text(), QString("2"));
    QVERIFY(t->lblCount->text().contains("4 张"));
    QCOMPARE(ClinicCounts(t->Found()),
             (QList<ClinicCount>{{"协和医院", 2}, {"北京口腔医院", 1}, {"海淀齿科门诊", 1}}));
    // Exported as the lists are: it reads back into the batch.
    const QString path = b.dir.filePath("recall.xlsx");
    SetNextSaveFileName(path);
    QVERIFY(t->cmdExport_Click());
    QList<QStringList> table;
    QString error;
    QVERIFY2(ReadXlsxFile(path, &table, &error), qPrintable(error));
    QCOMPARE(table.size(), 5);
    QCOMPARE(table[0].value(BatchLot - 1), QString("材料批号"));
    SetNextOpenFileName(path);
    QVERIFY(b.f->tabBatch->cmdReadFile_Click());
    QCOMPARE(b.f->tabBatch->egBatch->Rows(), 5);
    // Printed as the clinics to notify, through the preview, saved as PDF.
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is missing");
    const QString pdf = b.dir.filePath("recall.pdf");
    bool handled = false;
    SetNextDocumentPreviewHandler([&](DocumentPreview& preview) {
        SetNextSaveFileName(pdf);
        handled = preview.savePdf();
    });
    t->cmdPrint_Click();
    QVERIFY(handled);
    const QString text = run(pdftotext, {"-enc", "UTF-8", pdf, "-"});
    for (const char* expected : {"LOT-R1", "协和医院（2 张）", "北京口腔医院（1 张）", "海淀齿科门诊（1 张）", "C00000183"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
    QVERIFY(!text.contains("C00000185"));
    QVERIFY(!text.contains("C00000184"));
}

void TestCardExtras::printedCardShowsThem() {
    Bench b([] { addRecord(1, "C00000186", "协和医院", "LOT-C1", "00"); });
    const QString key = b.scalar("select fldsn from tblrecord where fldPrdNo='C00000186'").toString();
    QList<WarrantyCard> cards = FetchCards("1", {key});
    FetchCardExtras(cards, "1");
    QCOMPARE(cards.size(), 1);
    const QString pdf = b.dir.filePath("card.pdf");
    QString error;
    QVERIFY2(SaveCardsPdf(pdf, {"测试加工所", cards, {}}, CardSheet::IdCard, &error), qPrintable(error));
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is missing");
    const QString text = run(pdftotext, {"-enc", "UTF-8", pdf, "-"});
    for (const char* expected : {"材料批号", "LOT-C1", "牙位", "11 21", "比色：A2", "质保到期"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
}

// A central database without the three columns (through the ODBC stand):
// nothing of them is shown, and Save, an update and the batch import send
// the statements they always did.
void TestCardExtras::databaseWithoutTheColumns() {
    dbRoundTrips::reset();
    ScriptedMessages boxes;
    OdbcStand stand(false);
    stand.executeNative("drop index ixRecordMakerLot; alter table tblrecord drop column fldLot; "
                        "alter table tblrecord drop column fldTeeth; alter table tblrecord drop column fldShade;");
    QVERIFY(stand.connect());
    QVERIFY(stand.signIn());
    QTemporaryDir dir;
    QSettings hospitals(dir.filePath("hospitals.ini"), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    const qint64 before = dbRoundTrips::count();
    auto f = std::make_unique<frmProducts>();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    QVERIFY2(dbRoundTrips::count() - before <= 8, qPrintable(QString::number(dbRoundTrips::count() - before)));
    QVERIFY(!CardExtrasShown());
    QVERIFY(!f->tabEntry->cboLot->isVisible());
    QVERIFY(!f->tabEntry->txtTeeth->isVisible());
    QVERIFY(!f->tabEntry->cmdTeethChart->isVisible());
    QCOMPARE(f->tabBatch->egBatch->Cols(), 12);
    QVERIFY(!f->stbInfo->isTabVisible(f->stbInfo->indexOf(f->tabRecall)));

    f->tabEntry->cmdNew_Click();
    f->tabEntry->ucProduct->setKey("C01");
    f->tabEntry->txtPrdNo->setText("00000190");
    f->tabEntry->txtPLName->setText("张");
    f->tabEntry->txtPFName->setText("三");
    f->tabEntry->txtHospital->setText("北京口腔医院");
    f->tabEntry->cmdSave_Click();
    QVERIFY2(boxes.shown().isEmpty(), qPrintable(boxes.texts().join('|')));
    const QString lastStatement = "select fldStatement from tblExecLog order by fldsn desc limit 1";
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    QCOMPARE(stand.scalar(lastStatement).toString(),
             "insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,fldDLName,fldDFName,"
             "fldHospital,fldOpTime,fldPdTime,fldOpDesp,fldMemo,fldStatus)  select '1','1001','C01','C00000190','张',"
             "'三','','','北京口腔医院','" + today + "','" + today + "','','','00' ");
    vt::EditGrid* g = f->tabEntry->list->grid;
    int row = -1;
    for (int r = 1; r < g->Rows(); ++r)
        if (g->Cells(r, 4).Text() == "C00000190")
            row = r;
    QVERIFY(row > 0);
    const QString key = g->Cells(row, 1).Text();
    f->tabEntry->egNew_RowDblClick(row);
    f->tabEntry->txtOpDesp->setText("桥");
    f->tabEntry->cmdSave_Click();
    QVERIFY2(boxes.shown().isEmpty(), qPrintable(boxes.texts().join('|')));
    QCOMPARE(stand.scalar(lastStatement).toString(),
             "update tblrecord set fldmaker='1001',fldPrdName='C01',fldPrdNo='C00000190',fldPLName='张',fldPFName='三',"
             "fldDLName='',fldDFName='',fldHospital='北京口腔医院',fldOpTime='" + today + "',fldPdTime='" + today +
                 "',fldOpDesp='桥',fldMemo='' where fldsn='" + key + "' and fldMsn='1' and fldstatus='00'");
    // The batch: the statement of the grid's eleven columns.
    const QStringList cells{"钴铬合金烤瓷冠", "C00000191", "2013-09-01", "2013-09-02", "王", "五", "", "", "协和医院", "", ""};
    for (int c = 0; c < cells.size(); ++c) {
        if (c == 0)
            f->tabBatch->cmdAdd_Click();
        f->tabBatch->egBatch->Cells(1, c + 1).setText(cells[c]);
    }
    boxes.setNextAnswer(MsgYes);
    f->tabBatch->cmdImport_Click();
    // A chunk's rows go in by one insert of many rows, its values bound.
    QCOMPARE(stand.scalar("select fldStatement from tblExecLog where fldParams like '%C00000191%'").toString(),
             "insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPdTime,fldOpTime,fldPLName,fldPFName,"
             "fldDLName,fldDFName,fldHospital,fldOpDesp,fldMemo,fldStatus) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    QCOMPARE(stand.scalar("select fldStatus from tblrecord where fldPrdNo='C00000191'"), QVariant("00"));
    QCOMPARE(stand.scalar("select count(*) from tblExecLog where fldStatement like '%fldLot%'"), QVariant(qlonglong(0)));
    // Nor does the look-up ask for them.
    f->tabLookup->txtSearch->setText("C00000190");
    f->tabLookup->cmdFind_Click();
    QCOMPARE(f->tabLookup->Found().size(), 1);
    QCOMPARE(f->tabLookup->DetailText("历史"), QString());
    f.reset();
    SetHospitalStore(nullptr);
}

void TestCardExtras::clinicsReadWithTheLots_data() {
    QTest::addColumn<bool>("lots");
    QTest::newRow("database with lots") << true;
    QTest::newRow("database without") << false;
}

// Sign-in reads the lab's clinics with its earlier lots in one query: the
// clinics come out as their own query gives them, the lots the latest first;
// without the lot column, the clinics are read alone.
void TestCardExtras::clinicsReadWithTheLots() {
    QFETCH(bool, lots);
    DemoDatabase db;
    QVERIFY(db.signIn());
    // 上海诊所 has three records over two products and two lots, 广州诊所
    // three in one lot: equal counts, so the order by name decides.
    const QStringList rows{"C01|C00000901|上海诊所|L-A", "C01|C00000902|上海诊所|L-B", "C02|C00000903|上海诊所|",
                           "C01|C00000904|广州诊所|L-A", "C01|C00000905|广州诊所|L-A", "C01|C00000906|广州诊所|L-A",
                           "C01|C00000907||L-C"};
    for (const QString& row : rows) {
        const QStringList v = row.split('|');
        QVariantList p{gConn->OpId(), v[0], v[1], v[2], v[3]};
        QVERIFY(gConn->ExeCommand("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                                  "fldHospital,fldOpTime,fldPdTime,fldStatus,fldLot) "
                                  "values (?,'x',?,?,'李','四',?,'2013-09-01','2013-01-01','00',?)",
                                  p) >= 0);
    }
    if (!lots)
        QVERIFY(gConn->ExeCommand("drop index ixRecordMakerLot") >= 0 &&
                gConn->ExeCommand("alter table tblrecord drop column fldLot") >= 0);
    const vt::ValueArray alone = gConn->GetRows(LabHospitalsStatement(), {gConn->OpId()});
    QStringList expected;
    for (int r = 0; r < alone.rows(); ++r)
        expected << alone.displayText(0, r);
    QVERIFY(expected.contains("广州诊所") && expected.contains("上海诊所"));

    SetLabHospitals({});
    const LabLotsFound found = LoadLabClinicsAndLots(gConn->OpId());
    QCOMPARE(LabHospitals(), expected);
    QCOMPARE(found.columns, lots);
    if (lots) {
        // The latest record of each lot decides its place: L-A's is 906.
        QCOMPARE(found.lots.value("C01").mid(0, 3), (QStringList{"L-C", "L-A", "L-B"}));
        QVERIFY(!found.lots.value("C02").contains(""));
    } else {
        QVERIFY(found.lots.isEmpty());
    }
}

QTEST_MAIN(TestCardExtras)
#include "tst_cardExtras.moc"
