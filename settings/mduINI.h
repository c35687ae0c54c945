#pragma once
// The program's settings file, setup.ini in the program folder. Every value
// is stored in the program's own letter encoding (capital letters C to S).
#include <QString>

// The stored form of a plain value: 2 x (n + 1) letters for n characters.
// Characters above code 255 cannot be stored and become "?".
QString EncodeSetting(const QString& plain);
// The plain value of a stored form. A text that is not a stored form (a value
// typed into the file by hand, an odd length, letters outside C to S) comes
// back as it stands.
QString DecodeSetting(const QString& stored);

// The decoded value of Key in Section of the file, or Default. A missing or
// empty value stores Default under the key and returns it. At most 143
// stored characters are read, as the system's 144-character buffer holds.
QString ReadIniString(const QString& section, const QString& key, const QString& defaultValue,
                      const QString& filePath);
// The decoded value of Key in Section, or an empty text; unlike
// ReadIniString it writes nothing (a look at a value, not its first use).
QString PeekIniString(const QString& section, const QString& key, const QString& filePath);
// Stores the encoded form of Value under Key in Section, creating the file,
// section or key as needed. A file that cannot be written is left unchanged
// and false comes back, with the reason in *error.
bool WriteIniString(const QString& section, const QString& key, const QString& value,
                    const QString& filePath, QString* error = nullptr);
// Whether a server or database name may be placed in a connection string
// and a data-source file: no ";", "{", "}", line break or NUL, which would
// add settings of their own there.
bool IsSafeConnectionName(const QString& name);
// The message shown for a name that is not.
QString UnsafeConnectionNameMessage();
// The four keys of section DATABASE of the program's setup.ini.
void ReadDatabaseSettings(QString& server, QString& databaseName, QString& uid, QString& pwd);
