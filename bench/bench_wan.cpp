// The workbench over a slow link: the ODBC path through the SQLite ODBC
// driver standing in for SQL Server, the round trips to the server counted
// by the backend, and the same actions again with 30 ms added to each round
// trip (what a WAN costs).
//   wan.signin           round trips from the sign-in check to the workbench
//                        shown with its lists (the login itself apart)
//   wan.save             one Save of a new card, the list reload included
//   wan.submit_one       one Submit of the saved card, the lists reloaded
//   wan.check_1k         the batch check of 1,000 pasted rows
//   wan.import_1k        their import
//   wan.submit_all_1k    submit-all over 1,000 pending cards
//   wan.*_30ms           ms of the same with 30 ms per round trip added
#include "EditGrid.h"
#include "clsConn.h"
#include "dbRoundTrips.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "mduDataUi.h"
#include "mduHospital.h"
#include "mduMessage.h"
#include "qvBench.h"
#include "qvBenchSession.h"
#include "tsOdbcStand.h"
#include "ucInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

namespace {

struct Figure {
    qint64 trips = 0;
    double ms = 0;
};

// Runs an action and measures it: round trips, and milliseconds.
Figure measure(const std::function<void()>& action) {
    const qint64 before = dbRoundTrips::count();
    QElapsedTimer t;
    t.start();
    action();
    return {dbRoundTrips::count() - before, t.nsecsElapsed() / 1e6};
}

// The lab's ranges widened to hold the benchmark's numbers, and pending
// cards as many as asked.
void prepare(const OdbcStand& stand, int pending) {
    QString script = QStringLiteral("delete from tblrecord where fldStatus='00';"
                                    "update tblProductNoSet set fldPrdNoFrom='C00000001', fldPrdNoTo='C99999999' "
                                    "where fldmaker=1 and fldPrdNoFrom like 'C%';BEGIN;");
    for (int i = 0; i < pending; ++i)
        script += QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                                 "fldHospital,fldOpTime,fldPdTime,fldStatus) values (1,'1001','C01','%1','张','伟',"
                                 "'北京口腔医院','2013-09-10','2013-09-05','00');")
                      .arg(qvbench::Card(10000 + i));
    script += QStringLiteral("COMMIT;");
    stand.executeNative(script);
}

std::map<QString, Figure> run() {
    std::map<QString, Figure> out;
    {
        OdbcStand stand(false);
        prepare(stand, 0);
        stand.connect();
        std::unique_ptr<frmProducts> f;
        out["wan.signin"] = measure([&] {
            stand.signIn();
            f = std::make_unique<frmProducts>();
            f->show();
            QCoreApplication::processEvents();
        });
        f->tabEntry->cmdNew_Click();
        f->tabEntry->ucProduct->setKey(QStringLiteral("C01"));
        f->tabEntry->txtPrdNo->setText(QStringLiteral("00000150"));
        f->tabEntry->txtPLName->setText(QStringLiteral("张"));
        f->tabEntry->txtPFName->setText(QStringLiteral("三"));
        f->tabEntry->txtHospital->setText(QStringLiteral("北京口腔医院"));
        out["wan.save"] = measure([&] { f->tabEntry->cmdSave_Click(); });
        vt::EditGrid* g = f->tabEntry->list->grid;
        int row = -1;
        for (int r = 1; r < g->Rows(); ++r)
            if (g->Cells(r, 4).Text() == QLatin1String("C00000150"))
                row = r;
        if (row < 0)
            std::fprintf(stderr, "bench_wan: the saved card is not listed\n");
        f->tabEntry->egNew_RowDblClick(row);
        out["wan.submit_one"] = measure([&] { f->tabEntry->cmdSubmit_Click(); });
        f.reset();
    }
    {
        OdbcStand stand(false);
        prepare(stand, 0);
        stand.connect();
        stand.signIn();
        frmProducts form;
        form.stbInfo->setCurrentIndex(3);
        form.show();
        QCoreApplication::processEvents();
        const int n = 1000;
        vt::ValueArray rows(11, n);
        for (int i = 0; i < n; ++i) {
            const QStringList r{QStringLiteral("钴铬合金烤瓷冠"), qvbench::Card(200000 + i), QStringLiteral("2013-09-01"),
                                QStringLiteral("2013-09-02"), QStringLiteral("李"), QStringLiteral("明"), QString(), QString(),
                                QStringLiteral("协和医院"), QString(), QString()};
            for (int c = 0; c < 11; ++c)
                rows.setText(c, i, r[c]);
        }
        form.tabBatch->egBatch->LoadData(vt::toVariant(rows));
        QCoreApplication::processEvents();
        form.tabBatch->cmdCheck->setEnabled(true);
        out["wan.check_1k"] = measure([&] { form.tabBatch->cmdCheck_Click(); });
        if (!form.tabBatch->cmdImport->isEnabled())
            std::fprintf(stderr, "bench_wan: the batch check failed\n");
        out["wan.import_1k"] = measure([&] {
            form.tabBatch->cmdImport_Click();
            QCoreApplication::processEvents();
        });
        if (form.tabBatch->egBatch->Rows() != 1)
            std::fprintf(stderr, "bench_wan: %d batch rows were left\n", form.tabBatch->egBatch->Rows() - 1);
    }
    {
        OdbcStand stand(false);
        prepare(stand, 1000);
        stand.connect();
        stand.signIn();
        frmProducts form;
        form.show();
        QCoreApplication::processEvents();
        out["wan.submit_all_1k"] = measure([&] { form.tabEntry->cmdSubmitAll_Click(); });
        if (form.tabEntry->list->grid->Rows() != 1)
            std::fprintf(stderr, "bench_wan: %d rows were left\n", form.tabEntry->list->grid->Rows() - 1);
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qvbench::AnswerYes yes("bench_wan");
    SetMessagePresenter(&yes);
    InstallFormDataUserInterface();
    QTemporaryDir dir;
    QSettings hospitals(dir.filePath(QStringLiteral("hospitals.ini")), QSettings::IniFormat);
    SetHospitalStore(&hospitals);

    const char* const order[] = {"wan.signin", "wan.save", "wan.submit_one", "wan.check_1k", "wan.import_1k",
                                 "wan.submit_all_1k"};
    const std::map<QString, Figure> counted = run();
    for (const char* name : order)
        qvbench::report(name, static_cast<double>(counted.at(QString::fromLatin1(name)).trips), "rt");
    dbRoundTrips::setDelayMs(30);
    const std::map<QString, Figure> slow = run();
    dbRoundTrips::setDelayMs(0);
    for (const char* name : order)
        qvbench::report((QByteArray(name) + "_30ms").constData(), slow.at(QString::fromLatin1(name)).ms);
    SetHospitalStore(nullptr);
    return 0;
}
