// The test host: starts one Pardex1 control on the embedded demo database
// (or the connection given) and opens the cash receipt form.

#include "TestHostWindow.h"

#include "common/VbRuntime.h"
#include "core/VbError.h"
#include "host/Pardex1.h"
#include "platform/StandardComponents.h"
#include "receipt/frmRPDCashRec.h"
#include "suite/SuiteDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <functional>

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

} // namespace

int main(int argc, char **argv)
{
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
    // A button of the receipt form pressed once the form is shown; with
    // --screenshot the window on top is rendered (a sibling component's
    // screen or a message box, when one is open).
    const QCommandLineOption press(QStringLiteral("press"),
                                   QStringLiteral("press a button of the receipt form (cmdAccTrans, cmdCashLedger, "
                                                  "mnuCashTurn, mnuNewAccounts, ...)"),
                                   QStringLiteral("NAME"));
    parser.addOptions({connection, user, position, employee, view, screenshot, press});
    parser.process(app);

    registerStandardComponents();

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

    // After the picture: a modal window is closed first, so that the press
    // that opened it returns before the form goes.
    int exitCode = 0;
    std::function<void()> leave = [&] {
        if (QWidget *open = QApplication::activeModalWidget()) {
            open->close();
            QTimer::singleShot(50, &host, leave);
            return;
        }
        frmRPDCashRec::destroyInstance();
        app.exit(exitCode);
    };

    // The entry operation runs once the event loop is up, as a host's would.
    QTimer::singleShot(0, &host, [&] {
        runHandler([&] {
            if (parser.isSet(view))
                control->View(parser.value(view).toInt());
            else
                control->ClearShow();
        });
        // After the form's timer has set its buttons once.
        if (parser.isSet(press))
            QTimer::singleShot(300, &host, [&] {
                auto *button = frmRPDCashRec::hasInstance()
                                   ? frmRPDCashRec::instance().findChild<QAbstractButton *>(parser.value(press))
                                   : nullptr;
                if (button)
                    button->click();
                else
                    std::fprintf(stderr, "pardex: no button %s\n", qPrintable(parser.value(press)));
            });
        if (!parser.isSet(screenshot))
            return;
        // Let the form lay itself out and the timer run once before the picture.
        QTimer::singleShot(parser.isSet(press) ? 1500 : 400, &host, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QWidget *form = modal                                                          ? modal
                            : frmRPDCashRec::hasInstance() && frmRPDCashRec::instance().isVisible()
                                ? static_cast<QWidget *>(&frmRPDCashRec::instance())
                                : static_cast<QWidget *>(&host);
            const bool saved = form->grab().save(parser.value(screenshot));
            std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot:" : "could not write",
                         qPrintable(parser.value(screenshot)));
            exitCode = saved ? 0 : 1;
            QTimer::singleShot(0, &host, leave);
        });
    });
    const int rc = app.exec();
    frmRPDCashRec::destroyInstance();
    return rc;
}
