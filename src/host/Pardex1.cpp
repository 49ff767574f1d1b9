#include "host/Pardex1.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/Module.h"
#include "common/ProgIds.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberSelector.h"
#include "core/Vb.h"
#include "data/DtEn.h"
#include "host/Bootstrap.h"
#include "host/PropertyBag.h"
#include "platform/FormShower.h"
#include "platform/Look.h"
#include "receipt/frmRPDCashRec.h"
#include "search/frmRPDSearch.h"
#include "suite/Identifiers.h"

#include <QHBoxLayout>
#include <QPushButton>

Pardex1::Pardex1(QWidget *parent) : QWidget(parent)
{
    // What the control creates by identifier, for any host embedding it.
    registerPlatform();
    setObjectName(QStringLiteral("Pardex1"));
    Look::applyFormLook(this);
    auto *clearShow = new QPushButton(QStringLiteral("ClearShow"), this);
    clearShow->setObjectName(QStringLiteral("cmdClearShow"));
    auto *builder = new QPushButton(QStringLiteral("OLE Connection Creator"), this);
    builder->setObjectName(QStringLiteral("Command2"));
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(clearShow);
    layout->addWidget(builder);
    connect(clearShow, &QPushButton::clicked, this, [this] { runHandler([this] { cmdClearShow_Click(); }); });
    connect(builder, &QPushButton::clicked, this, [this] { runHandler([this] { Command2_Click(); }); });
}

void Pardex1::setSmall(qint16 &member, int value, const char *name)
{
    member = Vb::cint(double(value));
    Q_EMIT PropertyChanged(QLatin1String(name));
}

void Pardex1::setUserID(int value)
{
    setSmall(m_userId, value, "UserID");
}

void Pardex1::setPositionID(int value)
{
    setSmall(m_positionId, value, "PositionID");
}

void Pardex1::setEmployeeID(int value)
{
    setSmall(m_employeeId, value, "EmployeeID");
}

void Pardex1::setOLEConnectionString(const QString &value)
{
    m_connectionString = value;
    Q_EMIT PropertyChanged(QStringLiteral("OLEConnectionString"));
}

void Pardex1::InitProperties()
{
    m_userId = 0;
    m_positionId = 0;
    m_employeeId = 0;
    m_connectionString = QStringLiteral("0");
}

void Pardex1::ReadProperties(const PropertyBag &bag)
{
    m_userId = Vb::cint(bag.ReadProperty(QStringLiteral("UserID"), 0));
    m_positionId = Vb::cint(bag.ReadProperty(QStringLiteral("PositionID"), 0));
    m_connectionString = Vb::textOf(bag.ReadProperty(QStringLiteral("OLEConnectionString"), QStringLiteral("0")));
    m_employeeId = Vb::cint(bag.ReadProperty(QStringLiteral("EmployeeID"), 0));
}

void Pardex1::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("UserID"), int(m_userId), 0);
    bag.WriteProperty(QStringLiteral("PositionID"), int(m_positionId), 0);
    bag.WriteProperty(QStringLiteral("OLEConnectionString"), m_connectionString, QStringLiteral("0"));
    bag.WriteProperty(QStringLiteral("EmployeeID"), int(m_employeeId), 0);
}

void Pardex1::ClearShow()
{
    enter(ModeEmpty, nullptr);
}

void Pardex1::View(qint32 ID)
{
    enter(ModeViewFinal, &ID);
}

void Pardex1::enter(qint32 mode, const qint32 *receiptId)
{
    UserContext &context = Module::context();
    context.FormMode = mode;
    context.UserID = m_userId;
    context.PositionID = m_positionId;
    context.EmployeeID = m_employeeId;
    context.ConnectionString = m_connectionString;

    OpenConnection();

    frmRPDCashRec &receipt = frmRPDCashRec::instance();
    if (receiptId)
        receipt.CurrentReceiptID = *receiptId;

    // The first touch of a control loads the form. A form still loaded from
    // an earlier entry (shown modeless, or hidden after a refused right) is
    // loaded again, so that its fields and controls follow the new mode.
    if (receipt.isLoaded())
        receipt.reload();
    receipt.mptContracts()->setConnectionString(context.ConnectionString);
    receipt.TlvAccPicker()->setConnectionString(context.ConnectionString);
    receipt.TlvAccPicker()->setPrepared(true);
    // The search form: its first touch loads it, without showing it.
    frmRPDSearch &search = frmRPDSearch::instance();
    search.mptOpenerUser()->setConnectionString(context.ConnectionString);
    search.mptContracts()->setConnectionString(context.ConnectionString);
    search.TlvAccAccount()->setConnectionString(context.ConnectionString);
    search.TlvAccAccount()->setPrepared(true);
    search.TlvAccSecondAccount()->setConnectionString(context.ConnectionString);
    search.TlvAccSecondAccount()->setPrepared(true);
    search.TlvAccSecondAccount()->setPositionID(context.PositionID);
    receipt.TlvAccPicker()->setPositionID(context.PositionID);
    search.TlvAccAccount()->setPositionID(context.PositionID);

    if (Module::dtEn().spOmberHasPermission(context.UserID, ids::RightCashReceiptForm) == 0) {
        // A form still on screen from an earlier entry is not the refused
        // user's to use: it stays loaded, out of sight.
        receipt.hide();
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."));
        return;
    }
    try {
        FormShower::showModeless(&receipt, m_allowsModeless);
    } catch (const VbError &e) {
        if (e.number() != VbError::NonModalNotAllowed)
            return;
        FormShower::showModal(&receipt);
    } catch (...) {
        // Any other failure of the show ends the entry with the form not shown.
    }
}

void Pardex1::cmdClearShow_Click()
{
    ClearShow();
}

void Pardex1::Command2_Click()
{
    std::unique_ptr<QObject> builder = ComponentRegistry::create(progids::ConnectionBuilder);
    if (!LateBound::call(builder.get(), "ShowDialog").toBool())
        return;
    setOLEConnectionString(LateBound::get(builder.get(), "ConnectionString").toString());
    setUserID(756);
    setPositionID(Vb::cint(LateBound::get(builder.get(), "PositionID")));
    setEmployeeID(Vb::cint(LateBound::get(builder.get(), "EmployeeID")));
    ClearShow();
}
