// The export of the grid to a workbook, read back from the written file,
// and the workbook writer on its own: a container any zip reader accepts,
// and texts that reach the sheet as they were, whatever characters they hold.

#include "SearchFixture.h"

#include "core/PersianDate.h"
#include "search/XlsxWorkbook.h"
#include "support/Programs.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class Export : public SearchFixture
{
protected:
    void SetUp() override
    {
        SearchFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
        qputenv("PARDEX_EXPORT_DIR", folder.path().toUtf8());
        frmRPDSearch::setOpener([this](const QString &path) {
            opened << path;
            return openerWorks;
        });
    }
    void TearDown() override
    {
        qunsetenv("PARDEX_EXPORT_DIR");
        SearchFixture::TearDown();
    }
    QStringList filesInFolder() const
    {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    }
    // The cells of one sheet row as "column|type|text" (with style, "|s="
    // and the style follow), read back as a spreadsheet reads what the
    // writer writes: a cell's column from its place in the row, texts from
    // the shared table.
    static QStringList cells(const QString &path, int row, bool style = false)
    {
        static const QRegularExpression tag(QStringLiteral("<[^>]+>"));
        QStringList shared;
        const QRegularExpression item(QStringLiteral("<si>(.*?)</si>"));
        for (auto it = item.globalMatch(zipMember(path, QStringLiteral("xl/sharedStrings.xml"))); it.hasNext();)
            shared << it.next().captured(1).remove(tag);
        const QRegularExpression rowPattern(QStringLiteral("<row r=\"%1\"[^>]*>(.*?)</row>").arg(row));
        const QString body = rowPattern.match(zipMember(path, QStringLiteral("xl/worksheets/sheet1.xml"))).captured(1);
        const QRegularExpression cell(QStringLiteral("<c(\\s[^>]*?)?(?:/>|>(.*?)</c>)"));
        QStringList found;
        int index = 0;
        for (auto it = cell.globalMatch(body); it.hasNext(); ++index) {
            const auto m = it.next();
            const QString attributes = m.captured(1), text = m.captured(2).remove(tag);
            if (text.isEmpty())
                continue;
            const bool isShared = attributes.contains(QStringLiteral("t=\"s\""));
            const char *type = isShared                                   ? "s"
                               : attributes.contains(QStringLiteral("t=\"")) ? "?"
                                                                            : "n";
            found << QChar(u'A' + index) + (u'|' + QLatin1String(type) + u'|') + (isShared ? shared.value(text.toInt()) : text);
            if (style)
                found.last() += QStringLiteral("|s=") + QRegularExpression(QStringLiteral("s=\"(\\d+)\"")).match(attributes).captured(1);
        }
        return found;
    }

    QTemporaryDir folder;
    QStringList opened;
    bool openerWorks = true;
};

} // namespace

