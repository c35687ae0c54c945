#include "dbUserInterface.h"

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

BusyPointer::BusyPointer() : m_ui(installed()) {
    if (m_ui)
        m_ui->beginBusy();
}

BusyPointer::~BusyPointer() { Restore(); }

void BusyPointer::Restore() {
    if (m_ui) {
        m_ui->endBusy();
        m_ui = nullptr;
    }
}
