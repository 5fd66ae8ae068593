INSERT INTO PONUKY (JEDIN, CISLO, TEXT, ZARADENIE, PORADIE)
VALUES (GEN_ID(PONUKY_ID, 1), 5, 'cena obj v SKK zostupne', 'ziskovost_orderby', 5)
