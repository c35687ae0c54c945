// New, deleted and removed rows, validation and saving.
#include "EditGrid.h"
#include "tsControlParts.h"
#include "vtValue.h"
#include "vgGrid.h"

#include <QAction>
#include <QtTest>

using namespace vt;

namespace {
struct Grid {
    EditGrid g;
    QStringList events;
    int cancelAt = -1; // the save event (counted from 0) that cancels
    int saveEvents = 0;
    explicit Grid(int rows = 5) {
        g.InitColHeaders("", {"名", "数", "日期"});
        g.InitColEdit(false, {true, true, true});
        vt::ValueArray a(3, rows);
        for (int r = 0; r < rows; ++r) {
            a.set(0, r, QString("n%1").arg(r + 1));
            a.set(1, r, QString::number(r + 1));
            a.set(2, r, "2013-09-01");
        }
        g.LoadData(vt::toVariant(a));
        auto record = [this](const char* name) {
            return [this, name](clsRow row, bool& cancel) {
                events << QString("%1 %2").arg(name).arg(row.Index());
                cancel = saveEvents++ == cancelAt;
            };
        };
        QObject::connect(&g, &EditGrid::SaveDelete, record("SaveDelete"));
        QObject::connect(&g, &EditGrid::SaveModify, record("SaveModify"));
        QObject::connect(&g, &EditGrid::SaveNew, record("SaveNew"));
        QObject::connect(&g, &EditGrid::AfterRemoveRow, [this] { events << "AfterRemoveRow"; });
    }
    int state(int r) { return g.Row(r).DataState(); }
};
} // namespace

class TestEditGridRows : public QObject {
    Q_OBJECT
private slots:
    void saveWithNothingPending();
    void saveOrderAndRemovals();
    void cancelLeavesEverything();
    void deleteNewRecordRemovesIt();
    void deleteHeaderIgnored();
    void removeRowWithOneRowLeft();
    void newRecordFillsNumericColumns();
    void validateMessages_data();
    void validateMessages();
    void menuDeleteRemovesAtOnce();
    void newRecordWithoutDataColumns();
    void deletedRowsAreNotValidated();
    void rowStatesFollowTheirRows();
};

void TestEditGridRows::saveWithNothingPending() {
    Grid t;
    QVERIFY(t.g.SaveData());
    QVERIFY(t.events.isEmpty());
}

void TestEditGridRows::saveOrderAndRemovals() {
    Grid t;
    parts::grid(&t.g)->setRowData(2, rsModify);
    parts::grid(&t.g)->setRowData(4, rsModify);
    t.g.DeleteRecord(5);
    t.g.DeleteRecord(3);
    QCOMPARE(t.state(3), int(rsDelete));
    QCOMPARE(t.g.Row(3).Height(), 0);
    t.g.NewRecord();
    QVERIFY(t.g.SaveData());
    QCOMPARE(t.events, QStringList({"SaveDelete 3", "SaveDelete 5", "SaveModify 2", "SaveModify 4", "SaveNew 6",
                                    "AfterRemoveRow", "AfterRemoveRow"}));
    QCOMPARE(t.g.Rows(), 5);
    QStringList names;
    for (int r = 1; r < t.g.Rows(); ++r) {
        names << t.g.Cells(r, 1).Text();
        QCOMPARE(t.state(r), int(rsNormal));
    }
    QCOMPARE(names, QStringList({"n1", "n2", "n4", ""}));
}

void TestEditGridRows::cancelLeavesEverything() {
    Grid t;
    parts::grid(&t.g)->setRowData(1, rsModify);
    parts::grid(&t.g)->setRowData(2, rsModify);
    t.g.DeleteRecord(4);
    t.cancelAt = 2; // the second SaveModify
    QVERIFY(!t.g.SaveData());
    QCOMPARE(t.events, QStringList({"SaveDelete 4", "SaveModify 1", "SaveModify 2"}));
    QCOMPARE(t.state(1), int(rsModify));
    QCOMPARE(t.state(2), int(rsModify));
    QCOMPARE(t.state(4), int(rsDelete));
    QCOMPARE(t.g.Rows(), 6);
    QCOMPARE(t.g.Row(4).Height(), 0);
}

