// The look-up tab and the printed card on the demo database: a card found in
// each status and never another lab's, names and initials, search text taken
// literally, terms and expiry (and an older database without terms), Ctrl+F,
// and a PDF of two cards read back with pdftotext, its QR code with zbarimg.
#include "EditGrid.h"
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "frmLookup.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "frmSubmittedTab.h"
#include "mduCardFinder.h"
#include "mduCardPrint.h"
#include "mduFileDialog.h"
#include "mduHospital.h"
#include "mduProcess.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QStringLiteral("<%1 did not finish>").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void addRecord(const QString& lab, const QString& product, const QString& number, const QString& surname,
               const QString& given, const QDate& treated, const QString& status, const QString& reason = {}) {
    QVariantList p{lab, product, number, surname, given, DateText(treated), status, reason};
    QVERIFY(gConn->ExeCommand("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                              "fldHospital,fldOpTime,fldPdTime,fldStatus,fldreturnmemo) "
                              "values (?,'x',?,?,?,?,'测试医院',?,'2013-01-01',?,?)",
                              p) >= 0);
}

struct Fixture {
    ScriptedMessages boxes;
    DemoDatabase db;
    QTemporaryDir dir;
    std::unique_ptr<QSettings> hospitals;
    std::unique_ptr<frmProducts> f;
    explicit Fixture(const std::function<void()>& before = {}) {
        hospitals = std::make_unique<QSettings>(dir.filePath("hospitals.ini"), QSettings::IniFormat);
        SetHospitalStore(hospitals.get());
        db.signIn();
        if (before)
            before();
        f = std::make_unique<frmProducts>();
        f->show();
        QVERIFY2(QTest::qWaitForWindowExposed(f.get()), "the workbench was never shown");
    }
    ~Fixture() {
        f.reset();
        SetHospitalStore(nullptr);
    }
    frmLookup* lookup() { return f->tabLookup; }
    QStringList find(const QString& text) {
        f->stbInfo->setCurrentWidget(lookup());
        lookup()->txtSearch->setText(text);
        lookup()->cmdFind_Click();
        QStringList numbers;
        for (const WarrantyCard& c : lookup()->Found())
            numbers << c.record.cardNumber;
        return numbers;
    }
};

} // namespace

