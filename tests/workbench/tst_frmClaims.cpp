// Warranty claims in the workbench on the demo database: the claim recorded
// from the look-up and from the published list (Ctrl+R), its term on the
// claim's day, refused for cards not published and for a card with a claim
// open; the teeth offered from the card where the database keeps them; a
// remake entered, linked both ways, checked and submitted like any card;
// the claims tab (filter, sort, export, close, the slip as PDF); the
// statistics page's counts and rate; and a database without claims, where
// nothing of them shows.
#include "EditGrid.h"
#include "clsConn.h"
#include "dbRoundTrips.h"
#include "frmClaimCloseDialog.h"
#include "frmClaimDialog.h"
#include "frmClaimStats.h"
#include "frmClaimsTab.h"
#include "frmEntryTab.h"
#include "frmLookup.h"
#include "frmProducts.h"
#include "frmRanges.h"
#include "frmPublishedTab.h"
#include "frmRecordList.h"
#include "frmStats.h"
#include "frmSubmittedTab.h"
#include "mduFileDialog.h"
#include "mduHospital.h"
#include "mduMessage.h"
#include "mduProcess.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"
#include "tsModal.h"
#include "tsOdbcStand.h"
#include "ucInput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
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

void sql(const QString& statement) { QVERIFY2(gConn->CommandRan(gConn->ExeCommand(statement)), qPrintable(statement)); }

// Where the screenshots go, to be looked at.
QString shotPath(const QString& name) {
    const QString dir = qEnvironmentVariable("QV_SHOTS", QDir::tempPath());
    return dir + QLatin1Char('/') + name + QStringLiteral(".png");
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
    void find(const QString& text) {
        f->stbInfo->setCurrentWidget(lookup());
        lookup()->txtSearch->setText(text);
        lookup()->cmdFind_Click();
    }
    QString key(const QString& number) {
        return db.scalar("select max(fldsn) from tblrecord where fldPrdNo='" + number + "'").toString();
    }
    QString claimValue(const QString& column, const QString& where = "1=1") {
        return db.scalar("select " + column + " from tblClaim where " + where + " order by fldsn desc limit 1").toString();
    }
    int claims() { return db.scalar("select count(*) from tblClaim").toInt(); }
    // The published list of August and September 2013, where the demo's
    // published cards were submitted.
    void showPublished() {
        f->stbInfo->setCurrentWidget(f->tabOuted);
        f->tabOuted->dateFrom->setDate(QDate(2013, 8, 1));
        f->tabOuted->dateTo->setDate(QDate(2013, 9, 30));
        f->tabOuted->cmdViewAll_Click();
    }
    void selectPublished(const QString& number) {
        vt::EditGrid* g = f->tabOuted->list->grid;
        for (int r = 1; r < g->Rows(); ++r)
            if (g->Cells(r, 6).Text() == number) {
                g->Cells(r, 6).setSelected(true);
                return;
            }
        QFAIL(qPrintable("not listed: " + number));
    }
    // Ctrl+R on the window.
    void pressClaimKey() {
        QTest::keyClick(f.get(), Qt::Key_R, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }
};

// Fills the claim dialog and presses OK.
std::function<void(QWidget*)> fillClaim(const QString& reason, const QString& text, bool remake,
                                        const QStringList& teeth = {}, QString* term = nullptr,
                                        const QString& shot = {}) {
    return [=](QWidget* w) {
        auto* d = qobject_cast<frmClaimDialog*>(w);
        QVERIFY(d);
        d->cboReason->setCurrentText(reason);
        d->txtText->setPlainText(text);
        for (QCheckBox* box : d->chkTeeth)
            box->setChecked(teeth.contains(box->text()));
        (remake ? d->optRemake : d->optRepair)->setChecked(true);
        if (term)
            *term = d->lblTerm->text();
        if (!shot.isEmpty())
            QVERIFY(d->grab().save(shotPath(shot)));
        d->cmdOK->click();
        if (d->isVisible())
            d->reject();
    };
}

} // namespace

