// The test host: starts one Pardex1 control on the embedded demo database
// (or the connection given) and opens the cash receipt form.

#include "TestHostWindow.h"

#include "common/VbRuntime.h"
#include "core/VbError.h"
#include "host/Bootstrap.h"
#include "host/Pardex1.h"
#include "platform/ZintelMsgBox.h"
#include "receipt/frmRPDCashRec.h"
#include "report/ReportPrinting.h"
#include "suite/SuiteDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QPainter>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

// A message box met while rendering screens: its picture and what it said.
struct ShownBox
{
    QImage picture;
    QString title;
    QString message;
};

// The picture of a window with the last box shown over its middle, as the
// user would have seen them.
QImage compose(QWidget *window, const QVector<ShownBox> &boxes)
{
    QImage image = window->grab().toImage();
    if (boxes.isEmpty())
        return image;
    const QImage &box = boxes.last().picture;
    if (box.width() > image.width() || box.height() > image.height()) {
        QImage larger(image.size().expandedTo(box.size() + QSize(40, 40)), QImage::Format_ARGB32);
        larger.fill(QColor(0xd8, 0xbe, 0xc4));
        QPainter(&larger).drawImage(0, 0, image);
        image = larger;
    }
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(0, 0, 0, 60));
    painter.drawImage((image.width() - box.width()) / 2, (image.height() - box.height()) / 2, box);
    return image;
}

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
    QCoreApplication::setApplicationName(QStringLiteral("pardex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PARDEX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Opens the cash receipt form of the Pardex accounting suite for one cashier.\n"
                       "Without --connection it works on the user's own demo database, which is\n"
                       "created on the first run."));
    // Qt's own options (--help-all) are not offered: the arguments are read
    // before the window system's application exists.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
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
    // screen, when one is open).
    const QCommandLineOption press(QStringLiteral("press"),
                                   QStringLiteral("press a button of the receipt form (cmdAccTrans, cmdCashLedger, "
                                                  "mnuCashTurn, mnuNewAccounts, ...)"),
                                   QStringLiteral("NAME"));
    const QCommandLineOption printPdf(
        QStringLiteral("print-pdf"),
        QStringLiteral("with --view: write that receipt's report (first cash receipt template) to a PDF and exit"),
        QStringLiteral("FILE"));
    parser.addOptions({connection, user, position, employee, view, screenshot, press, printPdf});
    // Qt's own options (-platform xcb, -style, -session of a restored
    // session, ...), which the window system's application takes later.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
                             "qwindowtitle", "title", "qwindowicon", "icon", "style", "stylesheet", "session",
                             "display", "name"}) {
        QCommandLineOption qt(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption qt(QString::fromLatin1(name));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    // Help, version and wrong arguments need no display, and are answered
    // in one language before Qt's Persian translations are installed.
    {
        QCoreApplication commandLine(argc, argv);
        if (!parser.parse(QCoreApplication::arguments())) {
            std::fprintf(stderr, "pardex: %s\nTry 'pardex --help'.\n", qPrintable(parser.errorText()));
            return 2;
        }
        if (!parser.positionalArguments().isEmpty()) {
            std::fprintf(stderr, "pardex: unexpected argument '%s'\nTry 'pardex --help'.\n",
                         qPrintable(parser.positionalArguments().constFirst()));
            return 2;
        }
        if (parser.isSet(help))
            parser.showHelp(0);
        if (parser.isSet(version))
            parser.showVersion();
    }

    // Printing to a file or a picture needs no display.
    if ((parser.isSet(printPdf) || parser.isSet(screenshot)) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setLayoutDirection(Qt::RightToLeft);
    // The menu entry's name, so that the desktop matches the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("ir.pardex.Pardex"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("pardex")));
    // Qt's own windows (print, page set-up, file dialogs) in Persian.
    QTranslator qtPersian;
    if (qtPersian.load(QLocale(QLocale::Persian, QLocale::Iran), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtPersian);

    registerPlatform();
    if (parser.isSet(printPdf))
        return printReceiptPdf(parser.isSet(connection) ? parser.value(connection) : demoConnectionString(),
                               parser.value(view), parser.value(printPdf));

    // Rendering screens must never wait for a click: a message box is
    // rendered into the picture and its text printed.
    QVector<ShownBox> boxes;
    if (parser.isSet(screenshot))
        ZintelMsgBox::setUnattended([&boxes](QWidget *box, const QString &title, const QString &message) {
            // The title bar is the window system's; draw the title above the box.
            const QImage body = box->grab().toImage();
            const int strip = 26;
            QImage picture(body.width(), body.height() + strip, QImage::Format_ARGB32);
            picture.fill(QColor(0x7d, 0x59, 0x63));
            QPainter painter(&picture);
            painter.drawImage(0, strip, body);
            painter.setPen(Qt::white);
            painter.setFont(box->font());
            painter.drawText(QRect(8, 0, body.width() - 16, strip), Qt::AlignRight | Qt::AlignVCenter, title);
            painter.end();
            boxes.push_back({picture, title, message});
            std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(message));
        });

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
            // The form not shown means the entry was refused or failed.
            const bool formShown = frmRPDCashRec::hasInstance() && frmRPDCashRec::instance().isVisible();
            // A window a press opened (a sibling component's screen) is the picture.
            QWidget *modal = QApplication::activeModalWidget();
            QWidget *window = modal       ? modal
                              : formShown ? static_cast<QWidget *>(&frmRPDCashRec::instance())
                                          : static_cast<QWidget *>(&host);
            const bool saved = compose(window, boxes).save(parser.value(screenshot));
            std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot:" : "could not write",
                         qPrintable(parser.value(screenshot)));
            exitCode = !saved ? 1 : formShown ? 0 : 3;
            QTimer::singleShot(0, &host, leave);
        });
    });
    const int rc = app.exec();
    frmRPDCashRec::destroyInstance();
    return rc;
}
