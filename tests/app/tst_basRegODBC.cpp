#include "basRegODBC.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// unixODBC keeps the user data sources in the file $ODBCINI names; the test
// gives it a file of its own so that the user's data sources are never touched.
class TestBasRegODBC : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void registersAndReplaces();

private:
    QString odbcinst(const QStringList& args);
    QTemporaryDir m_home;
};

void TestBasRegODBC::initTestCase() {
    QVERIFY(m_home.isValid());
    qputenv("ODBCINI", m_home.filePath("odbc.ini").toLocal8Bit());
}

QString TestBasRegODBC::odbcinst(const QStringList& args) {
    QProcess p;
    p.start("odbcinst", args);
    if (!p.waitForFinished(10000))
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

void TestBasRegODBC::registersAndReplaces() {
    QVERIFY(RegisterDataSource("DBS", "db01", "wty"));
    QVERIFY(odbcinst({"-q", "-s"}).split('\n').contains("[DBS]"));
    QString entry = odbcinst({"-q", "-s", "-n", "DBS"});
    QVERIFY2(entry.contains("Driver=SQL Server"), qPrintable(entry));
    QVERIFY2(entry.contains("Server=db01"), qPrintable(entry));
    QVERIFY2(entry.contains("Database=wty"), qPrintable(entry));

    QVERIFY(RegisterDataSource("DBS", "(embedded)", "demo"));
    entry = odbcinst({"-q", "-s", "-n", "DBS"});
    QVERIFY2(entry.contains("Server=(embedded)"), qPrintable(entry));
    QVERIFY2(entry.contains("Database=demo"), qPrintable(entry));
    QVERIFY(!entry.contains("db01"));
    QCOMPARE(entry.count("Server="), 1);
    QVERIFY(QFile::exists(m_home.filePath("odbc.ini")));

    // A name that would add sections or keys to the file is refused and
    // leaves the registration as it was.
    QVERIFY(!RegisterDataSource("DBS", "evil\n[Other]\nDriver=x", "demo"));
    QVERIFY(!RegisterDataSource("DBS", "(embedded)", "demo\rTrace=Yes"));
    QVERIFY(!odbcinst({"-q", "-s"}).contains("[Other]"));
    entry = odbcinst({"-q", "-s", "-n", "DBS"});
    QVERIFY2(entry.contains("Server=(embedded)") && !entry.contains("Trace"), qPrintable(entry));
}

QTEST_GUILESS_MAIN(TestBasRegODBC)
#include "tst_basRegODBC.moc"