class TestFrmClaims : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetProcessEnd([](int) { throw std::runtime_error("the program ended"); }); }
    void databaseWithoutClaims();
    void claimFromTheLookup();
    void claimTermOnTheDay_data();
    void claimTermOnTheDay();
    void onlyPublishedCardsTakeAClaim_data();
    void onlyPublishedCardsTakeAClaim();
    void dialogChecks_data();
    void dialogChecks();
    void teethFromTheCardWhereKept();
    void remakeLinkedBothWaysAndSubmitted();
    void claimsTab();
    void statisticsCountsAndRate();
    void signInCostsOneQuery();
};

void TestFrmClaims::databaseWithoutClaims() {
    Fixture fx([] { sql("drop table tblClaim"); });
    QVERIFY(!fx.f->claims->Available());
    QVERIFY(!fx.lookup()->cmdClaim->isVisible());
    QVERIFY(!fx.f->tabOuted->cmdClaim->isVisible());
    QCOMPARE(fx.f->stbInfo->indexOf(fx.f->tabClaims), -1);
    for (int i = 0; i < fx.f->stbInfo->count(); ++i)
        QVERIFY(fx.f->stbInfo->tabText(i) != frmClaimsTab::Caption());
    QVERIFY(!fx.f->tabStats->ClaimsPage());
    // The look-up shows no claims row; Ctrl+R opens nothing.
    fx.find("C00000130");
    QVERIFY(!fx.lookup()->findChild<QLabel*>("lblClaims")->isVisible());
    ModalDriver driver;
    driver.then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    fx.pressClaimKey();
    QTest::qWait(50);
    QVERIFY(driver.seen().isEmpty());
    QVERIFY(fx.boxes.shown().isEmpty());
}

void TestFrmClaims::claimFromTheLookup() {
    Fixture fx;
    QVERIFY(fx.f->claims->Available());
    fx.find("C00000130");
    QVERIFY(fx.lookup()->cmdClaim->isVisible() && fx.lookup()->cmdClaim->isEnabled());
    QVERIFY(fx.lookup()->findChild<QLabel*>("lblClaims")->isVisible());
    QCOMPARE(fx.lookup()->DetailText("返修"), QString());
    ModalDriver driver;
    QString term;
    const QString said = "患者说：\"咬硬物\"时崩了'一角'";
    driver.then(fillClaim("崩瓷", said, false, {}, &term, "claim-dialog"));
    fx.pressClaimKey();
    QTRY_VERIFY(driver.done());
    QTRY_COMPARE(fx.claims(), 1);
    // C01 is 36 months: 2013-08-10 ends on 2016-08-10, long past.
    const qint64 past = QDate(2016, 8, 10).daysTo(QDate::currentDate());
    QCOMPARE(term, QString("已过保修期 %1 天（到期 2016-08-10）").arg(past));
    QCOMPARE(fx.claimValue("fldPrdNo || '|' || fldReason || '|' || fldAction || '|' || fldInTerm || '|' || fldState || "
                           "'|' || fldClaimDate || '|' || fldRecordSn || '|' || fldTeeth"),
             "C00000130|崩瓷|修理|0|受理中|" + DateText(QDate::currentDate()) + "|" + fx.key("C00000130") + "|");
    QCOMPARE(fx.claimValue("fldText"), said);
    QCOMPARE(fx.lookup()->DetailText("返修"), "返修：" + DateText(QDate::currentDate()) + " 崩瓷（受理中）");
    QVERIFY(fx.boxes.shown().isEmpty());
    // A second claim while it is open: said, and no dialog.
    driver.then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    fx.lookup()->cmdClaim_Click();
    QCOMPARE(fx.boxes.shown().size(), 1);
    QCOMPARE(fx.boxes.shown()[0].text, "质保卡 C00000130 已有受理中的返修（" + DateText(QDate::currentDate()) +
                                           " 登记），完成后才能再次登记。");
    QCOMPARE(fx.claims(), 1);
    QVERIFY(!driver.done());
}

