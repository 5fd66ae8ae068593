INSERT INTO PONUKY (JEDIN, CISLO, TEXT, ZARADENIE, PORADIE)
VALUES (GEN_ID(PONUKY_ID, 1), 7, 'zisk v % zostupne', 'ziskovost_orderby', 7)
