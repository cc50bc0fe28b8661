#!/usr/bin/env python3
"""Folds lupdate's output into the single "velmira" context and merges it with the
existing translations of one language.

usage: fold_translations.py EXTRACTED.ts TARGET.ts LANG

lupdate names a context after the class a text appears in, but Velmira looks every
text up by its Korean source alone (the core hands texts to the interface without
knowing where they were written). A source seen in several places becomes one
message with all its locations; its translation is taken from TARGET.ts whatever
context it was kept under there.
"""
import os
import sys
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape as xml_escape

CONTEXT = "velmira"


def escape(text, extra=None):
    # A bare carriage return would come back as a line feed from any XML reader;
    # lupdate and lrelease write and read control characters as <byte/> elements.
    return xml_escape(text, extra or {}).replace("\r", '<byte value="xd"/>')


def text_of(element):
    """An element's text with lupdate's <byte value="xd"/> children put back."""
    if element is None:
        return ""
    parts = [element.text or ""]
    for child in element:
        if child.tag == "byte":
            parts.append(chr(int(child.get("value").lstrip("x"), 16)))
        parts.append(child.tail or "")
    return "".join(parts)


def read_messages(path):
    """(source, [(file, line)], translation, finished) in the file's order."""
    out = []
    last = ""
    root = ET.parse(path).getroot()
    for ctx in root.iter("context"):
        for m in ctx.iter("message"):
            src = text_of(m.find("source"))
            locs = []
            for l in m.iter("location"):
                # An empty name repeats the previous location's file.
                last = l.get("filename") or last
                locs.append((os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(path)), last)), l.get("line")))
            t = m.find("translation")
            text = text_of(t)
            kind = t.get("type") if t is not None else None
            out.append((src, locs, text, kind not in ("unfinished", "vanished", "obsolete") and text != ""))
    return out


def main():
    extracted, target, lang = sys.argv[1:4]
    known = {}
    try:
        for src, _, text, finished in read_messages(target):
            if text and (src not in known or finished):
                known[src] = (text, finished)
    except FileNotFoundError:
        pass
    order, locations = [], {}
    for src, locs, _, _ in read_messages(extracted):
        if src not in locations:
            order.append(src)
            locations[src] = []
        for loc in locs:
            if loc not in locations[src]:
                locations[src].append(loc)
    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<!DOCTYPE TS>",
             f'<TS version="2.1" language="{lang}" sourcelanguage="ko">', "<context>",
             f"    <name>{CONTEXT}</name>"]
    done = 0
    for src in order:
        lines.append("    <message>")
        for f, l in locations[src]:
            f = os.path.relpath(f, os.path.dirname(os.path.abspath(target)))
            lines.append(f'        <location filename="{escape(f or "", {chr(34): "&quot;"})}" line="{l}"/>')
        lines.append(f"        <source>{escape(src)}</source>")
        text, finished = known.get(src, ("", False))
        if finished:
            done += 1
            lines.append(f"        <translation>{escape(text)}</translation>")
        else:
            lines.append(f'        <translation type="unfinished">{escape(text)}</translation>')
        lines.append("    </message>")
    lines += ["</context>", "</TS>", ""]
    with open(target, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print(f"{target}: {len(order)} texts, {done} translated, {len(order) - done} to do")


if __name__ == "__main__":
    main()
