// Bad input from outside: settings files in every broken shape, clipboard
// text far beyond what a user pastes, and database files that are locked or
// no databases at all. Each gets a defined result; nothing crashes and no
// stored record changes.
#include "EditGrid.h"
#include "tsControlParts.h"
#include "clsConn.h"
#include "frmSYSSetDB.h"
#include "mduINI.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include "vgGrid.h"
#include <QProcess>
#include <QtTest>

#include <sqlite3.h>

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void settingsFiles_data();
    void settingsFiles();
    void clipboardTexts_data();
    void clipboardTexts();
    void lockedDatabase();
    void notADatabaseKeepsTheFile();
};

void TestBadInput::settingsFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("server");
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("plain text values") << QByteArray("[DATABASE]\nSERVER=db01\nDATABASENAME=wty\n") << "db01";
    QTest::newRow("truncated mid-value") << QByteArray("[DATABASE]\r\nSERVER=QPRQC") << "QPRQC";
    QTest::newRow("truncated in the header") << QByteArray("[DATAB") << "";
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe[\x01\x02=\n\x80\x81", 11) << "";
    QTest::newRow("NUL inside a value") << QByteArray("[DATABASE]\nSERVER=QPR\0QCNCH\n", 29) << "QPR";
    QTest::newRow("very long line") << (QByteArray("[DATABASE]\nSERVER=") + QByteArray(100000, 'C') + "\n")
                                    << QString(143, QLatin1Char('C'));
    QTest::newRow("keys without section") << QByteArray("SERVER=JPCE\n") << "";
}

void TestBadInput::settingsFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, server);
    ScriptedMessages boxes;
    TempProgramFolder folder;
    folder.writeIni(bytes);
    QString s, d, u, p;
    ReadDatabaseSettings(s, d, u, p);
    QCOMPARE(s, server);
    // The dialog opens on it and can store good values over it.
    frmSYSSetDB dialog;
    QCOMPARE(dialog.txtServerName->text(), server);
    dialog.txtServerName->setText("(embedded)");
    dialog.txtDatabaseName->setText("demo");
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    ReadDatabaseSettings(s, d, u, p);
    QCOMPARE(s, QString("(embedded)"));
    QCOMPARE(d, QString("demo"));
    QVERIFY(boxes.shown().isEmpty());
}

void TestBadInput::clipboardTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");
    QString many;
    for (int i = 0; i < 100000; ++i)
        many += QString("v%1\tw\r\n").arg(i);
    QTest::newRow("100,000 lines") << many << 100000;
    QTest::newRow("10,000-character cell") << QString(10000, QChar(u'长')) << 1;
    QTest::newRow("NUL characters") << QString::fromUtf16(u"a\0b\tc\0\r\n", 8) << 1;
    QTest::newRow("invalid UTF-8 decoded") << QString::fromUtf8("\xff\xfe\x80x\tz") << 1;
    QTest::newRow("quotes and SQL") << QString("'; drop table tblrecord; --\t%_\"") << 1;
}

void TestBadInput::clipboardTexts() {
    QFETCH(QString, text);
    QFETCH(int, rows);
    vt::EditGrid g;
    g.InitColHeaders("", {"a", "b"});
    g.InitColEdit(false, {true, true});
    g.NewRecord();
    g.Cells(1, 1).setSelected(true);
    QApplication::clipboard()->setText(text);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    parts::grid(&g)->setFocus();
    QTest::keyClick(parts::grid(&g), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(g.Rows(), rows + 1);
    const QString first = text.section(QLatin1Char('\t'), 0, 0).section(QStringLiteral("\r\n"), 0, 0);
    QCOMPARE(g.Cells(1, 1).Text(), first);
}

void TestBadInput::lockedDatabase() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const QVariant before = db.scalar("select count(*) from tblrecord");
    // Another process holds a write lock on the file.
    QProcess locker;
    locker.start("sqlite3", {db.dbPath()});
    QVERIFY(locker.waitForStarted());
    locker.write("BEGIN EXCLUSIVE; select 'locked';\n");
    QVERIFY(locker.waitForReadyRead(5000));
    QElapsedTimer t;
    t.start();
    QCOMPARE(gConn->ExeCommand("insert into tblrecord (fldMsn) values (1)"), -1);
    QVERIFY(t.elapsed() < 15000);
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY2(gConn->ErrInfo().contains("locked"), qPrintable(gConn->ErrInfo()));
    locker.write("ROLLBACK;\n.quit\n");
    QVERIFY(locker.waitForFinished(5000));
    // The program goes on, and nothing stored has changed.
    QCOMPARE(db.scalar("select count(*) from tblrecord"), before);
    QCOMPARE(gConn->ExeCommand("insert into tblrecord (fldMsn) values (1)"), 0);
}

void TestBadInput::notADatabaseKeepsTheFile() {
    ScriptedMessages boxes;
    TempProgramFolder folder;
    QByteArray junk(8192, 'Q');
    junk.replace(0, 15, "SQLite format 3"); // a file that looks like a database and is none
    {
        QFile f(folder.file("demo.db"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    QString server = "(embedded)", name = "demo";
    QVERIFY(!gConn->ConnectToDatabase(server, name));
    QCOMPARE(boxes.texts(), QStringList{"数据库连接失败！"});
    QFile f(folder.file("demo.db"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), junk);
    gConn.reset();
}

QTEST_MAIN(TestBadInput)
#include "tst_badInput.moc"
