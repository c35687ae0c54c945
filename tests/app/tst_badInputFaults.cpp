// Faults of the machine and of the files under the program: settings and
// database files it may not write, a full disk, damaged pages, missing
// tables, and values far beyond what a user types. Each ends in a clear
// message, no crash, and no confirmed record lost. The permission cases run
// as an unprivileged user, since root writes anything.
#include "clsConn.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "frmSYSSetDB.h"
#include "mduHospital.h"
#include "mduINI.h"
#include "mduPaths.h"
#include "qvDatePicker.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"
#include "tsUnprivileged.h"
#include "ucInput.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// The stored records of the demo lab as text, to see that nothing changed.
QString recordsText(const DemoDatabase& db) {
    return db.scalar("select group_concat(fldsn || '|' || fldPrdNo || '|' || ifnull(fldPLName,'') || '|' || fldStatus, ';') "
                     "from (select * from tblrecord order by fldsn)")
        .toString();
}

// Fills and saves one record through the entry tab; whether the form moved on.
bool saveThroughForm(frmProducts& f, const QString& digits, const QString& surname = "张") {
    f.tabEntry->cmdNew_Click();
    f.tabEntry->ucProduct->setKey("C01");
    f.tabEntry->txtPrdNo->setText(digits);
    f.tabEntry->txtPLName->setText(surname);
    f.tabEntry->txtPFName->setText("三");
    f.tabEntry->txtHospital->setText("北京口腔医院");
    f.tabEntry->cmdSave_Click();
    return f.tabEntry->txtPrdNo->text().isEmpty() && f.tabEntry->lbId->text().isEmpty();
}

// A file-size limit for this process, with SIGXFSZ ignored so that a write
// past it fails with an error (as on a full disk) instead of ending the
// process. Lifted again at the end of the scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = m_old;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TestBadInputFaults : public QObject {
    Q_OBJECT
private slots:
    void unwritableSettings_data();
    void unwritableSettings();
    void hugeSettingsFile();
    void readOnlyDatabase();
    void fullDisk();
    void corruptPages();
    void missingTable_data();
    void missingTable();
    void hugeAndNulValues_data();
    void hugeAndNulValues();
    void hospitalStoreJunk();
};

void TestBadInputFaults::unwritableSettings_data() {
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<bool>("fileReadOnly");
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<bool>("saved");
    QTest::newRow("read-only file") << true << true << false << false;
    QTest::newRow("missing file, read-only folder") << false << false << true << false;
    QTest::newRow("missing file") << false << false << false << true;
}

void TestBadInputFaults::unwritableSettings() {
    QFETCH(bool, fileExists);
    QFETCH(bool, fileReadOnly);
    QFETCH(bool, folderReadOnly);
    QFETCH(bool, saved);
    ScriptedMessages boxes;
    TempProgramFolder folder;
    OpenToEverybody(folder.path());
    if (fileExists) {
        folder.writeIni("[DATABASE]\nSERVER=db01\n");
        if (fileReadOnly)
            MakeReadOnly(folder.iniPath());
        else
            OpenToEverybody(folder.iniPath());
    }
    if (folderReadOnly)
        MakeReadOnly(folder.path());
    bool dialogSaved = false;
    QString written;
    {
        AsUnprivilegedUser nobody;
        written = SetupIniPath();
        frmSYSSetDB dialog;
        dialog.show();
        dialog.txtServerName->setText("db02");
        dialog.txtDatabaseName->setText("wty");
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        dialogSaved = dialog.Saved();
    }
    OpenToEverybody(folder.path());
    QCOMPARE(dialogSaved, saved);
    const QString server = ReadIniString("DATABASE", "SERVER", "", folder.iniPath());
    if (saved) {
        QVERIFY(boxes.texts().isEmpty());
        QCOMPARE(server, QString("db02"));
    } else {
        // The message names the file; what was there is left as it was.
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY2(boxes.texts().first().contains(written), qPrintable(boxes.texts().first()));
        QCOMPARE(server, fileExists ? QString("db01") : QString());
    }
}

void TestBadInputFaults::hugeSettingsFile() {
    // 64 MB of one line with a real section after it: read without hanging,
    // the section still found.
    ScriptedMessages boxes;
    TempProgramFolder folder;
    QByteArray bytes("[JUNK]\nX=");
    bytes += QByteArray(64 << 20, 'x');
    bytes += "\n[DATABASE]\nSERVER=db01\nDATABASENAME=wty\n";
    folder.writeIni(bytes);
    QString s, d, u, p;
    ReadDatabaseSettings(s, d, u, p);
    QCOMPARE(s, QString("db01"));
    QCOMPARE(d, QString("wty"));
    QVERIFY(boxes.texts().isEmpty());
}

