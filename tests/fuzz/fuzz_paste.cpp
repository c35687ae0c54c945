// Fuzz target: pasting clipboard text into an editable grid with Ctrl+V.
// Any text pastes without a crash; rows only ever grow by appended records.
#include "EditGrid.h"
#include "tsControlParts.h"
#include "vgGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <cstdint>
#include <cstdlib>

namespace {
vt::EditGrid* grid = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: libFuzzer ends the process with exit(), after which
    // Qt's own globals are gone and an application object could not go down.
    new QApplication(*argc, *argv);
    grid = new vt::EditGrid;
    grid->InitColHeaders(QString(), {"a", "b", "c"});
    grid->InitColEdit(false, {true, false, true});
    grid->Col(3).setValidate(vt::dvNumeric);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    grid->setRows(1);
    grid->NewRecord();
    grid->Cells(1, 1).setSelected(true);
    QApplication::clipboard()->setText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    QApplication::sendEvent(parts::grid(grid), &press);
    if (grid->Rows() < 2)
        std::abort();
    for (int r = 1; r < grid->Rows(); ++r)
        if (!vt::EditGrid::IsNumeric(grid->Cells(r, 3).Text()) && !grid->Cells(r, 3).Text().isEmpty())
            std::abort(); // a numeric column holds numbers or nothing after a paste
    return 0;
}
