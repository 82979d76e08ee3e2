#!/usr/bin/env python3
"""Writes the SVG sources of the tray client's images: the "dots" icon theme and the
row status images.

Every image is drawn on a 22 x 22 grid, the usual tray size; bars and stems sit on whole
pixels so that the 22 px rendering and its doubles stay sharp.

The base glyph is a round "vault dial": a coloured disc with a dark rim, carrying one white
(or, on amber, dark) mark that names the state by its shape. The rim gives the disc its edge
on light panels, the fill is bright enough to stand out on dark ones. An alert adds a red
badge with a light rim in the top right corner, cut clear of the glyph. While data moves,
the mark becomes a ring of six dots with a light travelling round it.

    make_icons.py OUT_DIR NAME...

writes OUT_DIR/NAME.svg for every NAME. The names must be exactly the images this script
draws, so that the build's list and the drawings cannot drift apart.
"""

import math
import os
import sys

CENTRE = 11.0
DISC_RADIUS = 9.5  # rim included: the disc spans 1.5 .. 20.5
RIM_WIDTH = 1.25
WHITE = "#ffffff"

# Fill and rim of each state. The rims are the fills darkened towards black: they read as
# the disc's own edge rather than as a drawn outline.
SAFE = ("#2fa84f", "#0b2b14")
WARNING = ("#f5a623", "#3a2600")
SEVERE = ("#e0392f", "#3a0a06")
COMPLETE = ("#1e88e5", "#07223d")
NEUTRAL = ("#6f7b88", "#15191e")  # paused and the row buttons
OFFLINE = ("#9aa0a6", "#1c1e20")
INK_ON_AMBER = "#2b1c00"

BADGE_CENTRE = (18.0, 4.0)
BADGE_RADIUS = 3.0
BADGE_RIM = 1.0
BADGE_GAP = 4.75  # the glyph is cut away this far from the badge's centre
BADGE_FILL = "#f04438"
BADGE_RIM_COLOUR = "#fff4f2"

DOT_COUNT = 6
DOT_ORBIT = 5.0
FRAME_COUNT = 12


def svg(body, defs=""):
    head = ('<svg xmlns="http://www.w3.org/2000/svg" width="22" height="22" '
            'viewBox="0 0 22 22">')
    defs_block = f"<defs>{defs}</defs>" if defs else ""
    return f"{head}{defs_block}{body}</svg>\n"


def circle(cx, cy, r, fill, extra=""):
    return f'<circle cx="{cx:g}" cy="{cy:g}" r="{r:g}" fill="{fill}"{extra}/>'


def stroke_path(d, colour, width):
    return (f'<path d="{d}" fill="none" stroke="{colour}" stroke-width="{width:g}" '
            'stroke-linecap="round" stroke-linejoin="round"/>')


def disc(colours):
    fill, rim = colours
    return (circle(CENTRE, CENTRE, DISC_RADIUS, rim) +
            circle(CENTRE, CENTRE, DISC_RADIUS - RIM_WIDTH, fill))


def check_mark():
    return stroke_path("M6.75 11.25 L9.5 14 L14.75 8.25", WHITE, 2.25)


def sealed_check_mark():
    # Complete: the check sits dark on a white centre. It keeps the check of "safe" but turns
    # the dial inside out, so the two differ in light and dark, not only in hue.
    return (circle(CENTRE, CENTRE, 6.5, WHITE) +
            stroke_path("M7.75 11.25 L10 13.5 L14.25 8.75", COMPLETE[1], 2.0))


def exclamation_mark():
    return (f'<rect x="10" y="5" width="2" height="8" rx="0.75" fill="{INK_ON_AMBER}"/>' +
            circle(11, 15.75, 1.5, INK_ON_AMBER))


def cross_mark():
    return stroke_path("M7.5 7.5 L14.5 14.5 M14.5 7.5 L7.5 14.5", WHITE, 2.25)


def pause_bars():
    return (f'<rect x="7" y="6" width="3" height="10" rx="0.75" fill="{WHITE}"/>'
            f'<rect x="12" y="6" width="3" height="10" rx="0.75" fill="{WHITE}"/>')


def play_triangle():
    # Optically centred: the triangle's centroid, not its box, sits on the disc's centre.
    return (f'<path d="M8.75 6.75 L15.5 11 L8.75 15.25 Z" fill="{WHITE}" stroke="{WHITE}" '
            'stroke-width="1" stroke-linejoin="round"/>')


def info_mark():
    return (circle(11, 6.75, 1.5, WHITE) +
            f'<rect x="10" y="9" width="2" height="7" rx="0.5" fill="{WHITE}"/>')


def hollow_ring(colours):
    # Not connected: the dial with nothing in it. The grey band has a dark edge on both
    # sides, so it keeps its outline on light panels too.
    fill, rim = colours
    mid = DISC_RADIUS - 2.25
    return (f'<circle cx="11" cy="11" r="{mid:g}" fill="none" stroke="{rim}" '
            f'stroke-width="4.5"/>'
            f'<circle cx="11" cy="11" r="{mid:g}" fill="none" stroke="{fill}" '
            f'stroke-width="2"/>')