void TestBadInputFaults::readOnlyDatabase() {
    ScriptedMessages boxes;
    DemoDatabase db(false);
    OpenToEverybody(db.folder().path());
    OpenToEverybody(db.dbPath());
    MakeReadOnly(db.dbPath());
    const QString before = recordsText(db);
    {
        AsUnprivilegedUser nobody;
        QString server = "(embedded)", name = "demo";
        // Either the file is refused at once with the reason, or the first
        // write fails with it; never a write reported as done.
        if (gConn->ConnectToDatabase(server, name)) {
            QCOMPARE(gConn->ExeCommand("update tblrecord set fldMemo='x'"), -1);
            QVERIFY(!gConn->CommandRan(-1));
        }
        gConn.reset();
    }
    QVERIFY(!boxes.shown().isEmpty());
    const auto& box = boxes.shown().first();
    QVERIFY2((box.text + box.detail).contains("readonly") || (box.text + box.detail).contains("read-only") ||
                 (box.text + box.detail).contains("unable to open"),
             qPrintable(box.text + " / " + box.detail));
    OpenToEverybody(db.dbPath());
    QCOMPARE(recordsText(db), before);
}

void TestBadInputFaults::fullDisk() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    QSettings hospitals(db.folder().file("hospitals.ini"), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    QStringList confirmed;
    int refused = 0;
    {
        frmProducts f;
        // Room for a few records more in the files, then the disk is full.
        FileSizeLimit limit(QFileInfo(db.dbPath()).size() + 48 * 1024);
        const QString wide(4000, QChar(u'满'));
        for (int i = 0; i < 200 && refused == 0; ++i) {
            const QString digits = QString("7%1").arg(i, 7, 10, QLatin1Char('0'));
            if (saveThroughForm(f, digits, wide.left(10) + QString::number(i)))
                confirmed << "C" + digits;
            else
                ++refused;
            f.tabEntry->txtMemo->setPlainText(wide);
        }
    }
    SetHospitalStore(nullptr);
    QCOMPARE(refused, 1);
    QVERIFY(!boxes.shown().isEmpty());
    const QString reason = boxes.shown().last().text;
    QVERIFY2(reason.contains("full") || reason.contains("disk") || reason.contains("I/O"), qPrintable(reason));
    // After the restart every confirmed record is there once.
    gConn.reset();
    QCOMPARE(db.scalar("PRAGMA integrity_check").toString(), QString("ok"));
    for (const QString& card : confirmed)
        QCOMPARE(db.scalar("select count(*) from tblrecord where fldPrdNo='" + card + "'").toInt(), 1);
    QVERIFY(confirmed.size() >= 1);
}

