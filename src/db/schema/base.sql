SET TERM ^ ;
-- Lindavo database at schema version 0: the register as it stood before the
-- numbered update scripts (src/db/migrations/NNN.sql) existed. A new database
-- is created with this text and then brought to the current version by the
-- update scripts, exactly like a database that has been in use for years.
--
-- Columns that the update scripts later retype, rename or drop keep their old
-- form here (text language combination and units, paid flags, integer payment
-- method, prices with two decimals, DATE receipt date).

-- Domains ------------------------------------------------------------------

CREATE DOMAIN D_INTEGER AS INTEGER
^
CREATE DOMAIN D_SMALLINT AS SMALLINT
^
CREATE DOMAIN D_BOOLEAN AS SMALLINT
  CHECK (VALUE IN (0, 1))
^
-- Amounts: 64-bit scaled integer with two decimals.
CREATE DOMAIN D_MONEY AS NUMERIC(18,2)
^
CREATE DOMAIN D_TIMESTAMP AS TIMESTAMP
^
-- Short texts; Slovak sort order wherever they are listed or ordered.
CREATE DOMAIN VCH_005 AS VARCHAR(5) CHARACTER SET WIN1250 COLLATE PXW_CSY
^
CREATE DOMAIN VCH_015 AS VARCHAR(15) CHARACTER SET WIN1250 COLLATE PXW_CSY
^
CREATE DOMAIN VCH_025 AS VARCHAR(25) CHARACTER SET WIN1250 COLLATE PXW_CSY
^
CREATE DOMAIN VCH_050 AS VARCHAR(50) CHARACTER SET WIN1250 COLLATE PXW_CSY
^
CREATE DOMAIN VCH_075 AS VARCHAR(75) CHARACTER SET WIN1250 COLLATE PXW_CSY
^

-- Sequences (record numbers, one per table) ---------------------------------

CREATE SEQUENCE ADRESAR_ID
^
CREATE SEQUENCE KOMBINACIE_ID
^
CREATE SEQUENCE PREKLADY_ID
^
CREATE SEQUENCE PONUKY_ID
^
CREATE SEQUENCE TEMP_SPRACUJ_ID
^

-- Address book: customers (TYP 0) and translators (TYP 1) --------------------

CREATE TABLE ADRESAR (
  JEDIN          INTEGER NOT NULL,
  TYP            INTEGER,
  MENO           VARCHAR(50) CHARACTER SET WIN1250 COLLATE PXW_CSY,
  TEL1           VARCHAR(50) CHARACTER SET WIN1250,
  TEL2           VARCHAR(50) CHARACTER SET WIN1250,
  EMAIL          VARCHAR(50) CHARACTER SET WIN1250,
  POZNAMKA       BLOB SUB_TYPE TEXT CHARACTER SET WIN1250,
  -- CISLO of a "sposob_platby" row of PONUKY
  SPOSOB_PLATBY  INTEGER,
  CONSTRAINT PK_ADRESAR PRIMARY KEY (JEDIN)
)
^

-- Rates of a contact per language combination --------------------------------

CREATE TABLE KOMBINACIE (
  JEDIN     INTEGER NOT NULL,
  ADRESAR   INTEGER,
  NAZOV     VARCHAR(15) CHARACTER SET WIN1250,
  CENA      NUMERIC(9,2),
  MENA      VARCHAR(5) CHARACTER SET WIN1250,
  MJ        VARCHAR(10) CHARACTER SET WIN1250,
  POZNAMKA  BLOB SUB_TYPE TEXT CHARACTER SET WIN1250,
  CONSTRAINT PK_KOMBINACIE PRIMARY KEY (JEDIN),
  CONSTRAINT FK_KOMBINACIE_ADRESAR FOREIGN KEY (ADRESAR) REFERENCES ADRESAR (JEDIN)
)
^

-- Translation jobs: OBJ_ = customer side, PRE_ = translator side -------------

