SELECT a.JEDIN, a.ZNACKA, a.NAZOV, a.DATUM_ODOSLANIA_PREKLADU,
 d.skratka as JAZYKOVA_KOMBINACIA, b.meno as OBJEDNAVATEL, a.obj_cena
FROM PREKLADY a
Left join adresar b on b.jedin=a.objednavatel
join jazykove_kombinacie d on d.jedin=a.jazykova_kombinacia
order by b.meno, d.skratka, a.DATUM_ODOSLANIA_PREKLADU, a.jedin