void TestFrmClaims::claimTermOnTheDay_data() {
    QTest::addColumn<int>("treatedDaysAgo");
    QTest::addColumn<QString>("inTerm");
    QTest::addColumn<QString>("term");
    // D01 is 60 months: treated five years ago today ends today.
    const QDate today = QDate::currentDate();
    const auto ago = [&](const QDate& treated) { return int(treated.daysTo(today)); };
    QTest::newRow("treated ten days ago") << 10 << "1"
                                          << QString("保修期内，还有 %1 天").arg(today.daysTo(today.addDays(-10).addMonths(60)));
    QTest::newRow("ends today") << ago(today.addMonths(-60)) << "1" << QString("保修期内，还有 0 天");
    QTest::newRow("ended yesterday") << ago(today.addMonths(-60).addDays(-1)) << "0"
                                     << QString("已过保修期 %1 天").arg(today.addMonths(-60).addDays(-1).addMonths(60).daysTo(today));
}

void TestFrmClaims::claimTermOnTheDay() {
    QFETCH(int, treatedDaysAgo);
    QFETCH(QString, inTerm);
    QFETCH(QString, term);
    const QString treated = DateText(QDate::currentDate().addDays(-treatedDaysAgo));
    Fixture fx([&] { sql("update tblrecord set fldOpTime='" + treated + "' where fldPrdNo='D00000020'"); });
    fx.find("D00000020");
    ModalDriver driver;
    QString shown;
    driver.then(fillClaim("脱落", "", false, {}, &shown));
    fx.lookup()->cmdClaim_Click();
    QTRY_COMPARE(fx.claims(), 1);
    QVERIFY2(shown.startsWith(term + "（到期 "), qPrintable(shown));
    QCOMPARE(fx.claimValue("fldInTerm"), inTerm);
}

void TestFrmClaims::onlyPublishedCardsTakeAClaim_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("said");
    QTest::newRow("pending") << "C00000110" << "质保卡 C00000110 尚未发布（待提交），只有已发布的质保卡才能登记返修。";
    QTest::newRow("submitted") << "C00000120" << "质保卡 C00000120 尚未发布（待审批），只有已发布的质保卡才能登记返修。";
    QTest::newRow("sent back") << "E00001005" << "质保卡 E00001005 尚未发布（已退回），只有已发布的质保卡才能登记返修。";
}

void TestFrmClaims::onlyPublishedCardsTakeAClaim() {
    QFETCH(QString, number);
    QFETCH(QString, said);
    Fixture fx;
    fx.find(number);
    QCOMPARE(fx.lookup()->Found().size(), 1);
    ModalDriver driver;
    driver.then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    fx.lookup()->cmdClaim_Click();
    QTest::qWait(30);
    QCOMPARE(fx.boxes.texts(), QStringList{said});
    QVERIFY(driver.seen().isEmpty());
    QCOMPARE(fx.claims(), 0);
}

void TestFrmClaims::dialogChecks_data() {
    QTest::addColumn<int>("reason"); // -1: none chosen
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("daysAhead");
    QTest::addColumn<QString>("said");
    QTest::newRow("no reason") << -1 << "x" << 0 << "请选择返修原因！";
    QTest::newRow("其他 without a word") << 6 << "  " << 0 << "返修原因为“其他”时，请写明情况！";
    QTest::newRow("text too long") << 0 << QString(501, QChar(0x957f)) << 0 << "情况说明最多 500 个字（现有 501 个）！";
    QTest::newRow("tomorrow") << 0 << "" << 1 << "登记日期不能晚于今天！";
    QTest::newRow("fine") << 0 << QString(500, QChar(0x957f)) << 0 << "";
}

