#pragma once
// Records the boxes the data layer shows (the connection object's failures
// and notices) for a test that needs no widgets: while one of these lives,
// it is the data layer's user interface. The busy pointer is counted.
#include "dbUserInterface.h"

#include <QList>
#include <QStringList>

struct DataBox {
    QString text;
    QString title;
    QString detail;
};

class DataBoxes final : public DataUserInterface {
public:
    DataBoxes();           // installs itself
    ~DataBoxes() override; // and leaves the data layer without one
    DataBoxes(const DataBoxes&) = delete;
    DataBoxes& operator=(const DataBoxes&) = delete;

    void inform(const QString& text, const QString& title, const QString& detail) override;
    void beginBusy() override { ++m_busyBegun; }
    void endBusy() override { ++m_busyEnded; }

    const QList<DataBox>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }
    int busyBegun() const { return m_busyBegun; }
    int busyEnded() const { return m_busyEnded; }

private:
    QList<DataBox> m_shown;
    int m_busyBegun = 0;
    int m_busyEnded = 0;
};
