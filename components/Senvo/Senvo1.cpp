#include "Senvo/Senvo1.h"

#include "Senvo/frmSenvo.h"
#include "sibling/SiblingForm.h"
#include "suite/Identifiers.h"

Senvo1::Senvo1(QObject *parent) : SiblingComponent(ids::RightCashTurns, parent) {}

void Senvo1::showEmpty(SiblingSession &session)
{
    frmSenvo screen(session);
    screen.load();
    SiblingForm::showModal(&screen);
}

void Senvo1::showRecord(SiblingSession &session, qint32 id)
{
    frmSenvo screen(session);
    screen.load();
    screen.selectTurn(id);
    SiblingForm::showModal(&screen);
}