void TestFrmClaims::dialogChecks() {
    QFETCH(int, reason);
    QFETCH(QString, text);
    QFETCH(int, daysAhead);
    QFETCH(QString, said);
    ScriptedMessages boxes;
    WarrantyCard card;
    card.record.key = "5";
    card.record.cardNumber = "C00000130";
    card.status = "02";
    card.record.treatmentDate = QDate(2013, 8, 10);
    frmClaimDialog d(card, 36, {});
    d.cboReason->setCurrentIndex(reason);
    d.txtText->setPlainText(text);
    d.dateClaim->setDate(QDate::currentDate().addDays(daysAhead));
    d.show();
    d.cmdOK_Click();
    QCOMPARE(d.result() == QDialog::Accepted, said.isEmpty());
    QCOMPARE(boxes.texts(), said.isEmpty() ? QStringList{} : QStringList{said});
    // Without teeth on the card it says so, and offers none.
    QVERIFY(d.chkTeeth.isEmpty());
    QVERIFY(d.lblNoTeeth->isVisibleTo(&d));
}

void TestFrmClaims::teethFromTheCardWhereKept() {
    // A card that keeps its teeth and lot.
    Fixture fx([] {
        sql("update tblrecord set fldTeeth='11 12 21', fldLot='L2013-07' where fldPrdNo='D00000020'");
    });
    fx.find("D00000020");
    ModalDriver driver;
    QStringList offered;
    QString about;
    driver.then([&](QWidget* w) {
        auto* d = qobject_cast<frmClaimDialog*>(w);
        QVERIFY(d);
        for (QCheckBox* box : d->chkTeeth)
            offered << box->text();
        QVERIFY(!d->lblNoTeeth->isVisible());
        about = d->lblCard->text();
        fillClaim("边缘不密合", "", false, {"21", "12"}, nullptr, "claim-dialog-teeth")(w);
    });
    fx.lookup()->cmdClaim_Click();
    QTRY_COMPARE(fx.claims(), 1);
    QCOMPARE(offered, (QStringList{"11", "12", "21"}));
    QVERIFY2(about.contains("批号 L2013-07"), qPrintable(about));
    QCOMPARE(fx.claimValue("fldTeeth"), QString("12 21"));
    // The statistics count the claim by the card's lot.
    fx.f->stbInfo->setCurrentWidget(fx.f->tabStats);
    fx.f->tabStats->spnYear->setValue(2013);
    fx.f->tabStats->Refresh();
    frmClaimStats* page = fx.f->tabStats->ClaimsPage();
    QVERIFY(page);
    QVERIFY(page->Stats().hasLots);
    QCOMPARE(page->Stats().lots.size(), 1);
    QCOMPARE(page->Stats().lots[0].name, QString("L2013-07"));
    QCOMPARE(page->Stats().lots[0].count, 1);
    QVERIFY(page->tabPages->indexOf(page->table(frmClaimStats::LotPage)->parentWidget()) >= 0);
}

