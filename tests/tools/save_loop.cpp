// Saves new receipts finally, one after another, through the receipt form,
// until it is killed (the other side of the test that kills it at random
// moments) or, given a count, until it has saved that many (one of several
// cashiers saving at once). Usage: save_loop CONNECTION-STRING [COUNT]
// Prints the number of each receipt it saved.

#include "common/Module.h"
#include "controls/FarvoPicker.h"
#include "host/Pardex1.h"
#include "receipt/frmRPDCashRec.h"
#include "support/ScriptedMessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

// The boxes of a failed save, for the test that started it.
int failed(int status)
{
    for (const QString &message : ScriptedMessageBox::messages())
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    return status;
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    ScriptedMessageBox::install(); // no one answers: every box is acknowledged
    Pardex1 host;
    host.setOLEConnectionString(QString::fromUtf8(argv[1]));
    host.setUserID(486);
    host.ClearShow();
    frmRPDCashRec &form = frmRPDCashRec::instance();
    auto *amount = form.findChild<QLineEdit *>(QStringLiteral("txtRec"));
    auto *account = form.findChild<FarvoPicker *>(QStringLiteral("TlvAccPicker"));
    const int count = argc > 2 ? std::atoi(argv[2]) : 0;
    for (int i = 1; count <= 0 || i <= count; ++i) {
        form.cmdNew_Click();
        if (Module::context().FormMode != ModeNew)
            return failed(3);
        amount->setText(QString::number(1000 * i));
        account->setAccountID(110301 + i % 5);
        form.cmdSave_Click();
        if (Module::context().FormMode != ModeViewFinal)
            return failed(4);
        std::printf("%d\n", form.CurrentReceiptID);
        std::fflush(stdout);
    }
    return 0;
}

