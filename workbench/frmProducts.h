#pragma once
// The workbench: the program's main form, shown after a lab has signed in.
// Closing it ends the program.
#include <QMainWindow>

class frmProducts : public QMainWindow {
    Q_OBJECT
public:
    explicit frmProducts(QWidget* parent = nullptr);

    // The one workbench of the program, created on first use.
    static frmProducts& instance();

protected:
    void closeEvent(QCloseEvent* event) override;
};
