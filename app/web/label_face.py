#!/usr/bin/env python3
"""Cuts a label face down to the characters the windows draw and renames it.

Usage: label_face.py FONT.ttf FAMILY OUT.ttf

The characters are Basic Latin, the no-break space and the multiplication sign
of the close box: every caption, label, button and box text of the game and the
About window is written in them, except the defeat message, whose Arabic the
browser draws in a fallback face. The face keeps its hinting and kerning, so
that text is laid out and wraps as the desktop builds show it. Its family is
renamed (the face's licence forbids its maker's trademark on a changed copy).
The output depends on nothing but the input: the same bytes on every build.
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

CHARACTERS = [*range(0x20, 0x7F), 0xA0, 0xD7]

# The name records that name the face: family, unique id, full name,
# PostScript name, typographic family.
RENAMED = {1, 3, 4, 6, 16, 21}


def main(source, family, output):
    options = subset.Options()
    options.hinting = True
    options.recalc_timestamp = False
    options.drop_tables += ['FFTM']  # the font editor's timestamps
    font = TTFont(source, recalcTimestamp=False)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=CHARACTERS)
    subsetter.subset(font)

    names = font['name']
    style = names.getDebugName(2) or 'Regular'
    postscript = (family + '-' + style).replace(' ', '')
    for record in names.names:
        if record.nameID in RENAMED:
            text = {1: family, 16: family, 21: family, 6: postscript}.get(
                record.nameID, family + ' ' + style)
            record.string = text
    font.save(output)


if __name__ == '__main__':
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip().splitlines()[2])
    main(*sys.argv[1:])
