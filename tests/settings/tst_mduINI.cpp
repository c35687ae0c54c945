#include "clsProfileFile.h"
#include "mduINI.h"
#include "tsProgramFolder.h"

#include <QFile>
#include <QtTest>

class TestMduINI : public QObject {
    Q_OBJECT
private slots:
    void encodeExamples_data();
    void encodeExamples();
    void roundTripEveryByte();
    void decodeLeavesNonStoredFormsAsTheyStand_data();
    void decodeLeavesNonStoredFormsAsTheyStand();
    void missingKeyStoresDefault();
    void emptyValueActsLikeMissing();
    void emptyValueWrittenAsCC();
    void namesIgnoreLetterCase();
    void replaceInPlaceKeepsOtherLines();
    void readBufferHoldsAt143StoredCharacters();
    void mixedLineEndingsKept();
    void handEditedPlainValue();
    void databaseSettings();
};

void TestMduINI::encodeExamples_data() {
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << "" << "CC";
    QTest::newRow("one") << "1" << "JPCE";
    QTest::newRow("abc") << "abc" << "QPRQCNCH";
}

void TestMduINI::encodeExamples() {
    QFETCH(QString, plain);
    QFETCH(QString, stored);
    QCOMPARE(EncodeSetting(plain), stored);
    QCOMPARE(DecodeSetting(stored), plain);
}

void TestMduINI::roundTripEveryByte() {
    QString all;
    for (int c = 0; c < 256; ++c) {
        const QString one(QChar(static_cast<char16_t>(c)));
        const QString stored = EncodeSetting(one);
        QCOMPARE(stored.size(), 4);
        for (QChar ch : stored)
            QVERIFY2(ch >= QLatin1Char('C') && ch <= QLatin1Char('S'), qPrintable(stored));
        QCOMPARE(DecodeSetting(stored), one);
        all.append(one);
    }
    // Carries between neighbours: every byte after every other one.
    for (int a = 0; a < 256; a += 17)
        for (int b = 0; b < 256; ++b) {
            const QString two = QString(QChar(char16_t(a))) + QChar(char16_t(b));
            QCOMPARE(DecodeSetting(EncodeSetting(two)), two);
        }
    QCOMPARE(EncodeSetting(all).size(), 2 * 257);
    QCOMPARE(DecodeSetting(EncodeSetting(all)), all);
}

void TestMduINI::decodeLeavesNonStoredFormsAsTheyStand_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain host name") << "dbserver01";
    QTest::newRow("odd length") << "JPC";
    QTest::newRow("letter below C") << "JPAE";
    QTest::newRow("letter above S") << "JPCZ";
    QTest::newRow("low half S") << "CS";
    QTest::newRow("not an exact stored form") << "CD";
    QTest::newRow("single letter") << "C";
    QTest::newRow("chinese") << QString::fromUtf8("服务器");
}

void TestMduINI::decodeLeavesNonStoredFormsAsTheyStand() {
    QFETCH(QString, stored);
    QCOMPARE(DecodeSetting(stored), stored);
}

void TestMduINI::missingKeyStoresDefault() {
    TempProgramFolder folder;
    QCOMPARE(ReadIniString("START", "SHOWSETUP", "1", folder.iniPath()), QString("1"));
    QCOMPARE(profile::readString(folder.iniPath(), "START", "SHOWSETUP").value(),
             QByteArray("JPCE"));
    // Read again: now the stored value is returned, whatever default is passed.
    QCOMPARE(ReadIniString("START", "SHOWSETUP", "0", folder.iniPath()), QString("1"));
}

void TestMduINI::emptyValueActsLikeMissing() {
    TempProgramFolder folder;
    folder.writeIni("[START]\r\nSHOWSETUP=\r\n");
    QCOMPARE(ReadIniString("START", "SHOWSETUP", "1", folder.iniPath()), QString("1"));
    QCOMPARE(folder.readIni(), QByteArray("[START]\r\nSHOWSETUP=JPCE\r\n"));
}

void TestMduINI::emptyValueWrittenAsCC() {
    TempProgramFolder folder;
    WriteIniString("START", "First", "", folder.iniPath());
    QCOMPARE(folder.readIni(), QByteArray("[START]\r\nFirst=CC\r\n"));
    QCOMPARE(ReadIniString("START", "First", "x", folder.iniPath()), QString(""));
    QCOMPARE(folder.readIni(), QByteArray("[START]\r\nFirst=CC\r\n"));
}