void TestFrmClaims::remakeLinkedBothWaysAndSubmitted() {
    Fixture fx([] { sql("update tblrecord set fldTeeth='11 21' where fldPrdNo='C00000130'"); });
    fx.showPublished();
    fx.selectPublished("C00000130");
    QVERIFY(fx.f->tabOuted->cmdClaim->isVisible());
    ModalDriver driver;
    driver.then(fillClaim("折断", "桥体折断", true));
    fx.boxes.setNextAnswer(MsgYes); // enter the remake now
    fx.pressClaimKey();
    QTRY_VERIFY(driver.done());
    QTRY_COMPARE(fx.claims(), 1);
    QCOMPARE(fx.boxes.shown().size(), 1);
    QVERIFY(fx.boxes.shown()[0].text.startsWith("返修已登记。现在录入重做的质保卡吗？"));
    // The entry tab holds the original's product, patient, doctor and clinic.
    frmEntryTab* e = fx.f->tabEntry;
    QCOMPARE(fx.f->stbInfo->currentWidget(), e);
    QCOMPARE(vt::vtListTable::textOf(e->ucProduct->Key()), QString("C01"));
    QCOMPARE(e->txtPrdNo1->text(), QString("C"));
    QCOMPARE(e->txtPLName->text() + e->txtPFName->text(), QString("林晨"));
    QCOMPARE(e->txtDLName->text() + e->txtDFName->text(), QString("何晓"));
    QCOMPARE(e->txtHospital->text(), QString("北京口腔医院"));
    QCOMPARE(e->txtTeeth->text(), QString("11 21")); // and the teeth
    QCOMPARE(e->txtPrdNo->text(), QString());
    QVERIFY(e->lblRemake && e->lblRemake->isVisible());
    QCOMPARE(e->lblRemake->text(), QString("重做：原卡号 C00000130"));
    QVERIFY(!e->RemakeClaim().isEmpty());
    // The next free number of the range is offered: C00000100 on is free but
    // for the demo's C00000110, C00000120 and C00000130.
    const QString offered = e->txtPrdNo->placeholderText();
    QVERIFY2(!offered.isEmpty(), "no number offered");
    QVERIFY(e->cmdSave->isEnabled());
    QVERIFY(!e->grab().isNull() && e->grab().save(shotPath("entry-remake")));
    e->txtPrdNo->setText(offered);
    e->cmdSave_Click();
    const QString number = "C" + offered;
    const QString remake = fx.key(number);
    QVERIFY(!remake.isEmpty());
    QCOMPARE(fx.db.scalar("select fldStatus from tblrecord where fldsn=" + remake), QVariant("00"));
    QCOMPARE(fx.claimValue("fldRemakeSn"), remake);
    QVERIFY(e->RemakeClaim().isEmpty());
    QVERIFY(!e->lblRemake->isVisible());
    // Both ways in the look-up.
    fx.find("C00000130");
    QCOMPARE(fx.lookup()->DetailText("返修"),
             "返修：" + DateText(QDate::currentDate()) + " 折断（受理中） / 重做卡号 " + number);
    fx.lookup()->ShowNumber(number);
    QCOMPARE(fx.lookup()->DetailText("质保卡号"), number);
    QCOMPARE(fx.lookup()->DetailText("返修"), "原卡号 C00000130（" + DateText(QDate::currentDate()) + " 折断 重做）");
    // The remake is submitted like any card: its number checked, then '01'.
    fx.f->stbInfo->setCurrentWidget(e);
    vt::EditGrid* g = e->list->grid;
    int row = -1;
    for (int r = 1; r < g->Rows(); ++r)
        if (g->Cells(r, 4).Text() == number)
            row = r;
    QVERIFY(row > 0);
    e->egNew_RowDblClick(row);
    e->cmdSubmit_Click();
    QCOMPARE(fx.db.scalar("select fldStatus from tblrecord where fldsn=" + remake), QVariant("01"));
    QCOMPARE(fx.boxes.shown().size(), 1);
    // A remake given up for another patient's card links nothing.
    WarrantyRecord other;
    other.productKey = "D01";
    other.cardNumber = "D00000020";
    QVERIFY(e->StartRemake(other, "999"));
    QCOMPARE(e->RemakeClaim(), QString("999"));
    fx.boxes.setNextAnswer(MsgYes); // the fields changed: let them go
    e->cmdNewEmpty_Click();
    QVERIFY(e->RemakeClaim().isEmpty());
    QVERIFY(!e->lblRemake->isVisible());
    // Saving another new card afterwards links nothing more.
    e->ucProduct->setKey("C01");
    e->ucProduct_Click();
    e->txtPLName->setText("王");
    e->txtPFName->setText("五");
    e->txtHospital->setText("协和医院");
    e->cmdNew_Click();
    e->txtPrdNo->setText("00000151");
    e->cmdSave_Click();
    QCOMPARE(fx.db.scalar("select count(*) from tblrecord where fldPrdNo='C00000151'"), QVariant(qlonglong(1)));
    QCOMPARE(fx.claimValue("fldRemakeSn"), remake);
}

