#include "controls/OmberAccountPicker.h"

#include "controls/VbKeys.h"

#include "controls/FarvoPicker.h"
#include "controls/OmberSelector.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"

#include <QDebug>
#include <QGridLayout>
#include <QLabel>

OmberAccountPicker::OmberAccountPicker(QWidget *parent)
    : QGroupBox(parent), m_accountBox(new FarvoPicker(this))
{
    VbKeys::markUserControl(this);
    setLayoutDirection(Qt::RightToLeft);
    m_accountBox->setObjectName(QStringLiteral("account"));
    setFocusProxy(m_accountBox);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    grid->addWidget(new QLabel(QStringLiteral("حساب:"), this), 0, 0);
    grid->addWidget(m_accountBox, 0, 1);
    for (int i = 0; i < 3; ++i) {
        m_classLabels[i] = new QLabel(this);
        m_classLabels[i]->setObjectName(QStringLiteral("lblClass%1").arg(i + 1));
        m_objectBoxes[i] = new OmberSelector(this);
        m_objectBoxes[i]->setObjectName(QStringLiteral("sltObject%1").arg(i + 1));
        grid->addWidget(m_classLabels[i], i + 1, 0);
        grid->addWidget(m_objectBoxes[i], i + 1, 1);
        const int level = i + 1;
        connect(m_objectBoxes[i], &LookupBox::chosen, this, [this, level](qint32 id) { m_object[level - 1] = id; });
        connect(m_objectBoxes[i], &LookupBox::cleared, this, [this, level] { m_object[level - 1] = -1; });
        showLevel(level);
    }
    grid->setColumnStretch(1, 1);

    connect(m_accountBox, &LookupBox::chosen, this, [this](qint32 id) {
        m_account = id;
        applyAccountLevels(id);
        Q_EMIT AccountSelected();
    });
    connect(m_accountBox, &LookupBox::cleared, this, [this] {
        m_account = -1;
        applyAccountLevels(-1);
    });
}

OmberAccountPicker::~OmberAccountPicker() = default;

void OmberAccountPicker::setConnectionString(const QString &text)
{
    if (!m_connection.setConnectionString(text))
        return;
    m_accountBox->setConnectionString(text);
    m_accountBox->setPrepared(!text.isEmpty());
    for (OmberSelector *box : m_objectBoxes)
        box->setConnectionString(text);
    for (int level = 1; level <= 3; ++level)
        showLevel(level);
}

void OmberAccountPicker::setAccountID(qint32 id)
{
    // No account is -1, however it is asked for.
    m_account = id > 0 ? id : -1;
    if (id > 0)
        m_accountBox->setAccountID(id);
    else
        m_accountBox->Clear();
}

OmberAccountPicker::ClassInfo OmberAccountPicker::classInfo(qint32 classId)
{
    ClassInfo info{QStringLiteral("سطح %1").arg(classId), QString(), QString()};
    Connection *c = m_connection.get();
    if (!c || classId <= 0)
        return info;
    try {
        const RowSet rows =
            c->execute(QStringLiteral("Select Title, ViewMinor, ViewMajor From tblOmberObjectClass Where ID = %1").arg(classId));
        if (!rows.rows.isEmpty()) {
            info.title = Vb::textOf(rows.rows[0][0]);
            info.view = Vb::textOf(rows.rows[0][1]);
            info.majorView = Vb::textOf(rows.rows[0][2]);
        }
    } catch (const VbError &e) {
        qWarning().noquote() << "AccCredit: class" << classId << e.description();
    }
    return info;
}

void OmberAccountPicker::applyAccountLevels(qint32 accountId)
{
    std::array<qint32, 3> classes{-1, -1, -1};
    Connection *c = m_connection.get();
    if (c && accountId > 0) {
        try {
            const RowSet rows = c->execute(
                QStringLiteral("Select LevelNo, ClassID From tblAccountDetailLevel Where AccountID = %1").arg(accountId));
            for (const auto &row : rows.rows) {
                const int level = Vb::clng(row[0]);
                if (level >= 1 && level <= 3)
                    classes[level - 1] = Vb::clng(row[1]);
            }
        } catch (const VbError &e) {
            qWarning().noquote() << "AccCredit: levels of" << accountId << e.description();
        }
    }
    for (int level = 1; level <= 3; ++level) {
        setClassId(level, classes[level - 1]);
        setObjectId(level, -1);
    }
}

void OmberAccountPicker::setClassId(int level, qint32 id)
{
    if (level < 1 || level > 3)
        return;
    m_class[level - 1] = id;
    showLevel(level);
}

void OmberAccountPicker::setObjectId(int level, qint32 id)
{
    if (level < 1 || level > 3)
        return;
    m_object[level - 1] = id;
    OmberSelector *box = m_objectBoxes[level - 1];
    if (id > 0)
        box->setSelectedID(id);
    else
        box->Clear();
}

void OmberAccountPicker::showLevel(int level)
{
    const qint32 cls = m_class[level - 1];
    QLabel *label = m_classLabels[level - 1];
    OmberSelector *box = m_objectBoxes[level - 1];
    if (cls <= 0) {
        label->setText(QStringLiteral("سطح %1:").arg(level));
        box->setViewMinor(QString());
        box->Clear();
        box->setEditable(false);
        return;
    }
    const ClassInfo info = classInfo(cls);
    label->setText(info.title + QLatin1Char(':'));
    box->setTitle(info.title);
    box->setViewMinor(info.view);
    box->setViewMajor(info.majorView.isEmpty() ? info.view : info.majorView);
    box->setEditable(m_editable);
    if (m_object[level - 1] > 0)
        box->setSelectedID(m_object[level - 1]);
}

void OmberAccountPicker::setEditable(bool editable)
{
    m_editable = editable;
    m_accountBox->setEditable(editable);
    for (int level = 1; level <= 3; ++level)
        m_objectBoxes[level - 1]->setEditable(editable && m_class[level - 1] > 0);
}
