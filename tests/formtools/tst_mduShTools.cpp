#include "common/vtColor.h"
#include "vtValue.h"
#include "mduShTools.h"
#include "tsProgramFolder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QGroupBox>
#include <QtTest>

class TestMduShTools : public QObject {
    Q_OBJECT
private slots:
    void fitToContainer_data();
    void fitToContainer();
    void negativeMinimaAreSetToZero();
    void styleFormLabels();
    void styleFormWithoutSystemLabel();
    void styleFormLogo();
    void yearMonthText_data();
    void yearMonthText();
    void enterMovesFocusOn();
    void selectAllText();
};

static QColor textColor(const QWidget* w) { return w->palette().color(QPalette::WindowText); }
static QColor backColor(const QWidget* w) { return w->palette().color(QPalette::Window); }

void TestMduShTools::fitToContainer_data() {
    // All measures in twips; 15 twips to the pixel, so multiples of 15 stay exact.
    QTest::addColumn<int>("containerW");
    QTest::addColumn<int>("containerH");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("minW");
    QTest::addColumn<int>("minH");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("fits, no rows") << 9000 << 6000 << 300 << 600 << 1500 << 1500 << 0 << 8500
                                   << 5000;
    QTest::newRow("rows 2 leave 1000 below") << 9000 << 6000 << 300 << 600 << 1500 << 1500 << 2
                                             << 8500 << 4400;
    QTest::newRow("too small: exact minima") << 3000 << 2400 << 300 << 900 << 4500 << 3000 << 1
                                             << 4500 << 3000;
    QTest::newRow("just enough room") << 3000 << 3900 << 300 << 900 << 2700 << 3000 << 0 << 2500
                                      << 2600;
}

void TestMduShTools::fitToContainer() {
    QFETCH(int, containerW);
    QFETCH(int, containerH);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, minW);
    QFETCH(int, minH);
    QFETCH(int, rows);
    QFETCH(int, width);
    QFETCH(int, height);
    QWidget container;
    container.resize(containerW / 15, containerH / 15);
    QWidget control(&container);
    control.move(left / 15, top / 15);
    short mw = short(minW), mh = short(minH), r = short(rows);
    FitToContainer(&container, &control, mw, mh, r);
    // Twips become whole pixels: within one pixel of the exact measure.
    QVERIFY2(qAbs(control.width() * 15 - width) < 15, qPrintable(QString::number(control.width() * 15)));
    QVERIFY2(qAbs(control.height() * 15 - height) < 15, qPrintable(QString::number(control.height() * 15)));
}

void TestMduShTools::negativeMinimaAreSetToZero() {
    QWidget container;
    container.resize(100, 100);
    QWidget control(&container);
    control.move(0, 90);
    short mw = -5, mh = -300, rows = 0;
    FitToContainer(&container, &control, mw, mh, rows);
    QCOMPARE(mw, short(0));
    QCOMPARE(mh, short(0));
}

void TestMduShTools::styleFormLabels() {
    QWidget form;
    form.setWindowTitle("保修卡");
    auto* frame = new QGroupBox(&form);
    frame->setObjectName("Frame1");
    auto* plain = new QLabel("卡号", frame);
    plain->setObjectName("lblCard");
    auto* red = new QLabel("必填", frame);
    red->setObjectName("lbtNeeded");
    auto* other = new QLabel("其他", &form);
    other->setObjectName("Label9");
    QPalette p = other->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    other->setPalette(p);
    auto* sys = new QLabel("x", &form);
    sys->setObjectName("lblSystem");
    auto* text = new QLineEdit(&form);
    text->setObjectName("txtCard");
    auto* button = new QPushButton(&form);
    button->setObjectName("cmdSave");

    StyleForm(&form);

    const QColor house = vt::fromColorValue(HouseBackColor);
    QCOMPARE(form.windowTitle(), QString("保修卡    Quorvat"));
    QCOMPARE(backColor(&form), house);
    QCOMPARE(textColor(plain), QColor(Qt::black));
    QCOMPARE(textColor(red), QColor(255, 0, 0));
    QCOMPARE(textColor(other), QColor(Qt::blue));
    for (QWidget* w : {static_cast<QWidget*>(plain), static_cast<QWidget*>(red),
                       static_cast<QWidget*>(other), static_cast<QWidget*>(frame)})
        QCOMPARE(backColor(w), house);
    QCOMPARE(text->palette().color(QPalette::Base), house);
    QCOMPARE(button->palette().color(QPalette::Button), house);
    QCOMPARE(sys->text(), QString("Quorvat"));
    QCOMPARE(sys->alignment(), Qt::AlignCenter);
    QCOMPARE(textColor(sys), QColor(255, 0, 0));
    QCOMPARE(plain->text(), QString("卡号"));
}

void TestMduShTools::styleFormWithoutSystemLabel() {
    QWidget form;
    form.setWindowTitle("A");
    auto* label = new QLabel("保持", &form);
    label->setObjectName("lblsystemX");
    auto* check = new QCheckBox("显示", &form);
    check->setObjectName("chkShow");
    StyleForm(&form);
    QCOMPARE(label->text(), QString("保持"));
    QCOMPARE(check->text(), QString("显示"));
    QCOMPARE(backColor(check), vt::fromColorValue(HouseBackColor));
}

void TestMduShTools::styleFormLogo() {
    TempProgramFolder folder;
    QDir(folder.path()).mkdir("icon");
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(folder.file("icon/Logo.png"), "PNG"));
    QVERIFY(QFile::rename(folder.file("icon/Logo.png"), folder.file("icon/Logo.gif")));
    QWidget form;
    auto* logo = new QLabel(&form);
    logo->setObjectName("imgLogo");
    auto* other = new QLabel(&form);
    other->setObjectName("imgOther");
    StyleForm(&form);
    QVERIFY(!logo->pixmap().isNull());
    QCOMPARE(logo->geometry(), QRect(7, 8, 91, 47)); // 102, 120, 1370 x 700 twips
    QVERIFY(other->pixmap().isNull());
}

void TestMduShTools::yearMonthText_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("day text") << QVariant("2013-09-01") << "2013-09";
    QTest::newRow("short") << QVariant("2013-9-1") << "2013-09";
    QTest::newRow("date") << QVariant(QDate(2020, 1, 31)) << "2020-01";
    QTest::newRow("empty text") << QVariant("") << "";
    QTest::newRow("empty") << vt::Empty() << "";
    QTest::newRow("null") << vt::Null() << "";
    QTest::newRow("junk") << QVariant("2013-09") << "";
}

void TestMduShTools::yearMonthText() {
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(YearMonthText(value), text);
}

void TestMduShTools::enterMovesFocusOn() {
    QWidget form;
    auto* a = new QLineEdit(&form);
    auto* b = new QLineEdit(&form);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    a->setFocus();
    QCOMPARE(QApplication::focusWidget(), a);
    short key = 65;
    EnterToTab(key);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), a);
    key = 13;
    EnterToTab(key);
    QCOMPARE(key, short(13));
    QTRY_COMPARE(QApplication::focusWidget(), b);
}

void TestMduShTools::selectAllText() {
    QWidget form;
    auto* a = new QLineEdit("abcdef", &form);
    auto* b = new QLineEdit(&form);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    b->setFocus();
    SelectAllText(a);
    QCOMPARE(QApplication::focusWidget(), a);
    QCOMPARE(a->selectedText(), QString("abcdef"));
}

QTEST_MAIN(TestMduShTools)
#include "tst_mduShTools.moc"