void TestEditGridRows::deleteNewRecordRemovesIt() {
    Grid t;
    t.g.NewRecord();
    QCOMPARE(t.g.Rows(), 7);
    t.g.DeleteRecord(6);
    QCOMPARE(t.g.Rows(), 6);
    QCOMPARE(t.events, QStringList{"AfterRemoveRow"});
    QVERIFY(t.g.SaveData());
    QCOMPARE(t.events, QStringList{"AfterRemoveRow"}); // no SaveDelete for it
}

void TestEditGridRows::deleteHeaderIgnored() {
    Grid t;
    t.g.DeleteRecord(0);
    QCOMPARE(t.g.Rows(), 6);
    QVERIFY(t.g.Row(0).Height() > 0);
    QCOMPARE(t.state(0), int(rsNormal));
}

void TestEditGridRows::removeRowWithOneRowLeft() {
    Grid t(1);
    t.g.RemoveRow(7);
    QCOMPARE(t.g.Rows(), 1);
    QVERIFY(t.events.isEmpty());
    Grid u(3);
    u.g.RemoveRow(2);
    QCOMPARE(u.g.Rows(), 3);
    QCOMPARE(u.g.Cells(2, 1).Text(), QString("n3"));
    QCOMPARE(parts::grid(&u.g)->Row(), 2); // the last row became current
    QCOMPARE(u.events, QStringList{"AfterRemoveRow"});
}

void TestEditGridRows::newRecordFillsNumericColumns() {
    Grid t;
    t.g.Col(2).setValidate(dvNumeric);
    int after = -1;
    QObject::connect(&t.g, &EditGrid::AfterNewRecord, [&after](clsRow r) { after = r.Index(); });
    t.g.NewRecord();
    QCOMPARE(after, 6);
    QCOMPARE(parts::grid(&t.g)->Row(), 6);
    QCOMPARE(t.state(6), int(rsNew));
    QCOMPARE(t.g.Cells(6, 2).Text(), QString("0"));
    QCOMPARE(t.g.Cells(6, 1).Text(), QString());
}

void TestEditGridRows::validateMessages_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    QTest::newRow("numeric empty") << int(dvNumeric) << 3 << "" << "输入必须为数字";
    QTest::newRow("numeric 1e3 passes") << int(dvNumeric) << 3 << "1e3" << "";
    QTest::newRow("not empty") << int(dvNoEmpty) << 2 << "" << "输入不能为空";
    QTest::newRow("date with slashes") << int(dvDate) << 4 << "2013/09/01" << "日期输入格式错误,格式须为：" + today;
    QTest::newRow("month") << int(dvMonth) << 4 << "2013-9" << "年月输入格式错误,格式须为：" + today.left(7);
    QTest::newRow("year") << int(dvYear) << 4 << "13" << "年输入格式错误,格式须为：" + today.left(4);
    QTest::newRow("year passes") << int(dvYear) << 4 << "2013" << "";
}

void TestEditGridRows::validateMessages() {
    QFETCH(int, kind);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Grid t;
    t.g.Col(3).setValidate(kind);
    for (int r = 1; r < t.g.Rows(); ++r)
        t.g.Cells(r, 3).setText(kind == dvMonth ? "2013-09" : kind == dvYear ? "2013" : kind == dvNumeric ? "7" : "2013-09-01");
    t.g.Cells(row, 3).setText(text);
    t.g.Cells(1, 1).setSelected(true);
    QCOMPARE(t.g.Validate(), message);
    if (!message.isEmpty()) {
        QCOMPARE(parts::grid(&t.g)->Row(), row);
        QCOMPARE(parts::grid(&t.g)->Col(), 3);
    }
    QCOMPARE(t.g.Cells(row, 3).Text(), text); // nothing changed
    QVERIFY(t.events.isEmpty());
}

