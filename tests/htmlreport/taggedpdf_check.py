#!/usr/bin/python3
"""Reads a report PDF back as an accessibility checker does (Debian's
python3-pikepdf) and prints one line per fault; exits 1 when there is one.

    taggedpdf_check.py FILE LANGUAGE TITLE REQUIREMENTS

Checks the catalog (MarkInfo, Lang, ViewerPreferences/DisplayDocTitle), the
XMP packet (dc:title, pdfuaid:part 1), that every text-showing operator of
every page stands in marked content, that every marked sequence is an
artifact or a piece of a structure element that names it back, that the
headings start at H1 and skip no level, and that the outline leads to the
REQUIREMENTS requirements in order, below the sections, each entry to the
page that shows its heading.
"""
import re
import subprocess
import sys

import pikepdf

path, language, title, requirements = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
faults = []
pdf = pikepdf.open(path)
root = pdf.Root

if not (root.get("/MarkInfo") and root.MarkInfo.get("/Marked") is True):
    faults.append("the catalog is not marked (MarkInfo)")
if str(root.get("/Lang", "")) != language:
    faults.append(f"language {root.get('/Lang')!r}, not {language!r}")
if not (root.get("/ViewerPreferences") and root.ViewerPreferences.get("/DisplayDocTitle") is True):
    faults.append("the viewer is not told to show the title (DisplayDocTitle)")

meta = pdf.open_metadata()
if meta.get("dc:title") != title:
    faults.append(f"XMP dc:title {meta.get('dc:title')!r}")
if str(meta.get("{http://www.aiim.org/pdfua/ns/id/}part")) != "1":
    faults.append("XMP has no pdfuaid:part 1")

# Every structure element by the (page, MCID) of its pieces.
owners = {}
headings = []


def walk(element):
    kind = str(element.get("/S", ""))
    if re.fullmatch(r"/H[1-6]", kind):
        headings.append(int(kind[2:]))
    kids = element.get("/K")
    kids = kids if isinstance(kids, pikepdf.Array) else [kids] if kids is not None else []
    for kid in kids:
        if isinstance(kid, pikepdf.Dictionary) and kid.get("/Type") == "/MCR":
            owners[(kid.Pg.objgen, int(kid.MCID))] = element
        elif isinstance(kid, pikepdf.Dictionary):
            walk(kid)
        elif isinstance(kid, int):
            owners[(element.Pg.objgen, kid)] = element


if "/StructTreeRoot" in root:
    walk(root.StructTreeRoot)
if not headings or headings[0] != 1 or any(b > a + 1 for a, b in zip(headings, headings[1:])):
    faults.append(f"headings out of order: {headings[:12]}")

text_operators = {"Tj", "TJ", "'", '"'}
for number, page in enumerate(pdf.pages, 1):
    depth = 0
    for operands, operator in pikepdf.parse_content_stream(page):
        op = str(operator)
        if op in ("BDC", "BMC"):
            if depth == 0:
                tag = str(operands[0])
                props = operands[1] if op == "BDC" else None
                if tag != "/Artifact":
                    mcid = int(props.get("/MCID", -1)) if isinstance(props, pikepdf.Dictionary) else -1
                    if (page.objgen, mcid) not in owners:
                        faults.append(f"page {number}: {tag} MCID {mcid} belongs to no element")
                    elif str(owners[(page.objgen, mcid)].S) != tag:
                        faults.append(f"page {number}: {tag} MCID {mcid} is in a {owners[(page.objgen, mcid)].S}")
            depth += 1
        elif op == "EMC":
            depth -= 1
        elif op in text_operators and depth <= 0:
            faults.append(f"page {number}: text outside marked content")
            break

# The outline: the parts of the policy, their sections, and in them the
# requirements, numbered in order, each leading to the page that shows its
# heading (the requirement's statement).
found = []
page_index = {page.objgen: number for number, page in enumerate(pdf.pages)}
text = subprocess.run(["pdftotext", "-enc", "UTF-8", path, "-"], capture_output=True, check=True).stdout
page_texts = [re.sub(r"[\s-]+", "", page).lower() for page in text.decode("utf-8").split("\f")]


def outline(item, depth):
    while item is not None:
        title = str(item.Title)
        match = re.match(r"Requirement (\d+): ", title)
        if match:
            found.append(int(match.group(1)))
            if depth < 2:
                faults.append(f"{title} is not below a section")
        if "/Dest" not in item:
            faults.append(f"outline entry {title} leads nowhere")
        else:
            heading = re.sub(r"[\s-]+", "", title[match.end() if match else 0:].rstrip("\u2026")).lower()
            page = page_index.get(item.Dest[0].objgen, -1)
            if page < 0 or heading not in page_texts[page]:
                faults.append(f"outline entry {title} leads to page {page + 1}, which does not show it")
        outline(item.get("/First"), depth + 1)
        item = item.get("/Next")


outline(root.Outlines.get("/First") if "/Outlines" in root else None, 0)
if found != list(range(1, requirements + 1)):
    faults.append(f"outline requirements {found}")

for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
