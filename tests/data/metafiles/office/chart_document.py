#!/usr/bin/python3
"""Writes a Draw document holding one chart whose title, axis titles,
categories and series names are Russian, Greek and Chinese, and a line of
text with the same scripts and the signs — € “ ”.

usage: chart_document.py OUT.odg [bar|line|pie|area|xy|donut|net]
Needs LibreOffice (Draw, Calc's chart module) and python3-uno; starts its own
headless soffice on a private pipe and profile.
"""
import os
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.awt import Point, Size
from com.sun.star.beans import PropertyValue

KINDS = {k: f"com.sun.star.chart.{v}Diagram" for k, v in {
    "bar": "Bar", "line": "Line", "pie": "Pie", "area": "Area", "xy": "XY", "donut": "Donut", "net": "Net"}.items()}
CHART_CLSID = "12dcae26-281f-416f-a234-c3086127382e"


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


def connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(100):
        try:
            return resolver.resolve(f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
        except Exception:
            time.sleep(0.2)
    raise SystemExit("soffice did not answer")


def build(ctx, out, kind):
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    doc = desktop.loadComponentFromURL("private:factory/sdraw", "_blank", 0, (prop("Hidden", True),))
    page = doc.DrawPages.getByIndex(0)
    # No margins: the exported metafile's frame is then the whole page.
    page.Width, page.Height = 16000, 11000
    page.BorderLeft = page.BorderRight = page.BorderTop = page.BorderBottom = 0

    text = doc.createInstance("com.sun.star.drawing.TextShape")
    page.add(text)
    text.Position, text.Size = Point(500, 300), Size(15000, 1200)
    text.String = "Продажи — Πωλήσεις — 销售额 € “2024”"
    text.CharHeight = 16
    text.CharColor = 0x203080

    shape = doc.createInstance("com.sun.star.drawing.OLE2Shape")
    page.add(shape)
    shape.CLSID = CHART_CLSID
    shape.Position, shape.Size = Point(500, 1800), Size(15000, 8800)
    chart = shape.Model
    chart.Diagram = chart.createInstance(KINDS[kind])
    chart.HasMainTitle = True
    chart.Title.String = "Продажи по регионам"
    chart.HasSubTitle = True
    chart.SubTitle.String = "Πωλήσεις ανά περιοχή"
    chart.HasLegend = True
    data = chart.Data
    data.setData(((12.0, 7.5, 9.0), (15.5, 9.0, 6.5), (9.5, 12.0, 11.0), (18.0, 10.5, 8.0)))
    data.setRowDescriptions(("北京", "上海", "广州", "深圳"))
    data.setColumnDescriptions(("Серия 1", "Σειρά 2", "系列 3"))
    if kind not in ("pie", "donut", "net"):
        diagram = chart.Diagram
        diagram.HasXAxisTitle = diagram.HasYAxisTitle = True
        diagram.XAxisTitle.String = "城市"
        diagram.YAxisTitle.String = "Млн ₽ / εκατ. €"
    doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(out)), ())
    doc.close(True)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    kind = sys.argv[2] if len(sys.argv) == 3 else "bar"
    with tempfile.TemporaryDirectory() as tmp:
        pipe = f"chartdoc{os.getpid()}"
        office = subprocess.Popen(["soffice", "--headless", "--invisible", "--norestore",
                                   f"-env:UserInstallation=file://{tmp}/profile",
                                   f"--accept=pipe,name={pipe};urp;"])
        try:
            build(connect(pipe), sys.argv[1], kind)
        finally:
            office.terminate()
            office.wait()


if __name__ == "__main__":
    main()
