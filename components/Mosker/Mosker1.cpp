#include "Mosker/Mosker1.h"

#include "Mosker/frmMosker.h"
#include "sibling/SiblingForm.h"
#include "suite/Identifiers.h"

Mosker1::Mosker1(QObject *parent) : SiblingComponent(ids::RightChartOfAccounts, parent) {}

void Mosker1::showEmpty(SiblingSession &session)
{
    frmMosker screen(session);
    screen.load();
    SiblingForm::showModal(&screen);
}

void Mosker1::showRecord(SiblingSession &session, qint32 id)
{
    frmMosker screen(session);
    screen.load();
    screen.selectAccount(id);
    SiblingForm::showModal(&screen);
}
