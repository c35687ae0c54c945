#include "frmRecordList.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduCardExtrasData.h"
#include "mduCardFinder.h"
#include "mduCardPrint.h"
#include "mduDateText.h"
#include "mduTableExport.h"
#include "mduMessage.h"
#include "mduRecordRules.h"

#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

namespace {

QVariantList list(std::initializer_list<QVariant> v) { return QVariantList(v); }

// The fields the filter searches: card number, patient, doctor, hospital.
std::vector<std::vector<int>> filterFields(const QString& key) {
    if (key == QLatin1String("New"))
        return {{3}, {4, 5}, {6, 7}, {8}};
    if (key == QLatin1String("Pro"))
        return {{6}, {8, 9}, {10, 11}, {12}};
    return {{5}, {6, 7}, {8, 9}, {10}};
}

QByteArray nameOf(const char* prefix, const QString& suffix) { return QByteArray(prefix) + suffix.toLatin1(); }

} // namespace

frmRecordList::frmRecordList(const QString& key, const QString& suffix, const QString& name, QWidget* frame,
                             const Places& at, TabLinks links)
    : QObject(frame), m_key(key), m_name(name), m_links(std::move(links)), m_filter(filterFields(key)) {
    setObjectName(QStringLiteral("list") + suffix);
    cmdPrint = wb::button(frame, nameOf("cmdPrint", suffix).constData(), QStringLiteral("打 印…"), at.print.x(), at.print.y());
    cmdExport = wb::button(frame, nameOf("cmdExport", suffix).constData(), QStringLiteral("导 出…"), at.exporter.x(),
                           at.exporter.y());
    txtFilter = wb::textBox(frame, nameOf("txtFilter", suffix).constData(), 50, at.filterLeft, at.filterTop, at.filterWidth);
    grid = wb::grid(frame, nameOf("eg", suffix).constData());
    wb::place(grid, at.gridLeft, at.gridTop, at.gridWidth, at.gridHeight);

    txtFilter->setPlaceholderText(QStringLiteral("筛选：卡号、姓名、医院或拼音首字母"));
    txtFilter->setClearButtonEnabled(true);
    connect(txtFilter, &QLineEdit::textChanged, this, &frmRecordList::FilterList);
    txtFilter->installEventFilter(this);
    connect(cmdExport, &QPushButton::clicked, this, &frmRecordList::ExportList);
    connect(cmdPrint, &QPushButton::clicked, this, &frmRecordList::cmdPrint_Click);
    // A list whose rows left the grid (stored, submitted) is read again
    // before it is filtered anew.
    connect(grid, &vt::EditGrid::AfterRemoveRow, this, [this] { m_filter.forget(); });
}

bool frmRecordList::eventFilter(QObject* watched, QEvent* event) {
    // The filter box taking the focus readies the list's search texts.
    if (watched == txtFilter && event->type() == QEvent::FocusIn)
        m_filter.prepare();
    return QObject::eventFilter(watched, event);
}

void frmRecordList::InitColumns() {
    if (m_key == QLatin1String("New")) {
        grid->InitColHeaders(QString(), list({"序号", "", "质保产品", "质保卡号", "患者姓", "名", "医生姓", "名",
                                              "医院、诊所", "治疗时间", "治疗描述", "备注", "制作时间"}));
        grid->InitColWidth(200, list({0, 0, 1800, 1020, 820, 820, 820, 820, 2400, 1020, 1200, 1200, 1020}));
    } else if (m_key == QLatin1String("Pro")) {
        grid->InitColHeaders(QString(), list({"序号", "状态", "状态", "理由 ", "", "质保产品", "质保卡号", "上报时间",
                                              "患者姓", "名", "医生姓", "名", "医院、诊所", "治疗时间", "制作时间"}));
        grid->InitColWidth(200, list({0, 0, 1020, 1420, 0, 1800, 1020, 1020, 820, 820, 820, 820, 2400, 1020, 1020}));
    } else {
        grid->InitColHeaders(QString(), list({"序号", "上报时间", "发布时间", "", "质保产品", "质保卡号", "患者姓", "名",
                                              "医生姓", "名", "医院、诊所", "治疗时间", "治疗描述", "备注", "制作时间"}));
        grid->InitColWidth(200, list({0, 1020, 1020, 0, 1800, 1020, 820, 820, 820, 820, 2400, 1020, 1200, 1200, 1020}));
    }
    FitNumberAndDateColumns(grid, NumberColumns(), DateColumns());
    RestoreColumnWidths(grid);
}

QList<int> frmRecordList::NumberColumns() const {
    if (m_key == QLatin1String("New"))
        return {4};
    if (m_key == QLatin1String("Pro"))
        return {7};
    return {6};
}

QList<int> frmRecordList::DateColumns() const {
    if (m_key == QLatin1String("New"))
        return {10, 13};
    if (m_key == QLatin1String("Pro"))
        return {8, 14, 15};
    return {2, 3, 12, 15};
}

void frmRecordList::LoadRecordList() {
    static const QHash<QString, QString> statuses{
        {QStringLiteral("New"), QStringLiteral("00")}, {QStringLiteral("Pro"), QStringLiteral("01")}, {QStringLiteral("Done"), QStringLiteral("02")}};
    QVariantList p{QStringLiteral("MakerView"), gConn->OpId(), statuses.value(m_key), QString(), QString(), QString()};
    if (m_range) {
        const auto [from, to] = m_range();
        p[3] = FormatDateText(from);
        p[4] = FormatDateText(to);
    }
    const QVariant rows = gConn->GetSP(QStringLiteral("upvProducts"), p);
    if (txtFilter->text().trimmed().isEmpty()) {
        // No filter: the list goes to the grid as it came.
        grid->LoadData(rows);
        m_filter.setSource(vt::toArray(rows));
        emit Filled();
        return;
    }
    m_filter.setSource(vt::toArray(rows));
    ShowFiltered();
}

