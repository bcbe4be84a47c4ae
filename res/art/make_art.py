#!/usr/bin/env python3
"""Writes the viewer's artwork as SVG files beside this script and renders
them to the PNG resources under res/png and res/bmp (rsvg-convert).

One style for everything: dark graphite surfaces, light grey glyphs, a blue
accent (#2f9bff) for active states and red (#e5484d) for destructive ones.
Run it again after changing a drawing; the PNGs are checked in.
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)

GLYPH = "#e8eaed"
ACCENT = "#2f9bff"
RED = "#e5484d"
GREEN = "#3ccf6e"


def svg(w, h, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n<defs>{defs}</defs>\n{body}\n</svg>\n')


ROUND_DEFS = """
<linearGradient id="face" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#3a3f46"/><stop offset="1" stop-color="#1c1f23"/>
</linearGradient>
<linearGradient id="rim" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#6b737d"/><stop offset="1" stop-color="#15171a"/>
</linearGradient>"""


def round_button(size, glyph, ring=True):
    """A circular transport button: graphite face, thin rim, glyph in a
    64-unit coordinate system scaled to `size`."""
    s = size / 64.0
    rim = ('<circle cx="32" cy="32" r="30" fill="url(#rim)"/>'
           '<circle cx="32" cy="32" r="28.5" fill="url(#face)"/>') if ring else ''
    body = f'<g transform="scale({s})">{rim}{glyph}</g>'
    return svg(size, size, body, ROUND_DEFS)


def square_icon(size, glyph):
    """A small square tool icon: rounded graphite tile, glyph in 32 units."""
    s = size / 32.0
    body = (f'<g transform="scale({s})"><rect x="1" y="1" width="30" height="30" rx="6" '
            f'fill="url(#face)" stroke="#5a616b" stroke-width="1"/>{glyph}</g>')
    return svg(size, size, body, ROUND_DEFS)


def title_button(w, h, glyph, hover_fill="#2b2f35"):
    body = (f'<rect x="0" y="0" width="{w}" height="{h}" fill="{hover_fill}"/>'
            f'<rect x="0.5" y="0.5" width="{w-1}" height="{h-1}" fill="none" '
            f'stroke="#3d434b"/>{glyph}')
    return svg(w, h, body)


def screen_button(w, h, inner_w, inner_h, label):
    x = (w - inner_w) / 2
    y = (h - inner_h) / 2 - 2
    body = (f'<rect x="1" y="1" width="{w-2}" height="{h-2}" rx="5" fill="url(#face)" '
            f'stroke="#5a616b"/>'
            f'<rect x="{x}" y="{y}" width="{inner_w}" height="{inner_h}" rx="1.5" fill="none" '
            f'stroke="{GLYPH}" stroke-width="2"/>'
            f'<text x="{w/2}" y="{h-4}" font-family="DejaVu Sans" font-size="8" '
            f'font-weight="bold" fill="{ACCENT}" text-anchor="middle">{label}</text>')
    return svg(w, h, body, ROUND_DEFS)


PLAY = f'<path d="M25 19 L47 32 L25 45 Z" fill="{GLYPH}" stroke="{GLYPH}" stroke-width="3" stroke-linejoin="round"/>'
PAUSE = (f'<rect x="22" y="19" width="7" height="26" rx="2" fill="{ACCENT}"/>'
         f'<rect x="35" y="19" width="7" height="26" rx="2" fill="{ACCENT}"/>')
STOP = f'<rect x="22" y="22" width="20" height="20" rx="3" fill="{GLYPH}"/>'
FAST = (f'<path d="M17 21 L32 32 L17 43 Z M32 21 L47 32 L32 43 Z" fill="{GLYPH}" '
        f'stroke="{GLYPH}" stroke-width="2" stroke-linejoin="round"/>')
SLOW = (f'<path d="M47 21 L32 32 L47 43 Z M32 21 L17 32 L32 43 Z" fill="{GLYPH}" '
        f'stroke="{GLYPH}" stroke-width="2" stroke-linejoin="round"/>')
NEXT = (f'<path d="M21 20 L39 32 L21 44 Z" fill="{GLYPH}" stroke="{GLYPH}" stroke-width="2" '
        f'stroke-linejoin="round"/><rect x="40" y="20" width="5" height="24" rx="1.5" fill="{GLYPH}"/>')
PREV = (f'<path d="M43 20 L25 32 L43 44 Z" fill="{GLYPH}" stroke="{GLYPH}" stroke-width="2" '
        f'stroke-linejoin="round"/><rect x="19" y="20" width="5" height="24" rx="1.5" fill="{GLYPH}"/>')
CAMERA = (f'<rect x="15" y="23" width="34" height="23" rx="4" fill="none" stroke="{GLYPH}" stroke-width="3"/>'
          f'<path d="M25 23 L28 18 L36 18 L39 23" fill="none" stroke="{GLYPH}" stroke-width="3" stroke-linejoin="round"/>'
          f'<circle cx="32" cy="34.5" r="6" fill="none" stroke="{ACCENT}" stroke-width="3"/>')
FULL = (f'<g fill="none" stroke="{GLYPH}" stroke-width="3.5" stroke-linecap="round" stroke-linejoin="round">'
        f'<path d="M18 27 V18 H27"/><path d="M37 18 H46 V27"/><path d="M46 37 V46 H37"/>'
        f'<path d="M27 46 H18 V37"/></g>')
SPEAKER = (f'<path d="M17 27 H24 L33 19 V45 L24 37 H17 Z" fill="{GLYPH}" stroke="{GLYPH}" '
           f'stroke-width="2" stroke-linejoin="round"/>'
           f'<path d="M38 26 Q42 32 38 38 M42 22 Q49 32 42 42" fill="none" stroke="{ACCENT}" '
           f'stroke-width="3" stroke-linecap="round"/>')
MUTED = (f'<path d="M17 27 H24 L33 19 V45 L24 37 H17 Z" fill="#8a9099" stroke="#8a9099" '
         f'stroke-width="2" stroke-linejoin="round"/>'
         f'<path d="M38 26 L48 38 M48 26 L38 38" stroke="{RED}" stroke-width="3.5" stroke-linecap="round"/>')


def folder(x, y, w, h, stroke):
    return (f'<path d="M{x} {y+h*0.18} Q{x} {y} {x+w*0.08} {y} H{x+w*0.36} L{x+w*0.46} {y+h*0.14} '
            f'H{x+w*0.92} Q{x+w} {y+h*0.14} {x+w} {y+h*0.26} V{y+h*0.9} Q{x+w} {y+h} {x+w*0.92} {y+h} '
            f'H{x+w*0.08} Q{x} {y+h} {x} {y+h*0.9} Z" fill="#d9a441" stroke="{stroke}" stroke-width="1"/>'
            f'<path d="M{x} {y+h*0.32} H{x+w}" stroke="#b98528" stroke-width="{h*0.05}"/>')


def diskette(x, y, w, fill="#5a8fd6"):
    h = w
    return (f'<path d="M{x} {y+w*0.08} Q{x} {y} {x+w*0.08} {y} H{x+w*0.8} L{x+w} {y+h*0.2} V{y+h*0.92} '
            f'Q{x+w} {y+h} {x+w*0.92} {y+h} H{x+w*0.08} Q{x} {y+h} {x} {y+h*0.92} Z" fill="{fill}"/>'
            f'<rect x="{x+w*0.22}" y="{y}" width="{w*0.5}" height="{h*0.3}" fill="#dfe6ef"/>'
            f'<rect x="{x+w*0.55}" y="{y+h*0.04}" width="{w*0.1}" height="{h*0.2}" fill="{fill}"/>'
            f'<rect x="{x+w*0.16}" y="{y+h*0.5}" width="{w*0.68}" height="{h*0.42}" rx="{w*0.04}" fill="#f4f6f8"/>')


def loop_arrow(color):
    return (f'<g fill="none" stroke="{color}" stroke-width="2.6" stroke-linecap="round" stroke-linejoin="round">'
            f'<path d="M9 18 V14 Q9 10 13 10 H22"/><path d="M19 7 L22 10 L19 13"/>'
            f'<path d="M23 14 V18 Q23 22 19 22 H10"/><path d="M13 19 L10 22 L13 25"/></g>')


def compass(index):
    """Fixed north-up rose; the needle of picture `index` points 45 degrees
    further counter-clockwise per picture (0 = north)."""
    angle = -45 * index
    ticks = ''.join(
        f'<line x1="24" y1="5" x2="24" y2="{8 if k % 2 == 0 else 7}" stroke="#9aa3ad" '
        f'stroke-width="{1.6 if k % 2 == 0 else 1}" transform="rotate({k * 45} 24 24)"/>'
        for k in range(8))
    body = (f'<circle cx="24" cy="24" r="22.5" fill="url(#rim)"/>'
            f'<circle cx="24" cy="24" r="21" fill="url(#face)"/>{ticks}'
            f'<text x="24" y="15.5" font-family="DejaVu Sans" font-size="7" font-weight="bold" '
            f'fill="{GLYPH}" text-anchor="middle">N</text>'
            f'<g transform="rotate({angle} 24 24)">'
            f'<path d="M24 9 L28 24 L20 24 Z" fill="{RED}"/>'
            f'<path d="M24 39 L28 24 L20 24 Z" fill="#c9ced4"/>'
            f'</g><circle cx="24" cy="24" r="2.2" fill="#2a2e33" stroke="{GLYPH}" stroke-width="1"/>')
    return svg(48, 48, body, ROUND_DEFS)


def drawings():
    d = {}
    d['png/129'] = round_button(64, PLAY)
    d['png/132'] = round_button(64, PAUSE)
    d['png/133'] = round_button(120, STOP)
    d['png/136'] = round_button(64, FAST)
    d['png/137'] = round_button(64, SLOW)
    d['png/1047'] = round_button(64, NEXT)
    d['png/1046'] = round_button(64, PREV)
    d['png/140'] = round_button(64, CAMERA)
    d['png/1048'] = round_button(64, FULL)
    d['png/156'] = round_button(64, SPEAKER)
    d['png/155'] = round_button(64, MUTED)
    d['png/139'] = svg(128, 128,
                       '<rect width="128" height="128" fill="url(#tile)"/>'
                       '<rect x="0" y="0" width="128" height="3" fill="#4a5058"/>'
                       '<rect x="0" y="125" width="128" height="3" fill="#111315"/>',
                       '<linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">'
                       '<stop offset="0" stop-color="#3b4047"/><stop offset="0.5" stop-color="#2a2e33"/>'
                       '<stop offset="1" stop-color="#1b1d20"/></linearGradient>')
    d['png/197'] = svg(32, 32, folder(3, 6, 26, 21, "#8a6a25"))
    d['png/138'] = svg(32, 32, diskette(4, 4, 24))
    d['png/142'] = svg(128, 128, folder(10, 22, 108, 86, "#8a6a25") +
                       f'<g stroke="{RED}" stroke-width="12" stroke-linecap="round">'
                       '<path d="M70 64 L104 98 M104 64 L70 98"/></g>')
    d['png/141'] = svg(128, 128, diskette(10, 10, 74, "#3f73b8") + diskette(44, 44, 74))
    d['png/143'] = square_icon(32, loop_arrow("#9aa3ad"))
    d['png/176'] = square_icon(32, loop_arrow(ACCENT))
    d['png/145'] = square_icon(32, f'<text x="16" y="20" font-family="DejaVu Sans" font-size="9" '
                                   f'font-weight="bold" fill="{GLYPH}" text-anchor="middle">KML</text>')
    d['png/146'] = square_icon(32, f'<path d="M16 25 C11 18 9 15 9 12 A7 7 0 0 1 23 12 C23 15 21 18 16 25 Z" '
                                   f'fill="{ACCENT}"/><circle cx="16" cy="12" r="2.6" fill="#1c1f23"/>')
    d['png/147'] = square_icon(32, f'<path d="M5 17 H9 L12 9 L16 24 L19 13 L21 17 H27" fill="none" '
                                   f'stroke="{GREEN}" stroke-width="2.4" stroke-linejoin="round" '
                                   f'stroke-linecap="round"/>')
    x_glyph = ('<path d="M20 6 L29 14 M29 6 L20 14" stroke="#e8eaed" stroke-width="1.8" '
               'stroke-linecap="round"/>')
    d['png/151'] = title_button(49, 20, x_glyph, "#5c2326")
    d['png/152'] = title_button(27, 20, f'<rect x="8.5" y="5.5" width="10" height="9" fill="none" '
                                        f'stroke="{GLYPH}" stroke-width="1.5"/>'
                                        f'<rect x="8.5" y="5.5" width="10" height="2" fill="{GLYPH}"/>')
    d['png/196'] = title_button(27, 20, f'<rect x="7.5" y="7.5" width="8" height="7" fill="none" '
                                        f'stroke="{GLYPH}" stroke-width="1.4"/>'
                                        f'<path d="M10.5 7.5 V4.5 H19.5 V11.5 H15.5" fill="none" '
                                        f'stroke="{GLYPH}" stroke-width="1.4"/>')
    d['png/153'] = title_button(29, 20, f'<rect x="9" y="12" width="11" height="2" fill="{GLYPH}"/>')
    d['png/154'] = svg(41, 32, '<rect x="1" y="1" width="39" height="30" rx="5" fill="url(#face)" '
                               'stroke="#5a616b"/><text x="20.5" y="23" font-family="DejaVu Sans" '
                               f'font-size="18" font-weight="bold" fill="{GLYPH}" '
                               'text-anchor="middle">?</text>', ROUND_DEFS)
    d['png/1045'] = screen_button(41, 32, 14, 10, "S")
    d['png/187'] = screen_button(41, 32, 22, 14, "M")
    d['png/150'] = svg(40, 40,
                       f'<circle cx="20" cy="20" r="18" fill="#143d24" stroke="{GREEN}" stroke-width="2"/>'
                       f'<path d="M20 8 V13 M20 27 V32 M8 20 H13 M27 20 H32" stroke="{GREEN}" '
                       f'stroke-width="2.4" stroke-linecap="round"/>'
                       f'<circle cx="20" cy="20" r="6" fill="none" stroke="{GREEN}" stroke-width="2.4"/>'
                       f'<circle cx="20" cy="20" r="2.2" fill="{GREEN}"/>')
    d['png/157'] = svg(188, 64,
                       '<circle cx="32" cy="32" r="22" fill="url(#rim)"/>'
                       '<circle cx="32" cy="32" r="19" fill="#15171a"/>'
                       f'<circle cx="32" cy="32" r="12" fill="none" stroke="{ACCENT}" stroke-width="4"/>'
                       f'<path d="M28 25 L40 32 L28 39 Z" fill="{GLYPH}"/>'
                       f'<text x="62" y="38" font-family="DejaVu Sans" font-size="26" '
                       f'font-weight="bold" letter-spacing="2" fill="{GLYPH}">ORVO</text>'
                       f'<text x="64" y="53" font-family="DejaVu Sans" font-size="10" '
                       f'letter-spacing="5.2" fill="{ACCENT}">PLAYER</text>', ROUND_DEFS)
    for i in range(8):
        d[f'png/{167 + i}'] = compass(i)
    d['png/190'] = svg(32, 32,
                       f'<circle cx="16" cy="16" r="14" fill="{ACCENT}" fill-opacity="0.25"/>'
                       f'<path d="M16 4 L25 26 L16 21 L7 26 Z" fill="{ACCENT}" stroke="#ffffff" '
                       f'stroke-width="2" stroke-linejoin="round"/>')
    d['png/128'] = svg(64, 64,
                       '<rect x="2" y="2" width="60" height="60" rx="14" fill="url(#face)" '
                       'stroke="#5a616b" stroke-width="2"/>'
                       f'<circle cx="32" cy="32" r="17" fill="none" stroke="{ACCENT}" stroke-width="5"/>'
                       f'<path d="M27 23 L42 32 L27 41 Z" fill="{GLYPH}"/>', ROUND_DEFS)
    # Bitmaps.
    d['bmp/198'] = svg(16, 24,
                       '<rect width="16" height="24" fill="url(#strip)"/>'
                       '<rect y="0" width="16" height="1" fill="#4d535b"/>'
                       '<rect y="23" width="16" height="1" fill="#0f1012"/>',
                       '<linearGradient id="strip" x1="0" y1="0" x2="0" y2="1">'
                       '<stop offset="0" stop-color="#33373d"/><stop offset="1" stop-color="#202326"/>'
                       '</linearGradient>')
    d['bmp/189'] = svg(8, 8, '<rect width="8" height="8" fill="#1f5fa8"/>'
                             '<path d="M-2 2 L2 -2 M-2 10 L10 -2 M6 10 L10 6" stroke="#2f7fd6" '
                             'stroke-width="2"/>')
    d['bmp/199'] = svg(18, 14, '<rect x="1" y="0.5" width="16" height="13" rx="4" fill="url(#face)" '
                               f'stroke="{GLYPH}" stroke-width="1"/>'
                               f'<path d="M7 4 V10 M9 4 V10 M11 4 V10" stroke="{ACCENT}" stroke-width="1"/>',
                       ROUND_DEFS)
    d['bmp/161'] = svg(32, 32, f'<circle cx="16" cy="16" r="14" fill="{GREEN}"/>'
                               '<path d="M9 16.5 L14 21.5 L23 11" fill="none" stroke="#ffffff" '
                               'stroke-width="3.5" stroke-linecap="round" stroke-linejoin="round"/>')
    return d


def main():
    for name, text in drawings().items():
        kind, ident = name.split('/')
        svg_path = os.path.join(HERE, f'{kind}_{ident}.svg')
        with open(svg_path, 'w') as f:
            f.write(text)
        out = os.path.join(RES, kind, f'{ident}.png')
        os.makedirs(os.path.dirname(out), exist_ok=True)
        subprocess.run(['rsvg-convert', '-o', out, svg_path], check=True)
    return 0


if __name__ == '__main__':
    sys.exit(main())
