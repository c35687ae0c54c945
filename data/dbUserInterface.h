#pragma once
// What the data layer shows the user: the connection object's boxes and the
// busy pointer while a database call runs. The data layer knows no widgets;
// start-up installs the program's implementation (tests install their own).
// With none installed, boxes go to the error output and there is no pointer.
#include <QString>

class DataUserInterface {
public:
    virtual ~DataUserInterface() = default;
    // One box with an OK button and the information icon; detail (when not
    // empty) behind the box's details button.
    virtual void inform(const QString& text, const QString& title, const QString& detail) = 0;
    // The busy pointer on and off; calls nest.
    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;
};

// Installs the implementation (not owned); nullptr removes it.
void SetDataUserInterface(DataUserInterface* ui);
// Shows one box of the data layer.
void InformUser(const QString& text, const QString& title, const QString& detail = QString());

// For the length of the guard the data layer's boxes are written to the
// error output instead of shown: a check that only warns (run while the
// clerk types) must not stop the clerk with a box when the database does
// not answer. Guards nest.
class QuietBoxes {
public:
    QuietBoxes();
    ~QuietBoxes();
    QuietBoxes(const QuietBoxes&) = delete;
    QuietBoxes& operator=(const QuietBoxes&) = delete;
};

// The busy pointer for the length of a database call: set back when the
// guard ends, on every exit path; Restore() sets it back early, as the
// recovery after a failed call does. Guards nest: the outermost one holds
// the pointer (a batch holds one for all its rows).
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void Restore();

private:
    DataUserInterface* m_ui = nullptr;
};
