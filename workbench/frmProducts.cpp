#include "frmProducts.h"

#include "mduProcess.h"
#include "mduShTools.h"

#include <QCloseEvent>
#include <QLabel>

frmProducts::frmProducts(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmProducts"));
    setWindowTitle(QStringLiteral("质保卡信息输入"));
    auto* note = new QLabel(QStringLiteral("质保卡信息输入"), this);
    note->setObjectName(QStringLiteral("lbtNote"));
    note->setAlignment(Qt::AlignCenter);
    setCentralWidget(note);
    resize(900, 600);
    StyleForm(this);
}

frmProducts& frmProducts::instance() {
    static frmProducts* form = new frmProducts;
    return *form;
}

void frmProducts::closeEvent(QCloseEvent* event) {
    event->accept();
    EndProcessNow(0);
}
