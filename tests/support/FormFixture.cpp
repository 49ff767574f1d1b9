#include "support/FormFixture.h"

#include "cashselect/frmRPDCashSelect.h"
#include "controls/FarvoPicker.h"
#include "host/Pardex1.h"
#include "platform/Os.h"
#include "platform/Seams.h"
#include "search/frmRPDSearch.h"

FormFixture::FormFixture() = default;
FormFixture::~FormFixture() = default;

void FormFixture::SetUp()
{
    db = std::make_unique<DemoDatabase>();
    Module::reset();
    ScriptedMessageBox::install();
    seams::setOsMajorVersion(0);
    Os::clearRequestedLayouts();
    seams::setModalHook([this](QWidget *form) {
        ++m_modalShows;
        if (m_modalActions.isEmpty())
            return;
        auto action = m_modalActions.takeFirst();
        action(form);
    });
}

void FormFixture::TearDown()
{
    seams::setModalHook(nullptr);
    frmRPDCashRec::destroyInstance();
    frmRPDCashSelect::destroyInstance();
    frmRPDSearch::destroyInstance();
    control.reset();
    Module::reset();
    seams::setOsMajorVersion(-1);
}

Pardex1 &FormFixture::host(qint16 userId)
{
    if (!control)
        control = std::make_unique<Pardex1>();
    control->setOLEConnectionString(db->connectionString());
    control->setUserID(userId);
    return *control;
}

void FormFixture::clearShow(qint16 userId)
{
    host(userId).ClearShow();
}

void FormFixture::onModal(std::function<void(QWidget *)> action)
{
    m_modalActions.push_back(std::move(action));
}

QStringList FormFixture::takeStatements()
{
    const QStringList s = record.statements();
    record.clear();
    return s;
}

void FormFixture::setParameter(int id, const QString &value)
{
    db->exec(QStringLiteral("UPDATE tblOmberSystemParameters SET Value = ? WHERE ID = ?"),
                 {value, id});
}

void FormFixture::loadReceipt(qint32 id)
{
    child<QLineEdit>("txtID")->setText(QString::number(id));
    qint16 enter = 13;
    form().txtID_KeyPress(enter);
}

QVector<QVariantList> FormFixture::callsOf(const QString &procedure) const
{
    QVector<QVariantList> calls;
    for (const StatementRecord::Entry &e : record.entries())
        if (e.kind == StatementRecord::Entry::Call && e.text.endsWith(procedure, Qt::CaseInsensitive))
            calls.push_back(e.args);
    return calls;
}

qint32 FormFixture::mode() const
{
    return Module::context().FormMode;
}

void FormFixture::typeNewReceipt(const QString &amount, qint32 account)
{
    form().cmdNew_Click();
    ASSERT_EQ(mode(), ModeNew);
    child<QLineEdit>("txtRec")->setText(amount);
    if (account > 0)
        child<FarvoPicker>("TlvAccPicker")->setAccountID(account);
}

QString FormFixture::text(const char *name)
{
    return child<QLineEdit>(name)->text();
}

ScriptedMessageBox::Shown FormFixture::lastBox()
{
    return ScriptedMessageBox::shown().isEmpty() ? ScriptedMessageBox::Shown{} : ScriptedMessageBox::shown().last();
}

int FormFixture::receipts()
{
    return db->count(QStringLiteral("tblRecPayCashTurnDetail"));
}

QString FormFixture::receiptsAsTheyAre()
{
    return db->scalar(QStringLiteral("SELECT count(*) || ':' || sum(ID) || ':' || sum(coalesce(Code, 0)) || ':' || "
                                     "sum(ReceivedValue) || ':' || sum(ChangeCount) || ':' || count(HeldBy) "
                                     "FROM tblRecPayCashTurnDetail"))
        .toString();
}

QVariant FormFixture::stored(const char *column, qint32 receipt)
{
    return db->scalar(
        QStringLiteral("SELECT %1 FROM tblRecPayCashTurnDetail WHERE ID = %2").arg(QLatin1String(column)).arg(receipt));
}

int FormFixture::documentsOf(qint32 receipt)
{
    return db->scalar(QStringLiteral("SELECT count(DISTINCT DocumentID) FROM tblAccountDocumentDetail "
                                     "WHERE FormID = %1 AND FormTypeID = 206")
                          .arg(receipt))
        .toInt();
}

frmRPDCashRec &FormFixture::form()
{
    return frmRPDCashRec::instance();
}

QWidget *FormFixture::formWidget()
{
    return &frmRPDCashRec::instance();
}