void TestFrmClaims::claimsTab() {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    QVERIFY2(!pdftotext.isEmpty(), "poppler-utils is needed");
    Fixture fx([] {
        const QString today = DateText(QDate::currentDate());
        sql("insert into tblClaim (fldMsn,fldRecordSn,fldPrdNo,fldClaimDate,fldReason,fldText,fldAction,fldInTerm,"
            "fldState,fldOpenKey) select 1,fldsn,fldPrdNo,'" + today + "','崩瓷','前牙崩瓷','修理','0','受理中',fldsn "
            "from tblrecord where fldPrdNo='C00000130'");
        sql("insert into tblClaim (fldMsn,fldRecordSn,fldPrdNo,fldClaimDate,fldReason,fldText,fldAction,fldInTerm,"
            "fldState,fldCloseDate,fldDone,fldOpenKey) select 1,fldsn,fldPrdNo,'" +
            DateText(QDate::currentDate().addDays(-40)) + "','颜色不符','','重做','1','已完成','" + today +
            "','重做交付',-1000 from tblrecord where fldPrdNo='D00000020'");
        // Out of the range shown, and another lab's.
        sql("insert into tblClaim (fldMsn,fldRecordSn,fldPrdNo,fldClaimDate,fldReason,fldState,fldOpenKey) "
            "values (1,6,'D00000020','2001-01-01','其他','已完成',-1001)");
        sql("insert into tblClaim (fldMsn,fldRecordSn,fldPrdNo,fldClaimDate,fldReason,fldState,fldOpenKey) "
            "values (2,7,'C00000610','" + today + "','其他','受理中',7)");
    });
    frmClaimsTab* t = fx.f->tabClaims;
    QCOMPARE(fx.f->stbInfo->indexOf(t), fx.f->stbInfo->count() - 1);
    QCOMPARE(fx.f->stbInfo->indexOf(fx.f->tabRanges), 6);
    fx.f->stbInfo->setCurrentWidget(t);
    QCOMPARE(t->lstClaims->rowCount(), 2);
    // Newest first as read; sorted by reason on a header click.
    QCOMPARE(t->ShownClaims()[0].cardNumber, QString("C00000130"));
    t->lstClaims->sortByColumn(5, Qt::DescendingOrder);
    QCOMPARE(t->ShownClaims()[0].reason, QString("颜色不符"));
    t->lstClaims->sortByColumn(5, Qt::AscendingOrder);
    QCOMPARE(t->ShownClaims()[0].reason, QString("崩瓷"));
    QVERIFY(t->grab().save(shotPath("claims-tab")));
    // The filter.
    t->txtFilter->setText("罗佳");
    QCOMPARE(t->lstClaims->rowCount(), 1);
    QCOMPARE(t->ShownClaims()[0].cardNumber, QString("D00000020"));
    QVERIFY(!t->cmdClose->isEnabled()); // closed already
    t->txtFilter->clear();
    QCOMPARE(t->lstClaims->rowCount(), 2);
    // Export as CSV, read back.
    const QString csv = fx.dir.filePath("claims.csv");
    SetNextSaveFileName(csv);
    QVERIFY(t->cmdExport_Click());
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(file.readAll());
    QVERIFY(written.startsWith(QString::fromUtf8("\xEF\xBB\xBF") + frmClaimsTab::Headers().join(',')));
    QCOMPARE(written.count('\n'), 3);
    QVERIFY(written.contains("C00000130") && written.contains("重做交付"));
    const QString xlsx = fx.dir.filePath("claims.xlsx");
    SetNextSaveFileName(xlsx);
    QVERIFY(t->cmdExport_Click());
    QVERIFY(QFileInfo(xlsx).size() > 0);
    // The slip of the open claim as PDF: its number and reason in the text.
    t->lstClaims->setCurrentCell(0, 0);
    QCOMPARE(t->CurrentClaim()->cardNumber, QString("C00000130"));
    const QString pdf = fx.dir.filePath("slip.pdf");
    SetNextSaveFileName(pdf);
    QVERIFY(t->cmdSaveSlip_Click());
    const QString text = run(pdftotext, {"-layout", pdf, "-"});
    QVERIFY2(text.contains("C00000130") && text.contains("崩瓷") && text.contains("返修单") &&
                 text.contains("华美义齿制作所") && text.contains("前牙崩瓷"),
             qPrintable(text));
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (!pdftoppm.isEmpty())
        run(pdftoppm, {"-png", "-r", "60", "-singlefile", pdf, shotPath("claim-slip").chopped(4)});
    // Closed with what was done; the card takes a claim again.
    ModalDriver driver;
    driver.then([](QWidget* w) {
        auto* d = qobject_cast<frmClaimCloseDialog*>(w);
        QVERIFY(d);
        d->txtDone->setPlainText("重新上瓷后交付");
        QVERIFY(d->grab().save(shotPath("claim-close")));
        d->cmdOK->click();
    });
    QVERIFY(t->cmdClose->isEnabled());
    QVERIFY(t->cmdClose_Click());
    QCOMPARE(fx.db.scalar("select fldState || '|' || fldCloseDate || '|' || fldDone from tblClaim where fldPrdNo='C00000130'"),
             QVariant("已完成|" + DateText(QDate::currentDate()) + "|重新上瓷后交付"));
    QVERIFY(!fx.f->claims->HasOpenClaim(fx.key("C00000130")));
    QCOMPARE(t->ShownClaims()[0].state, QString("已完成"));
    // Open the card in the look-up.
    t->lstClaims->setCurrentCell(0, 0);
    t->cmdOpenCard_Click();
    QCOMPARE(fx.f->stbInfo->currentWidget(), fx.lookup());
    QCOMPARE(fx.lookup()->DetailText("质保卡号"), t->CurrentClaim()->cardNumber);
    QVERIFY(fx.boxes.shown().isEmpty());
}

