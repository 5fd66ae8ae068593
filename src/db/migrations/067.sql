-- Rates become units of the job currency per euro. A rate of 0 has no inverse
-- (the new trigger divides by it) and becomes empty.
UPDATE PREKLADY
SET PRE_KURZ=1.000000/NULLIF(PRE_KURZ, 0),
    OBJ_KURZ=1.000000/NULLIF(OBJ_KURZ, 0)
