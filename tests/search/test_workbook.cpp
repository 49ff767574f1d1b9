// The workbook writer on its own: a container any zip reader accepts, and
// texts that reach the sheet as they were, whatever characters they hold.

#include "search/XlsxWorkbook.h"
#include "support/Programs.h"

#include <QTemporaryDir>

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
