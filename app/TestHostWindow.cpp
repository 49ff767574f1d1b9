#include "TestHostWindow.h"

#include "host/Pardex1.h"
#include "platform/Look.h"
#include "receipt/frmRPDCashRec.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

TestHostWindow::TestHostWindow(QWidget *parent) : QMainWindow(parent), m_control(new Pardex1(this))
{
    setObjectName(QStringLiteral("frmTest"));
    setWindowTitle(QStringLiteral("Pardex - ميزبان آزمايشي"));
    Look::applyFormLook(this);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *note = new QLabel(QStringLiteral("كنترل دريافت نقدي (Pardex.Pardex1)"), central);
    layout->addWidget(note);
    layout->addWidget(m_control);
    layout->addStretch();
    m_control->setObjectName(QStringLiteral("Pardex11"));
    setCentralWidget(central);
    resize(420, 120);
}

void TestHostWindow::closeEvent(QCloseEvent *event)
{
    if (frmRPDCashRec::hasInstance() && frmRPDCashRec::instance().isVisible()) {
        frmRPDCashRec::instance().close();
        if (frmRPDCashRec::instance().isVisible()) {
            event->ignore();
            return;
        }
    }
    event->accept();
    QApplication::quit();
}
