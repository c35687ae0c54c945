#include "EditGrid.h"
#include "tsControlParts.h"
#include "vtError.h"
#include "vtValue.h"
#include "ucCheckList.h"
#include "ucInput.h"
#include "ucList.h"
#include "vgGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QtTest>

using namespace vt;

class TestEditGridSetup : public QObject {
    Q_OBJECT
private slots:
    void initColHeadersShapes_data();
    void initColHeadersShapes();
    void initColWidthTooManyValues();
    void initColEditAndAlign();
    void loadDataShapes();
    void loadDataDefaultsAndEmpty();
    void columnCountNeverShrinksOnReload();
    void loadDataErrors();
    void refreshData();
    void colsGrowAndShrinkListsAndSettings();
    void clear();
    void autoSortAndExplorerBar();
    void autoCheckMark();
    void listBoxHeight();
    void passThroughProperties();
    void propertyBagRoundTrip();
    void propertyBagDefaults();
    void firstPlacement();
    void sortByColumn();
    void hitTestFindsNoCell();
    void factory();
    void metaObjectReachesMembers();
    void cellColoursAsPainted();
};

static vt::ValueArray table(int fields, int records, const QString& prefix = "v") {
    vt::ValueArray a(fields, records);
    for (int f = 0; f < fields; ++f)
        for (int r = 0; r < records; ++r)
            a.set(f, r, QString("%1%2.%3").arg(prefix).arg(f).arg(r));
    return a;
}

void TestEditGridSetup::initColHeadersShapes_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QVariantList>("captions");
    QTest::addColumn<int>("cols");
    QTest::newRow("first caption alone") << "序号" << QVariantList{} << 1;
    QTest::newRow("empty first and three") << "" << QVariantList{"质保产品", "质保卡号", "患者姓"} << 4;
}

void TestEditGridSetup::initColHeadersShapes() {
    QFETCH(QString, first);
    QFETCH(QVariantList, captions);
    QFETCH(int, cols);
    EditGrid g;
    g.setRows(7);
    g.InitColHeaders(first, captions);
    QCOMPARE(g.Rows(), 1);
    QCOMPARE(g.Cols(), cols);
    QCOMPARE(g.FixedRows(), 1);
    QCOMPARE(g.FixedCols(), 1);
    QCOMPARE(g.Cells(0, 0).Text(), first);
    for (int k = 0; k < captions.size(); ++k)
        QCOMPARE(g.Cells(0, k + 1).Text(), captions[k].toString());
    for (int c = 0; c < cols; ++c)
        QCOMPARE(g.Col(c).Alignment(), 1);
    QCOMPARE(int(parts::lists(&g).size()), cols);
}

void TestEditGridSetup::initColWidthTooManyValues() {
    EditGrid g;
    g.InitColHeaders("", {"a", "b", "c"});
    const int before = g.Col(3).Width();
    g.InitColWidth(300, {1200, 800});
    QCOMPARE(g.Col(0).Width(), 300);
    QCOMPARE(g.Col(1).Width(), 1200);
    QCOMPARE(g.Col(2).Width(), 800);
    QCOMPARE(g.Col(3).Width(), before);
    try {
        g.InitColWidth(300, {1, 2, 3, 4});
        QFAIL("no error raised");
    } catch (const Error& e) {
        QCOMPARE(e.number(), 5005);
    }
    QCOMPARE(g.Col(3).Width(), 3); // set before the failure
}

void TestEditGridSetup::initColEditAndAlign() {
    EditGrid g;
    g.InitColHeaders("", {"a", "b"});
    g.InitColEdit(false, {true, 0});
    g.InitColSelect(false, {false, true});
    g.InitColAlign(1, {7, 4});
    QVERIFY(g.Col(1).CanEdit());
    QVERIFY(!g.Col(2).CanEdit());
    QVERIFY(g.Col(2).CanSelect());
    QCOMPARE(g.Col(1).Alignment(), 7);
    QCOMPARE(g.Col(2).Alignment(), 4);
    QVERIFY_THROWS_EXCEPTION(Error, g.InitColEdit(true, {true, true, true}));
    QVERIFY(g.Col(0).CanEdit()); // set before the failure
    QVERIFY_THROWS_EXCEPTION(Error, g.InitColAlign(1, {"x"}));
}

