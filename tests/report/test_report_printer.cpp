// The report printer on the demo database: the PDF a cashier gets, the
// preview, and what a faulty template or query gives instead.

#include "common/ComponentRegistry.h"
#include "common/ProgIds.h"
#include "host/Bootstrap.h"
#include "platform/Seams.h"
#include "report/PirelRpt.h"
#include "report/ReportPrinting.h"
#include "support/DemoDatabase.h"
#include "common/ShownBoxes.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>

namespace {

class ReportPrinter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ScriptedMessageBox::install();
        registerPlatform();
    }
    void TearDown() override
    {
        seams::setModalHook(nullptr);
        ComponentRegistry::unregisterComponent(progids::ReportPrinter);
        ComponentRegistry::unregisterComponent(progids::FileSystem);
    }

    // A report printer set up for receipt id with a template's text (or
    // the shipped template when html is empty), aimed at a PDF file.
    std::unique_ptr<PirelRpt> printer(int id, const QString &html = QString())
    {
        auto p = std::make_unique<PirelRpt>();
        QString file = db.scalar(QStringLiteral("SELECT BasePath FROM tblOmberBasePath WHERE ID = 1")).toString()
                       + QStringLiteral("reports/RPDCashRec.html");
        if (!html.isNull()) {
            file = out.filePath(QStringLiteral("template.html"));
            QFile f(file);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(html.toUtf8());
        }
        p->setReportFile(file);
        p->setConnectString(db.connectionString());
        p->setReportQuery(ReportPrinting::cashReceiptQuery(id));
        p->setOutputTarget(PirelRpt::PdfFile);
        p->setOutputFile(pdf());
        return p;
    }
    QString pdf() const { return out.filePath(QStringLiteral("report.pdf")); }

    // The PDF's text in logical order as a viewer's search and copy get it
    // (plain letters, not their shaped presentation forms), the direction
    // marks gone.
    static QString pdfText(const QString &path)
    {
        QProcess tool;
        tool.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        if (!tool.waitForFinished(20000) || tool.exitCode() != 0)
            return QStringLiteral("pdftotext failed (poppler-utils installed?)");
        QString text = QString::fromUtf8(tool.readAllStandardOutput());
        text.remove(QRegularExpression(QStringLiteral("[\\x{200e}\\x{200f}\\x{202a}-\\x{202e}\\x{2066}-\\x{2069}]")));
        return text;
    }

    DemoDatabase db;
    QTemporaryDir out;
};

} // namespace

TEST_F(ReportPrinter, TheReceiptsReportShowsTheAmountInWordsThePersianDateAndTheCounterparty)
{
    // The Persian date printed is the stored one the form shows, not one
    // worked out again from TransactionDate.
    db.exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET FarsiTransactionDate = '1405/10/02' WHERE ID = 8"));
    const QStringList expected = {QStringLiteral("نه میلیون و هشتصد هزار ریال"), QStringLiteral("۱۴۰۵/۱۰/۰۲"),
                                  QStringLiteral("۹/۸۰۰/۰۰۰"), QStringLiteral("بدهکاران متفرقه"),
                                  QStringLiteral("شرکت آریا تجارت"), QStringLiteral("صندوق مرکزی"),
                                  QStringLiteral("حسین کریمی"), QStringLiteral("پروژه ساختمان اداری ونک"),
                                  QStringLiteral("P-201")}; // a Latin code as stored

    // Headless, as the test host's --print-pdf: the first template under the
    // base paths, through the same printer component the form uses.
    EXPECT_EQ(ReportPrinting::printCashReceiptPdf(db.connectionString(), 8, pdf()), QString());
    const QString printed = pdfText(pdf());
    for (const QString &text : expected)
        EXPECT_TRUE(printed.contains(text)) << qPrintable(text) << "\n" << qPrintable(printed);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf()});
    info.waitForFinished(20000);
    const QString details = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(details.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << qPrintable(details);
    EXPECT_TRUE(details.contains(QStringLiteral("(A5)"))) << qPrintable(details);
    EXPECT_FALSE(printed.contains(QStringLiteral("موقت")));

    // A draft (receipt 6, no code) says so and shows no confirmed number.
    EXPECT_EQ(ReportPrinting::printCashReceiptPdf(db.connectionString(), 6, pdf()), QString());
    const QString draft = pdfText(pdf());
    EXPECT_TRUE(draft.contains(QStringLiteral("موقت"))) << qPrintable(draft);
    EXPECT_FALSE(draft.contains(QStringLiteral("شماره تأیید شده"))) << qPrintable(draft);
    EXPECT_TRUE(ScriptedMessageBox::messages().isEmpty());
}

