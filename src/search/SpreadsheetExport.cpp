#include "search/SpreadsheetExport.h"

#include "search/ResultTable.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>
#include <xlsxwriter.h>

namespace SpreadsheetExport {

namespace {

// The most rows a sheet holds, the title row included.
constexpr int MaxSheetRows = 1048576;

// Width in characters of the default font for a width in twips
// (7 pixels a character and 5 of padding).
double charactersFor(int twips)
{
    const double pixels = twips / 15.0;
    return pixels > 5 ? (pixels - 5) / 7.0 : 0;
}

QString describe(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
        return QStringLiteral("فايل ساخته نشد (پوشه وجود ندارد يا اجازه نوشتن در آن نيست)");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return QStringLiteral("نوشتن فايل ناتمام ماند (ممكن است جاي خالي ديسك تمام شده باشد)");
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("حافظه كافي نيست");
    default:
        return QString::fromUtf8(lxw_strerror(error));
    }
}

Outcome failed(const QString &error)
{
    return {Outcome::Failed, error};
}

} // namespace

QString newWorkbookPath(const QString &folder)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
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
            return failed(describe(LXW_ERROR_CREATING_XLSX_FILE));
        probe.close();
        probe.remove();
    }

    // Rows go straight to a temporary file rather than piling up in memory.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    const QByteArray partialName = QFile::encodeName(partial);
    lxw_workbook *book = workbook_new_opt(partialName.constData(), &options);
    if (!book)
        return failed(describe(LXW_ERROR_MEMORY_MALLOC_FAILED));
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    worksheet_right_to_left(sheet);
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format *amount = workbook_add_format(book);
    format_set_num_format(amount, "#,##0");

    for (int c = 0; c < columns; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), charactersFor(widthsTwips.value(c, 1000)), nullptr);

    std::string text;
    lxw_error error = LXW_NO_ERROR;
    for (int c = 0; c < columns && !error; ++c) {
        text = table.title(c).toStdString();
        error = worksheet_write_string(sheet, 0, lxw_col_t(c), text.c_str(), bold);
    }
    QVector<lxw_format *> numberFormat(columns, nullptr);
    for (int c = 0; c < columns; ++c)
        if (table.isMoney(c))
            numberFormat[c] = amount;

    for (int r = 0; r < rows && !error; ++r) {
        const lxw_row_t row = lxw_row_t(r + 1);
        for (int c = 0; c < columns && !error; ++c) {
            switch (table.kind(r, c)) {
            case ResultTable::Kind::Null:
                break;
            case ResultTable::Kind::Integer:
                error = worksheet_write_number(sheet, row, lxw_col_t(c), double(table.integer(r, c)), numberFormat[c]);
                break;
            case ResultTable::Kind::Real:
                error = worksheet_write_number(sheet, row, lxw_col_t(c), table.real(r, c), numberFormat[c]);
                break;
            case ResultTable::Kind::Text: {
                const std::string_view bytes = table.utf8(r, c);
                text.assign(bytes.data(), bytes.size());
                error = worksheet_write_string(sheet, row, lxw_col_t(c), text.c_str(), nullptr);
                break;
            }
            }
        }
        if (progress && (r & 255) == 255 && !progress(r + 1, rows)) {
            // Nothing has reached the disk under any name but the library's
            // own temporary file, which goes with the workbook.
            lxw_workbook_free(book);
            QFile::remove(partial);
            return {Outcome::Cancelled, QString()};
        }
    }
    if (error) {
        lxw_workbook_free(book);
        QFile::remove(partial);
        return failed(describe(error));
    }
    error = workbook_close(book);
    if (error) {
        QFile::remove(partial);
        return failed(describe(error));
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
