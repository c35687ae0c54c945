// The statistics tab on the embedded database:
//   stats.year_100k   ms from choosing a year to its charts and tables drawn,
//                     100,000 records of the lab in that year (and 20,000 of
//                     another lab), every status, 300 clinics, 4 products
// and the look-up tab on the same records:
//   lookup.card_100k  ms from a whole card number searched to its record
//                     shown, among the lab's 100,000 records
//   lookup.name_100k  the same for pinyin initials, which are matched over
//                     all the lab's names (500 cards shown at most)
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"
#include "frmLookup.h"
#include "frmStats.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"
#include "qvBench.h"
#include "qvBenchSession.h"

#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

void prepare(const QString& path) {
    CreateEmbeddedDatabase(path, true);
    SqliteBackend db;
    db.openFile(path, false);
    db.executeScript(QStringLiteral("BEGIN"));
    const char* products[] = {"C01", "D01", "E01", "C01"};
    // Card numbers from C01000000 on: the demo's own cards are held.
    const char* statuses[] = {"00", "01", "02", "02", "02", "03"};
    for (int i = 0; i < 120000; ++i) {
        const QDate made = QDate(2025, 1, 1).addDays(i % 365);
        const QString status = QString::fromLatin1(statuses[i % 6]);
        db.executeNative(QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                                        "fldHospital,fldOpTime,fldPdTime,fldStatus,fldreturnmemo) values "
                                        "(?1,'1001',?2,?3,'张','伟',?4,?5,?5,?6,?7)"),
                         {i < 100000 ? 1 : 2, QString::fromLatin1(products[i % 4]),
                          qvbench::Card(1000000 + i),
                          QStringLiteral("第%1口腔诊所").arg(i * 7 % 300), made.toString(QStringLiteral("yyyy-MM-dd")), status,
                          status == QLatin1String("03") ? QStringLiteral("理由%1").arg(i % 5) : QString()});
    }
    db.executeScript(QStringLiteral("COMMIT"));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qvbench::NoBoxes boxes("bench_stats");
    SetMessagePresenter(&boxes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    prepare(path);
    qvbench::SignInEmbedded(dir.path());

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

    frmLookup lookup([] { return QHash<QString, QString>{{QStringLiteral("03"), QStringLiteral("已退回")}}; },
                     [] { return QHash<QString, int>{{QStringLiteral("C01"), 36}}; });
    lookup.resize(1000, 640);
    lookup.show();
    QCoreApplication::processEvents();
    const auto search = [&lookup](const QString& text) {
        return qvbench::bestOf(5, [&lookup, text] {
            lookup.txtSearch->setText(text);
            lookup.cmdFind_Click();
            QCoreApplication::processEvents();
            lookup.grab();
        });
    };
    const double card = search(QStringLiteral("C01054321"));
    if (lookup.Found().size() != 1)
        std::fprintf(stderr, "bench_stats: the card search found %lld cards\n", qlonglong(lookup.Found().size()));
    const double initials = search(QStringLiteral("zw"));
    if (lookup.Found().size() != 500)
        std::fprintf(stderr, "bench_stats: the initials search found %lld cards\n", qlonglong(lookup.Found().size()));
    qvbench::report("lookup.card_100k", card);
    qvbench::report("lookup.name_100k", initials);
    gConn.reset();
    return 0;
}
