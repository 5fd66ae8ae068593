-- Starts at 1: record 1 is the administrator written by script 100, and the
-- users window saves with UPDATE OR INSERT ... MATCHING (JEDIN).
CREATE SEQUENCE UZIVATELIA_ID START WITH 1
