#pragma once

#include "sibling/SiblingComponent.h"

// The cash ledger component "Rulane.Rulane1": View(cash-turn ID) shows that
// turn's movements; ClearShow lets the user pick a box and a date range.
class Rulane1 : public SiblingComponent
{
    Q_OBJECT

public:
    explicit Rulane1(QObject *parent = nullptr);

protected:
    void showEmpty(SiblingSession &session) override;
    void showRecord(SiblingSession &session, qint32 id) override;
};
