#pragma once

#include "sibling/SiblingComponent.h"

// The cash-turn manager "Senvo.Senvo1": ClearShow lists the turns of the
// user's cash boxes; View(turn ID) does the same with that turn selected.
class Senvo1 : public SiblingComponent
{
    Q_OBJECT

public:
    explicit Senvo1(QObject *parent = nullptr);

protected:
    void showEmpty(SiblingSession &session) override;
    void showRecord(SiblingSession &session, qint32 id) override;
};
