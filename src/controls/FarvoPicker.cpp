#include "controls/FarvoPicker.h"

#include <QComboBox>
#include <QLineEdit>

FarvoPicker::FarvoPicker(QWidget *parent) : LookupBox(parent)
{
    comboBox()->lineEdit()->setPlaceholderText(QStringLiteral("كد يا نام حساب"));
    connect(this, &LookupBox::chosen, this, &FarvoPicker::AccountSelected);
}

void FarvoPicker::setPrepared(bool prepared)
{
    if (prepared == m_prepared)
        return;
    m_prepared = prepared;
    invalidate();
}

QString FarvoPicker::listQuery() const
{
    return QStringLiteral("Select ID, Code, Title From vwAccount Where IsDetail = 1 And IsActive = 1 Order By Code");
}

QString FarvoPicker::rowQuery(qint32 id) const
{
    return QStringLiteral("Select ID, Code, Title From vwAccount Where ID = %1").arg(id);
}

QString FarvoPicker::displayText(const Row &row) const
{
    return row.code.isEmpty() ? row.title : row.code + QStringLiteral(" - ") + row.title;
}
