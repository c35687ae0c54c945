// Whole-file writes: the new content in place in one step, or the old file
// byte for byte and no temporary file beside it; the settings file too.
#include "mduFileWrite.h"
#include "mduINI.h"
#include "tsFileSizeLimit.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestFileWrite : public QObject {
    Q_OBJECT
private slots:
    void replacesWholeKeepingPermissions() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.txt");
        QString error;
        QVERIFY2(WriteFileWhole(path, "first", &error), qPrintable(error));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY2(WriteFileWhole(path, "second", &error), qPrintable(error));
        QCOMPARE(fileBytes(path), QByteArray("second"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0600));
        QCOMPARE(entries(dir.path()), QStringList{"a.txt"});
    }

    void refusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder missing") << "missing/a.txt" << "文件夹不存在";
        QTest::newRow("a folder in the way") << "sub" << "不是普通文件";
    }
    void refusals() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QString error;
        QVERIFY(!WriteFileWhole(dir.filePath(name), "x", &error));
        QVERIFY2(error.startsWith(reason), qPrintable(error));
        QCOMPARE(entries(dir.path()), QStringList{"sub"});
    }

    void fullDiskKeepsTheOldFile_data() {
        QTest::addColumn<bool>("settings");
        QTest::newRow("any file") << false;
        QTest::newRow("setup.ini") << true;
    }
    void fullDiskKeepsTheOldFile() {
        // Files may not grow past 1 KB (writes past it fail with EFBIG).
        QFETCH(bool, settings);
        QTemporaryDir dir;
        const QString path = dir.filePath(settings ? "setup.ini" : "stats.png");
        QVERIFY(WriteIniString("DATABASE", "SERVER", "db01", path));
        const QByteArray old = fileBytes(path);
        const QString big(4000, QChar('x'));
        const ts::LimitedWrite run = ts::WriteWithFileSizeLimit(1024, [&](QString* why) {
            return settings ? WriteIniString("DATABASE", "DATABASENAME", big, path, why)
                            : WriteFileWhole(path, big.toUtf8(), why);
        });
        QVERIFY(run.ran);
        QVERIFY(!run.written);
        QCOMPARE(run.reason, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(entries(dir.path()), QStringList{QFileInfo(path).fileName()});
        QCOMPARE(ReadIniString("DATABASE", "SERVER", "", path), QString("db01"));
    }
};

QTEST_GUILESS_MAIN(TestFileWrite)
#include "tst_mduFileWrite.moc"