void TestFrmClaims::statisticsCountsAndRate() {
    // 2025's cards: four published (two claimed, one of them twice), one
    // pending; a 2024 card published and claimed, whose claim lies in 2025.
    Fixture fx([] {
        const auto card = [](const QString& number, const QString& product, const QString& hospital,
                             const QString& produced, const QString& status) {
            sql("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,fldHospital,"
                "fldOpTime,fldPdTime,fldStatus) values (1,'1001','" + product + "','" + number + "','张','三','" +
                hospital + "','" + produced + "','" + produced + "','" + status + "')");
        };
        card("C00000201", "C01", "甲诊所", "2025-01-15", "02");
        card("C00000202", "C01", "乙诊所", "2025-06-30", "02");
        card("D00000051", "D01", "甲诊所", "2025-12-31", "02");
        card("D00000052", "D01", "甲诊所", "2025-03-01", "02");
        card("C00000203", "C01", "甲诊所", "2025-03-01", "00");
        card("C00000204", "C01", "甲诊所", "2024-12-31", "02");
        const auto claim = [](const QString& number, const QString& day, const QString& reason, int open) {
            sql("insert into tblClaim (fldMsn,fldRecordSn,fldPrdNo,fldClaimDate,fldReason,fldState,fldOpenKey) "
                "select 1,fldsn,fldPrdNo,'" + day + "','" + reason + "','已完成'," + QString::number(open) +
                " from tblrecord where fldPrdNo='" + number + "'");
        };
        claim("C00000201", "2025-03-02", "崩瓷", -1);
        claim("C00000201", "2025-05-20", "脱落", -2);
        claim("D00000051", "2026-01-05", "崩瓷", -3);
        claim("C00000204", "2025-02-01", "折断", -4);
    });
    fx.f->stbInfo->setCurrentWidget(fx.f->tabStats);
    fx.f->tabStats->spnYear->setValue(2025);
    fx.f->tabStats->Refresh();
    frmClaimStats* page = fx.f->tabStats->ClaimsPage();
    QVERIFY(page);
    const ClaimStats& s = page->Stats();
    QCOMPARE(s.claims, 3);
    QCOMPARE(s.published, 4);
    QCOMPARE(s.rate(), 75.0);
    QCOMPARE(ClaimRateText(s.rate()), QString("75.00 / 百张"));
    // Months of the claims' dates, the months between filled.
    QCOMPARE(s.months.first(), QString("2025-03"));
    QCOMPARE(s.months.last(), QString("2026-01"));
    QCOMPARE(s.months.size(), 11);
    QCOMPARE(s.monthly[0], 1);
    QCOMPARE(s.monthly[2], 1);
    QCOMPARE(s.monthly[10], 1);
    QCOMPARE(s.monthly[1], 0);
    QCOMPARE(s.reasons.size(), 2);
    QCOMPARE(s.reasons[0].name, QString("崩瓷"));
    QCOMPARE(s.reasons[0].count, 2);
    QCOMPARE(s.products.size(), 2);
    QCOMPARE(s.products[0].name, QString("钴铬合金烤瓷冠"));
    QCOMPARE(s.products[0].count, 2);
    QCOMPARE(s.clinics.size(), 1);
    QCOMPARE(s.clinics[0].name, QString("甲诊所"));
    QCOMPARE(s.clinics[0].count, 3);
    // The cards keep lots.
    QVERIFY(s.hasLots);
    QVERIFY(page->lblRate->text().contains("返修 3 次，已发布 4 张，返修率 75.00 / 百张"));
    // The tables as exported, beside their charts.
    const QList<QStringList> reasons = page->TableRows(frmClaimStats::ReasonPage);
    QCOMPARE(reasons.size(), 3);
    QCOMPARE(reasons[1], (QStringList{"崩瓷", "2", "66.7%"}));
    fx.f->tabStats->tabCharts->setCurrentWidget(page);
    page->tabPages->setCurrentIndex(1);
    const QString csv = fx.dir.filePath("reasons.csv");
    SetNextSaveFileName(csv);
    QVERIFY(fx.f->tabStats->cmdExportTable_Click());
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(file.readAll()).contains("崩瓷,2,66.7%"));
    const QString png = fx.dir.filePath("reasons.png");
    SetNextSaveFileName(png);
    QVERIFY(fx.f->tabStats->cmdExportImage_Click());
    QVERIFY(QImage(png).width() > 100);
    QVERIFY(fx.f->tabStats->grab().save(shotPath("claims-stats")));
    // 2024: the one card, claimed once.
    fx.f->tabStats->spnYear->setValue(2024);
    fx.f->tabStats->Refresh();
    QCOMPARE(page->Stats().claims, 1);
    QCOMPARE(page->Stats().published, 1);
    QCOMPARE(page->Stats().rate(), 100.0);
    // A year without published cards has no rate.
    fx.f->tabStats->spnYear->setValue(2020);
    fx.f->tabStats->Refresh();
    QCOMPARE(ClaimRateText(page->Stats().rate()), QString("—"));
    QVERIFY(fx.boxes.shown().isEmpty());
}

