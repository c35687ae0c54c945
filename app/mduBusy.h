#pragma once
// The busy mouse pointer shown while a database call runs. The pointer is
// set back to normal when the guard ends, on every exit path; Restore()
// sets it back early, as the recovery after a failed call does.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void Restore();

private:
    bool m_shown = false;
};
