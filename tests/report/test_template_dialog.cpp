// The template dialog and the receipt form's view/print operation, with a
// recording stand-in for the report printer.

#include "RecordingPrinter.h"

#include "common/ComponentRegistry.h"
#include "common/ProgIds.h"
#include "data/DtEn.h"
#include "platform/FileSystemObject.h"
#include "platform/FormShower.h"
#include "report/frmReport.h"
#include "support/FormFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString TemplateRelative = QStringLiteral("reports/RPDCashRec.html");
const QString NoTemplate = QStringLiteral("قالب گزارش مشخص نيست.");
const QString NoBasePath = QStringLiteral("در پايگاه داده مسير چاپ مشخص نشده است.");
const QString NoFile = QStringLiteral("در هيچ يك از مسيرهاي مشخص شده در پايگاه داده فايل الگوي چاپ وجود ندارد.");

class Printing : public FormFixture
{
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        ComponentRegistry::registerComponent(progids::FileSystem, [] { return new FileSystemObject; });
        RecordingPrinter::install();
        clearShow(486);
        ScriptedMessageBox::clear();
    }
    void TearDown() override
    {
        frmReport::destroyInstance();
        TemplateFilePath.clear();
        FormFixture::TearDown();
        ComponentRegistry::unregisterComponent(QStringLiteral("PirelRpt.PirelRpt1"));
        ComponentRegistry::unregisterComponent(progids::FileSystem);
    }

    // The base paths in ID order, each a new folder that holds the template
    // file or not. Returns the folders as the database holds them.
    QStringList setBasePaths(const QList<bool> &holdsFile)
    {
        db->exec(QStringLiteral("DELETE FROM tblOmberBasePath"));
        QStringList bases;
        for (bool withFile : holdsFile) {
            folders.push_back(std::make_unique<QTemporaryDir>());
            const QString base = folders.back()->path() + u'/';
            if (withFile) {
                QDir(base).mkpath(QStringLiteral("reports"));
                QFile file(base + TemplateRelative);
                EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("<p>{ID}</p>");
            }
            db->exec(QStringLiteral("INSERT INTO tblOmberBasePath (ID, Title, BasePath) VALUES (?, 'x', ?)"),
                         {int(bases.size() + 1), base});
            bases << base;
        }
        return bases;
    }
    // The next modal show of the dialog runs act once the dialog is active.
    void withDialog(std::function<void(frmReport &)> act)
    {
        onModal([act](QWidget *w) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(w, 3000));
            act(*static_cast<frmReport *>(w));
        });
    }
    // Shows the dialog on its own and runs act in it; a dialog that never
    // opened (so act never ran) fails the test.
    void showDialog(std::function<void(frmReport &)> act)
    {
        bool ran = false;
        withDialog([&ran, act = std::move(act)](frmReport &d) {
            ran = true;
            act(d);
        });
        FormShower::showModal(&frmReport::instance());
        EXPECT_TRUE(ran) << "the template dialog never opened";
    }
    static QComboBox *list(QWidget &d) { return d.findChild<QComboBox *>(QStringLiteral("cmbReport")); }
    static void press(QWidget &d, const char *name) { d.findChild<QPushButton *>(QLatin1String(name))->click(); }
    void viewPrint(const QString &number)
    {
        child<QLineEdit>("txtID")->setText(number);
        form().cmdView_Click();
    }
    static QString query(int id)
    {
        return QStringLiteral("ReportQuery=SELECT   * From vwRecPayCashTurnDetail Where ID =%1").arg(id);
    }

    std::vector<std::unique_ptr<QTemporaryDir>> folders;
};

} // namespace

TEST_F(Printing, TheListHoldsTheFormTypesTemplatesOnceWithTheFirstChosen)
{
    db->exec(QStringLiteral("INSERT INTO tblOmberReportTemplate (ID, FormTypeID, Title, FilePath) VALUES "
                                              "(2, 206, 'رسید با سربرگ', 'b.html'), (3, 207, 'پرداخت', 'c.html')"));
    showDialog([](frmReport &d) {
        ASSERT_EQ(list(d)->count(), 2);
        EXPECT_EQ(list(d)->itemText(0), QStringLiteral("رسید دریافت نقدی"));
        EXPECT_EQ(list(d)->currentIndex(), 0);
        list(d)->setCurrentIndex(1);
        d.Form_Activate(); // activated again, as when a message box closes
        EXPECT_EQ(list(d)->count(), 2);
        EXPECT_EQ(list(d)->currentIndex(), 0);
        press(d, "cmdExit");
    });
    EXPECT_EQ(list(frmReport::instance())->count(), 0); // unloaded
}

