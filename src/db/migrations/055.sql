INSERT INTO PONUKY (JEDIN, CISLO, TEXT, ZARADENIE, PORADIE)
VALUES (GEN_ID(PONUKY_ID, 1), 9, 'cena prekladateľa v SKK zostupne', 'ziskovost_orderby', 9)
