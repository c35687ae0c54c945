// The entry tab's Save when the database's write-ahead log was deleted
// while the workbench ran: the next Save refuses and says why, reports
// nothing saved, keeps the card on the screen; the cards saved before are
// in the database file.
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "mduHospital.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"
#include "ucInput.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestFrmEntryTabFilesLost : public QObject {
    Q_OBJECT
private slots:
    void saveAfterTheLogWasDeleted();
};

void TestFrmEntryTabFilesLost::saveAfterTheLogWasDeleted() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QTemporaryDir settingsDir;
    QSettings hospitals(settingsDir.filePath("hospitals.ini"), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    QVERIFY(db.signIn());
    auto f = std::make_unique<frmProducts>();
    frmEntryTab* t = f->tabEntry;
    const auto save = [&](int n) {
        t->cmdNew_Click();
        t->ucProduct->setKey("C01");
        t->txtPrdNo->setText(QString("%1").arg(200 + n, 8, 10, QChar('0')));
        t->txtPLName->setText("张");
        t->txtPFName->setText("三");
        t->txtHospital->setText("北京口腔医院");
        t->cmdSave_Click();
    };
    for (int n = 1; n <= 10; ++n) {
        save(n);
        QVERIFY2(f->InfoBarPanel2->text().endsWith(QString("已保存 C%1").arg(200 + n, 8, 10, QChar('0'))),
                 qPrintable(f->InfoBarPanel2->text()));
    }
    QVERIFY(boxes.shown().isEmpty());

    QVERIFY(QFile::remove(db.dbPath() + "-wal"));
    const QString reportBefore = f->InfoBarPanel2->text();
    save(11);
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY2(boxes.texts().first().startsWith("数据库文件已被移走或替换"), qPrintable(boxes.texts().first()));
    QCOMPARE(f->InfoBarPanel2->text(), reportBefore); // no "已保存" for the eleventh
    QCOMPARE(t->txtPrdNo->text(), QString("00000211")); // kept to be saved again
    QVERIFY(t->cmdSave->isEnabled());

    // What the next start finds after a kill: the database file alone.
    QTemporaryDir elsewhere;
    QVERIFY(QFile::copy(db.dbPath(), elsewhere.filePath("copy.db")));
    SqliteBackend fresh;
    fresh.openFile(elsewhere.filePath("copy.db"), false);
    const DbResult r = fresh.executeNative(
        "select count(*), min(fldPrdNo), max(fldPrdNo) from tblrecord where fldPrdNo between 'C00000201' and 'C00000211'", {});
    QCOMPARE(r.rows.at(0, 0).toInt(), 10);
    QCOMPARE(r.rows.at(1, 0).toString(), QString("C00000201"));
    QCOMPARE(r.rows.at(2, 0).toString(), QString("C00000210"));

    f.reset();
    SetHospitalStore(nullptr);
}

QTEST_MAIN(TestFrmEntryTabFilesLost)
#include "tst_frmEntryTabFilesLost.moc"
