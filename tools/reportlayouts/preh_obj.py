#!/usr/bin/env python3
"""Writes resources/Reports/Preh_Obj_Sk.frf and Preh_Obj_En.frf: the job list
by customers, one layout in two languages. Run from the repository root."""

TEXTS = {
    "Sk": dict(period="Obdobie:", printed="Vytlačené", cols=["Značka", "Názov", "Jazyky", "Prekladateľ", "PM",
               "Odoslané", "Rozsah", "MJ", "Cena/MJ", "Faktúra", "Cena €"],
               group="Spolu za objednávateľa", jobs="prác", total="Spolu za zostavu", lang="Skupina"),
    "En": dict(period="Period:", printed="Printed", cols=["Ref.", "Title", "Languages", "Translator", "PM",
               "Sent", "Volume", "Unit", "Unit price", "Invoice", "Price €"],
               group="Customer total", jobs="jobs", total="Report total", lang="Group"),
}

# (width, expression, attributes)
COLUMNS = [
    (20, "[ZNACKA]", ""),
    (64, "[NAZOV]", ' wrap="1"'),
    (20, "[JAZYKOVA_KOMBINACIA]", ""),
    (38, "[PREKLADATEL]", ""),
    (10, "[PM]", ""),
    (20, "[DATUM_ODOSLANIA_PREKLADU]", ' format="dd.mm.yyyy"'),
    (18, "[OBJ_ROZSAH]", ' align="right" format=",0.00"'),
    (12, "[OBJ_MJ]", ' align="center"'),
    (22, "[OBJ_CENA_MJ]", ' align="right" format=",0.00"'),
    (23, "[OBJ_FAKTURA]", ""),
    (30, "[OBJ_CENA]", ' align="right" format=",0.00"'),
]
WIDTH = sum(c[0] for c in COLUMNS)  # 277: A4 landscape less the margins
PRICE_X = WIDTH - COLUMNS[-1][0]


def layout(lang):
    t = TEXTS[lang]
    out = []
    w = out.append
    w('<?xml version="1.0" encoding="UTF-8"?>')
    w('<!-- Job list by customers; written by tools/reportlayouts/preh_obj.py -->')
    w('<lindavo-report version="1" title="%s" master="MASTER">' % ("Zoznam prekladov podľa objednávateľov" if lang == "Sk" else "Jobs by customer"))
    w(' <page width="210" height="297" orientation="landscape" left="10" right="10" top="10" bottom="10"/>')
    w(' <variables>\n  <category name=" Nastavenia">\n   <variable name="Od" type="string"></variable>\n'
      '   <variable name="Do" type="string"></variable>\n  </category>\n </variables>')
    w(' <band type="reporttitle" height="16">')
    w('  <text x="0" y="0" width="%d" height="9" size="15" bold="1" valign="center">[REPORTTITLE]</text>' % WIDTH)
    w('  <text x="0" y="9" width="%d" height="6" size="10" format="dd.mm.yyyy">%s [Od] – [Do]</text>' % (WIDTH, t["period"]))
    w(' </band>')
    w(' <band type="pageheader" height="6">')
    w('  <text x="0" y="0" width="%d" height="5" size="8" italic="1">[REPORTTITLE]</text>' % (WIDTH - 80))
    w('  <text x="%d" y="0" width="80" height="5" size="8" align="right" format="dd.mm.yyyy">%s [DATE]</text>' % (WIDTH - 80, t["printed"]))
    w(' </band>')
    w(' <band type="columnheader" height="6">')
    x = 0
    for (width, _, attrs), caption in zip(COLUMNS, t["cols"]):
        align = ' align="right"' if 'align="right"' in attrs else ''
        w('  <text x="%d" y="0" width="%d" height="6" size="8" bold="1" fill="#ffd9d9d9" frame="tb" valign="center"%s>%s</text>' % (x, width, align, caption))
        x += width
    w(' </band>')
    w(' <group condition="[MASTER.&quot;SKUPINA&quot;]">')
    w('  <band type="groupheader" height="7">')
    w('   <text x="0" y="1" width="%d" height="6" size="10" bold="1">[SKUPINA]</text>' % PRICE_X)
    w('  </band>')
    w('  <band type="groupfooter" height="8">')
    w('   <text x="0" y="0.5" width="%d" height="5" size="8" bold="1" align="right">%s ([COUNT()] %s):</text>' % (PRICE_X, t["group"], t["jobs"]))
    w('   <text x="%d" y="0.5" width="%d" height="5" size="8" bold="1" align="right" frame="t" format=",0.00 €">[SUM(OBJ_CENA)]</text>' % (PRICE_X, COLUMNS[-1][0]))
    w('  </band>')
    w(' </group>')
    w(' <group condition="[MASTER.&quot;SKUPINA2&quot;]">')
    w('  <band type="groupheader" height="5">')
    w('   <text x="4" y="0" width="%d" height="5" size="8" italic="1">[IIF(NVL(SKUPINA2, \'\') = \'\', \'\', \'%s: \' + SKUPINA2)]</text>' % (PRICE_X - 4, t["lang"]))
    w('  </band>')
    w(' </group>')
    w(' <band type="masterdata" height="5">')
    x = 0
    for width, expr, attrs in COLUMNS:
        w('  <text x="%d" y="0" width="%d" height="5" size="8" stretch="1"%s>%s</text>' % (x, width, attrs, expr))
        x += width
    w(' </band>')
    w(' <band type="reportsummary" height="10">')
    w('  <text x="0" y="2" width="%d" height="6" size="10" bold="1" align="right">%s ([COUNT()] %s):</text>' % (PRICE_X, t["total"], t["jobs"]))
    w('  <text x="%d" y="2" width="%d" height="6" size="10" bold="1" align="right" frame="tb" format=",0.00 €">[SUM(OBJ_CENA)]</text>' % (PRICE_X, COLUMNS[-1][0]))
    w(' </band>')
    w(' <band type="pagefooter" height="6">')
    w('  <line x="0" y="0.5" width="%d" height="0" frame-width="0.2"/>' % WIDTH)
    w('  <text x="0" y="1" width="%d" height="5" size="8" format="dd.mm.yyyy">%s [DATE]</text>' % (WIDTH / 2, t["printed"]))
    w('  <text x="%d" y="1" width="%d" height="5" size="8" align="right">[PAGE#] / [TOTALPAGES#]</text>' % (WIDTH / 2, WIDTH / 2))
    w(' </band>')
    w('</lindavo-report>')
    return "\n".join(out) + "\n"


for lang in TEXTS:
    with open("resources/Reports/Preh_Obj_%s.frf" % lang, "w", encoding="utf-8") as f:
        f.write(layout(lang))