class TestFrmLookup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetProcessEnd([](int) { throw std::runtime_error("the program ended"); }); }

    void findsEachStatusOfTheLab_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("pending") << "C00000110" << "待提交" << "";
        QTest::newRow("submitted") << "c00000120" << "待审批" << "";
        QTest::newRow("sent back") << "E00001005" << "已退回" << "患者姓名与医院登记不符";
        QTest::newRow("published, years old") << "C00000130" << "已发布" << "";
        QTest::newRow("a code of the central office's own") << "C00000170" << "05" << "资料不全";
    }
    void findsEachStatusOfTheLab() {
        QFETCH(QString, search);
        QFETCH(QString, status);
        QFETCH(QString, reason);
        Fixture fx([] { addRecord("1", "C01", "C00000170", "新", "码", QDate(2013, 1, 1), "05", "资料不全"); });
        QCOMPARE(fx.find(search), QStringList{search.toUpper()});
        QCOMPARE(fx.lookup()->DetailText("状态"), status);
        QCOMPARE(fx.lookup()->DetailText("退回理由"), reason);
        QCOMPARE(fx.lookup()->lstFound->item(0, 1)->text(), status);
        QVERIFY(fx.boxes.shown().isEmpty());
    }

    void searches_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("numbers");
        // Lab 2's C00000610 (宋雨) and lab 3's 宋雨 are never the signed-in lab's.
        QTest::newRow("number's first part") << "C0000013" << QStringList{"C00000130"};
        QTest::newRow("digits alone") << "00012" << QStringList{"C00000120", "D00000012"};
        QTest::newRow("another lab's number") << "C00000610" << QStringList{};
        QTest::newRow("another lab's name") << "宋" << QStringList{};
        QTest::newRow("surname") << "陈" << QStringList{"D00000012"};
        QTest::newRow("whole name") << "黄丽" << QStringList{"E00001005"};
        QTest::newRow("pinyin initials") << "zw" << QStringList{"C00000110"};
        QTest::newRow("initials upper case") << "YF" << QStringList{"C00000120"};
        QTest::newRow("quote") << "O'B" << QStringList{"C00000140"};
        QTest::newRow("percent") << "%" << QStringList{"C00000141"};
        QTest::newRow("underscore") << "_" << QStringList{"C00000141"};
        QTest::newRow("number with wildcard") << "C%" << QStringList{};
        QTest::newRow("bracket") << "[a]" << QStringList{};
        QTest::newRow("nothing") << "   " << QStringList{};
    }
    void searches() {
        QFETCH(QString, search);
        QFETCH(QStringList, numbers);
        Fixture fx([] {
            addRecord("1", "C01", "C00000140", "O'Brien", "Tom", QDate(2013, 1, 1), "00");
            addRecord("1", "C01", "C00000141", "百分", "100%_号", QDate(2013, 1, 1), "00");
            addRecord("3", "C01", "D00000150", "宋", "雨", QDate(2013, 1, 1), "00");
        });
        QCOMPARE(fx.find(search), numbers);
        QVERIFY(fx.boxes.shown().isEmpty());
    }

    void cardNumberSearchReadsTheIndex() {
        // A lab's number and its first part: a range of the index, not a
        // walk over all the lab's records.
        DemoDatabase db;
        const DbResult plan = db.backend()->executeNative("explain query plan " + LookupByNumberStatement(),
                                                          {1, CardNumberPattern("C0000013")});
        QStringList steps;
        for (int r = 0; r < plan.rows.rows(); ++r)
            steps << plan.rows.displayText(3, r);
        QVERIFY2(steps.join('\n').contains("USING INDEX ixRecordPrdNo (fldPrdNo>? AND fldPrdNo<?)"),
                 qPrintable(steps.join('\n')));
    }

    void termAndExpiry() {
        const QDate today = QDate::currentDate();
        Fixture fx([&] {
            addRecord("1", "C01", "C00000160", "新", "卡", today.addDays(-10), "02"); // 36 months
            addRecord("1", "X01", "X00000001", "无", "期", today, "00");              // no term
        });
        QCOMPARE(fx.f->Terms().value("C01"), 36);
        QCOMPARE(fx.f->Terms().value("D01"), 60);
        QVERIFY(!fx.f->Terms().contains("X01"));

        fx.find("C00000160");
        const QDate expiry = today.addDays(-10).addMonths(36);
        QCOMPARE(fx.lookup()->DetailText("质保期限"), QStringLiteral("36 个月"));
        QCOMPARE(fx.lookup()->DetailText("质保到期"),
                 DateText(expiry) + QStringLiteral("（还有 %1 天）").arg(today.daysTo(expiry)));
        fx.find("C00000130"); // treated 2013-08-10, 36 months
        QCOMPARE(fx.lookup()->DetailText("质保到期"), QStringLiteral("2016-08-10（已过期）"));
        fx.find("X00000001");
        QCOMPARE(fx.lookup()->DetailText("质保期限"), QString());
        QCOMPARE(fx.lookup()->DetailText("质保到期"), QString());
    }

    void olderDatabaseWithoutTerms() {
        // A central database from before the term column: no box, no term,
        // no expiry; everything else as usual.
        Fixture fx([] {
            QVERIFY(gConn->ExeCommand("alter table tblProduct drop column fldWarrantyMonths") >= 0);
        });
        QVERIFY(fx.f->Terms().isEmpty());
        QCOMPARE(fx.find("C00000130"), QStringList{"C00000130"});
        QCOMPARE(fx.lookup()->DetailText("状态"), QStringLiteral("已发布"));
        QCOMPARE(fx.lookup()->DetailText("质保到期"), QString());
        QVERIFY2(fx.boxes.shown().isEmpty(), qPrintable(fx.boxes.texts().join('\n')));
        QVERIFY(fx.f->tabEntry->list->grid->Rows() > 1); // the pending list loaded as ever
    }

    void ctrlFFromAnyTab() {
        Fixture fx;
        fx.f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fx.f.get()));
        fx.f->stbInfo->setCurrentIndex(3);
        QWidget* focus = fx.f->tabBatch->egBatch->focusProxy() ? fx.f->tabBatch->egBatch->focusProxy() : fx.f->tabBatch->egBatch;
        focus->setFocus();
        // As X11 delivers it: Ctrl+F carries the control character 0x06.
        QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_F, QStringLiteral("\x06"), Qt::ControlModifier);
        QCOMPARE(fx.f->stbInfo->currentWidget(), fx.lookup());
        QTRY_COMPARE(QApplication::focusWidget(), fx.lookup()->txtSearch);
        QTest::keyClicks(fx.lookup()->txtSearch, "E00001005");
        QTest::keyClick(fx.lookup()->txtSearch, Qt::Key_Return);
        QCOMPARE(fx.lookup()->Found().size(), 1);
    }

    void pdfOfTwoCards() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        const QString zbarimg = QStandardPaths::findExecutable("zbarimg");
        QVERIFY2(!pdftotext.isEmpty() && !pdftoppm.isEmpty() && !zbarimg.isEmpty(),
                 "poppler-utils and zbar-tools are needed");
        Fixture fx;
        // The two pending cards of the demo, both rows selected.
        QCOMPARE(fx.f->tabEntry->list->grid->Rows(), 3);
        fx.f->stbInfo->setCurrentIndex(0);
        fx.f->tabEntry->list->grid->Cells(1, 3).setSelected(true);
        fx.f->tabEntry->list->grid->focusProxy()->setFocus();
        QTest::keyClick(fx.f->tabEntry->list->grid->focusProxy(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(fx.f->tabEntry->list->grid->SelectedRows(), (QList<int>{1, 2}));
        const QString pdf = fx.dir.filePath("cards.pdf");
        bool saved = false;
        SetNextCardPreviewHandler([&](CardPreview& preview) {
            QCOMPARE(preview.sheet(), CardSheet::EightPerA4);
            preview.setSheet(CardSheet::IdCard); // one card a page
            SetNextSaveFileName(pdf);
            saved = preview.savePdf();
        });
        fx.f->tabEntry->list->cmdPrint->click();
        QVERIFY(saved);
        const QString info = run(QStandardPaths::findExecutable("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+2")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("Page size:\\s+24[23]\\S* x 153")), qPrintable(info));
        const QString text = run(pdftotext, {pdf, "-"});
        for (const char* expected : {"C00000110", "D00000012", "张伟", "陈静", "华美义齿制作所", "钴铬合金烤瓷冠", "质保到期",
                                     "2016-09-10"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(QString::fromUtf8(expected) + "\n" + text));
        // The QR code of the first page decodes to its card number.
        QVERIFY(QProcess::execute(pdftoppm, {"-r", "300", "-f", "1", "-l", "1", "-png", pdf, fx.dir.filePath("page")}) == 0);
        const QString png = QDir(fx.dir.path()).entryList({"page*.png"}).value(0);
        QVERIFY(!png.isEmpty());
        const QString code = run(zbarimg, {"--raw", "-q", fx.dir.filePath(png)}).trimmed();
        QCOMPARE(code, QStringLiteral("C00000110"));
        // A folder that is not there: no file, and the reason.
        QString error;
        QVERIFY(!SaveCardsPdf(fx.dir.filePath("none/cards.pdf"), {"所", {}, {}}, CardSheet::IdCard, &error));
        QVERIFY(!error.isEmpty());
    }

    void printNeedsAChoiceAndASavedEntry() {
        Fixture fx;
        bool previewed = false;
        SetNextCardPreviewHandler([&](CardPreview&) { previewed = true; });
        fx.f->stbInfo->setCurrentIndex(1);
        fx.f->tabProc->list->grid->LoadData(QVariant()); // nothing to choose
        fx.f->tabProc->list->cmdPrint->click();
        QVERIFY(!previewed);
        QCOMPARE(fx.boxes.texts(), QStringList{"请先选择要打印的质保卡。"});
        // An opened record with a change not saved is not printed as stored.
        fx.boxes.clear();
        fx.f->stbInfo->setCurrentIndex(0);
        fx.f->tabEntry->egNew_RowDblClick(1);
        fx.f->tabEntry->txtPLName->setText("改");
        fx.f->tabEntry->list->cmdPrint->click();
        QVERIFY(!previewed);
        QCOMPARE(fx.boxes.texts(), QStringList{"质保卡的修改还没有保存，请先保存再打印。"});
        SetNextCardPreviewHandler({});
    }
};

QTEST_MAIN(TestFrmLookup)
#include "tst_frmLookup.moc"
