#pragma once
// The date picker of the forms: a date box with a calendar pop-up whose Tab
// key leaves the control, as the system's date picker does (the arrow keys
// move between year, month and day).
#include <QDateEdit>

class qvDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit qvDatePicker(QWidget* parent = nullptr);

    // A date that is not known (an opened record whose stored date is empty
    // or unreadable): the box shows nothing until the user picks a date.
    void setMissing();
    bool isMissing() const;

protected:
    bool focusNextPrevChild(bool next) override;
};
