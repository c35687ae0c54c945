#include "dbUserInterface.h"

#include <atomic>
#include <cstdio>

namespace {
DataUserInterface*& installed() {
    static DataUserInterface* ui = nullptr;
    return ui;
}
} // namespace

void SetDataUserInterface(DataUserInterface* ui) { installed() = ui; }

void InformUser(const QString& text, const QString& title, const QString& detail) {
    if (DataUserInterface* ui = installed()) {
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
