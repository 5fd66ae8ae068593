-- SKK jobs become euro jobs, except those sent by 2008-12-31 at rate 1, which
-- stay in SKK and get the fixed rate in scripts 69 and 70; converting them here and back
-- there would round their unit prices twice.
UPDATE PREKLADY
SET OBJ_MENA='EUR',
    OBJ_CENA_MJ=OBJ_CENA_MJ/30.126
WHERE UPPER(TRIM(OBJ_MENA))='SKK'
  AND (OBJ_KURZ IS DISTINCT FROM 1
       OR DATUM_ODOSLANIA_PREKLADU IS NULL
       OR DATUM_ODOSLANIA_PREKLADU>DATE '2008-12-31')
