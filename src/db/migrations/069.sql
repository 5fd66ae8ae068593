-- SKK jobs sent by 2008-12-31 (kept in SKK by scripts 65 and 66) get the fixed rate,
-- so their home price is in euro like every other job.
UPDATE PREKLADY
SET OBJ_MENA='SKK',
    OBJ_KURZ=30.126
WHERE UPPER(TRIM(OBJ_MENA))='SKK'
  AND OBJ_KURZ=1
  AND DATUM_ODOSLANIA_PREKLADU<=DATE '2008-12-31'
