#pragma once

#include "sibling/SiblingComponent.h"

// The accounting document component "Lidmar.Lidmar1": View(document ID)
// shows one document; ClearShow opens the screen empty to type a number.
class Lidmar1 : public SiblingComponent
{
    Q_OBJECT

public:
    explicit Lidmar1(QObject *parent = nullptr);

protected:
    void showEmpty(SiblingSession &session) override;
    void showRecord(SiblingSession &session, qint32 id) override;
};
