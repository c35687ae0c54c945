// A real server's lost link: Debian's PostgreSQL server, started here in a
// temporary folder as an unprivileged user on a loopback port, reached
// through Debian's PostgreSQL ODBC driver registered in a test-local driver
// file under the name "SQL Server". The server is killed with SIGKILL and
// started again; the connection object then goes through its recovery.
#include "clsConn.h"
#include "mduINI.h"
#include "tsDataBoxes.h"
#include "tsProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

QString firstExisting(const QStringList& patterns) {
    for (const QString& pattern : patterns) {
        const QFileInfo info(pattern);
        const QStringList hits = QDir(info.path()).entryList({info.fileName()}, QDir::Files, QDir::Name | QDir::Reversed);
        if (!hits.isEmpty())
            return QDir(info.path()).filePath(hits.first());
    }
    return {};
}

// The newest installed server's program folder.
QString postgresBin() {
    const QStringList versions = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto it = versions.crbegin(); it != versions.crend(); ++it) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*it);
        if (QFile::exists(bin + "/postgres") && QFile::exists(bin + "/initdb"))
            return bin;
    }
    return {};
}

// A loopback port nobody listens on at this moment.
int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

// Child processes run as "nobody" when the test runs as root (the server
// refuses root), each server in a process group of its own so that one
// signal reaches the postmaster and every backend.
void unprivilegedChild(QProcess& p) {
    p.setChildProcessModifier([] {
        ::setsid();
        if (::geteuid() == 0 && (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(126);
    });
}

} // namespace

class TestOdbcPostgres : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void lostLinkIsRecovered();

private:
    bool startServer();
    void killServer();
    bool waitReady();
    QString m_bin;
    QTemporaryDir m_dir;
    QProcess m_server;
    int m_port = 0;
};

void TestOdbcPostgres::initTestCase() {
    m_bin = postgresBin();
    const QString driver = firstExisting({"/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so",
                                          "/usr/lib/aarch64-linux-gnu/odbc/psqlodbcw.so", "/usr/lib/odbc/psqlodbcw.so"});
    if (m_bin.isEmpty())
        QSKIP("the PostgreSQL server is not installed (Debian package postgresql)");
    if (driver.isEmpty())
        QSKIP("the PostgreSQL ODBC driver is not installed (Debian package odbc-postgresql)");

    QVERIFY(m_dir.isValid());
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                            QFile::WriteOther | QFile::ExeOther);
    if (::geteuid() == 0)
        QCOMPARE(::chown(m_dir.path().toLocal8Bit().constData(), Nobody, static_cast<gid_t>(-1)), 0);

    QProcess initdb;
    unprivilegedChild(initdb);
    initdb.start(m_bin + "/initdb", {"-D", m_dir.filePath("data"), "-U", "sa", "--auth=trust", "-E", "UTF8",
                                     "--locale=C.UTF-8", "--no-sync"});
    QVERIFY(initdb.waitForFinished(120000));
    QVERIFY2(initdb.exitCode() == 0, initdb.readAllStandardError().constData());

    // The driver, and the server's port: the connection string names the
    // server only, and the driver takes the port from the client library's
    // environment.
    QFile inst(m_dir.filePath("odbcinst.ini"));
    QVERIFY(inst.open(QIODevice::WriteOnly));
    inst.write("[SQL Server]\nDescription=PostgreSQL standing in for the server\nDriver=" + driver.toLocal8Bit() + "\n");
    inst.close();
    qputenv("ODBCSYSINI", m_dir.path().toLocal8Bit());
    qputenv("ODBCINSTINI", "odbcinst.ini");
    qputenv("ODBCINI", m_dir.filePath("odbc.ini").toLocal8Bit());
    m_port = freePort();
    QVERIFY(m_port > 0);
    qputenv("PGPORT", QByteArray::number(m_port));
    QVERIFY(startServer());
}

void TestOdbcPostgres::cleanupTestCase() {
    gConn.reset();
    if (m_server.state() != QProcess::NotRunning)
        killServer();
}

