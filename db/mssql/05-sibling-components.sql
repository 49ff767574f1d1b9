-- The sibling components (accounting document, cash ledger, cash-turn
-- manager, chart of accounts): their columns and the rights they check.

-- A turn's cash at its open; at its close the counted cash and its
-- difference from what the turn should hold (counted less expected).
ALTER TABLE tblRecPayCashTurn ADD OpeningCash MONEY NULL, CountedCash MONEY NULL, CashDifference MONEY NULL;
GO
-- At the close also what the turn should have held then (so that a later
-- change of its receipts shows) and who closed it.
ALTER TABLE tblRecPayCashTurn ADD ExpectedCash MONEY NULL, ClosedByUserID INT NULL;
GO

INSERT INTO tblOmberPermission (ID, Title)
SELECT v.ID, v.Title FROM (VALUES
  (110, N'مشاهده سند حسابداری'),
  (120, N'تعریف حساب'),
  (12001, N'افزودن حساب'),
  (12002, N'اصلاح عنوان حساب'),
  (12003, N'حذف حساب'),
  (205, N'نوبت‌های صندوق'),
  (20501, N'باز کردن نوبت صندوق'),
  (20502, N'بستن نوبت صندوق خود'),
  (20503, N'بستن نوبت صندوق دیگران'),
  (209, N'گردش نقدی صندوق')
) AS v (ID, Title)
WHERE NOT EXISTS (SELECT 1 FROM tblOmberPermission p WHERE p.ID = v.ID);
GO
