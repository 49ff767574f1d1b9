#pragma once

#include "core/Currency.h"

class SiblingSession;

// The cash of one turn: what it was opened with, what came in and went
// out. What the drawer should hold at the close is the closing balance.
struct CashTurnBalance
{
    Currency opening;
    Currency received;
    Currency payed;
    Currency closing() const { return opening + received - payed; }

    // Raises a refusal when the turn does not exist.
    static CashTurnBalance of(SiblingSession &session, qint32 turnId);
};