bool TestOdbcPostgres::startServer() {
    unprivilegedChild(m_server);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.setStandardOutputFile(m_dir.filePath("server.log"), QIODevice::Append);
    // fsync off: after the kill the server otherwise syncs every file of its
    // data folder before it takes connections, which on a busy machine took
    // longer than the wait below. What is tested is the client's recovery.
    m_server.start(m_bin + "/postgres", {"-D", m_dir.filePath("data"), "-k", m_dir.path(), "-h", "127.0.0.1", "-p",
                                         QString::number(m_port), "-c", "fsync=off"});
    return m_server.waitForStarted() && waitReady();
}

void TestOdbcPostgres::killServer() {
    // The whole group: the postmaster and the backend serving the program.
    ::kill(-static_cast<pid_t>(m_server.processId()), SIGKILL);
    m_server.waitForFinished();
}

bool TestOdbcPostgres::waitReady() {
    for (int i = 0; i < 600; ++i) { // a minute at most
        QProcess ready;
        ready.start(m_bin + "/pg_isready", {"-q", "-h", "127.0.0.1", "-p", QString::number(m_port)});
        if (ready.waitForFinished() && ready.exitCode() == 0)
            return true;
        QThread::msleep(100);
    }
    return false;
}

void TestOdbcPostgres::lostLinkIsRecovered() {
    TempProgramFolder folder;
    WriteIniString("DATABASE", "SERVER", "127.0.0.1", folder.iniPath());
    WriteIniString("DATABASE", "DATABASENAME", "postgres", folder.iniPath());
    WriteIniString("DATABASE", "UID", "sa", folder.iniPath());
    WriteIniString("DATABASE", "PWD", "", folder.iniPath());
    DataBoxes boxes;
    gServerName = "127.0.0.1";
    gDatabaseName = "postgres";
    QVERIFY(gConn->ConnectToDatabase(gServerName, gDatabaseName, "sa", ""));
    QVERIFY(gConn->GetConnection()->dbmsName().contains("PostgreSQL"));

    // Rows the program confirmed before the cut. This server has no
    // execution log procedure, which each command reports; they ran.
    QVERIFY(gConn->CommandRan(gConn->ExeCommand("create table tblProbe (fldNo integer primary key, fldText varchar(20))")));
    for (int i = 1; i <= 3; ++i) {
        QVariantList params{i, QString("第%1张").arg(i)};
        QVERIFY(gConn->CommandRan(gConn->ExeCommand("insert into tblProbe (fldNo, fldText) values (?, ?)", params)));
    }
    QCOMPARE(vt::toArray(gConn->GetArray("select count(*) from tblProbe")).at(0, 0).toInt(), 3);
    const int boxesBefore = boxes.shown().size();

    killServer();
    QVERIFY(startServer());

    // The first failing query shows the driver's message and keeps it.
    QVERIFY(vt::isEmpty(gConn->GetArray("select fldNo, fldText from tblProbe order by fldNo")));
    QCOMPARE(boxes.shown().size(), boxesBefore + 1);
    const auto first = boxes.shown().last();
    QCOMPARE(first.title, QString("系统提示！"));
    QVERIFY2(first.text.indexOf("通讯链接失败") >= 1, qPrintable(first.text));
    QCOMPARE(gConn->ErrInfo(), first.text);

    // The next failing query rebuilds the connection from the settings file.
    QVERIFY(vt::isEmpty(gConn->GetArray("select fldNo, fldText from tblProbe order by fldNo")));
    QCOMPARE(boxes.shown().size(), boxesBefore + 2);
    QCOMPARE(boxes.shown().last().text, QString("数据库连接重建，系统将重新尝试！"));
    QCOMPARE(boxes.shown().last().title, QString());
    QVERIFY(gConn->IsConnected());

    // The query after that succeeds, and nothing confirmed is lost.
    const vt::ValueArray rows = vt::toArray(gConn->GetArray("select fldNo, fldText from tblProbe order by fldNo"));
    QCOMPARE(rows.rows(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(rows.at(0, i).toInt(), i + 1);
        QCOMPARE(rows.at(1, i).toString(), QString("第%1张").arg(i + 1));
    }
    QCOMPARE(boxes.shown().size(), boxesBefore + 2);
}

QTEST_MAIN(TestOdbcPostgres)
#include "tst_odbcPostgres.moc"
