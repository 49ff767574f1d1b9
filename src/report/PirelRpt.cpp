#include "report/PirelRpt.h"

#include "common/VbRuntime.h"

#include "common/ComponentRegistry.h"
#include "common/SharedServices.h"
#include "core/RowSet.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"
#include "platform/FormShower.h"
#include "platform/Look.h"
#include "report/PdfText.h"
#include "report/ReportTemplate.h"
#include "report/RtlTables.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QToolBar>

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw ReportTemplate::Error{message};
}

// The layout's unit: pixels of 96 to the inch, whatever the screen, so that
// the same template gives the same page on every machine.
constexpr double LayoutDpi = 96.0;
// Sharp enough for the preview's zoom on a receipt.
constexpr double PreviewDpi = 240.0;

// The normal pointer over the preview while the caller shows the busy one.
struct ArrowCursor
{
    ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

PirelRpt::PirelRpt(QObject *parent) : QObject(parent) {}
PirelRpt::~PirelRpt() = default;

void PirelRpt::setRunAction(qint16 action)
{
    m_runAction = action;
    if (action == Produce)
        produce();
}

void PirelRpt::report(const QString &message)
{
    m_errorText = message;
    if (m_showErrors)
        ShowMessage(QStringLiteral("خطا"), message);
}

void PirelRpt::produce()
{
    m_errorText.clear();
    // Another component's failure never reaches its caller as an exception.
    try {
        buildDocument();
        switch (m_outputTarget) {
        case Preview: {
            QPrinter printer(QPrinter::HighResolution);
            setUp(printer);
            preview(printer);
            break;
        }
        case Printer: {
            const QString name = m_printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : m_printerName;
            if (name.isEmpty() || !QPrinterInfo::availablePrinterNames().contains(name))
                fail(QStringLiteral("چاپگري براي چاپ گزارش پيدا نشد."));
            QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
            setUp(printer);
            printTo(printer);
            break;
        }
        case PdfFile: {
            if (m_outputFile.trimmed().isEmpty())
                fail(QStringLiteral("نام فايل PDF گزارش مشخص نشده است."));
            writePdf(m_outputFile);
            break;
        }
        default:
            fail(QStringLiteral("مقصد چاپ %1 شناخته نيست.").arg(m_outputTarget));
        }
    } catch (const ReportTemplate::Error &e) {
        report(e.message);
    } catch (const VbError &e) {
        report(errorText(e));
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    }
}

void PirelRpt::buildDocument()
{
    const ReportTemplate form = ReportTemplate::load(m_reportFile);
    if (m_connectString.trimmed().isEmpty())
        fail(QStringLiteral("رشته اتصال پايگاه داده براي گزارش مشخص نشده است."));

    RowSet rows;
    try {
        // Its own connection: the report's query is not one of the component's statements.
        Connection connection(m_connectString);
        connection.setRecorded(false);
        rows = connection.execute(m_reportQuery);
    } catch (const VbError &e) {
        // The runtime's own failures (an amount out of range, say) in Persian too.
        fail(QStringLiteral("اطلاعات گزارش خوانده نشد: %1").arg(e.isDatabaseError() ? e.description() : errorText(e)));
    }
    if (!rows.returnsRows || rows.rows.isEmpty())
        fail(QStringLiteral("اطلاعاتي براي چاپ يافت نشد."));
    form.checkFields(rows.columns);

    const QVector<QVariant> &row = rows.rows.first();
    const auto valueOf = [&](const QString &name) {
        for (qsizetype i = 0; i < rows.columns.size(); ++i)
            if (rows.columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return row.value(i);
        return QVariant();
    };
    const QString html = form.fill(valueOf);

    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(Look::persianFont(11));
    QTextOption option = document->defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    document->setDefaultTextOption(option);
    document->setHtml(rightToLeftTables(html));
    m_document = std::move(document);
    // Named after the row it shows, so that one receipt's file does not
    // replace another's: RPDCashRec-8.
    m_documentName = QFileInfo(m_reportFile).completeBaseName();
    const QString id = Vb::textOf(valueOf(QStringLiteral("ID"))).trimmed();
    if (!id.isEmpty())
        m_documentName += u'-' + id;
    m_pageSize = form.pageSize();
    m_orientation = form.orientation();
}

void PirelRpt::setUp(QPrinter &printer) const
{
    printer.setPageLayout(QPageLayout(m_pageSize, m_orientation, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    printer.setDocName(m_documentName);
    printer.setCreator(QStringLiteral("Pardex"));
}

void PirelRpt::printTo(QPrinter &printer) const
{
    std::unique_ptr<QTextDocument> document(m_document->clone());
    QImage reference(1, 1, QImage::Format_RGB32);
    reference.setDotsPerMeterX(qRound(LayoutDpi / 0.0254));
    reference.setDotsPerMeterY(qRound(LayoutDpi / 0.0254));
    document->documentLayout()->setPaintDevice(&reference);
    const QRectF paper = printer.pageLayout().paintRect(QPageLayout::Inch);
    const QSizeF page(paper.width() * LayoutDpi, paper.height() * LayoutDpi);
    document->setPageSize(page);

    QPainter painter;
    if (!painter.begin(&printer))
        fail(printer.outputFormat() == QPrinter::PdfFormat
                 ? QStringLiteral("فايل PDF گزارش نوشته نشد: %1").arg(printer.outputFileName())
                 : QStringLiteral("چاپگر «%1» آماده چاپ نيست.").arg(printer.printerName()));
    // The preview records text and lays it out again when it shows it,
    // which breaks right-to-left runs apart; it is given pictures of the
    // pages instead. Printers and PDF files get the text itself.
    const bool asPictures = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Picture;
    const double scale = printer.resolution() / LayoutDpi;
    painter.scale(scale, scale);
    for (int i = 0; i < document->pageCount(); ++i) {
        if (i > 0)
            printer.newPage();
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, i * page.height(), page.width(), page.height());
        if (asPictures) {
            constexpr double PictureScale = PreviewDpi / LayoutDpi;
            QImage picture((page * PictureScale).toSize(), QImage::Format_RGB32);
            picture.fill(Qt::white);
            QPainter onPicture(&picture);
            onPicture.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            onPicture.scale(PictureScale, PictureScale);
            onPicture.translate(0, -i * page.height());
            document->documentLayout()->draw(&onPicture, context);
            onPicture.end();
            painter.drawImage(QRectF(QPointF(0, 0), page), picture);
            continue;
        }
        painter.save();
        painter.translate(0, -i * page.height());
        document->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
}

void PirelRpt::writePdf(const QString &path) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setUp(printer);
    printTo(printer);
    // So that a viewer's search and copy find the Persian words. Should the
    // file not be rewritten, it still prints as it is.
    PdfText::restorePlainLetters(path);
}

void PirelRpt::preview(QPrinter &printer)
{
    QPrintPreviewDialog dialog(&printer);
    dialog.setObjectName(QStringLiteral("frmPrintPreview"));
    dialog.setWindowTitle(QStringLiteral("پيش نمايش چاپ"));
    Look::applyFormLook(&dialog);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [this](QPrinter *target) {
        try {
            printTo(*target);
        } catch (const ReportTemplate::Error &e) {
            report(e.message);
        }
    });
    if (auto *bar = dialog.findChild<QToolBar *>()) {
        bar->addSeparator();
        QAction *save = bar->addAction(QIcon::fromTheme(QStringLiteral("document-save")), QStringLiteral("ذخيره PDF"));
        save->setObjectName(QStringLiteral("actSavePdf"));
        save->setToolTip(QStringLiteral("ذخيره گزارش در فايل PDF"));
        connect(save, &QAction::triggered, &dialog, [this, &dialog] { savePdf(&dialog); });
    }
    // Wide enough for every button of its bar, printing and saving first of all.
    dialog.resize(1040, 860);
    const ArrowCursor arrow;
    FormShower::showModal(&dialog);
}

void PirelRpt::savePdf(QWidget *parent)
{
    QFileDialog chooser(parent, QStringLiteral("ذخيره گزارش"), QString(), QStringLiteral("PDF (*.pdf)"));
    chooser.setObjectName(QStringLiteral("dlgSavePdf"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(QStringLiteral("pdf"));
    chooser.selectFile(m_documentName + QStringLiteral(".pdf"));
    FormShower::showModal(&chooser);
    if (chooser.result() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    try {
        writePdf(chooser.selectedFiles().first());
    } catch (const ReportTemplate::Error &e) {
        report(e.message);
    }
}
