-- The Firebird user the program works as on a server: rights on the
-- program's tables, views, procedures, functions and sequences in this one
-- database, nothing on the server beyond them (no other database, no users).
-- Run it as SYSDBA (or the database's owner) on the program's database:
--   isql-fb -user SYSDBA -password SYSDBA_PASSWORD -i program-user.sql SERVER:/var/lib/firebird/3.0/data/Lindavo.fdb
-- Replace HesloProgramu with the password for Lindavo.ini first. Run it again
-- after a program update has added objects to the database.

CREATE OR ALTER USER LINDAVO PASSWORD 'HesloProgramu' USING PLUGIN Srp;
COMMIT;

SET TERM ^ ;
EXECUTE BLOCK AS
  DECLARE n VARCHAR(63);
BEGIN
  FOR SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS
      WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 INTO :n DO
    EXECUTE STATEMENT 'GRANT SELECT, INSERT, UPDATE, DELETE ON "' || n || '" TO USER LINDAVO';
  FOR SELECT TRIM(RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES
      WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL INTO :n DO
    EXECUTE STATEMENT 'GRANT EXECUTE ON PROCEDURE "' || n || '" TO USER LINDAVO';
  FOR SELECT TRIM(RDB$FUNCTION_NAME) FROM RDB$FUNCTIONS
      WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL INTO :n DO
    EXECUTE STATEMENT 'GRANT EXECUTE ON FUNCTION "' || n || '" TO USER LINDAVO';
  FOR SELECT TRIM(RDB$GENERATOR_NAME) FROM RDB$GENERATORS
      WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 INTO :n DO
    EXECUTE STATEMENT 'GRANT USAGE ON SEQUENCE "' || n || '" TO USER LINDAVO';
END^
SET TERM ; ^
COMMIT;
