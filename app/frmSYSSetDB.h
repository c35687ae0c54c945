#pragma once
// The database settings dialog: the SQL Server host, the database name and
// whether the dialog is shown at the next start, kept in setup.ini.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmSYSSetDB : public QDialog {
    Q_OBJECT
public:
    explicit frmSYSSetDB(QWidget* parent = nullptr);

    QGroupBox* Frame1;
    QLabel* lblServer;
    QLineEdit* txtServerName;
    QLabel* lblDatebase;
    QLineEdit* txtDatabaseName;
    QCheckBox* chkShowStart;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // Whether the last OK stored every value in the settings file.
    bool Saved() const { return m_saved; }

private:
    bool m_saved = false;
    void Form_Load();
    void cmdOK_Click();
};