CREATE TABLE PREKLADY (
  JEDIN                         INTEGER NOT NULL,
  ZNACKA                        VARCHAR(25) CHARACTER SET WIN1250 COLLATE PXW_CSY,
  NAZOV                         BLOB SUB_TYPE TEXT CHARACTER SET WIN1250,
  DATUM_PRIJATIA                DATE,
  TERMIN                        TIMESTAMP,
  DATUM_ZADANIA_PREKLADATELOVI  DATE,
  DATUM_DODANIA_PREKLADU        DATE,
  DATUM_ODOSLANIA_PREKLADU      DATE,
  JAZYKOVA_KOMBINACIA           VARCHAR(15) CHARACTER SET WIN1250,
  OBJEDNAVATEL                  INTEGER,
  OBJ_CENA_MJ                   NUMERIC(9,2),
  OBJ_MJ                        VARCHAR(10) CHARACTER SET WIN1250,
  OBJ_MENA                      VARCHAR(5) CHARACTER SET WIN1250,
  -- home currency (SKK) per one unit of OBJ_MENA
  OBJ_KURZ                      NUMERIC(15,3),
  OBJ_KOEFICIENT                NUMERIC(15,2),
  OBJ_ROZSAH                    NUMERIC(15,2),
  OBJ_FAKTURA                   VARCHAR(15) CHARACTER SET WIN1250,
  OBJ_ZAPLATENE                 D_BOOLEAN,
  OBJ_UKONCENE                  D_BOOLEAN,
  PREKLADATEL                   INTEGER,
  PRE_CENA_MJ                   NUMERIC(9,2),
  PRE_MJ                        VARCHAR(10) CHARACTER SET WIN1250,
  PRE_MENA                      VARCHAR(5) CHARACTER SET WIN1250,
  PRE_KURZ                      NUMERIC(15,3),
  PRE_KOEFICIENT                NUMERIC(15,2),
  PRE_ROZSAH                    NUMERIC(15,2),
  PRE_FAKTURA                   VARCHAR(15) CHARACTER SET WIN1250,
  PRE_ZAPLATENE                 D_BOOLEAN,
  PRE_UKONCENE                  D_BOOLEAN,
  PRE_SPOSOB_PLATBY             INTEGER,
  UKONCENE                      D_BOOLEAN,
  POZNAMKA                      BLOB SUB_TYPE TEXT CHARACTER SET WIN1250,
  CONSTRAINT PK_PREKLADY PRIMARY KEY (JEDIN),
  CONSTRAINT FK_PREKLADY_OBJEDNAVATEL FOREIGN KEY (OBJEDNAVATEL) REFERENCES ADRESAR (JEDIN),
  CONSTRAINT FK_PREKLADY_PREKLADATEL FOREIGN KEY (PREKLADATEL) REFERENCES ADRESAR (JEDIN)
)
^

-- A job is finished once both sides have paid.
CREATE TRIGGER PREKLADY_BIU FOR PREKLADY
ACTIVE BEFORE INSERT OR UPDATE POSITION 0
AS
BEGIN
  IF ((NEW.OBJ_ZAPLATENE=1) AND (NEW.PRE_ZAPLATENE=1)) THEN NEW.UKONCENE=1; ELSE NEW.UKONCENE=0;
END
^

-- Choice lists: ZARADENIE names the list, CISLO is the stored value ---------

CREATE TABLE PONUKY (
  JEDIN      INTEGER NOT NULL,
  CISLO      INTEGER,
  TEXT       VARCHAR(50) CHARACTER SET WIN1250 COLLATE PXW_CSY,
  ZARADENIE  VARCHAR(25) CHARACTER SET WIN1250,
  PORADIE    INTEGER,
  CONSTRAINT PK_PONUKY PRIMARY KEY (JEDIN)
)
^

-- Sets of record numbers written by one connection (marked rows handed to
-- the server); always read by CONNECTION_ID and ZARADENIE.
CREATE TABLE TEMP_SPRACUJ (
  JEDIN          INTEGER NOT NULL,
  CISLO          INTEGER,
  ZARADENIE      VARCHAR(40) CHARACTER SET WIN1250,
  CONNECTION_ID  BIGINT,
  CONSTRAINT PK_TEMP_SPRACUJ PRIMARY KEY (JEDIN)
)
^
CREATE INDEX IDX_TEMP_SPRACUJ ON TEMP_SPRACUJ (CONNECTION_ID, ZARADENIE)
^

-- Applied update scripts; the schema version is max(VERSION).
CREATE TABLE DATABASE_UPDATES (
  VERSION  INTEGER NOT NULL,
  UPDATED  TIMESTAMP,
  CONSTRAINT PK_DATABASE_UPDATES PRIMARY KEY (VERSION)
)
^

CREATE TABLE NASTAVENIA (
  PREMENNA  VARCHAR(50) CHARACTER SET WIN1250 NOT NULL,
  CISLO     INTEGER,
  CONSTRAINT PK_NASTAVENIA PRIMARY KEY (PREMENNA)
)
^

-- Server functions ------------------------------------------------------------

