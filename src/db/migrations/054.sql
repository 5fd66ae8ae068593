INSERT INTO PONUKY (JEDIN, CISLO, TEXT, ZARADENIE, PORADIE)
VALUES (GEN_ID(PONUKY_ID, 1), 8, 'cena prekladateľa v SKK', 'ziskovost_orderby', 8)
