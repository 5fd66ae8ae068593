-- Euro change-over, jobs not in SKK (an empty currency counts as not SKK):
-- the rate (SKK per unit of the job currency) becomes euro per unit; script 67
-- inverts it. The trigger recomputes the home price.
UPDATE PREKLADY
SET PRE_KURZ=PRE_KURZ/30.126
WHERE COALESCE(UPPER(TRIM(PRE_MENA)), '')<>'SKK'
