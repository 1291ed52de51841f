#!/usr/bin/env python3
"""Writes the big German document of the printing tests and benchmarks as RTF.

Usage: scripts/gen_big_document.py OUT.rtf [paragraphs] [seed]

Defaults: 20000 paragraphs (about 900 A4 pages in Arial 10 pt), seed 1; the output is the same
for the same arguments. Each paragraph holds 16 to 46 words of business-letter German with up
to two bold runs; umlauts and sharp s are written as \\'xx in code page 1252. The page is A4
with margins of 20 mm left, top and bottom and 10 mm right, so that every program that reads
the file lays out the same page.
"""
import random
import sys

WORDS = (
    "der die das und ist ein eine mit von zu den im auf nicht sich auch es an werden aus er hat "
    "dass sie nach bei wird um noch wie einem einen so zum war haben nur oder aber vor zur bis "
    "mehr durch man sein wurde sowie jedoch bereits damit wenn weil dann hier dort heute morgen "
    "Antrag Bericht Kunde Vertrag Frist Angebot Rechnung Abteilung Projekt Termin Ergebnis "
    "Lieferung Unterlagen Verwaltung Stadt Gemeinde Haus Weg Jahr Monat Woche Tag Mitarbeiter "
    "Unternehmen Auftrag Betrag Konto Zeit für über während können müssen natürlich zunächst "
    "gemäß schön größer später möglich zusätzlich Übersicht Größe Straße Änderung Prüfung "
    "Bürger Möglichkeit Lösung Maßnahme Verkäufer Gebäude Geschäftsführer Überweisung "
    "Bestätigung Kündigung Zuständigkeit Grüße Gebühren Öffnungszeiten"
).split()


def rtf_text(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif code < 128:
            out.append(ch)
        else:
            out.append("\\'%02x" % ch.encode("cp1252")[0])
    return "".join(out)


def paragraph(rng):
    count = rng.randint(16, 46)
    words = [rng.choice(WORDS) for _ in range(count)]
    words[0] = words[0][:1].upper() + words[0][1:]
    bold = set()
    for _ in range(rng.randint(0, 2)):
        start = rng.randrange(count)
        bold.update(range(start, min(count, start + rng.randint(1, 4))))
    parts = []
    for i, word in enumerate(words):
        text = rtf_text(word) + ("." if i == count - 1 else "")
        parts.append("{\\b " + text + "}" if i in bold else text)
    return " ".join(parts)


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    paragraphs = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    with open(sys.argv[1], "w", encoding="ascii", newline="\r\n") as out:
        out.write("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n")
        out.write("\\paperw11906\\paperh16838\\margl1134\\margr567\\margt1134\\margb1134\n")
        for _ in range(paragraphs):
            out.write("\\pard\\plain\\f0\\fs20 " + paragraph(rng) + "\\par\n")
        out.write("}\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
