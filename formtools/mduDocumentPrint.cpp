#include "mduDocumentPrint.h"

#include "mduFileDialog.h"
#include "mduFileWrite.h"
#include "mduMessage.h"
#include "mduShTools.h"

#include <QAction>
#include <QBoxLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextDocument>
#include <QToolBar>

namespace {

std::function<void(DocumentPreview&)>& nextHandler() {
    static std::function<void(DocumentPreview&)> handler;
    return handler;
}

void paint(QPagedPaintDevice* device, const QString& html) {
    QTextDocument doc;
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPointSize(10);
    doc.setDefaultFont(f);
    doc.setHtml(html);
    doc.print(device);
}

} // namespace

bool SaveDocumentPdf(const QString& path, const QString& title, const QString& html, QString* error) {
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setResolution(300);
        pdf.setCreator(ProductName());
        pdf.setTitle(title);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        paint(&pdf, html);
    }
    return WriteFileWhole(path, bytes.data(), error);
}

DocumentPreview::DocumentPreview(const QString& title, const QString& html, QWidget* parent)
    : QPrintPreviewDialog(parent), m_title(title), m_html(html) {
    setObjectName(QStringLiteral("DocumentPreview"));
    setWindowTitle(title + QStringLiteral(" 打印预览"));
    printer()->setDocName(title);
    printer()->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                         QPageLayout::Millimeter));
    connect(this, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { paint(printer, m_html); });
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("barDocument"));
    QAction* pdf = bar->addAction(QStringLiteral("保存为 PDF…"));
    pdf->setObjectName(QStringLiteral("actSavePdf"));
    pdf->setShortcut(QKeySequence::Save);
    connect(pdf, &QAction::triggered, this, [this] { savePdf(); });
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->insertWidget(1, bar);
    const QSize room = parent ? parent->window()->size() : QSize(1100, 800);
    resize(std::max(900, room.width() * 9 / 10), std::max(640, room.height() * 9 / 10));
}

bool DocumentPreview::savePdf() {
    const QString path =
        AskSaveFileName(this, QStringLiteral("保存为 PDF"), m_title + QStringLiteral(".pdf"), QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return false;
    QString error;
    if (!SaveDocumentPdf(path, m_title, m_html, &error)) {
        ShowMessage(QStringLiteral("文件没有写成：") + error, QString(), 0);
        return false;
    }
    return true;
}

void ShowDocumentPreview(QWidget* parent, const QString& title, const QString& html) {
    DocumentPreview preview(title, html, parent);
    if (auto handler = std::exchange(nextHandler(), {})) {
        handler(preview);
        return;
    }
    preview.exec();
}

void SetNextDocumentPreviewHandler(std::function<void(DocumentPreview&)> handler) { nextHandler() = std::move(handler); }
