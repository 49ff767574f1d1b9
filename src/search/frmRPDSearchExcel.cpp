// The export of the result grid to a spreadsheet, opened with the desktop's
// handler for .xlsx files.

#include "search/frmRPDSearch.h"

#include "ui_frmRPDSearch.h"

#include "common/SharedServices.h"
#include "search/FlexGrid.h"
#include "search/ResultTable.h"
#include "search/SpreadsheetExport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <unistd.h>
#include <QUrl>

namespace {

// Opens the workbook with the desktop's program for spreadsheets; false
// when there is none. Starting the desktop's opener succeeds whether or not
// anything can open the file, so the desktop is asked first.
bool openWithDesktop(const QString &path)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    QProcess mime;
    mime.start(QStringLiteral("xdg-mime"),
               {QStringLiteral("query"), QStringLiteral("default"),
                QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!mime.waitForFinished(5000) || mime.exitStatus() != QProcess::NormalExit || mime.exitCode() != 0
        || mime.readAllStandardOutput().trimmed().isEmpty())
        return false;
#endif
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

frmRPDSearch::Opener &opener()
{
    static frmRPDSearch::Opener current = openWithDesktop;
    return current;
}

int g_progressDelay = 1000;

// Exports hold the company's receipts: they go into a folder of the user's
// own, readable by the user alone, and last a day. An administrator's
// PARDEX_EXPORT_DIR wins, and what is there is left alone.
QString exportFolder()
{
    const QString named = qEnvironmentVariable("PARDEX_EXPORT_DIR");
    if (!named.isEmpty())
        return named;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString base = !runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable()
                             ? runtime
                             : QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    QString folder = QDir(base).filePath(QStringLiteral("pardex-exports"));
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A folder another account owns, or that others may enter, is not used:
    // a new private one is made instead (mkdtemp makes it 0700).
    const QFileInfo info(folder);
    if (!info.isDir() || info.ownerId() != ::getuid()
        || (QFile::permissions(folder) & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                          | QFile::WriteOther | QFile::ExeOther))) {
        QTemporaryDir own(QDir(QDir::tempPath()).filePath(QStringLiteral("pardex-exports-XXXXXX")));
        own.setAutoRemove(false);
        return own.path();
    }
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    for (const QFileInfo &old : QDir(folder).entryInfoList({QStringLiteral("*.xlsx")}, QDir::Files | QDir::Hidden))
        if (old.lastModified() < dayAgo)
            QFile::remove(old.filePath());
    return folder;
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
    const QString path = SpreadsheetExport::newWorkbookPath(exportFolder());

    // Shown only when the export runs longer than about a second; it covers
    // the rows of the search still being read, and Cancel stops either.
    QProgressDialog progress(QStringLiteral("خواندن نتيجه جستجو..."), QStringLiteral("انصراف"), 0, 0, this);
    progress.setObjectName(QStringLiteral("prgExcel"));
    progress.setWindowTitle(QStringLiteral("انتقال به اكسل"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(g_progressDelay);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QElapsedTimer clock;
    clock.start();
    // What the cashier sees is the whole result, rows still arriving included.
    while (grid->readMore(50)) {
        if (!progress.isVisible() && clock.elapsed() >= g_progressDelay)
            progress.show();
        progress.setLabelText(QStringLiteral("خواندن نتيجه جستجو... %1 رديف")
                                  .arg(FormatThousands(QString::number(grid->table().rowCount()), QStringLiteral("/"))));
        // Until the dialog shows, nothing the cashier does reaches the form.
        QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
        if (progress.wasCanceled()) {
            grid->resumeLoading();
            return;
        }
    }
    showTotals();

    QVector<int> widths;
    for (int c = 0; c < grid->Cols(); ++c)
        widths << grid->ColWidth(c);
    progress.setLabelText(QStringLiteral("انتقال نتيجه جستجو به اكسل..."));
    progress.setRange(0, qMax(1, grid->table().rowCount()));
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