void TestEditGridSetup::loadDataShapes() {
    EditGrid g;
    g.InitColHeaders("", {"a", "b", "c"});
    g.LoadData(vt::toVariant(table(3, 5)), 1, 1);
    QCOMPARE(g.Rows(), 6);
    QCOMPARE(g.Cols(), 4);
    for (int r = 1; r < 6; ++r)
        QCOMPARE(g.Cells(r, 0).Text(), QString());
    QCOMPARE(g.Cells(1, 1).Text(), QString("v0.0"));
    QCOMPARE(g.Cells(5, 3).Text(), QString("v2.4"));
    QCOMPARE(g.Row(3).DataState(), int(rsNormal));
    // Null, Empty and numbers become text.
    vt::ValueArray mixed(3, 1);
    mixed.set(0, 0, vt::Null());
    mixed.set(1, 0, qlonglong(42));
    g.LoadData(vt::toVariant(mixed));
    QCOMPARE(g.Rows(), 2);
    QCOMPARE(g.Cells(1, 1).Text(), QString());
    QCOMPARE(g.Cells(1, 2).Text(), QString("42"));
    QCOMPARE(g.Cells(1, 3).Text(), QString());
}

void TestEditGridSetup::loadDataDefaultsAndEmpty() {
    EditGrid g;
    g.InitColHeaders("", {"a", "b"});
    g.LoadData(vt::toVariant(table(2, 3)));
    QCOMPARE(g.Cells(1, 1).Text(), QString("v0.0"));
    QCOMPARE(g.Rows(), 4);
    g.LoadData(QVariant(), 1);
    QCOMPARE(g.Rows(), 1);
    g.LoadData(vt::toVariant(table(2, 3)), 2, 2);
    QCOMPARE(g.Rows(), 5);
    QCOMPARE(g.Cols(), 4);
    QCOMPARE(g.Cells(2, 2).Text(), QString("v0.0"));
}

void TestEditGridSetup::columnCountNeverShrinksOnReload() {
    EditGrid g;
    g.InitColHeaders("", {"a"});
    g.LoadData(vt::toVariant(table(5, 2)));
    QCOMPARE(g.Cols(), 6);
    g.LoadData(vt::toVariant(table(2, 2, "w")));
    QCOMPARE(g.Cols(), 6);
    QCOMPARE(g.Cells(1, 1).Text(), QString("w0.0"));
    QCOMPARE(g.Rows(), 3);
}

void TestEditGridSetup::loadDataErrors() {
    EditGrid g;
    g.InitColHeaders("", {"a"});
    try {
        g.LoadData(QVariant("not an array"));
        QFAIL("no error raised");
    } catch (const Error& e) {
        QCOMPARE(e.number(), 5004);
    }
    QVERIFY_THROWS_EXCEPTION(Error, g.RefreshData(vt::toVariant(table(3, 3)), 1, 1));
}

void TestEditGridSetup::refreshData() {
    EditGrid g;
    g.InitColHeaders("", {"a", "b"});
    g.LoadData(vt::toVariant(table(2, 3)));
    g.RefreshData(vt::toVariant(table(1, 2, "n")), 2, 2);
    QCOMPARE(g.Rows(), 4);
    QCOMPARE(g.Cells(2, 2).Text(), QString("n0.0"));
    QCOMPARE(g.Cells(3, 2).Text(), QString("n0.1"));
    QCOMPARE(g.Cells(2, 1).Text(), QString("v0.1"));
    g.RefreshData(QVariant(), 2);
    QCOMPARE(g.Rows(), 2);
}

void TestEditGridSetup::colsGrowAndShrinkListsAndSettings() {
    EditGrid g;
    g.setCols(4);
    for (int c = 0; c < 4; ++c) {
        g.Col(c).setCanEdit(true);
        g.Col(c).setValidate(dvNumeric);
    }
    ucList* kept = parts::list(&g, 2);
    g.setCols(6);
    QCOMPARE(int(parts::lists(&g).size()), 6);
    QCOMPARE(parts::list(&g, 2), kept);
    QVERIFY(g.Col(3).CanEdit());
    QVERIFY(!g.Col(4).CanEdit());
    QCOMPARE(g.Col(5).Validate(), int(dvString));
    QCOMPARE(g.Col(5).SortType(), 8);
    g.setCols(3);
    QCOMPARE(int(parts::lists(&g).size()), 3);
    QCOMPARE(parts::list(&g, 2), kept);
    QVERIFY(g.Col(2).CanEdit());
    QCOMPARE(g.Col(0).Validate(), int(dvNumeric));
    QVERIFY_THROWS_EXCEPTION(Error, g.Col(3).CanEdit());
    // Growing again gives the new columns fresh settings.
    g.setCols(4);
    QVERIFY(!g.Col(3).CanEdit());
    // Column 0's list exists from the start and cannot go.
    QVERIFY_THROWS_EXCEPTION(Error, g.setCols(0));
    QCOMPARE(parts::grid(&g)->Cols(), 0);
}

