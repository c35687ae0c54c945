#include "vtError.h"
#include "tsControlParts.h"
#include "vtValue.h"
#include "ucCheckList.h"
#include "ucInput.h"
#include "ucList.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QtTest>

using namespace vt;

class TestPickers : public QObject {
    Q_OBJECT
private slots:
    void loadListDefaultsToKeyAndName();
    void emptyTable();
    void duplicatesByLetterCase_data();
    void duplicatesByLetterCase();
    void typedLowerCaseCodeTakesStoredKey();
    void keyAndValueLookups();
    void proportionHidesOneHalf_data();
    void proportionHidesOneHalf();
    void narrowControlIsNotLaidOut();
    void verticalLayout();
    void addListItemShapes();
    void listResetAndListKey();
    void listItem();
    void checkListMarks();
    void checkListErrors();
    void pickerPropertyBags();
    void clickOnlyWhenTheChoiceChanges();
    void hostChangesTheKey();
};

static vt::ValueArray products() {
    vt::ValueArray a(3, 3);
    const char* rows[3][3] = {{"C01", "钴铬合金烤瓷冠", "v1"}, {"D01", "二氧化锆全瓷冠", "v2"}, {"E01", "铸瓷贴面", "v3"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            a.set(c, r, QString::fromUtf8(rows[r][c]));
    return a;
}

void TestPickers::loadListDefaultsToKeyAndName() {
    ucInput input;
    QSignalSpy clicks(&input, &ucInput::Click);
    input.LoadList(vt::toVariant(products()));
    QCOMPARE(input.ListCount(), 3);
    QCOMPARE(parts::dcSelectOf(&input)->itemText(1), QString("二氧化锆全瓷冠"));
    QCOMPARE(input.ListIndex(), -1);
    QCOMPARE(input.Key(), QVariant(QString()));
    QCOMPARE(clicks.count(), 0);
    input.setKey("D01");
    QCOMPARE(input.Text(), QString("二氧化锆全瓷冠"));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(parts::codeBox(&input)->text(), QString("D01"));
    input.LoadList(vt::toVariant(products()), 0, 1, "E01");
    QCOMPARE(input.Key(), QVariant("E01"));
}

void TestPickers::emptyTable() {
    ucInput input;
    input.LoadList(QVariant::fromValue(vt::ValueArray(2, 0)));
    QCOMPARE(input.ListCount(), 0);
    QCOMPARE(input.Key(), QVariant(QString()));
    input.setKey("x");
    QCOMPARE(input.ListIndex(), -1);
    ucList list;
    list.LoadList(QVariant());
    QCOMPARE(list.ListCount(), 0);
}

void TestPickers::duplicatesByLetterCase_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("ucInput") << "ucInput";
    QTest::newRow("ucList") << "ucList";
}

void TestPickers::duplicatesByLetterCase() {
    QFETCH(QString, control);
    vt::ValueArray a(2, 3);
    a.set(0, 0, "c01");
    a.set(1, 0, "one");
    a.set(0, 1, "C01");
    a.set(1, 1, "two");
    a.set(0, 2, "X");
    a.set(1, 2, "three");
    try {
        if (control == "ucInput") {
            ucInput input;
            input.LoadList(vt::toVariant(a));
        } else {
            ucList list;
            list.LoadList(vt::toVariant(a));
        }
        QFAIL("no error raised");
    } catch (const Error& e) {
        QCOMPARE(e.number(), 50001);
        QCOMPARE(e.description(), QString("帮定列数据不唯一"));
    }
    // The rows before the duplicate stay in the list.
    ucList list;
    QVERIFY_THROWS_EXCEPTION(Error, list.LoadList(vt::toVariant(a)));
    QCOMPARE(list.ListCount(), 1);
}

void TestPickers::typedLowerCaseCodeTakesStoredKey() {
    ucInput input;
    input.LoadList(vt::toVariant(products()));
    input.show();
    QVERIFY(QTest::qWaitForWindowExposed(&input));
    parts::codeBox(&input)->setFocus();
    QTest::keyClicks(parts::codeBox(&input), "d0");
    QCOMPARE(input.ListIndex(), -1); // not a code yet
    QTest::keyClicks(parts::codeBox(&input), "1");
    QCOMPARE(input.ListIndex(), 1);
    QCOMPARE(parts::codeBox(&input)->text(), QString("D01"));
    QCOMPARE(parts::codeBox(&input)->cursorPosition(), 3);
    QTest::keyClicks(parts::codeBox(&input), "x");
    QCOMPARE(input.ListIndex(), -1);
    input.Reset();
    QCOMPARE(parts::codeBox(&input)->text(), QString());
    QCOMPARE(input.ListIndex(), -1);
}

void TestPickers::keyAndValueLookups() {
    ucInput input;
    input.LoadList(vt::toVariant(products()), 0, 1, "", 2, "v3");
    QCOMPARE(input.Key(), QVariant("E01")); // DefValue applies without DefKey
    input.setValue("V1");
    QCOMPARE(input.Key(), QVariant("C01"));
    QCOMPARE(input.Value(), QVariant("v1"));
    QCOMPARE(input.DataInfo(1), QVariant("钴铬合金烤瓷冠"));
    input.setDataInfo(1, "changed");
    QCOMPARE(input.DataInfo(1), QVariant("changed"));
    QCOMPARE(parts::dcSelectOf(&input)->itemText(0), QString("钴铬合金烤瓷冠")); // the list is not refreshed
    input.setKey("nothing");
    QCOMPARE(input.ListIndex(), -1);
    QCOMPARE(input.DataInfo(1), QVariant(QString()));
    QVERIFY_THROWS_EXCEPTION(Error, input.setDataInfo(1, "x"));
}

void TestPickers::proportionHidesOneHalf_data() {
    QTest::addColumn<int>("proportion");
    QTest::addColumn<bool>("keyShown");
    QTest::addColumn<bool>("listShown");
    QTest::newRow("prop0") << 0 << false << true;
    QTest::newRow("prop5") << 5 << true << true;
    QTest::newRow("prop10") << 10 << true << false;
}

void TestPickers::proportionHidesOneHalf() {
    QFETCH(int, proportion);
    QFETCH(bool, keyShown);
    QFETCH(bool, listShown);
    QWidget form;
    auto* input = new ucInput(&form);
    input->resize(200, input->height());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    input->setProportion(proportion == 5 ? 4 : proportion);
    input->setProportion(proportion);
    QCOMPARE(parts::codeBox(input)->isVisible(), keyShown);
    QCOMPARE(parts::dcSelectOf(input)->isVisible(), listShown);
    if (proportion == 5) {
        const int inner = 200 * 15;
        QCOMPARE(parts::line(input)->x(), qRound((inner - 15) / 10 * 5 / 15.0));
    }
}

void TestPickers::narrowControlIsNotLaidOut() {
    ucInput input;
    input.setProportion(5);
    const QRect before = parts::codeBox(&input)->geometry();
    input.resize(6, input.height()); // 90 twips
    QCOMPARE(parts::codeBox(&input)->geometry(), before);
}

void TestPickers::verticalLayout() {
    ucInput input;
    input.resize(180, input.height());
    input.setShowType(ucInput::Verti);
    QCOMPARE(parts::dcSelectOf(&input)->y(), parts::codeBox(&input)->height() + 1);
    QCOMPARE(input.height(), parts::dcSelectOf(&input)->height() + parts::codeBox(&input)->height() + 1);
    input.setShowType(ucInput::Horiz);
    QCOMPARE(parts::dcSelectOf(&input)->y(), 0);
}

void TestPickers::addListItemShapes() {
    ucInput input;
    input.AddListItem("北京口腔医院");
    QCOMPARE(input.BoundField(), 0);
    QCOMPARE(input.ListField(), 0);
    QCOMPARE(input.ListCount(), 1);
    QCOMPARE(parts::dcSelectOf(&input)->itemText(0), QString("北京口腔医院"));
    try {
        input.AddListItem("a", {"b"});
        QFAIL("no error raised");
    } catch (const Error& e) {
        QCOMPARE(e.number(), 50002);
        QCOMPARE(e.description(), QString("传入的参数数和原有数据不符"));
    }
    QCOMPARE(input.ListCount(), 1);
    ucList list;
    list.AddListItem("k1", {"text 1"});
    list.AddListItem("k2", {"text 2"});
    QCOMPARE(list.ListField(), 1);
    QCOMPARE(list.ListCount(), 2);
    list.setKey("K2");
    QCOMPARE(list.Text(), QString("text 2"));
}

void TestPickers::listResetAndListKey() {
    ucList list;
    list.LoadList(vt::toVariant(products()));
    list.setListIndex(2);
    QCOMPARE(list.Key(), QVariant("E01"));
    QCOMPARE(list.DataInfo(2), QVariant("v3"));
    list.Reset();
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(list.ListCount(), 3);
    QCOMPARE(list.Text(), QString());
    QCOMPARE(list.ListKey(1), QVariant("D01"));
    QVERIFY_THROWS_EXCEPTION(Error, list.ListKey(3));
}

void TestPickers::listItem() {
    ucList list;
    list.LoadList(vt::toVariant(products()));
    QCOMPARE(list.ListItem("d01"), QVariant(1));
    QCOMPARE(list.ListItem(3), QVariant(2));
    QVERIFY_THROWS_EXCEPTION(Error, list.ListItem("zz"));
}

void TestPickers::checkListMarks() {
    vt::ValueArray a(3, 4);
    const QVariant checks[4] = {0, -1, false, true};
    for (int r = 0; r < 4; ++r) {
        a.set(0, r, QString("k%1").arg(r));
        a.set(1, r, QString("name %1").arg(r));
        a.set(2, r, checks[r]);
    }
    ucCheckList list;
    list.LoadList(vt::toVariant(a));
    QCOMPARE(list.ListCount(), 4);
    QCOMPARE(QList<bool>({list.Selected(0), list.Selected(1), list.Selected(2), list.Selected(3)}),
             QList<bool>({false, true, false, true}));
    list.setListIndex(1);
    list.Reset();
    QCOMPARE(list.ListIndex(), -1);
    QVERIFY(list.Selected(1)); // marks stay
    list.SelectAll();
    QVERIFY(list.Selected(0) && list.Selected(2));
    QCOMPARE(list.ListKey(3), QVariant("k3"));
    QCOMPARE(list.DataInfo(2, 1), QVariant("name 2"));
    ucCheckList empty;
    empty.SelectAll();
    QCOMPARE(empty.ListCount(), 0);
}

void TestPickers::checkListErrors() {
    ucCheckList list;
    list.AddListItem("0");
    QCOMPARE(list.CheckField(), 0);
    QVERIFY(!list.Selected(0)); // the key column drives the marks
    try {
        list.AddListItem("yes"); // a key that reads as no boolean
        QFAIL("no error raised");
    } catch (const Error& e) {
        QCOMPARE(e.number(), 5001);
    }
    vt::ValueArray dup(3, 2);
    dup.set(0, 0, "A");
    dup.set(0, 1, "a");
    dup.set(2, 0, 1);
    dup.set(2, 1, 0);
    ucCheckList other;
    QVERIFY_THROWS_EXCEPTION(Error, other.LoadList(vt::toVariant(dup)));
}

void TestPickers::pickerPropertyBags() {
    ucInput a;
    a.setMaxLength(8);
    a.setProportion(3);
    a.setBackColor(16771787);
    PropertyBag bag;
    a.WriteProperties(bag);
    ucInput b;
    b.ReadProperties(bag);
    QCOMPARE(b.MaxLength(), short(8));
    QCOMPARE(b.Proportion(), 3);
    QCOMPARE(b.BackColor(), 16771787L);
    ucInput c;
    c.ReadProperties({});
    QCOMPARE(c.Proportion(), 5);
    QCOMPARE(c.ShowType(), 0);
    QVERIFY(c.Enabled());
    c.setEnabledState(false);
    QVERIFY(!parts::codeBox(&c)->isEnabled() && !parts::dcSelectOf(&c)->isEnabled());
}

void TestPickers::clickOnlyWhenTheChoiceChanges() {
    QWidget window;
    auto* input = new ucInput(&window);
    input->LoadList(vt::toVariant(products()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(input, &ucInput::Click);
    input->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "X9Z"); // no such code: nothing chosen
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(input->ListIndex(), -1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), "D01");
    QCOMPARE(input->ListIndex(), 1);
    QCOMPARE(clicks.count(), 1);
}

// Whatever the host leaves in KeyCode or KeyAscii is what the list gets.
void TestPickers::hostChangesTheKey() {
    QWidget window;
    auto* list = new ucList(&window);
    vt::ValueArray a(2, 3);
    const char* rows[3][2] = {{"1", "apple"}, {"2", "banana"}, {"3", "cherry"}};
    for (int r = 0; r < 3; ++r) {
        a.set(0, r, QString(rows[r][0]));
        a.set(1, r, QString(rows[r][1]));
    }
    list->LoadList(vt::toVariant(a), 0, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int downs = 0;
    QObject::connect(list, &ucList::KeyDown, [&downs](int& code, int&) {
        ++downs;
        if (code == 40)
            code = 38; // Down goes up
    });
    QObject::connect(list, &ucList::KeyPress, [](int& a) {
        if (a == 'x')
            a = 'c'; // x stands for c
    });
    list->setListIndex(1);
    parts::box(list)->setFocus();
    QTest::keyClick(parts::box(list), Qt::Key_Down);
    QCOMPARE(list->ListIndex(), 0);
    QCOMPARE(downs, 1); // the replacement is not raised again
    QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(parts::box(list), &x);
    QCOMPARE(list->Text(), QString("cherry"));
}

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
