#!/usr/bin/env python3
"""Writes the job lists of resources/Reports: Preh_Obj (by customers),
Preh_Pre (by translators) and Preh_PM (by project manager), each in Slovak
(_Sk) and English (_En). Run from the repository root."""

TEXTS = {
    # Counts of jobs with the noun in its number: 1 práca, 2-4 práce, 5 prác.
    "Sk": dict(period="Obdobie:", printed="Vytlačené", total="Spolu za zostavu", lang="Skupina",
               jobs="[COUNT()] [IIF(COUNT() = 1, 'práca', IIF(COUNT() &lt;= 4, 'práce', 'prác'))]"),
    "En": dict(period="Period:", printed="Printed", total="Report total", lang="Group",
               jobs="[COUNT()] [IIF(COUNT() = 1, 'job', 'jobs')]"),
}

MONEY = ' align="right" format=",0.00"'
# Prices per unit carry three decimals (0,065 per word).
UNIT_PRICE = ' align="right" format=",0.000"'

# Per report: title by language, group field, group total caption by language,
# the money field totalled, and the columns (width, expression, attributes,
# Slovak caption, English caption); the widths make 277 mm, A4 landscape less
# the margins, and the last column is the one totalled. Every euro figure is a
# _SKK column; a price in the job's own currency prints with its currency code,
# since one list mixes EUR, CZK and USD jobs.
REPORTS = {
    "Preh_Obj": dict(
        title=("Zoznam prekladov podľa objednávateľov", "Jobs by customer"), group="SKUPINA",
        groupTotal=("Spolu za objednávateľa", "Customer total"), groupCaption=("Objednávateľ", "Customer"), money="OBJ_CENA_SKK",
        columns=[
            (20, "[ZNACKA]", "", "Značka", "Ref."),
            (50, "[NAZOV]", ' wrap="1"', "Názov", "Title"),
            (18, "[JAZYKOVA_KOMBINACIA]", "", "Jazyky", "Languages"),
            (36, "[PREKLADATEL]", "", "Prekladateľ", "Translator"),
            (10, "[PM]", "", "PM", "PM"),
            (18, "[DATUM_ODOSLANIA_PREKLADU]", ' format="dd.mm.yyyy"', "Odoslané", "Sent"),
            (16, "[OBJ_ROZSAH]", MONEY, "Rozsah", "Volume"),
            (10, "[OBJ_MJ]", ' align="center"', "MJ", "Unit"),
            (24, "[OBJ_CENA_MJ] [OBJ_MENA]", UNIT_PRICE, "Cena/MJ", "Unit price"),
            (26, "[OBJ_CENA] [OBJ_MENA]", MONEY, "Cena", "Price"),
            (21, "[OBJ_FAKTURA]", ' align="center"', "Faktúra", "Invoice"),
            (28, "[OBJ_CENA_SKK]", MONEY, "Cena €", "Price €"),
        ]),
    "Preh_Pre": dict(
        title=("Zoznam prekladov podľa prekladateľov", "Jobs by translator"), group="SKUPINA",
        groupTotal=("Spolu za prekladateľa", "Translator total"), groupCaption=("Prekladateľ", "Translator"), money="PRE_CENA_SKK",
        columns=[
            (20, "[ZNACKA]", "", "Značka", "Ref."),
            (50, "[NAZOV]", ' wrap="1"', "Názov", "Title"),
            (18, "[JAZYKOVA_KOMBINACIA]", "", "Jazyky", "Languages"),
            (36, "[OBJEDNAVATEL]", "", "Objednávateľ", "Customer"),
            (10, "[PM]", "", "PM", "PM"),
            (18, "[DATUM_DODANIA_PREKLADU]", ' format="dd.mm.yyyy"', "Dodané", "Delivered"),
            (16, "[PRE_ROZSAH]", MONEY, "Rozsah", "Volume"),
            (10, "[PRE_MJ]", ' align="center"', "MJ", "Unit"),
            (24, "[PRE_CENA_MJ] [PRE_MENA]", UNIT_PRICE, "Cena/MJ", "Unit price"),
            (26, "[PRE_CENA] [PRE_MENA]", MONEY, "Cena", "Price"),
            (21, "[PRE_FAKTURA]", ' align="center"', "Faktúra", "Invoice"),
            (28, "[PRE_CENA_SKK]", MONEY, "Cena €", "Price €"),
        ]),
    "Preh_PM": dict(
        title=("Zoznam prekladov podľa PM", "Jobs by project manager"), group="PM",
        groupTotal=("Spolu za PM", "Project manager total"), groupCaption=("PM", "PM"), money="OBJ_CENA_SKK",
        columns=[
            (20, "[ZNACKA]", "", "Značka", "Ref."),
            (60, "[NAZOV]", ' wrap="1"', "Názov", "Title"),
            (20, "[JAZYKOVA_KOMBINACIA]", "", "Jazyky", "Languages"),
            (40, "[OBJEDNAVATEL]", "", "Objednávateľ", "Customer"),
            (40, "[PREKLADATEL]", "", "Prekladateľ", "Translator"),
            (20, "[DATUM_ODOSLANIA_PREKLADU]", ' format="dd.mm.yyyy"', "Odoslané", "Sent"),
            (22, "[PRE_CENA_SKK]", MONEY, "Náklady €", "Cost €"),
            (25, "[OBJ_CENA_SKK - PRE_CENA_SKK]", MONEY, "Zisk €", "Profit €"),
            (30, "[OBJ_CENA_SKK]", MONEY, "Cena €", "Price €"),
        ]),
}


