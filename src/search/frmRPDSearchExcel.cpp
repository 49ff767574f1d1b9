// The export of the result grid to a spreadsheet, opened with the desktop's
// handler for .xlsx files.

#include "search/frmRPDSearch.h"

#include "ui_frmRPDSearch.h"

#include "common/SharedServices.h"
#include "search/SpreadsheetExport.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QUrl>

namespace {

frmRPDSearch::Opener &opener()
{
    static frmRPDSearch::Opener current = [](const QString &path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return current;
}

int g_progressDelay = 1000;

QString exportFolder()
{
    const QString named = qEnvironmentVariable("PARDEX_EXPORT_DIR");
    return named.isEmpty() ? QDir::tempPath() : named;
}

} // namespace

namespace {
// A path read left to right inside a right-to-left message, whatever its
// own letters: isolated, or its separators and Persian name fall apart.
QString isolated(const QString &path)
{
    return QChar(0x2066) + path + QChar(0x2069);
}
} // namespace

void frmRPDSearch::setOpener(Opener open)
{
    opener() = std::move(open);
}

void frmRPDSearch::setExportProgressDelay(int milliseconds)
{
    g_progressDelay = milliseconds;
}

void frmRPDSearch::cmdExcel_Click()
{
    FlexGrid *grid = ui->flxCashPay;
    // What the cashier sees is the whole result, rows still arriving included.
    grid->finishLoading();

    QVector<int> widths;
    for (int c = 0; c < grid->Cols(); ++c)
        widths << grid->ColWidth(c);
    const QString path = SpreadsheetExport::newWorkbookPath(exportFolder());

    // Shown only when the export runs longer than about a second.
    QProgressDialog progress(QStringLiteral("انتقال نتيجه جستجو به اكسل..."), QStringLiteral("انصراف"), 0,
                             qMax(1, grid->table().rowCount()), this);
    progress.setObjectName(QStringLiteral("prgExcel"));
    progress.setWindowTitle(QStringLiteral("انتقال به اكسل"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(g_progressDelay);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    const SpreadsheetExport::Outcome outcome =
        SpreadsheetExport::write(grid->table(), widths, path, [&progress](int done, int) {
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    progress.hide();

    switch (outcome.status) {
    case SpreadsheetExport::Outcome::Cancelled:
        return;
    case SpreadsheetExport::Outcome::Failed:
        ShowMessage(QStringLiteral("خطا"),
                    QStringLiteral("انتقال به اكسل انجام نشد: %1.\nپوشه: %2")
                        .arg(outcome.error, isolated(QDir::toNativeSeparators(QFileInfo(path).absolutePath()))));
        return;
    case SpreadsheetExport::Outcome::Written:
        break;
    }
    if (!opener()(path))
        ShowMessage(QStringLiteral("خطا"),
                    QStringLiteral("فايل اكسل ساخته شد اما برنامه اي براي باز كردن آن پيدا نشد.\nفايل در اين مسير است: %1")
                        .arg(isolated(QDir::toNativeSeparators(path))));
}
