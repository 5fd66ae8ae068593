#!/usr/bin/env python3
"""Writes resources/Reports/Zisk.frf (profitability by customers or by
translators: the variable Typ says which), Zisk_PM.frf (by project
manager) and ZiskMes.frf (by months, within a month by customers or
translators when Typ is 0 or 1). Run from the repository root."""

WIDTH = 180  # A4 portrait less the margins


SUMS = ["[SUM(OBJ_CENA_SKK)]", "[SUM(PRE_CENA_SKK)]", "[SUM(ZISK)]"]
# A total's profit % follows its rows: the average of the jobs' ZISK_PERCENTO
# where each row is one (their sum over their count), the profit of
# the summed prices where each row is that (the monthly report).
AVERAGE_OF_JOBS = "[SUM(ZISK_PERCENTO_SUCET) / SUM(POCET)]"
PROFIT_OF_SUMS = "[IIF(SUM(OBJ_CENA_SKK) = 0, NULL, SUM(ZISK) * 100 / SUM(OBJ_CENA_SKK))]"


def layout(first_field, first_caption, heading, first_width=55, group_width=25, profit_per="[ZISKPER]",
           total_per=AVERAGE_OF_JOBS, month_groups=False):
    cols = [
        (first_width, first_field, "", first_caption),
        (group_width, "[SKUPINA]", "", "Skupina"),
        (25, "[OBJ_CENA_SKK]", ' align="right" format=",0.00"', "Príjem €"),
        (25, "[PRE_CENA_SKK]", ' align="right" format=",0.00"', "Náklady €"),
        (25, "[ZISK]", ' align="right" format=",0.00"', "Zisk €"),
        (25, profit_per, ' align="right" format=",0.00"', "Zisk %"),
    ]
    label_width = first_width + group_width
    out = []
    w = out.append

    def totals(indent, y, height, size, frame, label):
        # The label right-aligned before the four sums under their columns.
        w('%s<text x="0" y="%s" width="%d" height="%d" size="%d" bold="1" align="right">%s</text>'
          % (indent, y, label_width, height, size, label))
        for i, s in enumerate(SUMS + [total_per]):
            w('%s<text x="%d" y="%s" width="25" height="%d" size="%d" bold="1" align="right" frame="%s" format=",0.00">%s</text>'
              % (indent, label_width + 25 * i, y, height, size, frame, s))

    w('<?xml version="1.0" encoding="UTF-8"?>')
    w('<!-- Profitability; written by tools/reportlayouts/zisk.py -->')
    w('<lindavo-report version="1" title="Ziskovosť prekladov" master="MASTER">')
    w(' <page width="210" height="297" orientation="portrait" left="20" right="10" top="10" bottom="10"/>')
    w(' <variables>\n  <category name=" Nastavenia">\n   <variable name="Typ" type="integer">0</variable>\n'
      '   <variable name="Od" type="string"></variable>\n   <variable name="Do" type="string"></variable>\n'
      '  </category>\n </variables>')
    w(' <band type="reporttitle" height="22">')
    w('  <text x="0" y="0" width="%d" height="9" size="15" bold="1" valign="center">[REPORTTITLE]</text>' % WIDTH)
    w('  <text x="0" y="9" width="%d" height="6" size="10" italic="1">%s</text>' % (WIDTH, heading))
    period = "[Od] – [Do]"
    if month_groups:
        # The monthly dialog leaves both dates empty by default.
        none = "NVL(Od, '') + NVL(Do, '') = ''"
        period = "[IIF(%s, 'všetky preklady', Od)][IIF(%s, '', ' – ')][Do]" % (none, none)
    w('  <text x="0" y="15" width="%d" height="6" size="10" format="dd.mm.yyyy">Obdobie: %s</text>' % (WIDTH, period))
    w(' </band>')
    w(' <band type="columnheader" height="6">')
    x = 0
    for width, _, attrs, caption in cols:
        align = ' align="right"' if 'align="right"' in attrs else ''
        w('  <text x="%d" y="0" width="%d" height="6" size="8" bold="1" fill="#ffd9d9d9" frame="tb" valign="center"%s>%s</text>' % (x, width, align, caption))
        x += width
    w(' </band>')
    w(' <band type="masterdata" height="5">')
    x = 0
    for width, expr, attrs, _ in cols:
        w('  <text x="%d" y="0" width="%d" height="5" size="8" stretch="1"%s>%s</text>' % (x, width, attrs, expr))
        x += width
    w(' </band>')
    if month_groups:
        # Jobs never sent have no month: they form the first group, with nulls first.
        w(' <group condition="[ROK]/[MESIAC]" caption="Mesiac">')
        w('  <band type="groupheader" height="7">')
        w('   <text x="0" y="1" width="%d" height="6" size="10" bold="1">'
          "[IIF(MESIAC = NULL, 'Bez dátumu odoslania', 'Mesiac ' + MESIAC + '/' + ROK)]</text>" % WIDTH)
        w('  </band>')
        w('  <band type="groupfooter" height="8">')
        totals("   ", 0.5, 5, 8, "t", "Spolu za mesiac:")
        w('  </band>')
        w(' </group>')
    w(' <band type="reportsummary" height="10">')
    totals("  ", 2, 6, 9, "tb", "Spolu:")
    w(' </band>')
    w(' <band type="pagefooter" height="6">')
    w('  <line x="0" y="0.5" width="%d" height="0" frame-width="0.2"/>' % WIDTH)
    w('  <text x="0" y="1" width="90" height="5" size="8" format="dd.mm.yyyy">Vytlačené [DATE]</text>')
    w('  <text x="90" y="1" width="90" height="5" size="8" align="right">[PAGE#] / [TOTALPAGES#]</text>')
    w(' </band>')
    w('</lindavo-report>')
    return "\n".join(out) + "\n"


files = {
    "Zisk.frf": layout("[ADRESAR]", "[IIF(Typ = 1, 'Prekladateľ', 'Objednávateľ')]",
                       "[IIF(Typ = 1, 'podľa prekladateľov', 'podľa objednávateľov')]"),
    "Zisk_PM.frf": layout("[PM]", "PM", "podľa PM"),
    # The monthly statement has the column ADRESAR only when it groups by
    # customers or translators (Typ 0 or 1; -1 without): the name is read in
    # the branch of IIF that only such a statement takes.
    "ZiskMes.frf": layout("[IIF(Typ = -1, '', ADRESAR)]",
                          "[IIF(Typ = 1, 'Prekladateľ', IIF(Typ = 0, 'Objednávateľ', ''))]",
                          "[IIF(Typ = 1, 'po mesiacoch a prekladateľoch', "
                          "IIF(Typ = 0, 'po mesiacoch a objednávateľoch', 'po mesiacoch'))]",
                          first_width=55, group_width=25,
                          profit_per="[IIF(OBJ_CENA_SKK = 0, NULL, ZISK * 100 / OBJ_CENA_SKK)]",
                          total_per=PROFIT_OF_SUMS,
                          month_groups=True),
}
for name, text in files.items():
    with open("resources/Reports/" + name, "w", encoding="utf-8") as f:
        f.write(text)