def dot_ring(frame):
    """The six dots of the busy dial, lit for animation frame `frame`.

    The light sits at 30 degrees per frame clockwise from twelve o'clock, so it rests on a
    dot every other frame and between two dots in the frames between; a dot's brightness and
    size fall off linearly with its angular distance from the light, over one dot spacing.
    Shown in reverse order the light runs anticlockwise.
    """
    head = frame * 360.0 / FRAME_COUNT
    spacing = 360.0 / DOT_COUNT
    parts = []
    for i in range(DOT_COUNT):
        angle = i * spacing
        distance = abs((head - angle + 180.0) % 360.0 - 180.0)
        lit = max(0.0, 1.0 - distance / spacing)
        x = CENTRE + DOT_ORBIT * math.sin(math.radians(angle))
        y = CENTRE - DOT_ORBIT * math.cos(math.radians(angle))
        radius = 1.3 + 0.7 * lit
        opacity = 0.55 + 0.45 * lit
        parts.append(circle(round(x, 3), round(y, 3), radius, WHITE,
                            f' fill-opacity="{opacity:.3f}"'))
    return "".join(parts)


def with_badge(body):
    """The glyph with the alert badge: the glyph is masked away around the badge so the
    badge stands free, whatever the glyph's colour."""
    bx, by = BADGE_CENTRE
    defs = ('<mask id="badge-gap" maskUnits="userSpaceOnUse" x="0" y="0" width="22" '
            'height="22"><rect width="22" height="22" fill="#fff"/>' +
            circle(bx, by, BADGE_GAP, "#000") + '</mask>')
    badge = (circle(bx, by, BADGE_RADIUS + BADGE_RIM, BADGE_RIM_COLOUR) +
             circle(bx, by, BADGE_RADIUS, BADGE_FILL))
    return svg(f'<g mask="url(#badge-gap)">{body}</g>{badge}', defs)


def clicked():
    # The tray item while its panel is open: a pressed plate under a light dial. The plate
    # is a translucent grey, so it lightens a dark panel and darkens a light one.
    plate = ('<rect x="0.5" y="0.5" width="21" height="21" rx="5" fill="#808080" '
             'fill-opacity="0.55"/>')
    dial = (circle(CENTRE, CENTRE, DISC_RADIUS - 0.5, "#16191c") +
            circle(CENTRE, CENTRE, DISC_RADIUS - 0.5 - RIM_WIDTH, "#f4f6f8"))
    dots = "".join(
        circle(round(CENTRE + DOT_ORBIT * math.sin(a), 3),
               round(CENTRE - DOT_ORBIT * math.cos(a), 3), 1.1, "#16191c")
        for a in (i * 2 * math.pi / DOT_COUNT for i in range(DOT_COUNT)))
    return svg(plate + dial + dots)


STATES = {
    "safe": disc(SAFE) + check_mark(),
    "warning": disc(WARNING) + exclamation_mark(),
    "severe": disc(SEVERE) + cross_mark(),
    "complete": disc(COMPLETE) + sealed_check_mark(),
}


def build_images():
    images = {}
    for state, body in STATES.items():
        images[f"dots_vt_status_{state}"] = svg(body)
        images[f"dots_vt_status_{state}_alert"] = with_badge(body)
        images[f"computer_status_{state}"] = svg(body)
    images["dots_vt_status_gray"] = svg(hollow_ring(OFFLINE))
    images["computer_status_offline"] = svg(hollow_ring(OFFLINE))
    images["dots_vt_status_paused"] = svg(disc(NEUTRAL) + pause_bars())
    images["dots_vt_icon_clicked"] = clicked()
    for frame in range(FRAME_COUNT):
        images[f"dots_vt_status_active_anim{frame}"] = svg(disc(SAFE) + dot_ring(frame))
    images["dots_play"] = svg(disc(NEUTRAL) + play_triangle())
    images["dots_pause"] = svg(disc(NEUTRAL) + pause_bars())
    images["dots_invisible"] = svg("")
    images["dots_info_small"] = svg(disc(NEUTRAL) + info_mark())
    return images


def main(argv):
    if len(argv) < 3:
        print("usage: make_icons.py OUT_DIR NAME...", file=sys.stderr)
        return 2
    out_dir, names = argv[1], argv[2:]
    images = build_images()
    unknown = sorted(set(names) - set(images))
    missing = sorted(set(images) - set(names))
    if unknown or missing:
        print(f"make_icons.py: names not drawn here: {unknown}; drawn but not asked for: "
              f"{missing}", file=sys.stderr)
        return 2
    os.makedirs(out_dir, exist_ok=True)
    for name in names:
        with open(os.path.join(out_dir, f"{name}.svg"), "w", encoding="utf-8") as out:
            out.write(images[name])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
