// The statistics tab on the embedded database:
//   stats.year_100k   ms from choosing a year to its charts and tables drawn,
//                     100,000 records of the lab in that year (and 20,000 of
//                     another lab), every status, 300 clinics, 4 products
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"
#include "frmStats.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"
#include "qvBench.h"

#include <QApplication>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

class NoBoxes final : public MessagePresenter {
public:
    int present(const MessageRequest& r) override {
        std::fprintf(stderr, "bench_stats: message %s\n", qPrintable(r.text));
        return r.defaultButton;
    }
};

void prepare(const QString& path) {
    CreateEmbeddedDatabase(path, true);
    SqliteBackend db;
    db.openFile(path, false);
    db.executeScript(QStringLiteral("BEGIN"));
    const char* products[] = {"C01", "D01", "E01", "C01"};
    const char* statuses[] = {"00", "01", "02", "02", "02", "03"};
    for (int i = 0; i < 120000; ++i) {
        const QDate made = QDate(2025, 1, 1).addDays(i % 365);
        const QString status = QString::fromLatin1(statuses[i % 6]);
        db.executeNative(QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                                        "fldHospital,fldOpTime,fldPdTime,fldStatus,fldreturnmemo) values "
                                        "(?1,'1001',?2,?3,'张','伟',?4,?5,?5,?6,?7)"),
                         {i < 100000 ? 1 : 2, QString::fromLatin1(products[i % 4]),
                          QStringLiteral("C%1").arg(i, 8, 10, QLatin1Char('0')),
                          QStringLiteral("第%1口腔诊所").arg(i * 7 % 300), made.toString(QStringLiteral("yyyy-MM-dd")), status,
                          status == QLatin1String("03") ? QStringLiteral("理由%1").arg(i % 5) : QString()});
    }
    db.executeScript(QStringLiteral("COMMIT"));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    NoBoxes boxes;
    SetMessagePresenter(&boxes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    prepare(path);
    SetProgramFolder(dir.path());
    WriteIniString(QStringLiteral("DATABASE"), QStringLiteral("SERVER"), QStringLiteral("(embedded)"), SetupIniPath());
    QString server = QStringLiteral("(embedded)"), name = QStringLiteral("demo");
    gConn->ConnectToDatabase(server, name);
    QString account = QStringLiteral("1001"), password = QStringLiteral("1234");
    gConn->CheckUser(account, password);

    frmStats form([] { return QHash<QString, QString>{{QStringLiteral("03"), QStringLiteral("已退回")}}; });
    form.resize(1000, 640);
    form.show();
    QCoreApplication::processEvents();
    // From an empty year to the full one, as a user steps the year.
    const double ms = qvbench::bestOf(
        5,
        [&form] {
            form.spnYear->setValue(2025);
            QCoreApplication::processEvents();
            form.grab();
        },
        [&form] {
            form.spnYear->setValue(2024);
            QCoreApplication::processEvents();
        });
    if (form.Stats().total != 100000)
        std::fprintf(stderr, "bench_stats: counted %lld records\n", form.Stats().total);
    qvbench::report("stats.year_100k", ms);
    gConn.reset();
    return 0;
}
