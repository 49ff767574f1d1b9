// Saves new receipts finally, one after another, through the receipt form,
// until it is killed (the other side of the test that kills it at random
// moments) or, given a count, until it has saved that many (one of several
// cashiers saving at once). Usage: save_loop CONNECTION-STRING [COUNT]
// Prints the number of each receipt it saved.

#include "common/ComponentRegistry.h"
#include "common/Module.h"
#include "controls/FarvoPicker.h"
#include "host/Pardex1.h"
#include "receipt/frmRPDCashRec.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

namespace {
// No one answers: every box is acknowledged at once.
class SilentBox : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant FormTitle MEMBER m_title)
    Q_PROPERTY(QString FormMessage MEMBER m_message)
    Q_PROPERTY(qint16 FormType MEMBER m_type)
    Q_PROPERTY(qint16 Resualt MEMBER m_result)
public:
    Q_INVOKABLE void ClearShow() { std::fprintf(stderr, "message: %s\n", qPrintable(m_message)); }

private:
    QVariant m_title;
    QString m_message;
    qint16 m_type = 0;
    qint16 m_result = 1;
};
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    ComponentRegistry::registerComponent(QStringLiteral("Zintel.ZintelMSG"), [] { return new SilentBox; });
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
            return 3;
        amount->setText(QString::number(1000 * i));
        account->setAccountID(110301 + i % 5);
        form.cmdSave_Click();
        if (Module::context().FormMode != ModeViewFinal)
            return 4;
        std::printf("%d\n", form.CurrentReceiptID);
        std::fflush(stdout);
    }
    return 0;
}

#include "save_loop.moc"
