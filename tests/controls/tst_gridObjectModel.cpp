#include "EditGrid.h"
#include "tsControlParts.h"
#include "vtError.h"
#include "ucList.h"
#include "vgGrid.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace vt;

class TestGridObjectModel : public QObject {
    Q_OBJECT
private slots:
    void enumerationValues();
    void neighbourCellsOutsideTheGrid();
    void cellSelection();
    void rowChecked_data();
    void rowChecked();
    void rowSelectedFalseStillMoves();
    void initData_data();
    void initData();
    void columnFormatsAndDefaults();
    void addListItemArgumentLimit();
    void columnIndexOutOfRange();
    void clsArrayValues();
    void modelPassesTheTester();
};

static void fourByFour(EditGrid& g) {
    g.InitColHeaders("", {"a", "b", "c"});
    g.setRows(4);
}

void TestGridObjectModel::enumerationValues() {
    QCOMPARE(int(fmtNoMove), 0);
    QCOMPARE(int(fmtEdit), 4);
    QCOMPARE(int(rsDelete), 3);
    QCOMPARE(int(dvYear), 5);
    const QMetaEnum e = QMetaEnum::fromType<EnterMoveType>();
    QCOMPARE(e.keyToValue("fmtVerNext"), 3);
    QCOMPARE(QMetaEnum::fromType<DataValid>().keyToValue("dvNumeric"), 2);
}

void TestGridObjectModel::neighbourCellsOutsideTheGrid() {
    EditGrid g;
    fourByFour(g);
    const clsCell far = g.Cells(2, 3).LeftCell().LeftCell().LeftCell().LeftCell();
    QCOMPARE(far.ColIndex(), -1);
    QCOMPARE(far.RowIndex(), 2);
    QVERIFY_THROWS_EXCEPTION(Error, far.Text());
    const clsCell below = g.Cells(3, 1).DownCell();
    QCOMPARE(below.RowIndex(), 4);
    QVERIFY_THROWS_EXCEPTION(Error, below.Text());
    // Two objects of one position are independent, and keep their index.
    clsCell a = g.Cells(1, 1), b = g.Cells(1, 1);
    a.setText("x");
    QCOMPARE(b.Text(), QString("x"));
    g.RemoveRow(1);
    QCOMPARE(a.RowIndex(), 1);
}

void TestGridObjectModel::cellSelection() {
    EditGrid g;
    fourByFour(g);
    g.Cells(2, 3).setSelected(true);
    QVERIFY(g.Cells(2, 3).Selected());
    QCOMPARE(g.CurrentCell().RowIndex(), 2);
    g.Cells(1, 1).setSelected(false); // does nothing
    QVERIFY(g.Cells(2, 3).Selected());
    g.Cells(1, 2).setText("no events");
    QCOMPARE(g.Row(1).DataState(), int(rsNormal));
}

void TestGridObjectModel::rowChecked_data() {
    QTest::addColumn<QString>("autoCheckMark");
    QTest::newRow("check-box column") << "√";
    QTest::newRow("text column") << "";
}

void TestGridObjectModel::rowChecked() {
    QFETCH(QString, autoCheckMark);
    EditGrid g;
    fourByFour(g);
    g.setAutoCheckMark(autoCheckMark);
    QVERIFY(!g.Row(1).Checked());
    g.Row(1).setChecked(true);
    QVERIFY(g.Row(1).Checked());
    QCOMPARE(parts::grid(&g)->CellChecked(1, 0), 1);
    g.Row(1).setChecked(false);
    QVERIFY(!g.Row(1).Checked());
    QCOMPARE(parts::grid(&g)->CellChecked(1, 0), 2); // unchecked is written either way
}

void TestGridObjectModel::rowSelectedFalseStillMoves() {
    EditGrid g;
    fourByFour(g);
    g.setSelectionMode(1);
    g.Row(3).setSelected(false);
    QCOMPARE(parts::grid(&g)->Row(), 3);
    QCOMPARE(parts::grid(&g)->ColSel(), 3);
}

void TestGridObjectModel::initData_data() {
    QTest::addColumn<QVariantList>("data");
    QTest::addColumn<QStringList>("row");
    QTest::newRow("first value only") << QVariantList{} << QStringList{"F", "", "", ""};
    QTest::newRow("two further values") << QVariantList{"x", 5} << QStringList{"F", "x", "5", ""};
}

