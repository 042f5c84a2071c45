"""Checks of an OOXML package as a file, shared by the template and the sample tests.

These are the rules the spreadsheet is strict about (deflate only, no ZIP64, content types
and relationships that match the parts), read straight from the zip with the standard library.
"""

import os
import posixpath
import struct
import sys
import xml.etree.ElementTree as ET
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "fixtures"))
from book_parts import LAYOUT  # noqa: E402

CT_NS = "{http://schemas.openxmlformats.org/package/2006/content-types}"
REL_NS = "{http://schemas.openxmlformats.org/package/2006/relationships}"
ZIP64_EXTRA_ID = 0x0001


def extra_ids(extra):
    """The header ids of a zip extra field."""
    ids = []
    pos = 0
    while pos + 4 <= len(extra):
        header_id, size = struct.unpack_from("<HH", extra, pos)
        ids.append(header_id)
        pos += 4 + size
    return ids


def local_extra(raw, info):
    """The extra field of the local file header of `info` in the zip bytes `raw`."""
    name_len, extra_len = struct.unpack_from("<HH", raw, info.header_offset + 26)
    start = info.header_offset + 30 + name_len
    return raw[start:start + extra_len]


def zip_problems(path):
    """Every way the zip container breaks the rules; empty when it is sound."""
    problems = []
    with open(path, "rb") as f:
        raw = f.read()
    with zipfile.ZipFile(path) as z:
        infos = z.infolist()
        if not infos or infos[0].filename != "[Content_Types].xml":
            problems.append("[Content_Types].xml is not the first entry")
        seen = set()
        for info in infos:
            name = info.filename
            if info.compress_type != zipfile.ZIP_DEFLATED:
                problems.append(f"{name}: compression method {info.compress_type}")
            if ZIP64_EXTRA_ID in extra_ids(info.extra):
                problems.append(f"{name}: ZIP64 record in the central directory")
            if ZIP64_EXTRA_ID in extra_ids(local_extra(raw, info)):
                problems.append(f"{name}: ZIP64 record in the local header")
            if name.startswith("/") or "\\" in name:
                problems.append(f"{name}: bad entry name")
            if name.lower() in seen:
                problems.append(f"{name}: duplicate entry name")
            seen.add(name.lower())
    return problems


def content_types(z):
    """(defaults by extension, overrides by part name) of the package."""
    root = ET.fromstring(z.read("[Content_Types].xml"))
    defaults = {d.get("Extension").lower(): d.get("ContentType")
                for d in root.findall(CT_NS + "Default")}
    overrides = {o.get("PartName"): o.get("ContentType")
                 for o in root.findall(CT_NS + "Override")}
    return defaults, overrides


def package_problems(path):
    """Parts without a content type, overrides without a part, dangling relationships."""
    problems = []
    with zipfile.ZipFile(path) as z:
        names = set(z.namelist())
        defaults, overrides = content_types(z)
        for name in names - {"[Content_Types].xml"}:
            ext = name.rsplit(".", 1)[-1].lower()
            if "/" + name not in overrides and ext not in defaults:
                problems.append(f"{name}: no content type")
        for part in overrides:
            if part.lstrip("/") not in names:
                problems.append(f"{part}: content type of a missing part")
        for rels in (n for n in names if n.endswith(".rels")):
            ids = set()
            for rel in ET.fromstring(z.read(rels)).findall(REL_NS + "Relationship"):
                if rel.get("Id") in ids:
                    problems.append(f"{rels}: duplicate {rel.get('Id')}")
                ids.add(rel.get("Id"))
                if rel.get("TargetMode") == "External":
                    continue
                target = rel.get("Target")
                if target.startswith("/"):
                    full = target[1:]
                else:
                    # A .rels part's targets start from the folder above its _rels folder.
                    source = posixpath.dirname(posixpath.dirname(rels))
                    full = posixpath.normpath(posixpath.join(source, target))
                if full not in names:
                    problems.append(f"{rels}: target {target} is missing")
    return problems


def workbook_content_type(path):
    with zipfile.ZipFile(path) as z:
        return content_types(z)[1].get("/xl/workbook.xml")


def custom_properties(path, with_pids=False):
    """{name: (value type, text)} straight from docProps/custom.xml; with_pids: also the
    sorted pids."""
    ns = "{http://schemas.openxmlformats.org/officeDocument/2006/custom-properties}"
    with zipfile.ZipFile(path) as z:
        root = ET.fromstring(z.read("docProps/custom.xml"))
    props = {}
    for p in root.findall(ns + "property"):
        value = list(p)[0]
        props[p.get("name")] = (value.tag.split("}")[1], value.text)
    if with_pids:
        return props, sorted(int(p.get("pid")) for p in root.findall(ns + "property"))
    return props


# The text properties every definition workbook carries from the template.
TEMPLATE_PROPERTIES = dict(TEMPLATE="DB", **LAYOUT)


def defined_names(path):
    """[(name, localSheetId or None, text)] straight from xl/workbook.xml."""
    ns = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
    with zipfile.ZipFile(path) as z:
        root = ET.fromstring(z.read("xl/workbook.xml"))
    return [(d.get("name"), d.get("localSheetId"), d.text)
            for d in root.iter(ns + "definedName")]


MAIN_NS = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"


def sheet_xml(path, sheet_name):
    """The parsed worksheet part of the sheet named `sheet_name`."""
    rel_ns = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
    with zipfile.ZipFile(path) as z:
        wb = ET.fromstring(z.read("xl/workbook.xml"))
        rid = next(s.get(rel_ns + "id") for s in wb.iter(MAIN_NS + "sheet")
                   if s.get("name") == sheet_name)
        rels = ET.fromstring(z.read("xl/_rels/workbook.xml.rels"))
        target = next(r.get("Target") for r in rels.findall(REL_NS + "Relationship")
                      if r.get("Id") == rid)
        full = target[1:] if target.startswith("/") else posixpath.join("xl", target)
        return ET.fromstring(z.read(posixpath.normpath(full)))


def column_widths(sheet):
    """{1-based column: width} from the <cols> of a parsed worksheet."""
    widths = {}
    for col in sheet.iter(MAIN_NS + "col"):
        for c in range(int(col.get("min")), int(col.get("max")) + 1):
            widths[c] = float(col.get("width"))
    return widths


def styled_rows(sheet):
    """Row numbers where the row or one of its cells carries a style of its own."""
    rows = set()
    for row in sheet.iter(MAIN_NS + "row"):
        if row.get("s") or any(c.get("s") for c in row.iter(MAIN_NS + "c")):
            rows.add(int(row.get("r")))
    return rows


def row_numbers(sheet):
    return [int(row.get("r")) for row in sheet.iter(MAIN_NS + "row")]
