// The editable grid:
//   grid.load_100k       ms to load 100,000 rows x 16 columns of text with LoadData
//   grid.load_100k_mem   MB the process grew by with them
//   grid.paint_screen    ms to paint one screen of the loaded grid
//   grid.paste_10k       ms to paste 10,000 lines x 11 columns from the clipboard
//   grid.validate_10k    ms of Validate over the pasted rows
#include "EditGrid.h"
#include "tsControlParts.h"
#include "vtValue.h"
#include "qvBench.h"
#include "vgGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPixmap>
#include <QTest>

namespace {

double residentMb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

vt::ValueArray records(int rows, int cols) {
    vt::ValueArray a(cols, rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            a.set(c, r, c == 0 ? QString::number(r + 1) : QStringLiteral("C%1-%2").arg(r, 8, 10, QLatin1Char('0')).arg(c));
    return a;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    {
        const QVariant data = vt::toVariant(records(100000, 16));
        vt::EditGrid grid;
        grid.resize(1200, 700);
        QStringList headers;
        for (int c = 0; c < 16; ++c)
            headers << QStringLiteral("列%1").arg(c + 1);
        grid.InitColHeaders(QString(), QVariantList(headers.begin(), headers.end()));
        grid.show();
        QCoreApplication::processEvents();
        const double before = residentMb();
        QElapsedTimer t;
        t.start();
        grid.LoadData(data);
        const double load = t.nsecsElapsed() / 1e6;
        const double after = residentMb();
        qvbench::report("grid.load_100k", load);
        qvbench::report("grid.load_100k_mem", after - before, "MB");
        QPixmap target(grid.size());
        parts::grid(&grid)->setTopRow(50000);
        const double paint = qvbench::bestOf(5, [&grid, &target] { grid.render(&target); });
        qvbench::report("grid.paint_screen", paint);
    }

    {
        vt::EditGrid grid;
        grid.resize(1000, 600);
        QStringList headers;
        for (int c = 0; c < 11; ++c)
            headers << QStringLiteral("列%1").arg(c + 1);
        grid.InitColHeaders(QString(), QVariantList(headers.begin(), headers.end()));
        QVariantList edit;
        for (int c = 0; c < 11; ++c)
            edit << true;
        grid.InitColEdit(false, edit);
        grid.Col(3).setValidate(vt::dvDate);
        grid.Col(4).setValidate(vt::dvDate);
        grid.Col(1).setValidate(vt::dvNoEmpty);
        grid.show();
        QString text;
        for (int r = 0; r < 10000; ++r) {
            for (int c = 0; c < 11; ++c) {
                if (c)
                    text += QLatin1Char('\t');
                text += c == 2 || c == 3 ? QStringLiteral("2013-09-%1").arg(r % 28 + 1, 2, 10, QLatin1Char('0'))
                                         : QStringLiteral("值%1_%2").arg(r).arg(c);
            }
            text += QStringLiteral("\r\n");
        }
        QApplication::clipboard()->setText(text);
        grid.NewRecord();
        grid.Cells(1, 1).setSelected(true);
        parts::grid(&grid)->setFocus();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(parts::grid(&grid), Qt::Key_V, Qt::ControlModifier);
        const double paste = t.nsecsElapsed() / 1e6;
        if (grid.Rows() != 10001)
            std::fprintf(stderr, "bench_grid: the paste left %d rows\n", grid.Rows());
        qvbench::report("grid.paste_10k", paste);
        QString message;
        const double validate = qvbench::bestOf(3, [&grid, &message] { message = grid.Validate(); });
        if (!message.isEmpty())
            std::fprintf(stderr, "bench_grid: Validate said %s\n", qPrintable(message));
        qvbench::report("grid.validate_10k", validate);
    }
    return 0;
}
