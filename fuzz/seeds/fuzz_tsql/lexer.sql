Select [a]]?], "b""?" /* x /* ? */ ? */ From t -- ?
Where D = N'it''s ?' And E = ? And F = 'open ?