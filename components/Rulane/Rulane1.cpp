#include "Rulane/Rulane1.h"

#include "Rulane/frmRulane.h"
#include "sibling/SiblingForm.h"
#include "suite/Identifiers.h"

Rulane1::Rulane1(QObject *parent) : SiblingComponent(ids::RightCashLedger, parent) {}

void Rulane1::showEmpty(SiblingSession &session)
{
    frmRulane screen(session);
    screen.prepareEmpty();
    SiblingForm::showModal(&screen);
}

void Rulane1::showRecord(SiblingSession &session, qint32 id)
{
    frmRulane screen(session);
    screen.showTurn(id);
    SiblingForm::showModal(&screen);
}
