// The file readers' memory on the largest files they take, each read in a
// child process of its own (so that its peak is its own), with the batch's
// choice of columns as "读取文件…" reads them:
//   files.read_xlsx_wide_mem  MB of peak memory the reading adds: a workbook of 60,000 rows
//                             with a cell at XFD, the last column, in each row
//   files.read_xlsx_wide      ms of that reading
//   files.read_csv_limit_mem  MB for a CSV just under the reader's limits (50 MB, 199,999 rows
//                             of the fourteen batch columns)
//   files.read_csv_limit      ms of that reading
#include "mduCsvReader.h"
#include "mduRecordRules.h"
#include "mduXlsxReader.h"
#include "qvBench.h"
#include "tsStoredZip.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The resident memory now, in KB.
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Reads the file in a child: MB of peak memory added and ms taken (both
// negative when the reading failed).
std::pair<double, double> measure(const std::function<bool(QString*)>& read) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {-1, -1};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const long before = residentKb();
        QElapsedTimer t;
        t.start();
        QString error;
        const bool ok = read(&error);
        const double ms = t.nsecsElapsed() / 1e6;
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        if (!ok)
            std::fprintf(stderr, "bench_readers: %s\n", qPrintable(error));
        const double result[2] = {ok ? (usage.ru_maxrss - before) / 1024.0 : -1, ok ? ms : -1};
        [[maybe_unused]] const ssize_t n = ::write(fds[1], result, sizeof result);
        ::_exit(0);
    }
    ::close(fds[1]);
    double result[2] = {-1, -1};
    [[maybe_unused]] const ssize_t n = ::read(fds[0], result, sizeof result);
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    return {result[0], result[1]};
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A CSV of batch rows filling the reader's limits to just under them.
QByteArray limitCsv() {
    const int rows = MostTableRows - 1;
    const QByteArray header = BatchHeaders().join(QLatin1Char(',')).toUtf8() + "\r\n";
    const QByteArray start = "钴铬合金烤瓷冠,C";
    const QByteArray rest = ",2013-09-05,2013-09-10,张,伟,李,芳,北京口腔医院,上颌前牙,";
    const qint64 room = MostTableFileBytes - 4096 - header.size();
    const QByteArray extras = ",L2013-07,11 21,A2";
    const qint64 fixed = start.size() + 8 + rest.size() + extras.size() + 2;
    const int remark = int(room / rows - fixed);
    QByteArray out;
    out.reserve(MostTableFileBytes);
    out += "\xEF\xBB\xBF" + header;
    const QByteArray padding(std::max(0, remark), 'x');
    for (int r = 0; r < rows; ++r)
        out += start + QByteArray::number(r).rightJustified(8, '0') + rest + padding + extras + "\r\n";
    return out;
}

} // namespace

int main() {
    QTemporaryDir dir;
    TableReading batch;
    batch.columns = BatchSourceColumns;
    const QString wide = dir.filePath(QStringLiteral("wide.xlsx"));
    const QString csv = dir.filePath(QStringLiteral("limit.csv"));
    if (!write(wide, ts::StoredWorkbook(ts::WideSheetData(60000))) || !write(csv, limitCsv())) {
        std::fprintf(stderr, "bench_readers: the files could not be written\n");
        return 1;
    }
    const auto [wideMb, wideMs] = measure([&](QString* error) {
        QList<QStringList> rows;
        return ReadXlsxFile(wide, &rows, error, batch) && rows.size() == 60000;
    });
    qvbench::report("files.read_xlsx_wide_mem", wideMb, "MB");
    qvbench::report("files.read_xlsx_wide", wideMs);
    const auto [csvMb, csvMs] = measure([&](QString* error) {
        QList<QStringList> rows;
        return ReadCsvFile(csv, &rows, error, batch) && rows.size() == MostTableRows;
    });
    qvbench::report("files.read_csv_limit_mem", csvMb, "MB");
    qvbench::report("files.read_csv_limit", csvMs);
    return 0;
}
