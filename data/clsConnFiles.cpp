// Stored files, code lists, grid layouts, the list of labs, the settings
// operations of the connection object and whether a file is its database.
#include "clsConn.h"

#include "mduFileWrite.h"
#include "mduINI.h"
#include "dbUserInterface.h"
#include "mduPaths.h"
#include "mduSqlText.h"
#include "qvVersion.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Read pieces of a stored file and write pieces of a file into the database.
constexpr qint64 ReadPiece = 2384;
constexpr qint64 WritePiece = 4096;

QString reportSource(const QString& fid) {
    return QStringLiteral("select * from tblBasReportFile where fldRptId='") + SqlQuote(fid) +
           QLatin1Char('\'');
}

// The system writes paths with backslashes; the platform's folders use "/".
QString platformPath(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

} // namespace

QVariant clsConn::LoadReport(const QString& Fid, const QString& Ext, const QString& Path) {
    clsRecordSet rs(m_backend, reportSource(Fid));
    if (rs.isEOF()) {
        rs.Close();
        return {};
    }
    const QString target = ProgramFolder() + platformPath(Path) + Fid + QLatin1Char('.') + Ext;
    const qint64 size = rs.ActualSize(QStringLiteral("fldFile"));
    QByteArray bytes;
    bytes.reserve(qsizetype(size));
    const qint64 first = size % ReadPiece;
    if (first > 0)
        bytes += rs.GetChunk(QStringLiteral("fldFile"), first);
    for (qint64 i = 0; i < size / ReadPiece; ++i)
        bytes += rs.GetChunk(QStringLiteral("fldFile"), ReadPiece);
    rs.Close();
    // The old file is replaced only by the whole new one.
    QString why;
    if (!WriteFileWhole(target, bytes, &why))
        throw DbError(QStringLiteral("文件没有写成：") + target + QStringLiteral("（") + why + QStringLiteral("）"));
    return {};
}

QVariant clsConn::SaveReportFile(const QString& FileName, const QString& FName,
                                 const QString& FVersion, const QString& Fid) {
    QFile in(platformPath(FileName));
    const bool opened = in.open(QIODevice::ReadOnly);
    const qint64 length = opened ? in.size() : 0;
    clsRecordSet rs(m_backend, reportSource(Fid));
    if (length == 0) {
        in.close();
        InformUser(FileName + QStringLiteral(" 无 内 容 或 不 存 在 !"), QStringLiteral(QV_PRODUCT_NAME));
        return {};
    }
    if (rs.isEOF()) {
        rs.AddNew();
        rs.SetField(QStringLiteral("fldName"), FName);
        rs.SetField(QStringLiteral("fldRptId"), Fid);
        rs.SetField(QStringLiteral("FldVersion"), FVersion);
    }
    for (qint64 i = 0; i < length / WritePiece; ++i)
        rs.AppendChunk(QStringLiteral("fldFile"), in.read(WritePiece));
    rs.AppendChunk(QStringLiteral("fldFile"), in.read(length % WritePiece));
    in.close();
    rs.Update();
    rs.Close();
    return {};
}

QVariant clsConn::GetBasCode(const QString& BType) {
    QVariantList params{QStringLiteral("BasCode"), BType, QString()};
    return GetSP(QStringLiteral("upVBasShow"), params);
}

QVariant clsConn::DicMenuInit(GridLayoutTarget* eginfo, const QString& Ctype) {
    if (Ctype.isEmpty() || !eginfo)
        return {};
    auto layout = GetRecord(QStringLiteral("select * from dicOpMenus where fldkey='") +
                            SqlQuote(Ctype) + QLatin1Char('\''));
    if (!layout || layout->ColCount() == 0)
        return {};
    const int cols = layout->value(QStringLiteral("fldW")).toInt();
    if (cols <= 0)
        return {};
    eginfo->SetCols(cols);
    for (int n = 1; n <= cols; ++n) {
        const QString k = QString::number(n);
        eginfo->SetHeaderText(n - 1, layout->value(QStringLiteral("fldN") + k).toString());
        eginfo->SetColAlignment(n - 1, layout->value(QStringLiteral("fldA") + k).toInt());
        eginfo->SetColWidth(n - 1, layout->value(QStringLiteral("fldW") + k).toInt());
    }
    return {};
}

QVariant clsConn::GetOpList(const QString&, const QString&, const QString& Types) {
    if (Types == QLatin1String("NOALL"))
        return GetArray(QStringLiteral("select fldid,fldmakername from tblmaker where fldstate='01'"));
    return {};
}

QString clsConn::GetIniValue(const QString& Section, const QString& KeyWord, const QString& Default) {
    return ReadIniString(Section, KeyWord, Default, SetupIniPath());
}

QString clsConn::SetIniValue(const QString& Section, const QString& KeyWord, const QString& SetValue) {
    WriteIniString(Section, KeyWord, SetValue, SetupIniPath());
    return QString();
}

QString clsConn::GetBackFile() {
    return ReadIniString(QStringLiteral("SHOW"), QStringLiteral("BACKFILE"), QString(), SetupIniPath());
}

bool clsConn::IsDatabaseFile(const QString& path) const {
    if (!m_backend)
        return false;
    const QString open = QFileInfo(m_backend->filePath()).canonicalFilePath();
    return !open.isEmpty() && QFileInfo(path).canonicalFilePath().startsWith(open);
}