TEST_F(Export, TwoRowsWithTitlesAndTypesInARightToLeftSheet)
{
    box("txtIDFrom")->setText(QStringLiteral("1"));
    box("txtIDTo")->setText(QStringLiteral("2"));
    runSearch();
    searchChild<QPushButton>("cmdExcel")->click();
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(filesInFolder(), QStringList{QFileInfo(opened.first()).fileName()});
    EXPECT_TRUE(opened.first().endsWith(QStringLiteral(".xlsx")));

    const QString sheet = zipMember(opened.first(), QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(sheet.contains(QStringLiteral("rightToLeft=\"1\""))) << sheet.left(400).toStdString();
    const QStringList titles = cells(opened.first(), 1);
    ASSERT_EQ(titles.size(), 15);
    EXPECT_EQ(titles[0], QStringLiteral("A|s|شماره"));
    EXPECT_EQ(titles[14], QStringLiteral("O|s|كد قرارداد"));
    const QStringList first = cells(opened.first(), 2);
    for (const char *cell : {"A|n|1", "B|n|10", "G|s|دریافت بابت فاکتور فروش شماره 4312", "H|n|12500000", "I|n|0"})
        EXPECT_TRUE(first.contains(QString::fromUtf8(cell))) << cell;
    EXPECT_TRUE(cells(opened.first(), 3).contains(QStringLiteral("A|n|2")));
    EXPECT_TRUE(cells(opened.first(), 4).isEmpty());
    // Amounts carry the grouping style.
    EXPECT_TRUE(zipMember(opened.first(), QStringLiteral("xl/styles.xml")).contains(QStringLiteral("formatCode=\"#,##0\"")));
    EXPECT_TRUE(cells(opened.first(), 2, true).contains(QStringLiteral("H|n|12500000|s=2")));
    // A second export is written beside the first, not over it.
    searchChild<QPushButton>("cmdExcel")->click();
    EXPECT_EQ(filesInFolder().size(), 2);
}

TEST_F(Export, FailuresAreToldInPersianAndTheFormStaysUsableAndAnEmptyResultWritesTheTitlesAlone)
{
    box("txtDescription")->setText(QStringLiteral("هيچ چيز چنين نيست"));
    runSearch();
    // A folder that cannot be written: nothing is written, nothing opened.
    qputenv("PARDEX_EXPORT_DIR", folder.filePath(QStringLiteral("missing/deeper")).toUtf8());
    searchChild<QPushButton>("cmdExcel")->click();
    ASSERT_EQ(shownBoxes().size(), 1);
    EXPECT_TRUE(shownBoxes()[0].startsWith(QStringLiteral("خطا|انتقال به اكسل انجام نشد")));
    EXPECT_TRUE(shownBoxes()[0].contains(QStringLiteral("missing")));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(filesInFolder().isEmpty());
    EXPECT_TRUE(search().isVisible());

    // Written, but nothing opens it: the user learns where it is.
    ScriptedMessageBox::clear();
    qputenv("PARDEX_EXPORT_DIR", folder.path().toUtf8());
    openerWorks = false;
    searchChild<QPushButton>("cmdExcel")->click();
    ASSERT_EQ(opened.size(), 1);
    ASSERT_EQ(ScriptedMessageBox::shown().size(), 1);
    EXPECT_TRUE(ScriptedMessageBox::messages().first().contains(QDir::toNativeSeparators(opened.first())));
    EXPECT_EQ(cells(opened.first(), 1).size(), 15);
    EXPECT_TRUE(cells(opened.first(), 2).isEmpty());
    box("txtDescription")->clear();
    runSearch();
    EXPECT_GT(grid()->Rows(), 1);
}

TEST_F(Export, RowsStillBeingReadAreUnderTheProgressTooAndExportsAreTheUsersAlone)
{
    // Pressed while the search still reads its rows: the progress shows at
    // once and Cancel stops the export, the reading going on in the background.
    db->addReceipts(3000);
    grid()->setSliceRows(50);
    searchChild<QPushButton>("cmdSearch")->click();
    ASSERT_TRUE(grid()->loading());
    frmRPDSearch::setExportProgressDelay(0);
    QString label;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        if (auto *progress = search().findChild<QProgressDialog *>(QStringLiteral("prgExcel"));
            progress && progress->isVisible()) {
            label = progress->labelText();
            progress->cancel();
        }
    });
    canceller.start(0);
    searchChild<QPushButton>("cmdExcel")->click();
    canceller.stop();
    EXPECT_TRUE(label.startsWith(QStringLiteral("خواندن نتيجه جستجو"))) << label.toStdString();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(filesInFolder().isEmpty());
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid()->loading(); }, 30000));

    // Without a folder named for them, exports go to a folder of the user's
    // own, readable by the user alone, where a day-old export is removed.
    qunsetenv("PARDEX_EXPORT_DIR");
    QTemporaryDir runtime;
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    const QString exports = runtime.filePath(QStringLiteral("pardex-exports"));
    QDir().mkpath(exports);
    QFile old(QDir(exports).filePath(QStringLiteral("old.xlsx")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
    old.close();
    searchChild<QPushButton>("cmdExcel")->click();
    qputenv("XDG_RUNTIME_DIR", runtimeBefore);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(QFileInfo(opened[0]).absolutePath(), exports);
    EXPECT_EQ(QFile::permissions(exports) & 0x0777, QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    EXPECT_EQ(QFile::permissions(opened[0]) & 0x0777, QFile::ReadUser | QFile::WriteUser);
    EXPECT_FALSE(old.exists());
    // Its name carries the day in the cashier's calendar.
    EXPECT_TRUE(QFileInfo(opened[0]).fileName().contains(PersianDate::today().replace(u'/', u'-')));
}

TEST(Workbook, ASoundContainerWithEveryTextAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.xlsx"));
    XlsxWorkbook book;
    ASSERT_TRUE(book.open(path));
    book.setColumnWidths({80, 166.67});
    book.beginRow();
    book.text("عنوان", XlsxWorkbook::Bold);
    book.text("a<b&c>\"d\"", XlsxWorkbook::Bold);
    book.endRow();
    // Many rows, so that the sheet passes through the compressor in pieces.
    for (int r = 0; r < 20000; ++r) {
        book.beginRow();
        book.number(static_cast<long long>(r), XlsxWorkbook::Grouped);
        if (r % 3 == 0)
            book.empty();
        else
            book.text(r % 2 ? std::string_view("tab\there") : std::string_view("\x01" "bell_x0041_"));
        book.endRow();
    }
    ASSERT_TRUE(book.close());

    const ProgramRun test = runProgram(QStringLiteral("unzip"), {QStringLiteral("-t"), path});
    EXPECT_EQ(test.exitCode, 0) << test.out.toStdString();
    const QString strings = zipMember(path, QStringLiteral("xl/sharedStrings.xml"));
    EXPECT_TRUE(strings.contains(QStringLiteral("a&lt;b&amp;c&gt;\"d\"")));
    EXPECT_TRUE(strings.contains(QStringLiteral("tab\there")));
    // A character XML cannot hold, and a text that looks like its escape.
    EXPECT_TRUE(strings.contains(QStringLiteral("_x0001_bell_x005F_x0041_")));
    EXPECT_TRUE(strings.contains(QStringLiteral("uniqueCount=\"4\"")));
    const QString sheet = zipMember(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<row r=\"20001\"><c s=\"2\"><v>19999</v></c>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<row r=\"2\"><c s=\"2\"><v>0</v></c><c/></row>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<col min=\"2\" max=\"2\" width=\"23.80859375\"")));
}