void TestMduINI::namesIgnoreLetterCase() {
    TempProgramFolder folder;
    WriteIniString("Database", "Server", "abc", folder.iniPath());
    QCOMPARE(ReadIniString("DATABASE", "SERVER", "", folder.iniPath()), QString("abc"));
    WriteIniString("DATABASE", "server", "1", folder.iniPath());
    QCOMPARE(folder.readIni(), QByteArray("[Database]\r\nserver=JPCE\r\n"));
}

void TestMduINI::replaceInPlaceKeepsOtherLines() {
    TempProgramFolder folder;
    const QByteArray before = "; installed by the lab\n"
                              "[DATABASE]\n"
                              "SERVER=QPRQCNCH\n"
                              "UID=CC\n"
                              "\n"
                              "[START]\n"
                              "SHOWSETUP=JPCE\n";
    folder.writeIni(before);
    WriteIniString("database", "SERVER", "1", folder.iniPath());
    WriteIniString("DATABASE", "PWD", "abc", folder.iniPath());
    WriteIniString("OPERATOR", "UID", "", folder.iniPath());
    QCOMPARE(folder.readIni(), QByteArray("; installed by the lab\n"
                                          "[DATABASE]\n"
                                          "SERVER=JPCE\n"
                                          "UID=CC\n"
                                          "PWD=QPRQCNCH\n"
                                          "\n"
                                          "[START]\n"
                                          "SHOWSETUP=JPCE\n"
                                          "\n"
                                          "[OPERATOR]\n"
                                          "UID=CC\n"));
}

void TestMduINI::mixedLineEndingsKept() {
    // Found by fuzzing: a file of mixed line endings lost a carriage return
    // of another line when a value was written.
    const QByteArray text("D$\nTA]\r\r\nSERSE]\r\nSERSE[[A");
    const QByteArray once = profile::withValue(text, "DATABASE", "SERVER", "JPCE");
    QVERIFY(once.startsWith(text));
    QCOMPARE(profile::withValue(once, "DATABASE", "SERVER", "JPCE"), once);
    QCOMPARE(profile::withValue("[S]\r\nk=1\nj=2\r\n", "s", "K", "3"), QByteArray("[S]\r\nK=3\nj=2\r\n"));
}

void TestMduINI::readBufferHoldsAt143StoredCharacters() {
    TempProgramFolder folder;
    const QString seventy(70, QLatin1Char('x'));
    const QString seventyOne(71, QLatin1Char('x'));
    WriteIniString("SHOW", "BACKFILE", seventy, folder.iniPath()); // 142 letters
    QCOMPARE(ReadIniString("SHOW", "BACKFILE", "", folder.iniPath()), seventy);
    WriteIniString("SHOW", "BACKFILE", seventyOne, folder.iniPath()); // 144 letters
    const QString back = ReadIniString("SHOW", "BACKFILE", "", folder.iniPath());
    QVERIFY(back != seventyOne);
    // The 143 letters read are an odd count, so they come back as they stand.
    QCOMPARE(back, EncodeSetting(seventyOne).left(143));
}

void TestMduINI::handEditedPlainValue() {
    TempProgramFolder folder;
    folder.writeIni("[DATABASE]\r\nSERVER = dbserver01 \r\nDATABASENAME=\"wty\"\r\n"
                    "UID=\xe5\x8c\xbb\xe9\x99\xa2\r\nPWD=\x01\xff\x80\r\n");
    QString server, db, uid, pwd;
    ReadDatabaseSettings(server, db, uid, pwd);
    QCOMPARE(server, QString("dbserver01"));
    QCOMPARE(db, QString("wty"));
    QCOMPARE(uid, QString::fromUtf8("医院"));
    QCOMPARE(pwd, QString::fromLatin1("\x01\xff\x80"));
}

void TestMduINI::databaseSettings() {
    TempProgramFolder folder;
    QString server = "x", db = "x", uid = "x", pwd = "x";
    ReadDatabaseSettings(server, db, uid, pwd);
    QVERIFY(server.isEmpty() && db.isEmpty() && uid.isEmpty() && pwd.isEmpty());
    QCOMPARE(folder.readIni(),
             QByteArray("[DATABASE]\r\nSERVER=CC\r\nDATABASENAME=CC\r\nUID=CC\r\nPWD=CC\r\n"));
    WriteIniString("DATABASE", "UID", "sa", folder.iniPath());
    WriteIniString("DATABASE", "DATABASENAME", "(embedded)", folder.iniPath());
    ReadDatabaseSettings(server, db, uid, pwd);
    QCOMPARE(uid, QString("sa"));
    QCOMPARE(db, QString("(embedded)"));
}

QTEST_GUILESS_MAIN(TestMduINI)
#include "tst_mduINI.moc"
