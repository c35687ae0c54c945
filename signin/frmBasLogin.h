#pragma once
// The sign-in form: account number, password and working date. A right
// account and password check the program's version against the database's:
// on a difference the update is fetched and started and the program ends.
#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

class frmBasLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmBasLogin(QWidget* parent = nullptr);

    // Shows the form modally; true when a lab has signed in.
    static bool CheckPass();
    // The same on this instance.
    bool checkPass();

    QLabel* lbtTitle;
    QLabel* lblUserName;
    QLineEdit* txtUserName;
    QLabel* lblPassword;
    QLineEdit* txtPassword;
    QLabel* lblLabels;
    QDateEdit* dtSelect;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdPassword;

    // The program's version as "major.minor.revision".
    static QString ProgramVersion();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdPassword_Click();
    void Update();

    bool m_result = false;
};
