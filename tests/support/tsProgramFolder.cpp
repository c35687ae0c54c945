#include "tsProgramFolder.h"

#include "mduPaths.h"

#include <QFile>

TempProgramFolder::TempProgramFolder() { SetProgramFolder(m_dir.path()); }
TempProgramFolder::~TempProgramFolder() { SetProgramFolder(QString()); }

QByteArray TempProgramFolder::readIni() const {
    QFile f(iniPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TempProgramFolder::writeIni(const QByteArray& bytes) const {
    QFile f(iniPath());
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}
