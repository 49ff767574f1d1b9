#include "Lidmar/Lidmar1.h"

#include "Lidmar/frmLidmar.h"
#include "sibling/SiblingForm.h"
#include "suite/Identifiers.h"

Lidmar1::Lidmar1(QObject *parent) : SiblingComponent(ids::RightAccountingDocument, parent) {}

void Lidmar1::showEmpty(SiblingSession &session)
{
    frmLidmar screen(session);
    SiblingForm::showModal(&screen);
}

void Lidmar1::showRecord(SiblingSession &session, qint32 id)
{
    frmLidmar screen(session);
    screen.showDocument(id);
    SiblingForm::showModal(&screen);
}
