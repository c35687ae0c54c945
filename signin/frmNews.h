#pragma once
// The notice of what is new in this version, shown once per database version.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class frmNews : public QDialog {
    Q_OBJECT
public:
    explicit frmNews(QWidget* parent = nullptr);

    QLabel* imgLogo;
    QPlainTextEdit* Text1;
    QPushButton* Command1;
};
