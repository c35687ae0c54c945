// The editable grid, each figure beside a floor doing the same work:
//   grid.load_100k            ms from LoadData of 100,000 rows x 16 columns of
//                             demo-like texts to the first screen painted
//   grid.load_100k_floor      the same through a bare model over the same
//                             texts in a plain table view, same size and paint
//   grid.load_100k_mem        MB of resident memory the loaded grid holds
//                             once the source data is freed (malloc_trim)
//   grid.paint_screen         ms to paint one screen in the middle of the rows
//   grid.paint_screen_floor   the same screen of the bare view: same cell
//                             sizes, same first row, same window size
//   grid.paste_10k            ms to paste 10,000 lines x 11 columns
//   grid.validate_10k         ms of Validate over the pasted rows
//   grid.validate_10k_floor   the same checks of the same cells, row by row,
//                             each date column's pattern compiled once
#include "EditGrid.h"
#include "qvBench.h"
#include "tsControlParts.h"
#include "vgGrid.h"
#include "vtDateText.h"
#include "vtValue.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QHeaderView>
#include <QPixmap>
#include <QTableView>
#include <QTest>

#include <malloc.h>
#include <optional>
#include <vector>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 16;

double residentMb() {
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

// A pending list as the lab sees it: key, product, card number, names,
// doctor, hospital, dates, description, remark and status texts.
QString cellText(int r, int c) {
    static const QStringList surnames = QString::fromUtf8("王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭").split(' ');
    static const QStringList given = QString::fromUtf8("伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀英").split(' ');
    static const QStringList products = QString::fromUtf8("钴铬合金烤瓷冠 二氧化锆全瓷冠 铸瓷贴面").split(' ');
    const QDate day = QDate(2012, 1, 1).addDays(r % 700);
    switch (c) {
    case 0: return QString::number(r + 1);
    case 1: return products[r % 3];
    case 2: return QStringLiteral("C%1").arg(r + 100, 8, 10, QLatin1Char('0'));
    case 3: return surnames[(r * 7) % surnames.size()];
    case 4: return given[(r * 13) % given.size()];
    case 5: return surnames[(r / 50) % surnames.size()];
    case 6: return given[(r / 50) % given.size()];
    case 7: return QStringLiteral("口腔医院第%1分院").arg((r / 97) % 40);
    case 8: return day.toString(QStringLiteral("yyyy-MM-dd"));
    case 9: return day.addDays(-5).toString(QStringLiteral("yyyy-MM-dd"));
    case 10: return r % 4 == 0 ? QStringLiteral("上颌前牙烤瓷冠") : QString();
    case 11: return r % 9 == 0 ? QStringLiteral("复诊") : QString();
    case 12: return QStringLiteral("00");
    case 13: return QStringLiteral("1001");
    case 14: return QStringLiteral("华美义齿制作所");
    default: return QString::number(r % 3 + 1);
    }
}

vt::ValueArray records() {
    vt::ValueArray a(Cols, Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            a.setText(c, r, cellText(r, c));
    return a;
}

// The floor's model: the same texts, one string each, nothing else.
class BareModel final : public QAbstractTableModel {
public:
    void load(std::vector<QString> cells) {
        beginResetModel();
        m_cells = std::move(cells);
        endResetModel();
    }
    int rowCount(const QModelIndex& = QModelIndex()) const override { return static_cast<int>(m_cells.size()) / Cols; }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return Cols; }
    QVariant data(const QModelIndex& i, int role) const override {
        if (role != Qt::DisplayRole)
            return QVariant();
        return m_cells[static_cast<std::size_t>(i.row()) * Cols + static_cast<std::size_t>(i.column())];
    }

private:
    std::vector<QString> m_cells;
};

QStringList headers() {
    QStringList h;
    for (int c = 0; c < Cols; ++c)
        h << QStringLiteral("列%1").arg(c + 1);
    return h;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QSize window(1200, 700);

    // The program's grid: load, lay out, paint the first screen. Each side
    // loads three times into a fresh widget and keeps its best, so neither
    // pays alone for what the first paint of the process sets up (fonts,
    // glyphs). The memory is that of the first grid, as the program has it.
    QPixmap target(window);
    target.fill();
    const QStringList names = headers();
    std::unique_ptr<vt::EditGrid> grid;
    double load = 1e300;
    double held = 0;
    for (int i = 0; i < 3; ++i) {
        grid.reset();
        const double baseline = residentMb();
        grid = std::make_unique<vt::EditGrid>();
        grid->resize(window);
        grid->InitColHeaders(QString(), QVariantList(names.begin(), names.end()));
        grid->show();
        QCoreApplication::processEvents();
        QVariant data = vt::toVariant(records());
        QElapsedTimer t;
        t.start();
        grid->LoadData(data);
        QCoreApplication::processEvents();
        grid->render(&target);
        load = std::min(load, t.nsecsElapsed() / 1e6);
        data = QVariant();
        if (i == 0)
            held = residentMb() - baseline;
    }
    vt::vgGrid* inner = parts::grid(grid.get());
    inner->setTopRow(50000);
    QCoreApplication::processEvents();
    const double paint = qvbench::bestOf(5, [&grid, &target] { grid->render(&target); });

    // The floor: a bare model over the same texts in a plain view of the
    // same size, the same row heights and column widths.
    std::unique_ptr<QTableView> view;
    std::unique_ptr<BareModel> model;
    double floorLoad = 1e300;
    for (int i = 0; i < 3; ++i) {
        view.reset();
        model = std::make_unique<BareModel>();
        view = std::make_unique<QTableView>();
        view->setModel(model.get());
        view->resize(window);
        view->verticalHeader()->setDefaultSectionSize(inner->rowHeight(0) > 0 ? inner->rowHeight(0) : 20);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->show();
        QCoreApplication::processEvents();
        std::vector<QString> cells(static_cast<std::size_t>(Rows) * Cols);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                cells[static_cast<std::size_t>(r) * Cols + static_cast<std::size_t>(c)] = cellText(r, c);
        QElapsedTimer t;
        t.start();
        model->load(std::move(cells));
        for (int c = 0; c < Cols; ++c)
            view->setColumnWidth(c, inner->columnWidth(c));
        QCoreApplication::processEvents();
        view->render(&target);
        floorLoad = std::min(floorLoad, t.nsecsElapsed() / 1e6);
    }
    view->scrollTo(model->index(50000, 0), QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents();
    const double paintFloor = qvbench::bestOf(5, [&view, &target] { view->render(&target); });
    qvbench::report("grid.load_100k", load);
    qvbench::report("grid.load_100k_floor", floorLoad);
    qvbench::report("grid.load_100k_mem", held, "MB");
    qvbench::report("grid.paint_screen", paint);
    qvbench::report("grid.paint_screen_floor", paintFloor);
    grid.reset();

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

        // The floor: the cells read and checked in the same order with the
        // same messages built, a compiled pattern per date column.
        vt::vgGrid* cells = parts::grid(&grid);
        struct Check {
            int kind;
            std::optional<vt::DatePattern> date;
            QString format;
        };
        QString floorMessage;
        const double validateFloor = qvbench::bestOf(3, [&grid, cells, &floorMessage] {
            std::vector<Check> checks;
            for (int c = 0; c < grid.Cols(); ++c) {
                const int kind = c >= grid.FixedCols() ? grid.Col(c).Validate() : vt::dvString;
                Check check{kind, std::nullopt, grid.Col(c).DateFormat()};
                if (kind == vt::dvDate)
                    check.date.emplace(check.format);
                checks.push_back(std::move(check));
            }
            floorMessage.clear();
            for (int r = grid.FixedRows(); r < grid.Rows() && floorMessage.isEmpty(); ++r) {
                if (cells->RowData(r) == vt::rsDelete)
                    continue;
                for (int c = grid.FixedCols(); c < grid.Cols(); ++c) {
                    const Check& check = checks[static_cast<std::size_t>(c)];
                    const QString text = cells->TextMatrix(r, c);
                    if (check.kind == vt::dvNoEmpty && text.isEmpty())
                        floorMessage = QStringLiteral("输入不能为空");
                    else if (check.kind == vt::dvDate && !check.date->fits(text))
                        floorMessage = QStringLiteral("日期输入格式错误,格式须为：") + vt::EditGrid::FormatToday(check.format);
                    if (!floorMessage.isEmpty())
                        break;
                }
            }
        });
        if (floorMessage != message)
            std::fprintf(stderr, "bench_grid: the floor said %s\n", qPrintable(floorMessage));
        qvbench::report("grid.validate_10k_floor", validateFloor);
    }
    return 0;
}
