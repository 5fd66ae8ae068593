-- SKK jobs become euro jobs, except those sent by 2008-12-31 at rate 1, which
-- stay in SKK and get the fixed rate in scripts 69 and 70; converting them here and back
-- there would round their unit prices twice.
UPDATE PREKLADY
SET PRE_MENA='EUR',
    PRE_CENA_MJ=PRE_CENA_MJ/30.126
WHERE UPPER(TRIM(PRE_MENA))='SKK'
  AND (PRE_KURZ IS DISTINCT FROM 1
       OR DATUM_ODOSLANIA_PREKLADU IS NULL
       OR DATUM_ODOSLANIA_PREKLADU>DATE '2008-12-31')
