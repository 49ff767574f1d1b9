// Printing the shown receipt: the template dialog, then the report printer.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/Module.h"
#include "common/ProgIds.h"
#include "common/SharedServices.h"
#include "core/Vb.h"
#include "platform/FormShower.h"
#include "report/ReportPrinting.h"
#include "report/frmReport.h"

#include <QApplication>

namespace {

// The hourglass from the query to the report; the normal pointer comes back
// however the operation ends.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void frmRPDCashRec::cmdView_Click()
{
    const qint32 number = Vb::clng(Vb::val(ui->txtID->text()));
    if (number == 0)
        return;
    if (!rptPrint)
        rptPrint = ComponentRegistry::create(progids::ReportPrinter);
    QObject *printer = rptPrint.get();

    LateBound::set(printer, "ReportFile", QString());
    TemplateFilePath.clear();
    FormShower::showModal(&frmReport::instance());
    LateBound::set(printer, "ReportFile", TemplateFilePath);
    if (Vb::textOf(LateBound::get(printer, "ReportFile")).isEmpty())
        return;

    const BusyCursor busy;
    LateBound::set(printer, "ConnectString", Module::context().ConnectionString);
    LateBound::set(printer, "ReportQuery", ReportPrinting::cashReceiptQuery(number));
    LateBound::set(printer, "OutputTarget", qint32(0));
    ShowMessage(QStringLiteral("در حال چاپ"), QStringLiteral("لطفا دكمه ادامه را فشار دهيد."));
    LateBound::set(printer, "RunAction", qint16(1));
}

void frmRPDCashRec::mnuPrintView_Click()
{
    cmdView_Click();
}

void frmRPDCashRec::mnuPrint_Click()
{
    cmdView_Click();
}
