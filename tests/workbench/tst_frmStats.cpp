// The statistics tab on a fixture of known records: counts by status, the
// monthly series across a year's end, the clinics, the reasons, an empty
// period, another lab's records left out, and the exports.
#include "EditGrid.h"
#include "clsConn.h"
#include "frmProducts.h"
#include "frmStats.h"
#include "mduFileDialog.h"
#include "mduHospital.h"
#include "mduProcess.h"
#include "mduStats.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <sqlite3.h>

namespace {

struct Fixture {
    ScriptedMessages boxes;
    DemoDatabase db;
    QTemporaryDir dir;
    std::unique_ptr<QSettings> hospitals;
    std::unique_ptr<frmProducts> f;
    Fixture() {
        hospitals = std::make_unique<QSettings>(dir.filePath("hospitals.ini"), QSettings::IniFormat);
        SetHospitalStore(hospitals.get());
        db.signIn();
        // lab 1 (the signed-in one) and lab 2; the demo's own records are of 2013.
        const char* rows[][6] = {
            {"1", "C01", "2025-10-31", "00", "甲医院", ""},           // the day before the period
            {"1", "C01", "2025-11-01", "00", "甲医院", ""},
            {"1", "C01", "2025-12-01", "02", "甲医院", ""},
            {"1", "D01", "2025-12-31", "02", "乙诊所", ""},
            {"1", "D01", "2026-01-01", "03", "乙诊所", "卡号错误"},
            {"1", "C01", "2026-01-20", "03", "甲医院", "卡号错误"},
            {"1", "E01", "2026-02-28", "05", "丙门诊'%_", "资料不全"},
            {"1", "C01", "2026-03-01", "01", "甲医院", ""},           // the day after
            {"2", "C01", "2025-12-10", "02", "外院", ""},             // another lab
        };
        int n = 0;
        for (const auto& r : rows) {
            QVariantList p{r[0], r[1], QStringLiteral("T%1").arg(++n, 8, 10, QLatin1Char('0')), QString::fromUtf8(r[4]),
                           r[2], r[3], QString::fromUtf8(r[5])};
            gConn->ExeCommand("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                              "fldHospital,fldOpTime,fldPdTime,fldStatus,fldreturnmemo) "
                              "values (?,'x',?,?,'张','三',?,'',?,?,?)",
                              p);
        }
        f = std::make_unique<frmProducts>();
        f->show();
        QVERIFY2(QTest::qWaitForWindowExposed(f.get()), "the workbench was never shown");
    }
    ~Fixture() {
        f.reset();
        SetHospitalStore(nullptr);
    }
    frmStats* stats() { return f->tabStats; }
    void showRange(const QDate& a, const QDate& b) {
        f->stbInfo->setCurrentWidget(stats());
        stats()->cboKind->setCurrentIndex(3);
        stats()->dateFrom->setDate(a);
        stats()->dateTo->setDate(b);
        stats()->cmdStat->click();
    }
    QString tableText(frmStats::Page page) {
        QStringList lines;
        for (const QStringList& row : stats()->TableRows(page))
            lines << row.join('|');
        return lines.join('\n');
    }
};

} // namespace

