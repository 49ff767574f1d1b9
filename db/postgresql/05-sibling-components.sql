-- The sibling components' own columns: the cash-turn manager stores a
-- turn's cash at its open, and at its close the counted cash and its
-- difference from what the turn should hold (counted less expected).
ALTER TABLE tblRecPayCashTurn ADD COLUMN OpeningCash numeric(19,4);
ALTER TABLE tblRecPayCashTurn ADD COLUMN CountedCash numeric(19,4);
ALTER TABLE tblRecPayCashTurn ADD COLUMN CashDifference numeric(19,4);
-- At the close also what the turn should have held then (so that a later
-- change of its receipts shows) and who closed it.
ALTER TABLE tblRecPayCashTurn ADD COLUMN ExpectedCash numeric(19,4);
ALTER TABLE tblRecPayCashTurn ADD COLUMN ClosedByUserID integer;
