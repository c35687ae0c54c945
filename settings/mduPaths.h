#pragma once
// The program folder: where setup.ini, the embedded database, the logo and
// the files of an update live. Tests point it at a temporary folder.
#include <QString>

// The folder of the executable, or the folder set with SetProgramFolder.
QString ProgramFolder();
// Makes ProgramFolder() return the given folder; an empty text restores the
// folder of the executable.
void SetProgramFolder(const QString& folder);
// ProgramFolder() followed by "/setup.ini".
QString SetupIniPath();
