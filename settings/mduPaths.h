#pragma once
// The program folder (the logo, the files of an update) and where the
// settings file and the embedded database live: beside the executable when
// that folder can be written, as the program has always kept them; in an
// installed program whose folder is the system's, in the user's own
// configuration and data folders, started from a copy of the program
// folder's files where they exist. Tests point the program folder at a
// temporary folder.
#include <QString>

// The folder of the executable, or the folder set with SetProgramFolder.
QString ProgramFolder();
// Makes ProgramFolder() return the given folder; an empty text restores the
// folder of the executable.
void SetProgramFolder(const QString& folder);
// Whether the user may write in the program folder.
bool ProgramFolderWritable();
// The folder of setup.ini: the program folder, or the user's configuration
// folder for the program (made when missing).
QString SettingsFolder();
// The folder of the embedded database files: the program folder, or the
// user's data folder for the program (made when missing).
QString DataFolder();
// SettingsFolder() followed by "/setup.ini"; in the user's folder a copy of
// the program folder's setup.ini is made there first, when one exists.
QString SetupIniPath();
// The path of a file of DataFolder(); in the user's folder a copy of the
// program folder's file of that name is made there first, when one exists.
QString DataFilePath(const QString& fileName);