// Each fault is told in a box (unless the caller turned boxes off) and
// kept in ErrorText, and no file is produced.
TEST_F(ReportPrinter, AFaultyTemplateOrQueryIsToldInPersianAndNothingIsProduced)
{
    const struct
    {
        int id;
        const char *html; // null: the shipped template
        std::function<void(PirelRpt &)> spoil;
        QString told; // how the message starts
    } faults[] = {
        {8, "<p>{ID} {NoSuchColumn}</p>", {}, QStringLiteral("فيلد «NoSuchColumn» الگوي چاپ در نتيجه پرس و جوي گزارش نيست.")},
        {9999, "<p>{ID}</p>", {}, QStringLiteral("اطلاعاتي براي چاپ يافت نشد.")},
        {8, "<p>{ID}</p>", [](PirelRpt &p) { p.setReportQuery(QStringLiteral("SELECT * From vwNoSuchView")); },
         QStringLiteral("اطلاعات گزارش خوانده نشد")},
        {8, nullptr,
         [&](PirelRpt &p) {
             p.setReportFile(out.filePath(QStringLiteral("gone.html")));
             p.setShowErrors(false);
         },
         QStringLiteral("فايل الگوي چاپ خوانده نشد")},
    };
    for (const auto &f : faults) {
        ScriptedMessageBox::clear();
        auto p = printer(f.id, f.html ? QString::fromUtf8(f.html) : QString());
        if (f.spoil)
            f.spoil(*p);
        p->setRunAction(PirelRpt::Produce);
        EXPECT_TRUE(p->ErrorText().startsWith(f.told)) << qPrintable(p->ErrorText());
        EXPECT_EQ(shownBoxes(), p->ShowErrors() ? QStringList{errorBox(p->ErrorText())} : QStringList());
        EXPECT_FALSE(QFileInfo::exists(pdf()));
    }
}

TEST_F(ReportPrinter, ThePreviewIsRightToLeftWithTheWholeReceiptOnOnePageUnderTheNormalPointer)
{
    bool shown = false;
    QString suggested;
    seams::setModalHook([&](QWidget *w) {
        if (auto *chooser = qobject_cast<QFileDialog *>(w)) {
            suggested = QFileInfo(chooser->selectedFiles().value(0)).fileName();
            return; // cancelled
        }
        shown = true;
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->layoutDirection(), Qt::RightToLeft);
        EXPECT_EQ(dialog->findChild<QPrintPreviewWidget *>()->pageCount(), 1);
        EXPECT_EQ(dialog->printer()->pageLayout().pageSize().id(), QPageSize::A5);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        dialog->findChild<QAction *>(QStringLiteral("actSavePdf"))->trigger();
    });
    // (Reached by name as the form reaches it: the PDF above.)
    auto p = printer(1);
    p->setOutputTarget(PirelRpt::Preview);
    QApplication::setOverrideCursor(Qt::WaitCursor); // as the receipt form leaves it
    p->setRunAction(PirelRpt::Produce);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_TRUE(shown);
    EXPECT_EQ(suggested, QStringLiteral("RPDCashRec-1.pdf")); // the receipt's own file
    EXPECT_TRUE(ScriptedMessageBox::messages().isEmpty());
}