void TestEditGridSetup::clear() {
    EditGrid g;
    g.InitColHeaders("", {"a", "b"});
    g.LoadData(vt::toVariant(table(2, 4)));
    g.Clear();
    QCOMPARE(g.Rows(), 1);
    QCOMPARE(g.Cols(), 1);
    QCOMPARE(g.FixedRows(), 0);
    QCOMPARE(g.FixedCols(), 0);
}

void TestEditGridSetup::autoSortAndExplorerBar() {
    EditGrid g;
    QVERIFY(g.AutoSort());
    g.setAutoSort(false);
    QCOMPARE(g.ExplorerBar(), 0);
    g.setExplorerBar(5);
    QVERIFY(!g.AutoSort());
    QCOMPARE(parts::grid(&g)->ExplorerBar(), 5);
    // A header click then sorts by that column.
    g.InitColHeaders("", {"a"});
    vt::ValueArray a(1, 3);
    a.set(0, 0, "b");
    a.set(0, 1, "c");
    a.set(0, 2, "a");
    g.LoadData(vt::toVariant(a));
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    auto* header = parts::grid(&g)->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(0) + 5, 5));
    QCOMPARE(g.Cells(1, 1).Text(), QString("a"));
    QCOMPARE(g.Cells(3, 1).Text(), QString("c"));
    g.setAutoSort(false);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(0) + 5, 5));
    QCOMPARE(g.Cells(1, 1).Text(), QString("a"));
}

void TestEditGridSetup::autoCheckMark() {
    EditGrid g;
    g.setAutoCheckMark("√");
    QCOMPARE(parts::grid(&g)->ColDataType(0), 11);
    g.setAutoCheckMark("");
    QCOMPARE(parts::grid(&g)->ColDataType(0), 8);
}

void TestEditGridSetup::listBoxHeight() {
    EditGrid g;
    g.setCols(3);
    g.setListBoxHeight(3000);
    for (ucList* l : parts::lists(&g))
        QCOMPARE(l->height(), 200);
    QCOMPARE(g.ListBoxHeight(), short(3000));
    parts::list(&g, 2)->resize(50, 60);
    g.setCols(5);
    parts::list(&g, 4)->resize(50, 70);
    QCOMPARE(parts::list(&g, 4)->height(), 70); // keeps its own until written again
    g.setListBoxHeight(1500);
    QCOMPARE(parts::list(&g, 4)->height(), 100);
}

