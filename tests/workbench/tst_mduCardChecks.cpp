// The workbench's own warnings and hints (the early warnings after Save,
// the next free number on a product pick, the batch check's range and
// duplicate warnings) ask the database quietly: when their query fails, as
// after a lost link, the warning is left out, no box is shown, and the next
// failing statement of the forms is still the first failure the recovery
// sees (it shows the driver's text and rebuilds nothing).
#include "EditGrid.h"
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "mduFormParts.h"
#include "mduHospital.h"
#include "mduRecordSql.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"
#include "ucInput.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

namespace {

// The queries, by a piece of their text, that meet a lost link.
const QString RangeTest = "from tblProductNoSet where fldPrdNoFrom<=";
const QString DuplicateTest = "from tblrecord where fldstatus>'00' and fldsn<>";
const QString LabRanges = "from tblProductNoSet where fldmaker = ?";
const QString RangeNumbers = "select distinct fldPrdNo from tblrecord";

struct LinkState {
    QStringList cut; // statements containing one of these fail
    QString failure; // with this description
    int opens = 0;
};

LinkState& link() {
    static LinkState s;
    return s;
}

// The embedded backend, whose link is lost for the statements named.
class CuttingBackend final : public DbBackend {
public:
    void open(const ConnectRequest& r) override {
        ++link().opens;
        m_inner.open(r);
    }
    void close() override { m_inner.close(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    QString filePath() const override { return m_inner.filePath(); }
    QList<DbParamInfo> describeParameters(const QString& sql) override {
        check(sql);
        return m_inner.describeParameters(sql);
    }
    DbResult execute(const QString& sql, const QList<DbParam>& p, int t) override {
        check(sql);
        return m_inner.execute(sql, p, t);
    }
    QList<DbParamInfo> describeProcedure(const QString& n) override { return m_inner.describeProcedure(n); }
    DbResult callProcedure(const QString& n, QList<DbParam>& p, int t) override { return m_inner.callProcedure(n, p, t); }
    void beginTransaction() override { m_inner.beginTransaction(); }
    void beginWriteTransaction() override { m_inner.beginWriteTransaction(); }
    void commitTransaction() override { m_inner.commitTransaction(); }
    void rollbackTransaction() override { m_inner.rollbackTransaction(); }
    void setCommitsWaitForDisk(bool wait) override { m_inner.setCommitsWaitForDisk(wait); }
    void flushCommitted() override { m_inner.flushCommitted(); }

private:
    static void check(const QString& sql) {
        for (const QString& piece : link().cut)
            if (sql.contains(piece, Qt::CaseInsensitive))
                throw DbError(link().failure, "08S01");
    }
    SqliteBackend m_inner;
};

// A signed-in demo lab and its workbench on that backend.
struct Bench {
    ScriptedMessages boxes;
    std::unique_ptr<DemoDatabase> db;
    QTemporaryDir settingsDir;
    std::unique_ptr<QSettings> hospitals;
    std::unique_ptr<frmProducts> f;
    explicit Bench(const QStringList& cut) {
        link() = LinkState();
        link().failure = LostLinkDescription("[FreeTDS][SQL Server]Write to the server failed");
        SetBackendFactory([](const ConnectRequest&) { return std::make_unique<CuttingBackend>(); });
        db = std::make_unique<DemoDatabase>();
        hospitals = std::make_unique<QSettings>(settingsDir.filePath("hospitals.ini"), QSettings::IniFormat);
        SetHospitalStore(hospitals.get());
        db->signIn();
        f = std::make_unique<frmProducts>();
        boxes.clear();
        link().cut = cut; // from here on
    }
    ~Bench() {
        f.reset();
        db.reset();
        SetHospitalStore(nullptr);
        SetBackendFactory({});
    }
    frmEntryTab* entry() const { return f->tabEntry; }
    frmBatchTab* batch() const { return f->tabBatch; }
    // Nothing shown, no error text kept, the connection never rebuilt; and
    // the forms' next failing statement is the first failure: it shows the
    // driver's text and keeps it, and rebuilds nothing either.
    void recoveryUntouched(const QString& failing) {
        QCOMPARE(boxes.texts(), QStringList());
        QCOMPARE(gConn->ErrInfo(), QString());
        QCOMPARE(link().opens, 1);
        QVERIFY(vt::isEmpty(gConn->GetArray(failing)));
        QCOMPARE(boxes.texts(), QStringList{link().failure});
        QCOMPARE(link().opens, 1);
    }
};

} // namespace

class TestMduCardChecks : public QObject {
    Q_OBJECT
private slots:
    void earlyWarningsAfterSave_data();
    void earlyWarningsAfterSave();
    void nextFreeNumberHint_data();
    void nextFreeNumberHint();
    void batchCheckWarnings_data();
    void batchCheckWarnings();
};

void TestMduCardChecks::earlyWarningsAfterSave_data() {
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("cut");
    QTest::addColumn<QString>("warning"); // what the report says after "已保存 C…"
    // C00000999 lies in no range of the lab; C00000120 is submitted.
    QTest::newRow("range test answers") << "00000999" << "" << "；注意：卡号 C00000999 不在本所的卡号范围内";
    QTest::newRow("range test fails") << "00000999" << RangeTest << "";
    QTest::newRow("duplicate test answers") << "00000120" << "" << "；注意：卡号 C00000120 已被已上报的质保卡使用";
    QTest::newRow("duplicate test fails") << "00000120" << DuplicateTest << "";
}

void TestMduCardChecks::earlyWarningsAfterSave() {
    QFETCH(QString, digits);
    QFETCH(QString, cut);
    QFETCH(QString, warning);
    Bench b(cut.isEmpty() ? QStringList() : QStringList{cut});
    b.entry()->cmdNew_Click();
    b.entry()->ucProduct->setKey("C01");
    b.entry()->ucProduct_Click();
    b.entry()->txtPrdNo->setText(digits);
    b.entry()->txtPLName->setText("张");
    b.entry()->txtPFName->setText("三");
    b.entry()->txtHospital->setText("北京口腔医院");
    b.entry()->cmdSave_Click();
    const QString number = "C" + digits;
    // Saved as ever, with the warning or without it.
    QCOMPARE(b.db->scalar("select count(*) from tblrecord where fldPrdNo='" + number + "' and fldStatus='00'").toInt(), 1);
    QVERIFY(b.f->InfoBarPanel2->text().endsWith("已保存 " + number + warning));
    vt::EditGrid* g = b.entry()->list->grid;
    int row = -1;
    for (int r = 1; r < g->Rows(); ++r)
        if (g->Cells(r, 4).Text() == number)
            row = r;
    QVERIFY(row > 0);
    QCOMPARE(g->Cells(row, 4).BackColor() == WarningColor, !warning.isEmpty());
    if (cut.isEmpty())
        QVERIFY(b.boxes.texts().isEmpty());
    else
        b.recoveryUntouched(cut == RangeTest ? RangeTestStatement(number, "1", "2") : DuplicateTestStatement(number, "0"));
}

void TestMduCardChecks::nextFreeNumberHint_data() {
    QTest::addColumn<QString>("cut");
    QTest::addColumn<QString>("hint");
    QTest::newRow("ranges read") << "" << "00000101";
    QTest::newRow("ranges not read") << LabRanges << "";
    // Without the numbers in use the range would look empty: no hint at all.
    QTest::newRow("numbers in use not read") << RangeNumbers << "";
}

void TestMduCardChecks::nextFreeNumberHint() {
    QFETCH(QString, cut);
    QFETCH(QString, hint);
    Bench b(cut.isEmpty() ? QStringList() : QStringList{cut});
    // The first number of the lab's C range is in use.
    SqliteBackend other;
    other.openFile(b.db->dbPath(), false);
    other.executeNative("insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values (1,'C00000100','00')", {});
    b.entry()->cmdNew_Click();
    b.entry()->ucProduct->setKey("C01");
    b.entry()->ucProduct_Click();
    QCOMPARE(b.entry()->txtPrdNo1->text(), QString("C"));
    QCOMPARE(b.entry()->txtPrdNo->placeholderText(), hint);
    QCOMPARE(b.entry()->txtPrdNo->toolTip(), hint.isEmpty() ? QString() : "下一个可用卡号：C" + hint);
    if (cut.isEmpty())
        QVERIFY(b.boxes.texts().isEmpty());
    else
        b.recoveryUntouched(cut == LabRanges ? "select * from tblProductNoSet where fldmaker = ?" : RangeNumbers);
}

void TestMduCardChecks::batchCheckWarnings_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("cut");
    QTest::addColumn<bool>("warned");
    QTest::newRow("range test answers") << "C00000999" << "" << true;
    QTest::newRow("range test fails") << "C00000999" << RangeTest << false;
    QTest::newRow("duplicate test answers") << "C00000120" << "" << true;
    QTest::newRow("duplicate test fails") << "C00000120" << DuplicateTest << false;
    QTest::newRow("both fail") << "C00000999" << RangeTest + "|" + DuplicateTest << false;
}

// Row 1's number would be warned of; row 2 lacks its patient's surname. The
// check's own message is the only box, whatever the warnings' queries met.
void TestMduCardChecks::batchCheckWarnings() {
    QFETCH(QString, number);
    QFETCH(QString, cut);
    QFETCH(bool, warned);
    const QStringList pieces = cut.isEmpty() ? QStringList() : cut.split('|');
    Bench b(pieces);
    b.batch()->cmdAdd_Click();
    b.batch()->cmdAdd_Click();
    QStringList rows[2];
    rows[0] = QStringList{"钴铬合金烤瓷冠", number, "2013-9-1", "2013-9-2", "李", "四", "", "", "协和医院", "", ""};
    rows[1] = rows[0];
    rows[1][1] = "C00000411";
    rows[1][4] = "";
    for (int i = 0; i < 2; ++i)
        for (int c = 0; c < 11; ++c)
            b.batch()->egBatch->Cells(i + 1, c + 1).setText(rows[i][c]);
    b.batch()->cmdCheck_Click();
    QCOMPARE(b.boxes.texts(), QStringList{"行 2 :请提供  患者姓  ！"});
    QCOMPARE(b.batch()->egBatch->Cells(1, 2).BackColor() == WarningColor, warned);
    QCOMPARE(b.batch()->egBatch->Cells(2, 5).BackColor(), long(FailureColor));
    QVERIFY(!b.batch()->cmdImport->isEnabled());
    if (!pieces.isEmpty()) {
        b.boxes.clear();
        b.recoveryUntouched(pieces.first() == RangeTest ? RangeTestStatement(number, "1", "2")
                                                        : DuplicateTestStatement(number, QString()));
    }
}

QTEST_MAIN(TestMduCardChecks)
#include "tst_mduCardChecks.moc"