void TestGridObjectModel::initData() {
    QFETCH(QVariantList, data);
    QFETCH(QStringList, row);
    EditGrid g;
    fourByFour(g);
    g.Row(2).InitData("F", data);
    QStringList got;
    for (int c = 0; c < 4; ++c)
        got << g.Cells(2, c).Text();
    QCOMPARE(got, row);
}

void TestGridObjectModel::columnFormatsAndDefaults() {
    EditGrid g;
    fourByFour(g);
    const clsCol c = g.Col(2);
    QCOMPARE(c.YearFormat(), QString("YYYY"));
    QCOMPARE(c.MonthFormat(), QString("YYYY-MM"));
    QCOMPARE(c.DateFormat(), QString("YYYY-MM-DD"));
    QCOMPARE(c.SortType(), 8);
    QCOMPARE(c.Validate(), int(dvString));
    QVERIFY(!c.CanEdit());
    c.setYearFormat("YY");
    QCOMPARE(g.Col(2).YearFormat(), QString("YY"));
    c.setCanEdit(true);
    c.setMaxEditLength(8);
    QVERIFY(g.Col(2).CanEdit());
    QCOMPARE(g.Col(2).MaxEditLength(), short(8));
    QCOMPARE(c.NextCol().Index(), 3);
    QCOMPARE(c.PrevCol().PrevCol().PrevCol().Index(), -1);
    c.setDataType(11);
    QCOMPARE(parts::grid(&g)->ColDataType(2), 11);
    c.setAlignment(7);
    QCOMPARE(c.Alignment(), 7);
}

void TestGridObjectModel::addListItemArgumentLimit() {
    EditGrid g;
    fourByFour(g);
    QVariantList ten;
    for (int i = 0; i < 10; ++i)
        ten << i;
    g.Col(1).AddListItem("k", ten);
    QCOMPARE(parts::list(&g, 1)->ListCount(), 1);
    try {
        g.Col(1).AddListItem("k2", ten + QVariantList{10});
        QFAIL("no error raised");
    } catch (const Error& e) {
        QCOMPARE(e.number(), 5003);
        QCOMPARE(e.description(), QString("参数过多，不能执行"));
    }
    QCOMPARE(parts::list(&g, 1)->ListCount(), 1);
    g.Col(2).LoadListItems(QVariant(), 0, 1);
    QCOMPARE(parts::list(&g, 2)->ListCount(), 0);
}

void TestGridObjectModel::columnIndexOutOfRange() {
    EditGrid g;
    fourByFour(g);
    QVERIFY_THROWS_EXCEPTION(Error, g.Col(4).CanEdit());
    QVERIFY_THROWS_EXCEPTION(Error, g.Col(-1).setValidate(dvNumeric));
    try {
        g.Col(9).setYearFormat("YY");
        QFAIL("no error raised");
    } catch (const Error& e) {
        QCOMPARE(e.number(), 9);
    }
}

void TestGridObjectModel::clsArrayValues() {
    clsArray a;
    QVERIFY_THROWS_EXCEPTION(Error, a.Value(1, 1)); // no InitArray yet
    a.InitArray(2, 3);
    QCOMPARE(a.Value(2, 3), QVariant(QString()));
    QCOMPARE(a.Value(1, 1), QVariant(QString()));
    for (auto [r, c] : {std::pair{0, 1}, std::pair{3, 1}, std::pair{1, 4}}) {
        try {
            a.Value(r, c);
            QFAIL("no error raised");
        } catch (const Error& e) {
            QCOMPARE(e.number(), 5020);
            QVERIFY(!e.description().isEmpty());
        }
    }
    a.InitArray(1, 1);
    QVERIFY_THROWS_EXCEPTION(Error, a.Value(2, 3));
}

void TestGridObjectModel::modelPassesTheTester() {
    vgGrid grid;
    QAbstractItemModelTester tester(grid.table(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    grid.setRows(5);
    grid.setCols(4);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.setTextMatrix(0, 1, "header");
    grid.setTextMatrix(2, 2, "cell");
    grid.setRows(8);
    grid.setRows(3);
    grid.setColDataType(0, 11);
    grid.setCellChecked(1, 0, 1);
    grid.RemoveItem(1);
    grid.setCols(2);
    QCOMPARE(grid.table()->rowCount(), 1);
    QCOMPARE(grid.table()->headerData(0, Qt::Horizontal, Qt::DisplayRole), QVariant("header"));
}

QTEST_MAIN(TestGridObjectModel)
#include "tst_gridObjectModel.moc"
