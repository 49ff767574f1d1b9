#pragma once

#include <QString>

// Printing without a window: what scripts and the test host's --print-pdf use.
namespace ReportPrinting {

// The report printer's query for one cash receipt.
QString cashReceiptQuery(qint32 receiptId);

// Writes a cash receipt's report with the first template of its form type
// (lowest ID), found under the base paths in their order, to a PDF file.
// Uses the registered report printer and file-system object. Returns the
// reason in Persian when nothing was written, else an empty text.
QString printCashReceiptPdf(const QString &connectionString, qint32 receiptId, const QString &pdfPath);

} // namespace ReportPrinting