class TestFrmStats : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetProcessEnd([](int) { throw std::runtime_error("the program ended"); }); }

    void periods_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("months");
        QTest::newRow("leap February") << 0 << 2024 << 2 << "2024-02-01" << "2024-02-29" << "2024-02";
        QTest::newRow("February") << 0 << 2025 << 2 << "2025-02-01" << "2025-02-28" << "2025-02";
        QTest::newRow("fourth quarter") << 1 << 2025 << 4 << "2025-10-01" << "2025-12-31" << "2025-10,2025-11,2025-12";
        QTest::newRow("year") << 2 << 2026 << 0 << "2026-01-01" << "2026-12-31"
                              << "2026-01,2026-02,2026-03,2026-04,2026-05,2026-06,2026-07,2026-08,2026-09,2026-10,"
                                 "2026-11,2026-12";
        QTest::newRow("range over a year's end, given backwards")
            << 3 << 0 << 0 << "2025-12-15" << "2026-01-10" << "2025-12,2026-01";
    }
    void periods() {
        QFETCH(int, kind);
        QFETCH(int, year);
        QFETCH(int, part);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, months);
        const StatsPeriod p = kind == 0   ? MonthPeriod(year, part)
                              : kind == 1 ? QuarterPeriod(year, part)
                              : kind == 2 ? YearPeriod(year)
                                          : RangePeriod(QDate(2026, 1, 10), QDate(2025, 12, 15));
        QCOMPARE(p.first.toString("yyyy-MM-dd"), first);
        QCOMPARE(p.last.toString("yyyy-MM-dd"), last);
        QCOMPARE(PeriodMonths(p).join(','), months);
    }

    void statusWordsAndRate() {
        const QHash<QString, QString> list{{"03", "已退回"}};
        QCOMPARE(StatusWords("00", list), QString("待提交"));
        QCOMPARE(StatusWords("01", list), QString("待审批"));
        QCOMPARE(StatusWords("02", list), QString("已发布"));
        QCOMPARE(StatusWords("03", list), QString("已退回"));
        QCOMPARE(StatusWords("07", list), QString("07"));
        QVERIFY(!IsSentBackStatus("02") && IsSentBackStatus("03") && IsSentBackStatus("07"));
        QCOMPARE(ApprovalRateText(-1), QString("—"));
        QCOMPARE(ApprovalRateText(2.0 / 3.0), QString("66.7%"));
    }

    void countsOfAPeriodAcrossAYearsEnd() {
        Fixture fx;
        fx.showRange(QDate(2025, 11, 1), QDate(2026, 2, 28));
        const LabStats& s = fx.stats()->Stats();
        QCOMPARE(s.total, 6); // the day before, the day after and the other lab's left out
        QCOMPARE(s.published, 2);
        QCOMPARE(s.sentBack, 3);
        QCOMPARE(ApprovalRateText(s.approvalRate()), QString("40.0%"));
        // The sent-back code of the submitted list shows in its words; an
        // unknown one as its code.
        QCOMPARE(fx.tableText(frmStats::StatusPage),
                 QString("状态代码|状态|张数\n00|待提交|1\n02|已发布|2\n03|已退回|2\n05|05|1\n|审批通过率|40.0%"));
        QCOMPARE(fx.tableText(frmStats::MonthlyPage),
                 QString("月份|钴铬合金烤瓷冠|二氧化锆全瓷冠|铸瓷贴面|合计\n"
                         "2025-11|1|0|0|1\n2025-12|1|1|0|2\n2026-01|1|1|0|2\n2026-02|0|0|1|1"));
        QCOMPARE(fx.tableText(frmStats::ClinicPage), QString("医院、诊所|张数\n甲医院|3\n乙诊所|2\n丙门诊'%_|1"));
        QCOMPARE(fx.tableText(frmStats::ReasonPage), QString("状态|理由|张数\n已退回|卡号错误|2\n05|资料不全|1"));
        QVERIFY(fx.stats()->lblSummary->text().contains("共 6 张"));
        QVERIFY(fx.stats()->lblSummary->text().contains("审批通过率 40.0%"));
        // The chart is drawn from the same counts: four months, three products.
        auto* bars = qobject_cast<QAbstractBarSeries*>(fx.stats()->chartView(frmStats::MonthlyPage)->chart()->series().value(0));
        QVERIFY(bars);
        QCOMPARE(bars->count(), 3);
        QCOMPARE(bars->barSets().at(0)->count(), 4);
        QCOMPARE(bars->barSets().at(0)->at(2), 1.0);
    }

    void chooserCountsAtOnceAndEmptyPeriod() {
        Fixture fx;
        fx.f->stbInfo->setCurrentWidget(fx.stats());
        // The first showing picks the latest year with records.
        QCOMPARE(fx.stats()->spnYear->value(), 2026);
        QCOMPARE(fx.stats()->Stats().total, 4);
        fx.stats()->cboKind->setCurrentIndex(0); // month
        fx.stats()->cboPart->setCurrentIndex(11);
        fx.stats()->spnYear->setValue(2025);
        QCOMPARE(fx.stats()->Period().first, QDate(2025, 12, 1));
        QCOMPARE(fx.stats()->Stats().total, 2);
        fx.stats()->spnYear->setValue(2030);
        const LabStats& s = fx.stats()->Stats();
        QCOMPARE(s.total, 0);
        QCOMPARE(s.months, QStringList{"2030-12"});
        QVERIFY(s.products.isEmpty());
        QCOMPARE(ApprovalRateText(s.approvalRate()), QString("—"));
        QCOMPARE(fx.stats()->table(frmStats::ClinicPage)->rowCount(), 0);
        QCOMPARE(fx.tableText(frmStats::MonthlyPage), QString("月份|合计\n2030-12|0"));
        QVERIFY(fx.boxes.shown().isEmpty());
    }

    // The counts are read from the index alone, not from every record.
    void countsUseTheIndex_data() {
        QTest::addColumn<QString>("statement");
        QTest::newRow("status") << StatsStatusStatement();
        QTest::newRow("monthly") << StatsMonthlyStatement();
        QTest::newRow("clinics") << StatsClinicStatement();
    }
    void countsUseTheIndex() {
        QFETCH(QString, statement);
        DemoDatabase db(false);
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open_v2(db.dbPath().toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* plan = nullptr;
        QCOMPARE(sqlite3_prepare_v2(raw, ("explain query plan " + statement).toUtf8().constData(), -1, &plan, nullptr),
                 SQLITE_OK);
        QStringList details;
        while (sqlite3_step(plan) == SQLITE_ROW)
            details << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3)));
        sqlite3_finalize(plan);
        sqlite3_close(raw);
        QVERIFY2(details.join(' ').contains("USING COVERING INDEX ixRecordMakerPdTime"), qPrintable(details.join(" / ")));
    }

    void exportsTableAndPicture() {
        Fixture fx;
        fx.showRange(QDate(2025, 11, 1), QDate(2026, 2, 28));
        fx.stats()->tabCharts->setCurrentIndex(frmStats::ClinicPage);
        const QString csv = fx.dir.filePath("clinics.csv");
        SetNextSaveFileName(csv);
        QVERIFY(fx.stats()->cmdExportTable_Click());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBF") + QString("医院、诊所,张数\r\n甲医院,3\r\n乙诊所,2\r\n丙门诊'%_,1\r\n").toUtf8());

        const QString png = fx.dir.filePath("clinics.png");
        SetNextSaveFileName(png);
        QVERIFY(fx.stats()->cmdExportImage_Click());
        const QImage image(png);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), fx.stats()->chartView(frmStats::ClinicPage)->size() *
                                   fx.stats()->chartView(frmStats::ClinicPage)->devicePixelRatio());

        SetNextSaveFileName(QString()); // cancelled
        QVERIFY(!fx.stats()->cmdExportTable_Click());
        QVERIFY(fx.boxes.shown().isEmpty());

        // A folder that does not exist: a box, and nothing claimed.
        SetNextSaveFileName(fx.dir.filePath("missing/clinics.csv"));
        QVERIFY(!fx.stats()->cmdExportTable_Click());
        QCOMPARE(fx.boxes.shown().size(), 1);
        QVERIFY(fx.boxes.shown().first().text.startsWith("文件没有写成："));
        SetNextSaveFileName(fx.dir.filePath("missing/clinics.png"));
        QVERIFY(!fx.stats()->cmdExportImage_Click());
        QCOMPARE(fx.boxes.shown().size(), 2);
        QVERIFY(fx.boxes.shown().last().text.startsWith("文件没有写成："));
        QVERIFY(!QFile::exists(fx.dir.filePath("missing")));
    }
};

QTEST_MAIN(TestFrmStats)
#include "tst_frmStats.moc"
