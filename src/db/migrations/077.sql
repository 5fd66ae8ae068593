-- Trimmed, upper case; jobs without a text get the empty combination, so that
-- they stay in lists that join the combination.
INSERT INTO JAZYKOVE_KOMBINACIE (SKRATKA, SKUPINA, HODNOTENY)
SELECT DISTINCT COALESCE(UPPER(TRIM(JAZYKOVA_KOMBINACIA)), ''), '', 1
FROM PREKLADY
ORDER BY 1
