#include "report/ReportPrinting.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "core/RowSet.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"
#include "platform/FileSystemObject.h"
#include "report/PirelRpt.h"
#include "report/frmReport.h"

namespace ReportPrinting {

QString cashReceiptQuery(qint32 receiptId)
{
    return QStringLiteral("SELECT   * From vwRecPayCashTurnDetail Where ID =") + QString::number(receiptId);
}

QString printCashReceiptPdf(const QString &connectionString, qint32 receiptId, const QString &pdfPath)
{
    try {
        Connection connection(connectionString);
        connection.setRecorded(false);
        const RowSet templates = connection.execute(
            QStringLiteral("Select * From tblOmberReportTemplate Where FormTypeID = %1 Order By ID")
                .arg(frmReport::CashReceiptFormType));
        if (templates.rows.isEmpty())
            return QStringLiteral("قالب گزارشي براي دريافت نقدي تعريف نشده است.");
        const qsizetype pathColumn = templates.columns.indexOf(QStringLiteral("FilePath"));
        const QString filePath = Vb::textOf(templates.rows.first().value(pathColumn));

        const RowSet basePaths = connection.execute(QStringLiteral("Select * From vwOmberBasePath Order By ID "));
        const qsizetype baseColumn = basePaths.columns.indexOf(QStringLiteral("BasePath"));
        std::unique_ptr<QObject> fileSystem = ComponentRegistry::create(QLatin1String(FileSystemObject::ProgId));
        QString templateFile;
        for (const auto &row : basePaths.rows) {
            const QString candidate = Vb::textOf(row.value(baseColumn)) + filePath;
            if (LateBound::call(fileSystem.get(), "FileExists", {candidate}).toBool()) {
                templateFile = candidate;
                break;
            }
        }
        if (templateFile.isEmpty())
            return QStringLiteral("در هيچ يك از مسيرهاي مشخص شده در پايگاه داده فايل الگوي چاپ وجود ندارد.");

        std::unique_ptr<QObject> printer = ComponentRegistry::create(QLatin1String(PirelRpt::ProgId));
        QObject *p = printer.get();
        LateBound::set(p, "ShowErrors", false);
        LateBound::set(p, "ReportFile", templateFile);
        LateBound::set(p, "ConnectString", connectionString);
        LateBound::set(p, "ReportQuery", cashReceiptQuery(receiptId));
        LateBound::set(p, "OutputTarget", qint32(PirelRpt::PdfFile));
        LateBound::set(p, "OutputFile", pdfPath);
        LateBound::set(p, "RunAction", qint16(PirelRpt::Produce));
        return Vb::textOf(LateBound::get(p, "ErrorText"));
    } catch (const VbError &e) {
        return e.description();
    }
}

} // namespace ReportPrinting
