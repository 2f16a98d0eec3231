#!/usr/bin/python3
"""Reads a Word document with python-docx (Debian python3-docx) and prints,
as JSON, what the report's tests compare: each paragraph's style and text
(tabs and line breaks as python-docx gives them), the footer's text and
field instructions, the document's properties, language and page."""
import json
import sys

import docx
from docx.oxml.ns import qn

document = docx.Document(sys.argv[1])
section = document.sections[0]
footer = section.footer
defaults = document.styles.element.find(qn("w:docDefaults"))
lang = defaults.find(".//" + qn("w:lang")) if defaults is not None else None
core = document.core_properties
print(json.dumps({
    "paragraphs": [[p.style.name, p.text] for p in document.paragraphs],
    "footer": "\n".join(p.text for p in footer.paragraphs),
    "fields": [t.text.strip() for t in footer._element.iter(qn("w:instrText"))],
    "title": core.title,
    "creator": core.author,
    "language": core.language,
    "lang": lang.get(qn("w:val")) if lang is not None else None,
    "page": [section.page_width.mm, section.page_height.mm],
    "margins": [section.left_margin.mm, section.right_margin.mm, section.top_margin.mm,
                section.bottom_margin.mm],
}, ensure_ascii=False))