void TestBadInputFaults::corruptPages() {
    ScriptedMessages boxes;
    DemoDatabase db(false);
    {
        // Pages 2 and after overwritten: the header still says "database".
        QFile f(db.dbPath());
        QVERIFY(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        QVERIFY(size > 8192);
        f.seek(4096);
        QByteArray junk(int(size - 4096), '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 7919) >> 3);
        f.write(junk);
    }
    const QByteArray damaged = [&] {
        QFile f(db.dbPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    QString server = "(embedded)", name = "demo";
    if (gConn->ConnectToDatabase(server, name)) {
        QString a = "1001", p = "1234";
        gConn->CheckUser(a, p);
        gConn->GetArray("select * from tblrecord");
        gConn->ExeCommand("insert into tblrecord (fldMsn) values (1)");
    }
    gConn.reset();
    // Something was said, and it says why.
    QVERIFY(!boxes.shown().isEmpty());
    QString all;
    for (const auto& b : boxes.shown())
        all += b.text + b.detail;
    QVERIFY2(all.contains("malformed") || all.contains("not a database") || all.contains("corrupt") ||
                 all.contains("用户名或密码错误"),
             qPrintable(all));
    // The damaged file is kept as it was, for whoever repairs it.
    QFile f(db.dbPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), damaged);
}

void TestBadInputFaults::missingTable_data() {
    QTest::addColumn<QString>("table");
    for (const char* t : {"tblMaker", "tblrecord", "tblProduct", "tblProductNoSet", "tblExecLog", "tblSystem",
                          "tblBasReportFile", "dicBasCode", "dicOpMenus"})
        QTest::newRow(t) << QString(t);
}

void TestBadInputFaults::missingTable() {
    QFETCH(QString, table);
    ScriptedMessages boxes;
    DemoDatabase db;
    QSettings hospitals(db.folder().file("hospitals.ini"), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    const int before = table == "tblrecord" ? 0 : db.scalar("select count(*) from tblrecord").toInt();
    gConn->GetConnection()->execute("drop table " + table, {}, 0);
    // Sign-in, the workbench with its lists, one save and a batch check:
    // each either works or says why.
    bool moved = false;
    if (db.signIn()) {
        frmProducts f;
        f.LoadRecordList("New");
        f.LoadRecordList("Pro");
        moved = saveThroughForm(f, "60000001");
        f.tabBatch->cmdCheck_Click();
    }
    SetHospitalStore(nullptr);
    gConn.reset();
    if (table == "tblrecord") {
        QVERIFY(!moved);
    } else {
        const int after = db.scalar("select count(*) from tblrecord").toInt();
        // A save that moved on stored its record; one that did not stored none.
        QCOMPARE(after, before + (moved ? 1 : 0));
    }
    // Whatever did not work said why, naming the table.
    if (!moved) {
        QVERIFY(!boxes.shown().isEmpty());
        QVERIFY2(boxes.shown().first().text.contains(table), qPrintable(boxes.shown().first().text));
    }
}

void TestBadInputFaults::hugeAndNulValues_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("nul");
    for (const char* f : {"txtPLName", "txtPFName", "txtDLName", "txtDFName", "txtHospital", "txtOpDesp", "txtMemo"}) {
        QTest::newRow(qPrintable(QString(f) + " 100k")) << QString(f) << false;
        QTest::newRow(qPrintable(QString(f) + " NUL")) << QString(f) << true;
    }
}

void TestBadInputFaults::hugeAndNulValues() {
    QFETCH(QString, field);
    QFETCH(bool, nul);
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    QSettings hospitals(db.folder().file("hospitals.ini"), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    const int before = db.scalar("select count(*) from tblrecord").toInt();
    QString value = QString(100000, QChar(u'长'));
    if (nul)
        value = QString::fromUtf16(u"甲\0乙", 3);
    bool moved = false;
    QString typed;
    {
        frmProducts f;
        f.tabEntry->cmdNew_Click();
        f.tabEntry->ucProduct->setKey("C01");
        f.tabEntry->txtPrdNo->setText("50000001");
        f.tabEntry->txtPLName->setText("张");
        f.tabEntry->txtPFName->setText("三");
        f.tabEntry->txtHospital->setText("北京口腔医院");
        if (field == "txtMemo") {
            f.tabEntry->txtMemo->setPlainText(value);
            typed = f.tabEntry->txtMemo->toPlainText();
        } else {
            QLineEdit* edit = QMap<QString, QLineEdit*>{{"txtPLName", f.tabEntry->txtPLName},   {"txtPFName", f.tabEntry->txtPFName},
                                                        {"txtDLName", f.tabEntry->txtDLName},   {"txtDFName", f.tabEntry->txtDFName},
                                                        {"txtHospital", f.tabEntry->txtHospital}, {"txtOpDesp", f.tabEntry->txtOpDesp}}
                                  .value(field);
            edit->setText(value);
            typed = edit->text();
        }
        f.tabEntry->cmdSave_Click();
        moved = f.tabEntry->txtPrdNo->text().isEmpty();
    }
    SetHospitalStore(nullptr);
    const int after = db.scalar("select count(*) from tblrecord").toInt();
    if (nul) {
        // Refused with a message; nothing stored.
        QVERIFY(!moved);
        QCOMPARE(boxes.texts().size(), 1);
        QCOMPARE(after, before);
    } else {
        // Stored whole, exactly as the field holds it (a line edit keeps at
        // most its maximum length, which is what the user sees).
        QVERIFY(moved);
        QCOMPARE(after, before + 1);
        const QString column = QMap<QString, QString>{{"txtPLName", "fldPLName"},  {"txtPFName", "fldPFName"},
                                                      {"txtDLName", "fldDLName"},  {"txtDFName", "fldDFName"},
                                                      {"txtHospital", "fldHospital"}, {"txtOpDesp", "fldOpDesp"},
                                                      {"txtMemo", "fldMemo"}}
                                   .value(field);
        const QString stored = db.scalar("select " + column + " from tblrecord where fldPrdNo='C50000001'").toString();
        QVERIFY(!typed.isEmpty());
        QCOMPARE(stored, typed);
    }
}

void TestBadInputFaults::hospitalStoreJunk() {
    // The hospital-name store as binary junk, invalid UTF-8 and NUL bytes:
    // read without a crash, and a new name can still be saved into it.
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const QString path = db.folder().file("hospitals.ini");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("[Hospitals]\n\xff\xfe\x80=\x00\x01\n", 18) + QByteArray(64 << 10, '\xc3'));
    }
    QSettings hospitals(path, QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    {
        frmProducts f;
        QVERIFY(saveThroughForm(f, "40000001"));
    }
    SetHospitalStore(nullptr);
    QCOMPARE(db.scalar("select count(*) from tblrecord where fldPrdNo='C40000001'").toInt(), 1);
}

QTEST_MAIN(TestBadInputFaults)
#include "tst_badInputFaults.moc"
