#pragma once

#include <QString>
#include <QVector>
#include <functional>

class ResultTable;

// Writes a result, title row first, into a new .xlsx workbook: the sheet
// reads right to left, titles are bold, widths follow the grid's, numbers
// are numeric cells (amounts grouped by threes), texts are texts. The
// workbook is written under a hidden temporary name in the same folder and
// renamed when complete, so the final name never holds a half-written file.
namespace SpreadsheetExport {

struct Outcome
{
    enum Status { Written, Cancelled, Failed } status = Failed;
    // Failed: what went wrong, in Persian.
    QString error;
};

// Called every few hundred rows with the rows written so far; false cancels.
using Progress = std::function<bool(int done, int total)>;

Outcome write(const ResultTable &table, const QVector<int> &widthsTwips, const QString &path,
              const Progress &progress = {});

// A name for a new workbook in folder that no file has yet.
QString newWorkbookPath(const QString &folder);

} // namespace SpreadsheetExport