def layout(stem, lang):
    t = TEXTS[lang]
    r = REPORTS[stem]
    en = lang == "En"
    COLUMNS = [(c[0], c[1], c[2], c[4] if en else c[3]) for c in r["columns"]]
    WIDTH = sum(c[0] for c in COLUMNS)
    PRICE_X = WIDTH - COLUMNS[-1][0]
    out = []
    w = out.append
    w('<?xml version="1.0" encoding="UTF-8"?>')
    w('<!-- %s; written by tools/reportlayouts/preh.py -->' % r["title"][1])
    # An English layout prints English number formats.
    w('<lindavo-report version="1" title="%s" master="MASTER" pageheader-on-first="0"%s>'
      % (r["title"][en], ' language="en"' if en else ''))
    w(' <page width="210" height="297" orientation="landscape" left="10" right="10" top="10" bottom="10"/>')
    w(' <variables>\n  <category name=" Nastavenia">\n   <variable name="Od" type="string"></variable>\n'
      '   <variable name="Do" type="string"></variable>\n  </category>\n </variables>')
    w(' <band type="reporttitle" height="16">')
    # The report's title is the Slovak caption of the dialog; an English list
    # prints its own.
    title = r["title"][1] if en else "[REPORTTITLE]"
    w('  <text x="0" y="0" width="%d" height="9" size="15" bold="1" valign="center">%s</text>' % (WIDTH, title))
    w('  <text x="0" y="9" width="%d" height="6" size="10" format="dd.mm.yyyy">%s [Od] – [Do]</text>' % (WIDTH, t["period"]))
    w(' </band>')
    w(' <band type="pageheader" height="6">')
    w('  <text x="0" y="0" width="%d" height="5" size="8" italic="1">%s</text>' % (WIDTH - 80, title))
    w('  <text x="%d" y="0" width="80" height="5" size="8" align="right" format="dd.mm.yyyy">%s [DATE]</text>' % (WIDTH - 80, t["printed"]))
    w(' </band>')
    w(' <band type="columnheader" height="6">')
    x = 0
    for width, _, attrs, caption in COLUMNS:
        align = ' align="right"' if 'align="right"' in attrs else ' align="center"' if 'align="center"' in attrs else ''
        w('  <text x="%d" y="0" width="%d" height="6" size="8" bold="1" fill="#ffd9d9d9" frame="tb" valign="center"%s>%s</text>' % (x, width, align, caption))
        x += width
    w(' </band>')
    # The captions head the groups' columns in the table exports.
    w(' <group condition="[MASTER.&quot;%s&quot;]" caption="%s">' % (r["group"], r["groupCaption"][en]))
    w('  <band type="groupheader" height="7">')
    w('   <text x="0" y="1" width="%d" height="6" size="10" bold="1">[%s]</text>' % (PRICE_X, r["group"]))
    w('  </band>')
    w('  <band type="groupfooter" height="8">')
    w('   <text x="0" y="0.5" width="%d" height="5" size="8" bold="1" align="right">%s (%s):</text>' % (PRICE_X, r["groupTotal"][en], t["jobs"]))
    w('   <text x="%d" y="0.5" width="%d" height="5" size="8" bold="1" align="right" frame="t" format=",0.00 €">[SUM(%s)]</text>' % (PRICE_X, COLUMNS[-1][0], r["money"]))
    w('  </band>')
    w(' </group>')
    w(' <group condition="[MASTER.&quot;SKUPINA2&quot;]" caption="%s">' % t["lang"])
    w('  <band type="groupheader" height="5">')
    w('   <text x="4" y="0" width="%d" height="5" size="8" italic="1">[IIF(NVL(SKUPINA2, \'\') = \'\', \'\', \'%s: \' + SKUPINA2)]</text>' % (PRICE_X - 4, t["lang"]))
    w('  </band>')
    w(' </group>')
    w(' <band type="masterdata" height="5">')
    x = 0
    for width, expr, attrs, _ in COLUMNS:
        w('  <text x="%d" y="0" width="%d" height="5" size="8" stretch="1"%s>%s</text>' % (x, width, attrs, expr))
        x += width
    w(' </band>')
    w(' <band type="reportsummary" height="10">')
    w('  <text x="0" y="2" width="%d" height="6" size="10" bold="1" align="right">%s (%s):</text>' % (PRICE_X, t["total"], t["jobs"]))
    w('  <text x="%d" y="2" width="%d" height="6" size="10" bold="1" align="right" frame="tb" format=",0.00 €">[SUM(%s)]</text>' % (PRICE_X, COLUMNS[-1][0], r["money"]))
    w(' </band>')
    w(' <band type="pagefooter" height="6">')
    w('  <line x="0" y="0.5" width="%d" height="0" frame-width="0.2"/>' % WIDTH)
    w('  <text x="0" y="1" width="%d" height="5" size="8" format="dd.mm.yyyy">%s [DATE]</text>' % (WIDTH / 2, t["printed"]))
    w('  <text x="%d" y="1" width="%d" height="5" size="8" align="right">[PAGE#] / [TOTALPAGES#]</text>' % (WIDTH / 2, WIDTH / 2))
    w(' </band>')
    w('</lindavo-report>')
    return "\n".join(out) + "\n"


for stem in REPORTS:
    for lang in TEXTS:
        with open("resources/Reports/%s_%s.frf" % (stem, lang), "w", encoding="utf-8") as f:
            f.write(layout(stem, lang))
