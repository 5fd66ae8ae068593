#!/usr/bin/env python3
"""Writes resources/Reports/Hod_pre_Sk.frf and Hod_pre_En.frf: the average
rating of each translator per language combination. Run from the repository root."""

TEXTS = {
    "Sk": dict(title="Prehľad hodnotenia prekladateľov", period="Obdobie:", printed="Vytlačené",
               cols=["Skupina", "Jazyková kombinácia", "Priemerné hodnotenie", "Prekladateľ"], avg="Priemer prekladateľa:",
               total="Priemer zostavy:"),
    "En": dict(title="Translator evaluation", period="Period:", printed="Printed",
               cols=["Group", "Language combination", "Average rating", "Translator"], avg="Translator average:",
               total="Report average:"),
}
WIDTH = 180


WEIGHTED = "[SUM(HODNOTENIE * POCET) / SUM(POCET)]"


def layout(t):
    out = []
    w = out.append
    w('<?xml version="1.0" encoding="UTF-8"?>')
    w('<!-- Translator evaluation; written by tools/reportlayouts/hod_pre.py -->')
    # An English layout prints English number formats.
    language = ' language="en"' if t is TEXTS["En"] else ''
    w('<lindavo-report version="1" title="%s" master="MASTER" pageheader-on-first="0"%s>' % (t["title"], language))
    w(' <page width="210" height="297" orientation="portrait" left="20" right="10" top="10" bottom="10"/>')
    w(' <variables>\n  <category name=" Nastavenia">\n   <variable name="Od" type="string"></variable>\n'
      '   <variable name="Do" type="string"></variable>\n  </category>\n </variables>')
    # The report's title is the Slovak caption of the dialog; the English
    # evaluation prints its own.
    title = t["title"] if t is TEXTS["En"] else "[REPORTTITLE]"
    w(' <band type="reporttitle" height="16">')
    w('  <text x="0" y="0" width="%d" height="9" size="15" bold="1" valign="center">%s</text>' % (WIDTH, title))
    w('  <text x="0" y="9" width="%d" height="6" size="10" format="dd.mm.yyyy">%s [Od] – [Do]</text>' % (WIDTH, t["period"]))
    w(' </band>')
    w(' <band type="pageheader" height="6">')
    w('  <text x="0" y="0" width="%d" height="5" size="8" italic="1">%s</text>' % (WIDTH, title))
    w(' </band>')
    w(' <band type="columnheader" height="6">')
    for x, width, caption, align in ((10, 40, t["cols"][0], ""), (50, 70, t["cols"][1], ""), (120, 60, t["cols"][2], ' align="right"')):
        w('  <text x="%d" y="0" width="%d" height="6" size="8" bold="1" fill="#ffd9d9d9" frame="tb" valign="center"%s>%s</text>' % (x, width, align, caption))
    w(' </band>')
    # The caption heads the group's column in the table exports.
    w(' <group condition="[MASTER.&quot;PREKLADATEL&quot;]" caption="%s">' % t["cols"][3])
    w('  <band type="groupheader" height="7">')
    w('   <text x="0" y="1" width="%d" height="6" size="10" bold="1">[PREKLADATEL]</text>' % WIDTH)
    w('  </band>')
    w('  <band type="groupfooter" height="7">')
    w('   <text x="50" y="0.5" width="70" height="5" size="8" bold="1" align="right">%s</text>' % t["avg"])
    # Each row averages its combination's rated jobs; a translator's and the
    # report's averages weight the rows by their count of rated jobs.
    w('   <text x="120" y="0.5" width="60" height="5" size="8" bold="1" align="right" frame="t" format="0.00">%s</text>' % WEIGHTED)
    w('  </band>')
    w(' </group>')
    w(' <band type="masterdata" height="5">')
    w('  <text x="10" y="0" width="40" height="5" size="8">[SKUPINA]</text>')
    w('  <text x="50" y="0" width="70" height="5" size="8">[JAZYKOVA_KOMBINACIA]</text>')
    w('  <text x="120" y="0" width="60" height="5" size="8" align="right" format="0.00">[HODNOTENIE]</text>')
    w(' </band>')
    w(' <band type="reportsummary" height="10">')
    w('  <text x="50" y="2" width="70" height="6" size="9" bold="1" align="right">%s</text>' % t["total"])
    w('  <text x="120" y="2" width="60" height="6" size="9" bold="1" align="right" frame="tb" format="0.00">%s</text>' % WEIGHTED)
    w(' </band>')
    w(' <band type="pagefooter" height="6">')
    w('  <line x="0" y="0.5" width="%d" height="0" frame-width="0.2"/>' % WIDTH)
    w('  <text x="0" y="1" width="90" height="5" size="8" format="dd.mm.yyyy">%s [DATE]</text>' % t["printed"])
    w('  <text x="90" y="1" width="90" height="5" size="8" align="right">[PAGE#] / [TOTALPAGES#]</text>')
    w(' </band>')
    w('</lindavo-report>')
    return "\n".join(out) + "\n"


for lang, t in TEXTS.items():
    with open("resources/Reports/Hod_pre_%s.frf" % lang, "w", encoding="utf-8") as f:
        f.write(layout(t))
