// The test host: starts one Pardex1 control on the embedded demo database
// (or the connection given) and opens the cash receipt form.

#include "TestHostWindow.h"

#include "common/VbRuntime.h"
#include "core/VbError.h"
#include "host/Pardex1.h"
#include "platform/StandardComponents.h"
#include "receipt/frmRPDCashRec.h"
#include "report/PirelRpt.h"
#include "report/ReportPrinting.h"
#include "suite/SuiteDatabase.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace {

QString demoConnectionString()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString path = QDir(dir).filePath(QStringLiteral("demo.db"));
    if (!QFileInfo::exists(path)) {
        suite::CreateOptions options;
        options.demo = true;
        suite::createDatabase(path, options);
    }
    return QStringLiteral("Provider=SQLite;Data Source=") + path;
}

// --view ID --print-pdf FILE: the receipt's report as a PDF, no window.
int printReceiptPdf(const QString &connectionString, const QString &view, const QString &file)
{
    bool ok = false;
    const qint32 id = view.toInt(&ok);
    if (!ok || id == 0) {
        std::fprintf(stderr, "pardex: --print-pdf needs --view ID\n");
        return 2;
    }
    const QString error = ReportPrinting::printCashReceiptPdf(connectionString, id, file);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "pardex: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("report: %s\n", qPrintable(file));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Printing to a file needs no display.
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--print-pdf") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pardex"));
    QApplication::setLayoutDirection(Qt::RightToLeft);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Pardex test host"));
    parser.addHelpOption();
    const QCommandLineOption connection(QStringLiteral("connection"), QStringLiteral("OLE DB connection string"),
                                        QStringLiteral("STRING"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("user ID (default 486)"), QStringLiteral("ID"));
    const QCommandLineOption position(QStringLiteral("position"), QStringLiteral("position ID"), QStringLiteral("ID"));
    const QCommandLineOption employee(QStringLiteral("employee"), QStringLiteral("employee ID"), QStringLiteral("ID"));
    const QCommandLineOption view(QStringLiteral("view"), QStringLiteral("open on this receipt (View)"),
                                  QStringLiteral("ID"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("render the shown form to a PNG file and exit"),
                                        QStringLiteral("FILE"));
    parser.addOptions({connection, user, position, employee, view, screenshot});
    const QCommandLineOption printPdf(
        QStringLiteral("print-pdf"),
        QStringLiteral("with --view: write that receipt's report (first cash receipt template) to a PDF and exit"),
        QStringLiteral("FILE"));
    parser.addOption(printPdf);
    parser.process(app);

    registerStandardComponents();
    registerReportPrinter();
    if (parser.isSet(printPdf))
        return printReceiptPdf(parser.isSet(connection) ? parser.value(connection) : demoConnectionString(),
                               parser.value(view), parser.value(printPdf));

    TestHostWindow host;
    Pardex1 *control = host.control();
    try {
        control->setOLEConnectionString(parser.isSet(connection) ? parser.value(connection) : demoConnectionString());
        control->setUserID(parser.isSet(user) ? parser.value(user).toInt() : 486);
        if (parser.isSet(position))
            control->setPositionID(parser.value(position).toInt());
        if (parser.isSet(employee))
            control->setEmployeeID(parser.value(employee).toInt());
    } catch (const VbError &e) {
        std::fprintf(stderr, "pardex: %s\n", qPrintable(e.description()));
        return 2;
    }
    host.show();

    // The entry operation runs once the event loop is up, as a host's would.
    QTimer::singleShot(0, &host, [&] {
        runHandler([&] {
            if (parser.isSet(view))
                control->View(parser.value(view).toInt());
            else
                control->ClearShow();
        });
        if (!parser.isSet(screenshot))
            return;
        // Let the form lay itself out and the timer run once before the picture.
        QTimer::singleShot(400, &host, [&] {
            QWidget *form = frmRPDCashRec::hasInstance() && frmRPDCashRec::instance().isVisible()
                                ? static_cast<QWidget *>(&frmRPDCashRec::instance())
                                : static_cast<QWidget *>(&host);
            const bool saved = form->grab().save(parser.value(screenshot));
            std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot:" : "could not write",
                         qPrintable(parser.value(screenshot)));
            frmRPDCashRec::destroyInstance();
            app.exit(saved ? 0 : 1);
        });
    });
    const int rc = app.exec();
    frmRPDCashRec::destroyInstance();
    return rc;
}
