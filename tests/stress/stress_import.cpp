// stress_import DIR JOURNAL: imports 10,000 batch rows into DIR/demo.db
// through the workbench, writing to JOURNAL the number of rows the grid still
// holds each time it has removed a stored row. The stress run kills it at a
// random moment and checks that every removed row is in the database.
#include "EditGrid.h"
#include "clsConn.h"
#include "frmProducts.h"
#include "mduHospital.h"
#include "mduMessage.h"
#include "mduChunk.h"
#include "mduPaths.h"
#include "vgGrid.h"

#include <QApplication>
#include <QPushButton>
#include <QSettings>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
class Yes final : public MessagePresenter {
public:
    int present(const MessageRequest&) override { return MsgYes; }
};
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    Yes yes;
    SetMessagePresenter(&yes);
    SetProgramFolder(QString::fromLocal8Bit(argv[1]));
    if (const int rows = qEnvironmentVariableIntValue("QV_CHUNK_ROWS"); rows > 0)
        ChunkRunner::ChunkRows() = rows;
    QSettings hospitals(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hospitals.ini"), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    const int journal = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QString server = QStringLiteral("(embedded)"), name = QStringLiteral("demo");
    if (!gConn->ConnectToDatabase(server, name))
        return 1;
    QString account = QStringLiteral("1001"), password = QStringLiteral("1234");
    gConn->CheckUser(account, password);
    frmProducts form;
    vt::ValueArray rows(11, 10000);
    for (int i = 0; i < 10000; ++i) {
        const QStringList r{QStringLiteral("钴铬合金烤瓷冠"), QStringLiteral("K%1").arg(i, 8, 10, QLatin1Char('0')),
                            QStringLiteral("2013-09-01"), QStringLiteral("2013-09-02"), QStringLiteral("李"), QStringLiteral("明"),
                            QString(), QString(), QStringLiteral("协和医院"), QString(), QString()};
        for (int c = 0; c < 11; ++c)
            rows.set(c, i, r[c]);
    }
    form.egBatch->LoadData(vt::toVariant(rows));
    // After each removal of a stored row: how many data rows are left.
    QObject::connect(form.egBatch, &vt::EditGrid::AfterRemoveRow, [&form, journal] {
        const QByteArray line = QByteArray::number(form.egBatch->Rows() - 1) + '\n';
        if (::write(journal, line.constData(), static_cast<size_t>(line.size())) < 0)
            std::perror("journal");
    });
    std::puts("importing");
    std::fflush(stdout);
    form.cmdImport_Click();
    const QByteArray done = "0\n";
    if (::write(journal, done.constData(), 2) < 0)
        std::perror("journal");
    ::close(journal);
    gConn.reset();
    std::_Exit(0);
}
