#include "search/SpreadsheetExport.h"

#include "search/ResultTable.h"

#include "core/PersianDate.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>
#include "search/XlsxWorkbook.h"

namespace SpreadsheetExport {

namespace {

// The most rows a sheet holds, the title row included.
constexpr int MaxSheetRows = 1048576;

Outcome failed(const QString &error)
{
    return {Outcome::Failed, error};
}

} // namespace

QString newWorkbookPath(const QString &folder)
{
    // The cashier's own calendar, with "-" where a file name cannot hold "/".
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = PersianDate::fromDate(now.date()).replace(u'/', u'-') + u' '
                          + now.toString(QStringLiteral("HH-mm-ss"));
    const QDir dir(folder);
    QString path = dir.filePath(QStringLiteral("جستجوي دريافت نقدي %1.xlsx").arg(stamp));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("جستجوي دريافت نقدي %1 (%2).xlsx").arg(stamp).arg(n));
    return path;
}

Outcome write(const ResultTable &table, const QVector<int> &widthsTwips, const QString &path,
              const Progress &progress)
{
    const int rows = table.rowCount();
    const int columns = table.columnCount();
    if (rows + 1 > MaxSheetRows)
        return failed(QStringLiteral("تعداد رديف ها (%1) بيش از گنجايش يك برگ اكسل است").arg(rows));

    const QFileInfo target(path);
    const QString partial = target.dir().filePath(QStringLiteral(".") + target.fileName() + QStringLiteral(".partial"));
    // Fails at once, before any row is written, when the folder cannot take the file.
    {
        QFile probe(partial);
        if (!probe.open(QIODevice::WriteOnly))
            return failed(QStringLiteral("فايل ساخته نشد (پوشه وجود ندارد يا اجازه نوشتن در آن نيست)"));
        probe.close();
        probe.remove();
    }

    // Rows go straight into the file as they are written, compressed on the
    // way: nothing piles up in memory but the table of distinct texts.
    XlsxWorkbook book;
    if (!book.open(partial))
        return failed(QStringLiteral("فايل ساخته نشد (پوشه وجود ندارد يا اجازه نوشتن در آن نيست)"));
    // The company's receipts: readable by their owner alone, from the start.
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner);
    QVector<double> widths;
    for (int c = 0; c < columns; ++c)
        widths << widthsTwips.value(c, 1000) / 15.0;
    book.setColumnWidths(widths);

    std::string text;
    book.beginRow();
    for (int c = 0; c < columns; ++c) {
        text = table.title(c).toStdString();
        book.text(text, XlsxWorkbook::Bold);
    }
    book.endRow();
    QVector<XlsxWorkbook::Style> numberStyle(columns, XlsxWorkbook::Plain);
    for (int c = 0; c < columns; ++c)
        if (table.isMoney(c))
            numberStyle[c] = XlsxWorkbook::Grouped;

    for (int r = 0; r < rows && !book.failed(); ++r) {
        book.beginRow();
        for (int c = 0; c < columns; ++c) {
            switch (table.kind(r, c)) {
            case ResultTable::Kind::Null:
                book.empty();
                break;
            case ResultTable::Kind::Integer:
                book.number(table.integer(r, c), numberStyle[c]);
                break;
            case ResultTable::Kind::Real:
                book.number(table.real(r, c), numberStyle[c]);
                break;
            case ResultTable::Kind::Text:
                book.text(table.utf8(r, c));
                break;
            }
        }
        book.endRow();
        if (progress && (r & 255) == 255 && !progress(r + 1, rows)) {
            // Nothing has reached the disk under the final name.
            QFile::remove(partial);
            return {Outcome::Cancelled, QString()};
        }
    }
    if (!book.close()) {
        QFile::remove(partial);
        return failed(QStringLiteral("نوشتن فايل ناتمام ماند (ممكن است جاي خالي ديسك تمام شده باشد)"));
    }
    if (progress)
        progress(rows, rows);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return failed(QStringLiteral("فايل با نام نهايي ذخيره نشد"));
    }
    return {Outcome::Written, QString()};
}

} // namespace SpreadsheetExport
