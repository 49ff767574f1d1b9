-- The rights the sibling components (accounting document, cash ledger,
-- cash-turn manager, chart of accounts) check, added to a suite database
-- that lacks them.
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
