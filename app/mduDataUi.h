#pragma once
// The program's side of the data layer's interface, installed by start-up:
// the data layer's boxes go through the message presenter (so tests answer
// them as every other box), its busy pointer is the wait cursor, and the
// message boxes of kind 1 show the connection object's kept error text.
#include "dbUserInterface.h"

class FormDataUserInterface final : public DataUserInterface {
public:
    void inform(const QString& text, const QString& title, const QString& detail) override;
    void beginBusy() override;
    void endBusy() override;
};

// Installs the one instance for the data layer, and hands the connection
// object's ErrInfo to the message boxes.
void InstallFormDataUserInterface();