void TestFrmClaims::signInCostsOneQuery() {
    // Through the ODBC stand: sign-in pays one query for claims, whether the
    // database keeps them or not.
    qint64 costs[2] = {};
    for (int withTable = 0; withTable < 2; ++withTable) {
        ScriptedMessages boxes;
        OdbcStand db;
        if (!withTable)
            db.executeNative("drop table tblClaim");
        QTemporaryDir dir;
        QSettings hospitals(dir.filePath("hospitals.ini"), QSettings::IniFormat);
        SetHospitalStore(&hospitals);
        QVERIFY(db.signIn());
        const qint64 before = dbRoundTrips::count();
        {
            frmProducts f;
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            costs[withTable] = dbRoundTrips::count() - before;
            QCOMPARE(f.claims->Available(), bool(withTable));
            QCOMPARE(f.tabLookup->cmdClaim->isVisible(), false); // not the tab shown
            QCOMPARE(f.stbInfo->indexOf(f.tabClaims) >= 0, bool(withTable));
        }
        SetHospitalStore(nullptr);
        QVERIFY(boxes.shown().isEmpty());
    }
    QCOMPARE(costs[0], costs[1]);
    QVERIFY2(costs[1] <= 8, qPrintable(QString::number(costs[1])));
}

QTEST_MAIN(TestFrmClaims)
#include "tst_frmClaims.moc"
