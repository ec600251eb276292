#!/usr/bin/python3
"""Compiles Qt Linguist .ts files into the C++ table of ui/core/src/catalog.h.

    make_catalog.py OUTPUT.cpp vellicor_de.ts vellicor_fr.ts ...

The language is the .ts file's own (its TS element's language attribute). Unfinished, vanished
and empty translations are left out, so their texts stay English.
"""
import sys
import xml.etree.ElementTree as ElementTree


def literal(text):
    """A C++ string literal of the UTF-8 bytes, non-ASCII as octal escapes."""
    out = []
    for byte in text.encode("utf-8"):
        char = chr(byte)
        if char in '"\\':
            out.append("\\" + char)
        elif 32 <= byte < 127:
            out.append(char)
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def entries(path):
    root = ElementTree.parse(path).getroot()
    language = root.get("language", "").split("_")[0].lower()
    found = []
    for context in root.iter("context"):
        name = context.findtext("name", "")
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") in ("unfinished", "vanished",
                                                                  "obsolete"):
                continue
            if translation.text:
                found.append((name, message.findtext("source", ""), translation.text))
    return language, found


def main():
    output, sources = sys.argv[1], sys.argv[2:]
    lines = ["// Made by ui/core/make_catalog.py from the .ts files; do not edit.",
             '#include "catalog.h"', "", "namespace vellicor::catalog {", "namespace {", ""]
    languages = []
    for index, path in enumerate(sources):
        language, found = entries(path)
        languages.append((language, "k%d" % index, len(found)))
        lines.append("const Entry k%d[] = {" % index)
        for context, source, translation in found:
            lines.append("    {%s, %s, %s}," % (literal(context), literal(source),
                                                 literal(translation)))
        if not found:
            lines.append("    {\"\", \"\", \"\"},")
        lines.append("};")
        lines.append("")
    lines.append("}  // namespace")
    lines.append("")
    lines.append("const Language kLanguages[] = {")
    for language, table, count in languages:
        lines.append("    {%s, %s, %d}," % (literal(language), table, count))
    lines.append("};")
    lines.append("const std::size_t kLanguageCount = %d;" % len(languages))
    lines.append("")
    lines.append("}  // namespace vellicor::catalog")
    with open(output, "w", encoding="utf-8") as file:
        file.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