void TestEditGridSetup::passThroughProperties() {
    EditGrid g;
    g.setGridLinesWidth(2);
    QCOMPARE(parts::grid(&g)->GridLineWidth(), 2);
    g.setBackColor(255);
    QCOMPARE(parts::grid(&g)->BackColor(), 255L);
    QCOMPARE(parts::editor(&g)->palette().color(QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(parts::list(&g, 0)->BackColor(), 255L);
    QFont f("WenQuanYi Micro Hei", 12);
    g.setGridFont(f);
    QCOMPARE(parts::editor(&g)->font().pointSize(), 12);
    QCOMPARE(parts::list(&g, 0)->Font().pointSize(), 12);
    QVERIFY(!g.DataChanged());
    g.setSelectionMode(1);
    QCOMPARE(parts::grid(&g)->SelectionMode(), 1);
}

void TestEditGridSetup::propertyBagRoundTrip() {
    EditGrid a;
    a.setGridLinesWidth(2);
    a.setOnEnterKeyMove(fmtVerNext);
    a.setShowMenu(true);
    a.setBackColorFixed(14139808);
    a.setAutoSort(false);
    a.setAutoCheckMark("√");
    a.setAllowPaste(false);
    a.setListBoxHeight(2400);
    a.setSelectionMode(1);
    PropertyBag bag;
    a.WriteProperties(bag);
    const QStringList stored = EditGrid::StoredProperties();
    QCOMPARE(stored.size(), 28);
    // The names in the order they are written, not sorted.
    QCOMPARE(bag.keys(), stored);
    QCOMPARE(EditGrid::StoredProperties().first(), QString("Font"));
    QCOMPARE(EditGrid::StoredProperties().last(), QString("ListBoxHeight"));
    QCOMPARE(bag.value("GridLinesWidth").metaType().id(), QMetaType::Short);
    QCOMPARE(bag.value("ListBoxHeight").metaType().id(), QMetaType::Float);
    QVERIFY(!bag.contains("Rows") && !bag.contains("FixedRows") && !bag.contains("Enabled"));

    EditGrid b;
    b.ReadProperties(bag);
    QCOMPARE(b.GridLinesWidth(), short(2));
    QCOMPARE(parts::grid(&b)->GridLineWidth(), 2);
    QCOMPARE(b.OnEnterKeyMove(), int(fmtVerNext));
    QVERIFY(b.ShowMenu());
    QCOMPARE(b.BackColorFixed(), 14139808L);
    QVERIFY(!b.AutoSort());
    QCOMPARE(b.ExplorerBar(), 0);
    QCOMPARE(parts::grid(&b)->ColDataType(0), 11);
    QVERIFY(!b.AllowPaste());
    QCOMPARE(b.ListBoxHeight(), short(2400));
    QCOMPARE(b.SelectionMode(), 1);
}

void TestEditGridSetup::propertyBagDefaults() {
    EditGrid g;
    // Columns are resizable exactly when AllowUserResizing says so.
    QCOMPARE(g.AllowUserResizing(), 0);
    QCOMPARE(g.findChild<QHeaderView*>()->sectionResizeMode(0), QHeaderView::Fixed);
    g.setAllowUserResizing(1);
    QCOMPARE(parts::grid(&g)->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    g.setBackColor(0x123456);
    g.setOnEnterKeyMove(fmtEdit);
    g.ReadProperties({});
    QCOMPARE(g.OnEnterKeyMove(), int(fmtNoMove));
    QVERIFY(!g.ShowMenu());
    QVERIFY(g.AutoSort());
    QCOMPARE(g.ExplorerBar(), 5);
    QVERIFY(g.AllowPaste());
    QCOMPARE(g.Appearance(), 1);
    QCOMPARE(g.BackColorBkg(), 0x123456L); // the grid's current BackColor
}

void TestEditGridSetup::firstPlacement() {
    EditGrid g;
    g.setAutoCheckMark("x");
    g.InitProperties();
    QCOMPARE(g.OnEnterKeyMove(), int(fmtHorNext));
    QVERIFY(!g.ShowMenu());
    QCOMPARE(parts::grid(&g)->ColDataType(0), 8);
    QVERIFY(g.AllowPaste());
}

void TestEditGridSetup::sortByColumn() {
    EditGrid g;
    g.InitColHeaders("", {"n"});
    vt::ValueArray a(1, 4);
    for (int i = 0; i < 4; ++i)
        a.set(0, i, QString::number((i * 7) % 10 + 1));
    g.LoadData(vt::toVariant(a)); // 1 8 5 2
    g.Row(2).setHeight(0);
    g.Sort(1, 4); // numeric descending
    QCOMPARE(g.Col(1).SortType(), 4);
    QStringList order;
    for (int r = 1; r < 5; ++r)
        order << g.Cells(r, 1).Text();
    QCOMPARE(order, QStringList({"8", "5", "2", "1"}));
    QCOMPARE(g.Row(1).Height(), 0); // the row's height went with it
    g.Sort(1);
    QCOMPARE(g.Cells(1, 1).Text(), QString("1"));
    QCOMPARE(g.Col(1).SortType(), 1);
}

void TestEditGridSetup::hitTestFindsNoCell() {
    EditGrid g;
    g.InitColHeaders("", {"a"});
    for (auto [x, y] : {std::pair{0.f, 0.f}, std::pair{100.f, 300.f}, std::pair{-5.f, 1e6f}})
        QVERIFY(!g.HitTest(x, y).isValid());
}

void TestEditGridSetup::factory() {
    QWidget form;
    QVERIFY(qobject_cast<EditGrid*>(CreateControl("Vantelo.EditGrid", &form)));
    QVERIFY(qobject_cast<ucInput*>(CreateControl("Vantelo.ucInput", &form)));
    QVERIFY(qobject_cast<ucList*>(CreateControl("Vantelo.ucList", &form)));
    QVERIFY(qobject_cast<ucCheckList*>(CreateControl("Vantelo.ucCheckList", &form)));
    QVERIFY(!CreateControl("Vantelo.Unknown", &form));
    QVERIFY(!CreateControl("vantelo.editgrid", &form));
}

void TestEditGridSetup::metaObjectReachesMembers() {
    QWidget* w = CreateControl("Vantelo.EditGrid");
    std::unique_ptr<QWidget> owner(w);
    QVERIFY(w->setProperty("OnEnterKeyMove", 3));
    QCOMPARE(w->property("OnEnterKeyMove").toInt(), 3);
    const QVariantList captions{"a", "b"};
    QVERIFY(QMetaObject::invokeMethod(w, "InitColHeaders", Q_ARG(QString, QString()), Q_ARG(QVariantList, captions)));
    QCOMPARE(w->property("Cols").toInt(), 3);
    // Events in the order of the event interface.
    const QMetaObject* mo = w->metaObject();
    QStringList events;
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i)
        if (mo->method(i).methodType() == QMetaMethod::Signal)
            events << QString::fromLatin1(mo->method(i).name());
    QCOMPARE(events.mid(0, 24),
             QStringList({"AfterNewRecord", "AfterRemoveRow", "CellClear", "CellValidate", "CellModified", "Click",
                          "DblClick", "HeaderClick", "HeaderDblClick", "KeyDown", "KeyPress", "MouseDown", "MouseUp",
                          "MouseMove", "SaveNew", "SaveModify", "SaveDelete", "SelChange", "SelectItemClick",
                          "BeforeListDown", "RowClick", "RowDblClick", "RowColChange", "ValidateError"}));
    QCOMPARE(events.value(24), QString("Error")); // after the 24, whose indexes stay
    QStringList pickerEvents;
    ucList list;
    for (int i = list.metaObject()->methodOffset(); i < list.metaObject()->methodCount(); ++i)
        if (list.metaObject()->method(i).methodType() == QMetaMethod::Signal)
            pickerEvents << QString::fromLatin1(list.metaObject()->method(i).name());
    QCOMPARE(pickerEvents.mid(0, 6), QStringList({"Click", "DblClick", "KeyDown", "KeyPress", "MouseDown", "MouseUp"}));
}

// The colours as drawn: the cells' background and text colour, a cell's own
// mark over them, and the area below the last row in the grid's background.
void TestEditGridSetup::cellColoursAsPainted() {
    EditGrid g;
    g.resize(400, 300);
    g.InitColHeaders("", {"名", "号"});
    vt::ValueArray a(2, 3);
    for (int r = 0; r < 3; ++r) {
        a.setText(0, r, u"");
        a.setText(1, r, u"WWWWWWWW");
    }
    g.LoadData(vt::toVariant(a));
    g.setBackColor(0x00E0FF);      // a yellow the style never uses
    g.setForeColor(0x0000C0);      // dark red text
    g.setBackColorBkg(0x808080);
    g.Cells(2, 1).setBackColor(0xFF8000); // one cell marked blue
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    vgGrid* grid = parts::grid(&g);
    grid->setCurrentIndex(QModelIndex());
    grid->clearSelection();
    const QImage shot = grid->viewport()->grab().toImage();
    const auto at = [&](int row, int col, int dx = 0) {
        const QRect r = grid->visualRect(grid->model()->index(row - 1, col - 1));
        return shot.pixelColor(r.center() + QPoint(dx, 0)).name();
    };
    QCOMPARE(at(1, 1), QColor(0xFF, 0xE0, 0x00).name());
    QCOMPARE(at(2, 1), QColor(0x00, 0x80, 0xFF).name());
    QCOMPARE(shot.pixelColor(5, shot.height() - 5).name(), QColor(0x80, 0x80, 0x80).name());
    // Some pixel of the text is in the text colour.
    const QRect text = grid->visualRect(grid->model()->index(0, 1));
    bool found = false;
    for (int y = text.top(); y <= text.bottom() && !found; ++y)
        for (int x = text.left(); x <= text.right() && !found; ++x)
            found = shot.pixelColor(x, y) == QColor(0xC0, 0x00, 0x00);
    QVERIFY(found);
}

QTEST_MAIN(TestEditGridSetup)
#include "tst_editGridSetup.moc"