-- Version of the server function library; the program needs 1.4 or newer.
CREATE FUNCTION KOVRA_UDF_VERSION
RETURNS VARCHAR(20) CHARACTER SET WIN1250
DETERMINISTIC
AS
BEGIN
  RETURN '1.4.0';
END
^

-- Search form of a text: the Slovak (and neighbouring) letters with diacritics
-- become their base letter in upper case, then a-z become A-Z. Nothing else
-- changes, so UPPER() must not be used (it would also change e.g. ć to Ć).
-- The program's ToPlainUpper produces the same text on the client side.
CREATE FUNCTION UPPERQDL2 (S VARCHAR(8191) CHARACTER SET WIN1250)
RETURNS VARCHAR(8191) CHARACTER SET WIN1250
DETERMINISTIC
AS
DECLARE VARIABLE R VARCHAR(8191) CHARACTER SET WIN1250;
BEGIN
  IF (S IS NULL) THEN RETURN NULL;
  R = REPLACE(REPLACE(REPLACE(REPLACE(S, 'Š', 'S'), 'š', 'S'), 'Ś', 'S'), 'ś', 'S');
  R = REPLACE(REPLACE(R, 'Ť', 'T'), 'ť', 'T');
  R = REPLACE(REPLACE(REPLACE(REPLACE(R, 'Ž', 'Z'), 'ž', 'Z'), 'Ź', 'Z'), 'ź', 'Z');
  R = REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(R, 'Ł', 'L'), 'ł', 'L'), 'Ľ', 'L'), 'ľ', 'L'), 'Ĺ', 'L'), 'ĺ', 'L');
  R = REPLACE(REPLACE(REPLACE(REPLACE(R, 'Ŕ', 'R'), 'ŕ', 'R'), 'Ř', 'R'), 'ř', 'R');
  R = REPLACE(REPLACE(REPLACE(REPLACE(R, 'Á', 'A'), 'á', 'A'), 'Ä', 'A'), 'ä', 'A');
  R = REPLACE(REPLACE(R, 'Č', 'C'), 'č', 'C');
  R = REPLACE(REPLACE(REPLACE(REPLACE(R, 'É', 'E'), 'é', 'E'), 'Ě', 'E'), 'ě', 'E');
  R = REPLACE(REPLACE(R, 'Í', 'I'), 'í', 'I');
  R = REPLACE(REPLACE(R, 'Ď', 'D'), 'ď', 'D');
  R = REPLACE(REPLACE(R, 'Ň', 'N'), 'ň', 'N');
  R = REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(R, 'Ó', 'O'), 'ó', 'O'), 'Ô', 'O'), 'ô', 'O'), 'Ő', 'O'), 'ő', 'O'), 'Ö', 'O'), 'ö', 'O');
  R = REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(R, 'Ů', 'U'), 'ů', 'U'), 'Ú', 'U'), 'ú', 'U'), 'Ű', 'U'), 'ű', 'U'), 'Ü', 'U'), 'ü', 'U');
  R = REPLACE(REPLACE(R, 'Ý', 'Y'), 'ý', 'Y');
  R = REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(R,
        'a', 'A'), 'b', 'B'), 'c', 'C'), 'd', 'D'), 'e', 'E'), 'f', 'F'), 'g', 'G'), 'h', 'H'), 'i', 'I'), 'j', 'J'), 'k', 'K'), 'l', 'L'), 'm', 'M');
  R = REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(R,
        'n', 'N'), 'o', 'O'), 'p', 'P'), 'q', 'Q'), 'r', 'R'), 's', 'S'), 't', 'T'), 'u', 'U'), 'v', 'V'), 'w', 'W'), 'x', 'X'), 'y', 'Y'), 'z', 'Z');
  RETURN R;
END
^

-- Data --------------------------------------------------------------------------

-- Payment methods of translators (ADRESAR.SPOSOB_PLATBY holds CISLO).
INSERT INTO PONUKY (JEDIN, CISLO, TEXT, ZARADENIE, PORADIE)
VALUES (GEN_ID(PONUKY_ID, 1), 1, 'prevodom', 'sposob_platby', 1)
^
INSERT INTO PONUKY (JEDIN, CISLO, TEXT, ZARADENIE, PORADIE)
VALUES (GEN_ID(PONUKY_ID, 1), 2, 'v hotovosti', 'sposob_platby', 2)
^
INSERT INTO PONUKY (JEDIN, CISLO, TEXT, ZARADENIE, PORADIE)
VALUES (GEN_ID(PONUKY_ID, 1), 3, 'dobierkou', 'sposob_platby', 3)
^