QStringList frmRecordList::Numbers() {
    const int col = NumberColumns().first();
    QStringList numbers;
    if (!m_filter.active()) {
        for (int r = 1; r < grid->Rows(); ++r)
            numbers << grid->Cells(r, col).Text();
        return numbers;
    }
    // Filtered: the list as read holds them all (read again if rows left it).
    if (!m_filter.hasSource())
        LoadRecordList();
    const vt::ValueArray& all = m_filter.source();
    for (int r = 0; r < all.rows() && all.cols() > col - 1; ++r)
        numbers << all.displayText(col - 1, r);
    return numbers;
}

void frmRecordList::ShowFiltered() {
    grid->LoadData(vt::toVariant(m_filter.apply(txtFilter->text())));
    emit Filled();
    ReportCount();
}

void frmRecordList::ReportCount() {
    if (m_filter.active())
        m_links.report(QStringLiteral("%1：显示 %2 / %3 张").arg(m_name).arg(m_filter.shown()).arg(m_filter.total()), false);
    else
        m_links.report(QStringLiteral("%1：共 %2 张").arg(m_name).arg(m_filter.total()), false);
}

void frmRecordList::FilterList() {
    // A list that changed since it was read is read again (and filtered).
    if (!m_filter.hasSource()) {
        LoadRecordList(); // filtered and counted when the box has text
        if (!m_filter.active())
            ReportCount();
        return;
    }
    ShowFiltered();
}

QList<int> frmRecordList::ExportColumns() const {
    // The batch grid's columns first, in its order (0: the list has none
    // of that kind), then the list's own further columns.
    if (m_key == QLatin1String("New"))
        return {3, 4, 13, 10, 5, 6, 7, 8, 9, 11, 12};
    if (m_key == QLatin1String("Pro"))
        return {6, 7, 15, 14, 9, 10, 11, 12, 13, 0, 0, 3, 4, 8};
    return {5, 6, 15, 12, 7, 8, 9, 10, 11, 13, 14, 2, 3};
}

bool frmRecordList::ExportList() {
    // Written so that any list reads back into the batch: the batch grid's
    // columns with its headers, then the list's status, reason and dates.
    const QList<int> cols = ExportColumns();
    const QStringList batchHeaders = BatchHeaders();
    QList<QStringList> rows;
    QStringList header;
    for (qsizetype k = 0; k < cols.size(); ++k)
        header << (k < batchHeaders.size() ? batchHeaders.at(k) : grid->Cells(0, cols[k]).Text().trimmed());
    rows << header;
    for (int r = 1; r < grid->Rows(); ++r) {
        QStringList row;
        row.reserve(cols.size());
        for (int c : cols)
            row << (c > 0 ? grid->Cells(r, c).Text() : QString());
        rows << row;
    }
    // The card's lot, teeth and shade after the list's columns, by a query
    // of their own, where the database has them.
    if (CardExtrasShown()) {
        QList<WarrantyCard> cards;
        cards.reserve(grid->Rows() - 1);
        for (int r = 1; r < grid->Rows(); ++r) {
            WarrantyCard c;
            c.record.key = grid->Cells(r, 1).Text().trimmed();
            cards << c;
        }
        {
            BusyPointer busy;
            FetchCardExtras(cards, gConn->OpId().toString());
        }
        rows[0] << BatchExtraHeaders();
        for (int r = 0; r < cards.size(); ++r)
            rows[r + 1] << cards[r].record.lot << cards[r].record.teeth << cards[r].record.shade;
    }
    // The date columns, for the workbook's real dates.
    QSet<int> dates;
    for (int c : DateColumns())
        if (cols.contains(c))
            dates.insert(int(cols.indexOf(c)));

    const QString name = m_name + QLatin1Char('-') + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString path = ExportTable(grid->window(), QStringLiteral("导出") + m_name, name, m_name, rows, dates);
    if (path.isEmpty())
        return false;
    m_links.report(QStringLiteral("已导出 %1 张到 %2").arg(rows.size() - 1).arg(QFileInfo(path).fileName()), false);
    return true;
}

QStringList frmRecordList::SelectedKeys() const {
    QStringList keys;
    for (int r : grid->SelectedRows()) {
        const QString key = grid->Cells(r, 1).Text().trimmed();
        if (!key.isEmpty())
            keys << key;
    }
    return keys;
}

void frmRecordList::cmdPrint_Click() {
    if (!m_printChoice) {
        PrintKeys(SelectedKeys());
        return;
    }
    if (const std::optional<QStringList> keys = m_printChoice())
        PrintKeys(*keys);
}

void frmRecordList::PrintKeys(const QStringList& keys) {
    if (keys.isEmpty()) {
        ShowMessage(QStringLiteral("请先选择要打印的质保卡。"), QString(), 0);
        return;
    }
    QList<WarrantyCard> cards;
    {
        BusyPointer busy;
        cards = FetchCards(gConn->OpId().toString(), keys);
        FetchCardExtras(cards, gConn->OpId().toString());
    }
    ShowCardPreview(grid->window(), {gConn->OpCom().toString(), cards, m_links.terms()});
}