// Each thing that keeps the print from starting: told (or, for a template
// that vanished meanwhile, not), the dialog open, no template chosen.
TEST_F(Printing, WhatKeepsThePrintFromStartingLeavesTheDialogOpen)
{
    const struct
    {
        const char *cause;
        QList<bool> basePaths; // each holding the template file or not
        std::function<void(frmReport &)> prepare;
        QString box; // title|message, or empty for no box
    } causes[] = {
        {"no choice", {true}, [](frmReport &d) { list(d)->setCurrentIndex(-1); }, QStringLiteral("خطا|") + NoTemplate},
        {"no base path", {}, [](frmReport &) {}, QStringLiteral("خطا|") + NoBasePath},
        {"no base path holding the file", {false, false}, [](frmReport &) {}, QStringLiteral("خطا|") + NoFile},
        {"no file-system object", {true}, [](frmReport &) { ComponentRegistry::unregisterComponent(progids::FileSystem); },
         QStringLiteral("خطا|")},
        {"a vanished template", {true}, [&](frmReport &) { db->exec(QStringLiteral("DELETE FROM tblOmberReportTemplate")); },
         QString()},
        {"no template of the form type at all", {true}, [](frmReport &d) { ASSERT_EQ(list(d)->count(), 0); },
         QStringLiteral("خطا|") + NoTemplate},
    };
    for (const auto &c : causes) {
        SCOPED_TRACE(c.cause);
        setBasePaths(c.basePaths);
        showDialog([&](frmReport &d) {
            ScriptedMessageBox::clear();
            c.prepare(d);
            press(d, "cmdPrint");
            EXPECT_TRUE(ScriptedMessageBox::shown().size() == (c.box.isEmpty() ? 0 : 1)
                        && shownBoxes().join(QString()).startsWith(c.box))
                << shownBoxes().join(u'\n').toStdString();
            EXPECT_TRUE(d.isVisible());
            EXPECT_TRUE(TemplateFilePath.isEmpty());
            if (c.box == QStringLiteral("خطا|") + NoTemplate && list(d)->count() > 0) {
                EXPECT_EQ(QApplication::focusWidget(), list(d));
            }
            // The general handle is closed, so that the next save's period
            // check can open it; the templates' handle where a message ends it.
            EXPECT_EQ(Module::dtEn().rssqlOmberBasePath.State(), 0);
            if (c.box.endsWith(NoBasePath) || c.box.endsWith(NoFile)) {
                EXPECT_EQ(Module::dtEn().rssqlOmberTemplate.State(), 0);
            }
            press(d, "cmdExit");
        });
        ComponentRegistry::registerComponent(progids::FileSystem, [] { return new FileSystemObject; });
    }
}

TEST_F(Printing, TheFirstBasePathHoldingTheFileWinsWithPrintOkOrEnterAndEscapeCancels)
{
    QStringList bases = setBasePaths({false, true});
    showDialog([](frmReport &d) {
        press(d, "cmdPrint");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(TemplateFilePath, bases[1] + TemplateRelative);

    bases = setBasePaths({true, true});
    showDialog([](frmReport &d) { press(d, "cmdOk"); });
    EXPECT_EQ(TemplateFilePath, bases[0] + TemplateRelative);

    TemplateFilePath.clear();
    showDialog([](frmReport &d) {
        QWidget *focused = focusInto(list(d));
        ASSERT_EQ(focused, list(d));
        QTest::keyClick(focused, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(TemplateFilePath, bases[0] + TemplateRelative);

    showDialog([](frmReport &d) {
        QTest::keyClick(focusInto(list(d)), Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_TRUE(TemplateFilePath.isEmpty());
}

TEST_F(Printing, ViewPrintGivesThePrinterItsValuesInOrderAndTheMessageComesFirst)
{
    const QStringList bases = setBasePaths({true});
    withDialog([](frmReport &d) { press(d, "cmdPrint"); });
    viewPrint(QStringLiteral("8"));
    EXPECT_EQ(RecordingPrinter::log,
              (QStringList{QStringLiteral("ReportFile="), QStringLiteral("ReportFile=") + bases[0] + TemplateRelative,
                           QStringLiteral("get ReportFile"),
                           QStringLiteral("ConnectString=") + Module::context().ConnectionString, query(8),
                           QStringLiteral("OutputTarget=0"), QStringLiteral("RunAction=1")}));
    EXPECT_EQ(RecordingPrinter::messagesAtRun,
              QStringList{QStringLiteral("در حال چاپ|لطفا دكمه ادامه را فشار دهيد.")});
    EXPECT_EQ(RecordingPrinter::cursorAtRun, int(Qt::WaitCursor));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The button and both menu items read the number by the leading-number
// rule and share one printer; zero does nothing.
TEST_F(Printing, TheNumberIsReadByTheLeadingNumberRuleAndEveryWayToPrintSharesOnePrinter)
{
    for (const char *text : {"", "0", "abc", "-0"})
        viewPrint(QString::fromLatin1(text));
    EXPECT_EQ(modalShows(), 0);
    EXPECT_EQ(RecordingPrinter::created, 0);

    setBasePaths({true});
    for (int i = 0; i < 3; ++i)
        withDialog([](frmReport &d) { press(d, "cmdPrint"); });
    child<QLineEdit>("txtID")->setText(QStringLiteral("12abc"));
    child<QPushButton>("cmdView")->click();
    child<QLineEdit>("txtID")->setText(QStringLiteral("13.5"));
    form().findChild<QAction *>(QStringLiteral("mnuPrintView"))->trigger();
    child<QLineEdit>("txtID")->setText(QStringLiteral("12.5"));
    form().findChild<QAction *>(QStringLiteral("mnuPrint"))->trigger();
    EXPECT_EQ(RecordingPrinter::log.filter(QStringLiteral("ReportQuery=")), (QStringList{query(12), query(14), query(12)}));
    EXPECT_EQ(RecordingPrinter::created, 1);
    EXPECT_EQ(RecordingPrinter::log.filter(QStringLiteral("RunAction=1")).size(), 3);
}

TEST_F(Printing, CancellingAfterAFailedAttemptProducesNoReport)
{
    setBasePaths({false});
    withDialog([](frmReport &d) {
        press(d, "cmdPrint");
        press(d, "cmdExit");
    });
    viewPrint(QStringLiteral("8"));
    EXPECT_EQ(RecordingPrinter::log,
              (QStringList{QStringLiteral("ReportFile="), QStringLiteral("ReportFile="), QStringLiteral("get ReportFile")}));
    EXPECT_EQ(ScriptedMessageBox::messages(), QStringList{NoFile});
}
