#pragma once
// The program's side of the data layer's interface: its boxes go through the
// message presenter (so tests answer them as every other box), its busy
// pointer is the wait cursor.
#include "dbUserInterface.h"

class FormDataUserInterface final : public DataUserInterface {
public:
    void inform(const QString& text, const QString& title, const QString& detail) override;
    void beginBusy() override;
    void endBusy() override;
};

// Installs the one instance for the data layer.
void InstallFormDataUserInterface();