void TestEditGridRows::menuDeleteRemovesAtOnce() {
    Grid t;
    t.g.setShowMenu(true);
    t.g.Cells(2, 1).setSelected(true);
    parts::deleteItem(&t.g)->trigger();
    QCOMPARE(t.g.Rows(), 5);
    QCOMPARE(t.g.Cells(2, 1).Text(), QString("n3"));
    QVERIFY(t.g.SaveData());
    QVERIFY(!t.events.contains("SaveDelete 2"));
    parts::addRowItem(&t.g)->trigger();
    QCOMPARE(t.g.Rows(), 6);
    QCOMPARE(t.state(5), int(rsNew));
}

void TestEditGridRows::newRecordWithoutDataColumns() {
    Grid t;
    t.g.Col(2).setValidate(dvNumeric);
    parts::grid(&t.g)->setRow(2);
    t.g.setFixedCols(t.g.Cols()); // every column fixed: no data column
    t.g.NewRecord();
    QCOMPARE(t.g.Cells(2, 2).Text(), QString("2")); // the current row keeps its value
    QCOMPARE(t.g.Cells(6, 2).Text(), QString("0"));
}

void TestEditGridRows::deletedRowsAreNotValidated() {
    Grid t;
    t.g.Col(2).setValidate(dvNumeric);
    t.g.Cells(3, 2).setText("not a number");
    t.g.DeleteRecord(3);
    QCOMPARE(t.g.Validate(), QString());
    // The same value in a row that stays is refused.
    t.g.Cells(4, 2).setText("not a number");
    QCOMPARE(t.g.Validate(), QString("输入必须为数字"));
    QCOMPARE(parts::grid(&t.g)->Row(), 4);
}


// A row's state and height stay with its texts when rows are sorted, removed
// one by one, in a block or scattered, and when rows are added; a grid where
// no row has its own state gives every row the plain one.
void TestEditGridRows::rowStatesFollowTheirRows() {
    Grid t(8);
    vgGrid* grid = parts::grid(&t.g);
    const auto states = [&t] {
        QStringList out;
        for (int r = 1; r < t.g.Rows(); ++r)
            out << QString("%1:%2").arg(t.g.Cells(r, 1).Text()).arg(t.state(r));
        return out;
    };
    QCOMPARE(states(), QStringList({"n1:0", "n2:0", "n3:0", "n4:0", "n5:0", "n6:0", "n7:0", "n8:0"}));
    t.g.RemoveRows({2, 5});
    t.g.Sort(2, 2); // by number, descending
    QCOMPARE(states(), QStringList({"n8:0", "n7:0", "n6:0", "n4:0", "n3:0", "n1:0"}));
    grid->setRowData(2, rsModify); // n7
    grid->setRowHeight(4, 600);    // n4
    grid->setRowData(6, rsNew);    // n1
    t.g.Sort(2, 1);                // ascending
    QCOMPARE(states(), QStringList({"n1:" + QString::number(rsNew), "n3:0", "n4:0", "n6:0", "n7:" + QString::number(rsModify), "n8:0"}));
    QCOMPARE(t.g.Row(3).Height(), 600);
    t.g.RemoveRows({2, 4}); // scattered: n3, n6
    QCOMPARE(states(), QStringList({"n1:" + QString::number(rsNew), "n4:0", "n7:" + QString::number(rsModify), "n8:0"}));
    QCOMPARE(t.g.Row(2).Height(), 600);
    t.g.RemoveRows({1, 2}); // a block: n1, n4
    QCOMPARE(states(), QStringList({"n7:" + QString::number(rsModify), "n8:0"}));
    QVERIFY(t.g.Row(2).Height() != 600);
    t.g.setRows(5);
    QCOMPARE(t.state(3), 0);
    QCOMPARE(t.state(4), 0);
    QCOMPARE(t.state(1), int(rsModify));
}

QTEST_MAIN(TestEditGridRows)
#include "tst_editGridRows.moc"
