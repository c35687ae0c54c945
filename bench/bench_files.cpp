// Files and the lists' filter on the embedded database:
//   files.import_csv_10k   ms from a CSV file of 10,000 batch rows to the rows in the grid (shown)
//   files.import_xlsx_10k  the same from an Excel workbook (written by the program's own export)
//   list.filter_100k       ms per keystroke in the pending list's filter box, 100,000 pending
//                          records of varied names, doctors and hospitals, the list shown and
//                          painted after each key; typing "北京" and "zw", then clearing
//   list.filter_100k_worst the slowest of those keystrokes
//   list.filter_100k_focus ms of the box taking the focus, which makes the rows' search texts
//   list.filter_100k_first ms of the first keystroke after that
#include "EditGrid.h"
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "mduExport.h"
#include "mduFileDialog.h"
#include "mduHospital.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"
#include "mduRecordRules.h"
#include "mduXlsxWriter.h"
#include "qvBench.h"
#include "qvBenchSession.h"

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

const char* const Surnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄", "周", "吴", "欧阳", "司马"};
const char* const Given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "洋", "艳", "军", "杰"};
const char* const Hospitals[] = {"北京口腔医院", "协和医院", "朝阳区牙科诊所", "海淀齿科门诊", "西城口腔门诊部",
                                 "上海第九人民医院", "华西口腔医院", "中山大学附属口腔医院"};

void prepare(const QString& path, int pending) {
    CreateEmbeddedDatabase(path, true);
    SqliteBackend db;
    db.openFile(path, false);
    db.executeScript(QStringLiteral("delete from tblrecord; BEGIN"));
    for (int i = 0; i < pending; ++i)
        db.executeNative(QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                                        "fldDLName,fldDFName,fldHospital,fldOpTime,fldPdTime,fldStatus) values "
                                        "(1,'1001','C01',?1,?2,?3,?4,?5,?6,'2013-09-10','2013-09-05','00')"),
                         {QStringLiteral("C%1").arg(i, 8, 10, QLatin1Char('0')), QString::fromUtf8(Surnames[i % 12]),
                          QString::fromUtf8(Given[i / 12 % 12]), QString::fromUtf8(Surnames[i / 7 % 12]),
                          QString::fromUtf8(Given[i / 5 % 12]),
                          QString::fromUtf8(Hospitals[i / 3 % 8]) + QString::number(i % 40)});
    db.executeScript(QStringLiteral("COMMIT"));
}

// 10,000 batch rows with the grid's header, every column filled.
QList<QStringList> batchTable() {
    QList<QStringList> rows{BatchHeaders()};
    for (int i = 0; i < 10000; ++i)
        rows << QStringList{QStringLiteral("钴铬合金烤瓷冠"), QStringLiteral("C%1").arg(100000 + i, 8, 10, QLatin1Char('0')),
                            QStringLiteral("2013-09-01"), QStringLiteral("2013-09-02"), QString::fromUtf8(Surnames[i % 12]),
                            QString::fromUtf8(Given[i % 12]), QStringLiteral("李"), QStringLiteral("明"),
                            QString::fromUtf8(Hospitals[i % 8]), QStringLiteral("上颌前牙烤瓷冠"), QStringLiteral("备注 %1").arg(i)};
    return rows;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qvbench::NoBoxes boxes("bench_files");
    SetMessagePresenter(&boxes);
    QTemporaryDir dir;
    QSettings hospitals(dir.filePath(QStringLiteral("hospitals.ini")), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    const QString path = dir.filePath(QStringLiteral("demo.db"));

    {
        prepare(path, 0);
        qvbench::SignInEmbedded(dir.path());
        const QList<QStringList> table = batchTable();
        QString error;
        const QString csv = dir.filePath(QStringLiteral("batch.csv"));
        const QString xlsx = dir.filePath(QStringLiteral("batch.xlsx"));
        if (!WriteCsvFile(csv, table, &error) || !WriteXlsxFile(xlsx, QStringLiteral("质保卡"), table, {2, 3}, &error))
            std::fprintf(stderr, "bench_files: %s\n", qPrintable(error));
        frmProducts form;
        form.resize(1100, 760);
        form.show();
        form.stbInfo->setCurrentIndex(3);
        QCoreApplication::processEvents();
        const auto read = [&form](const QString& file) {
            return qvbench::bestOf(
                3,
                [&form, file] {
                    SetNextOpenFileName(file);
                    form.tabBatch->cmdReadFile_Click();
                    QCoreApplication::processEvents();
                    form.grab();
                },
                [&form] {
                    form.tabBatch->egBatch->Clear();
                    form.tabBatch->egBatch->setRows(1);
                    QCoreApplication::processEvents();
                });
        };
        const double csvMs = read(csv);
        const double xlsxMs = read(xlsx);
        if (form.tabBatch->egBatch->Rows() != 10001)
            std::fprintf(stderr, "bench_files: the grid held %d rows\n", form.tabBatch->egBatch->Rows() - 1);
        qvbench::report("files.import_csv_10k", csvMs);
        qvbench::report("files.import_xlsx_10k", xlsxMs);
        gConn.reset();
    }

    {
        prepare(path, 100000);
        qvbench::SignInEmbedded(dir.path());
        frmProducts form;
        form.resize(1100, 760);
        form.show();
        QCoreApplication::processEvents();
        form.grab();
        // One keystroke: the box's text grows or shrinks by a character, the
        // list is filtered, shown and painted.
        const auto key = [&form](const QString& text) {
            QElapsedTimer t;
            t.start();
            form.tabEntry->list->txtFilter->setText(text);
            QCoreApplication::processEvents();
            form.grab();
            return t.nsecsElapsed() / 1e6;
        };
        form.activateWindow();
        QElapsedTimer focusTimer;
        focusTimer.start();
        form.tabEntry->list->txtFilter->setFocus();
        QCoreApplication::processEvents();
        const double focus = focusTimer.nsecsElapsed() / 1e6;
        const double first = key(QStringLiteral("北"));
        const QStringList steps{QStringLiteral("北京"), QStringLiteral("北"), QString(), QStringLiteral("z"),
                                QStringLiteral("zw"), QStringLiteral("z"), QString(), QStringLiteral("北"),
                                QStringLiteral("北京"), QStringLiteral("北京口"), QStringLiteral("北京"),
                                QStringLiteral("北"), QString()};
        // The median keystroke of three runs of the steps.
        QList<double> each;
        for (int run = 0; run < 3; ++run)
            for (const QString& s : steps)
                each << key(s);
        std::sort(each.begin(), each.end());
        qvbench::report("list.filter_100k", each[each.size() / 2]);
        qvbench::report("list.filter_100k_worst", each.last());
        qvbench::report("list.filter_100k_focus", focus);
        qvbench::report("list.filter_100k_first", first);
        gConn.reset();
    }
    SetHospitalStore(nullptr);
    return 0;
}
