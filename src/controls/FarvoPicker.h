#pragma once

#include "controls/LookupBox.h"

// The suite's account picker over the chart of accounts: search by code or
// title among the detail accounts. It queries nothing until it is prepared.
class FarvoPicker : public LookupBox
{
    Q_OBJECT
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE setConnectionString)
    Q_PROPERTY(bool Prepared READ Prepared WRITE setPrepared)
    Q_PROPERTY(qint32 PositionID READ PositionID WRITE setPositionID)
    Q_PROPERTY(qint32 AccountID READ AccountID WRITE setAccountID)
    Q_PROPERTY(bool Editable READ Editable WRITE setEditable)

public:
    explicit FarvoPicker(QWidget *parent = nullptr);

    bool Prepared() const { return m_prepared; }
    void setPrepared(bool prepared);
    qint32 PositionID() const { return m_positionId; }
    void setPositionID(qint32 id) { m_positionId = id; }

    // 0 when no account is chosen.
    qint32 AccountID() const { return chosenId(); }
    void setAccountID(qint32 id) { chooseId(id); }

Q_SIGNALS:
    // An account was chosen by the user.
    void AccountSelected();

protected:
    QString listQuery() const override;
    QString rowQuery(qint32 id) const override;
    QString displayText(const Row &row) const override;
    bool ready() const override { return m_prepared; }

private:
    bool m_prepared = false;
    qint32 m_positionId = 0;
};
