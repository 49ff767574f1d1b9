#include "report/ReportPrinting.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/ProgIds.h"
#include "core/RowSet.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"
#include "report/PirelRpt.h"
#include "suite/Identifiers.h"

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
        const RowSet templates =
            connection.execute(QStringLiteral("Select * From tblOmberReportTemplate Where FormTypeID = ? Order By ID"),
                               {ids::FormCashReceipt});
        if (templates.rows.isEmpty())
            return QStringLiteral("قالب گزارشي براي دريافت نقدي تعريف نشده است.");
        // Names as any engine spells them (a server folds them to lower case).
        const auto column = [](const RowSet &rows, const char *name) {
            for (qsizetype i = 0; i < rows.columns.size(); ++i)
                if (rows.columns[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                    return i;
            return qsizetype(-1);
        };
        const qsizetype pathColumn = column(templates, "FilePath");
        const QString filePath = Vb::textOf(templates.rows.first().value(pathColumn));

        const RowSet basePaths = connection.execute(QStringLiteral("Select * From vwOmberBasePath Order By ID "));
        const qsizetype baseColumn = column(basePaths, "BasePath");
        std::unique_ptr<QObject> fileSystem = ComponentRegistry::create(progids::FileSystem);
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

        std::unique_ptr<QObject> printer = ComponentRegistry::create(progids::ReportPrinter);
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
