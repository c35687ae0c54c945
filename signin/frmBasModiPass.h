#pragma once
// The password change: account number, the current password, and the new
// one typed twice.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmBasModiPass : public QDialog {
    Q_OBJECT
public:
    explicit frmBasModiPass(QWidget* parent = nullptr);

    QLabel* lblNo;
    QLineEdit* txtNo;
    QLabel* lblRePass;
    QLineEdit* txtRePass;
    QLabel* lblNewPass;
    QLineEdit* txtNewPass;
    QLabel* lblPassConfirm;
    QLineEdit* txtPassConfirm;
    QPushButton* cmdSave;
    QPushButton* cmdQuit;

private:
    // The checks before saving, in order; false when one failed (its message
    // is shown and the focus moved).
    bool CheckInput();
    void cmdSave_Click();
};
