#include "dbUserInterface.h"

#include <atomic>
#include <cstdio>

namespace {
DataUserInterface*& installed() {
    static DataUserInterface* ui = nullptr;
    return ui;
}

int& quietDepth() {
    static int depth = 0;
    return depth;
}
} // namespace

void SetDataUserInterface(DataUserInterface* ui) { installed() = ui; }

QuietBoxes::QuietBoxes() { ++quietDepth(); }
QuietBoxes::~QuietBoxes() { --quietDepth(); }

void InformUser(const QString& text, const QString& title, const QString& detail) {
    DataUserInterface* ui = quietDepth() > 0 ? nullptr : installed();
    if (ui) {
        ui->inform(text, title, detail);
        return;
    }
    std::fprintf(stderr, "%s: %s%s%s\n", qPrintable(title), qPrintable(text), detail.isEmpty() ? "" : " - ",
                 qPrintable(detail));
}

namespace {
// Pointers alive now: only the outermost sets the pointer and sets it back,
// so a long run of calls under one pointer does not change it per call.
std::atomic<int>& busyDepth() {
    static std::atomic<int> depth = 0;
    return depth;
}
} // namespace

BusyPointer::BusyPointer() : m_ui(installed()) {
    if (m_ui && busyDepth()++ == 0)
        m_ui->beginBusy();
}

BusyPointer::~BusyPointer() { Restore(); }

void BusyPointer::Restore() {
    if (m_ui) {
        if (--busyDepth() == 0)
            m_ui->endBusy();
        m_ui = nullptr;
    }
}
