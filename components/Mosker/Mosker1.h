#pragma once

#include "sibling/SiblingComponent.h"

// The chart of accounts "Mosker.Mosker1": ClearShow shows the whole chart;
// View(account ID) shows it with that account picked.
class Mosker1 : public SiblingComponent
{
    Q_OBJECT

public:
    explicit Mosker1(QObject *parent = nullptr);

protected:
    void showEmpty(SiblingSession &session) override;
    void showRecord(SiblingSession &session, qint32 id) override;
};
