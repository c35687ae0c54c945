// A grid of work orders: the delivery date is checked as a date, the
// material is chosen from a list, the first column holds check marks.
// Started with --check it fills the grid, copies a block, pastes it two
// rows down, checks what arrived and ends with 0 (or 1, saying why).
#include <Vantelo/EditGrid.h>
#include <Vantelo/vtValue.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <cstdio>

namespace {

void sendKey(QWidget* to, int key, Qt::KeyboardModifiers mods) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(to, &press);
}

bool expect(bool ok, const char* what) {
    if (!ok)
        std::fprintf(stderr, "gridDemo: %s\n", what);
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    vt::EditGrid grid;
    grid.resize(640, 300);
    grid.InitColHeaders(QStringLiteral("√"), {QStringLiteral("订单"), QStringLiteral("材料"), QStringLiteral("交货日期")});
    grid.InitColEdit(false, {true, false, true});
    grid.InitColSelect(false, {false, true, false});
    grid.setAutoCheckMark(QStringLiteral("√"));
    grid.Col(3).setValidate(vt::dvDate);
    grid.Col(3).setDateFormat(QStringLiteral("YYYY-MM-DD"));
    vt::ValueArray materials(2, 3);
    const char* rows[3][2] = {{"Z", "氧化锆"}, {"E", "铸瓷"}, {"C", "钴铬合金"}};
    for (int r = 0; r < 3; ++r) {
        materials.set(0, r, QString::fromUtf8(rows[r][0]));
        materials.set(1, r, QString::fromUtf8(rows[r][1]));
    }
    grid.Col(2).LoadListItems(vt::toVariant(materials), 0, 1);
    vt::ValueArray orders(3, 2);
    orders.set(0, 0, QStringLiteral("A-1"));
    orders.set(1, 0, QStringLiteral("氧化锆"));
    orders.set(2, 0, QStringLiteral("2026-12-01"));
    orders.set(0, 1, QStringLiteral("A-2"));
    orders.set(1, 1, QStringLiteral("铸瓷"));
    orders.set(2, 1, QStringLiteral("2026-12-02"));
    grid.LoadData(vt::toVariant(orders));
    grid.show();

    if (!QApplication::arguments().contains(QStringLiteral("--check")))
        return QApplication::exec();

    grid.Row(1).setChecked(true);
    // Copy rows 1-2, columns 1-3 with the keyboard, paste them at row 3.
    grid.Cells(1, 1).setSelected(true);
    QWidget* keys = grid.focusProxy() ? grid.focusProxy() : &grid;
    sendKey(keys, Qt::Key_Right, Qt::ShiftModifier);
    sendKey(keys, Qt::Key_Right, Qt::ShiftModifier);
    sendKey(keys, Qt::Key_Down, Qt::ShiftModifier);
    sendKey(keys, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QApplication::clipboard()->text();
    grid.Cells(2, 1).setSelected(true);
    grid.NewRecord();
    grid.Cells(3, 1).setSelected(true);
    sendKey(keys, Qt::Key_V, Qt::ControlModifier);
    bool ok = expect(copied.contains(QStringLiteral("A-1\t氧化锆\t2026-12-01")), "the copied block is wrong");
    ok = expect(grid.Rows() == 5, "the paste did not add its second row") && ok;
    ok = expect(grid.Cells(3, 1).Text() == QStringLiteral("A-1"), "the first pasted value is wrong") && ok;
    ok = expect(grid.Cells(4, 3).Text() == QStringLiteral("2026-12-02"), "the last pasted date is wrong") && ok;
    // A list column is not edited by typing or pasting: its cells keep what they had.
    ok = expect(grid.Cells(3, 2).Text().isEmpty(), "the list column took a pasted value") && ok;
    ok = expect(grid.Row(1).Checked() && !grid.Row(2).Checked(), "the check marks are wrong") && ok;
    ok = expect(vt::EditGrid::FitsFormat(QStringLiteral("2026-12-31"), QStringLiteral("YYYY-MM-DD")), "date check") && ok;
    std::printf("gridDemo: %s\n", ok ? "ok" : "failed");
    return ok ? 0 : 1;
}
