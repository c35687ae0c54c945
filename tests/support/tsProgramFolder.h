#pragma once
// A temporary program folder for one test: setup.ini, the embedded database
// and written files go there, and it is removed afterwards.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempProgramFolder {
public:
    TempProgramFolder();  // points the program folder here
    ~TempProgramFolder(); // restores the executable's folder

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QString iniPath() const { return file(QStringLiteral("setup.ini")); }
    QByteArray readIni() const;
    void writeIni(const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};
