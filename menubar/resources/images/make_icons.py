#!/usr/bin/env python3
"""Writes the SVG sources of the tray client's images: the four icon themes ("dots",
"colors", "gradient", "no_animation") and the row status images.

Every image is drawn on a 22 x 22 grid, the usual tray size; bars and stems sit on whole
pixels so that the 22 px rendering and its doubles stay sharp.

Each theme gives the states the same marks: a check for safe, an exclamation mark for
warning, a cross for severe, the check turned dark on a white centre for complete, two bars
for paused, an empty outline while the service cannot be reached. The themes differ in the
plate that carries the mark and in how they show data moving:

- "dots": a round "vault dial" with a dark rim; while data moves the mark becomes a ring of
  six dots with a light travelling round it.
- "colors": a rounded square in brighter colours; while data moves a white dial hand sweeps
  round it, trailing a fainter copy of itself.
- "gradient": a dial lit from the top left; while data moves a comet of light runs round
  it, bright at its head and fading along its tail.
- "no_animation": the dots dial standing still; data moving shows the six dots all lit, in
  a single frame, so the icon never animates.

The rims are the fills darkened towards black: they give every plate its edge on light
panels, while the fills are bright enough to stand out on dark ones. An alert adds a red
badge with a light rim in the top right corner, cut clear of the glyph. Every moving light
turns clockwise by one twelfth of a turn per frame, so that the frames played backwards
(data coming in) turn the other way.

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
# the plate's own edge rather than as a drawn outline.
SAFE = ("#2fa84f", "#0b2b14")
WARNING = ("#f5a623", "#3a2600")
SEVERE = ("#e0392f", "#3a0a06")
COMPLETE = ("#1e88e5", "#07223d")
NEUTRAL = ("#6f7b88", "#15191e")  # paused and the row buttons
OFFLINE = ("#9aa0a6", "#1c1e20")
INK_ON_AMBER = "#2b1c00"

# The brighter colours of "colors".
BRIGHT = {
    "safe": ("#12c26a", "#06301a"),
    "warning": ("#ffbf1f", "#3d2c00"),
    "severe": ("#ff4036", "#420b07"),
    "complete": ("#2f7bff", "#071f4a"),
    "neutral": ("#7d8a99", "#171b20"),
    "offline": ("#a3aab2", "#1d2024"),
}

# The light and dark ends of each "gradient" fill. The light end stays below near-white (no
# channel above 170 in all three), so that only the moving light reads as white.
LIT = {
    "safe": ("#62cc7f", "#27a24b", "#0a2612"),
    "warning": ("#ffd27a", "#e08e00", "#382400"),
    "severe": ("#f7766c", "#d9332a", "#360905"),
    "complete": ("#6aa9ec", "#1b78d6", "#061f3a"),
    "neutral": ("#97a1ac", "#67727f", "#14181c"),
    "offline": ("#c9cdd1", "#8b9197", "#1b1d1f"),
}

BADGE_CENTRE = (18.0, 4.0)
BADGE_RADIUS = 3.0
BADGE_RIM = 1.0
BADGE_GAP = 4.75  # the glyph is cut away this far from the badge's centre
BADGE_FILL = "#f04438"
BADGE_RIM_COLOUR = "#fff4f2"

DOT_COUNT = 6
DOT_ORBIT = 5.0
FRAME_COUNT = 12
STEP_DEGREES = 360.0 / FRAME_COUNT

TILE_LOW, TILE_HIGH = 1.5, 20.5  # the rounded square of "colors", rim included
TILE_CORNER = 4.5


def svg(body, defs=""):
    head = ('<svg xmlns="http://www.w3.org/2000/svg" width="22" height="22" '
            'viewBox="0 0 22 22">')
    defs_block = f"<defs>{defs}</defs>" if defs else ""
    return f"{head}{defs_block}{body}</svg>\n"


def circle(cx, cy, r, fill, extra=""):
    return f'<circle cx="{cx:g}" cy="{cy:g}" r="{r:g}" fill="{fill}"{extra}/>'


def stroke_path(d, colour, width, extra=""):
    return (f'<path d="{d}" fill="none" stroke="{colour}" stroke-width="{width:g}" '
            f'stroke-linecap="round" stroke-linejoin="round"{extra}/>')


def on_circle(radius, degrees):
    """The point at that angle, clockwise from twelve o'clock, on a circle round the centre."""
    angle = math.radians(degrees)
    return (round(CENTRE + radius * math.sin(angle), 3),
            round(CENTRE - radius * math.cos(angle), 3))


# -- plates ----------------------------------------------------------------------------

def disc(colours):
    fill, rim = colours
    return (circle(CENTRE, CENTRE, DISC_RADIUS, rim) +
            circle(CENTRE, CENTRE, DISC_RADIUS - RIM_WIDTH, fill))


def rounded_square(low, high, corner, fill, extra=""):
    size = high - low
    return (f'<rect x="{low:g}" y="{low:g}" width="{size:g}" height="{size:g}" '
            f'rx="{corner:g}" fill="{fill}"{extra}/>')


def tile(colours):
    fill, rim = colours
    return (rounded_square(TILE_LOW, TILE_HIGH, TILE_CORNER, rim) +
            rounded_square(TILE_LOW + RIM_WIDTH, TILE_HIGH - RIM_WIDTH,
                           TILE_CORNER - RIM_WIDTH, fill))


def lit_disc(state):
    """A disc lit from the top left: its fill runs from the light end to the state's colour
    and a little darker at the far edge, inside a dark rim."""
    light, mid, rim = LIT[state]
    gradient_id = f"lit-{state}"
    defs = (f'<radialGradient id="{gradient_id}" cx="7.5" cy="6.5" r="13" '
            'gradientUnits="userSpaceOnUse">'
            f'<stop offset="0" stop-color="{light}"/>'
            f'<stop offset="0.8" stop-color="{mid}"/>'
            '</radialGradient>')
    body = (circle(CENTRE, CENTRE, DISC_RADIUS, rim) +
            circle(CENTRE, CENTRE, DISC_RADIUS - RIM_WIDTH, f"url(#{gradient_id})"))
    return body, defs


# -- marks -----------------------------------------------------------------------------

def check_mark():
    return stroke_path("M6.75 11.25 L9.5 14 L14.75 8.25", WHITE, 2.25)


def sealed_check_mark(ink, centre_shape="circle"):
    # Complete: the check sits dark on a white centre. It keeps the check of "safe" but turns
    # the plate inside out, so the two differ in light and dark, not only in hue.
    if centre_shape == "square":
        centre = rounded_square(4.5, 17.5, 2.5, WHITE)
    else:
        centre = circle(CENTRE, CENTRE, 6.5, WHITE)
    return centre + stroke_path("M7.75 11.25 L10 13.5 L14.25 8.75", ink, 2.0)


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


# -- the empty outlines of "not connected" ---------------------------------------------

def hollow_ring(colours):
    # The dial with nothing in it. The grey band has a dark edge on both sides, so it keeps
    # its outline on light panels too.
    fill, rim = colours
    mid = DISC_RADIUS - 2.25
    return (f'<circle cx="11" cy="11" r="{mid:g}" fill="none" stroke="{rim}" '
            f'stroke-width="4.5"/>'
            f'<circle cx="11" cy="11" r="{mid:g}" fill="none" stroke="{fill}" '
            f'stroke-width="2"/>')


def hollow_tile(colours):
    fill, rim = colours
    inset = 2.25
    low, high = TILE_LOW + inset, TILE_HIGH - inset
    size = high - low
    frame = (f'<rect x="{low:g}" y="{low:g}" width="{size:g}" height="{size:g}" '
             f'rx="{TILE_CORNER - 1.5:g}" fill="none"')
    return (f'{frame} stroke="{rim}" stroke-width="4.5"/>'
            f'{frame} stroke="{fill}" stroke-width="2"/>')


def hollow_lit_ring():
    # The grey band is lit from the top left like the other dials of its theme.
    light, mid, rim = LIT["offline"]
    radius = DISC_RADIUS - 2.25
    defs = ('<linearGradient id="lit-band" x1="3" y1="3" x2="19" y2="19" '
            'gradientUnits="userSpaceOnUse">'
            f'<stop offset="0" stop-color="{light}"/><stop offset="1" stop-color="{mid}"/>'
            '</linearGradient>')
    body = (f'<circle cx="11" cy="11" r="{radius:g}" fill="none" stroke="{rim}" '
            'stroke-width="4.5"/>'
            f'<circle cx="11" cy="11" r="{radius:g}" fill="none" stroke="url(#lit-band)" '
            'stroke-width="2"/>')
    return body, defs


# -- what moves ------------------------------------------------------------------------

def dot_ring(frame, all_lit=False):
    """The six dots of the busy dial, lit for animation frame `frame`.

    The light sits at 30 degrees per frame clockwise from twelve o'clock, so it rests on a
    dot every other frame and between two dots in the frames between; a dot's brightness and
    size fall off linearly with its angular distance from the light, over one dot spacing.
    Shown in reverse order the light runs anticlockwise. With all_lit every dot is at full
    brightness: the dial at rest.
    """
    head = frame * STEP_DEGREES
    spacing = 360.0 / DOT_COUNT
    parts = []
    for i in range(DOT_COUNT):
        angle = i * spacing
        distance = abs((head - angle + 180.0) % 360.0 - 180.0)
        lit = 1.0 if all_lit else max(0.0, 1.0 - distance / spacing)
        x, y = on_circle(DOT_ORBIT, angle)
        radius = 1.3 + 0.7 * lit
        opacity = 0.55 + 0.45 * lit
        parts.append(circle(x, y, radius, WHITE, f' fill-opacity="{opacity:.3f}"'))
    return "".join(parts)


def sweeping_hand(frame):
    """A dial hand from the centre to near the rim, at 30 degrees per frame clockwise, with
    a fainter hand trailing it by one step."""
    head = frame * STEP_DEGREES
    parts = []
    for lag, opacity in ((1, 0.45), (0, 1.0)):
        x, y = on_circle(6.25, head - lag * STEP_DEGREES)
        parts.append(stroke_path(f"M11 11 L{x:g} {y:g}", WHITE,
                                 2.25 if lag == 0 else 1.75,
                                 f' stroke-opacity="{opacity:g}"'))
    parts.append(circle(CENTRE, CENTRE, 1.75, WHITE))
    return "".join(parts)


def comet(frame):
    """A light with a tail on the dial: a white head at 30 degrees per frame clockwise,
    followed by three smaller and fainter lights one, two and three steps behind it."""
    head = frame * STEP_DEGREES
    parts = []
    for lag, radius, opacity in ((3, 1.2, 0.35), (2, 1.6, 0.55), (1, 2.0, 0.8), (0, 2.4, 1.0)):
        x, y = on_circle(5.0, head - lag * STEP_DEGREES)
        parts.append(circle(x, y, radius, WHITE, f' fill-opacity="{opacity:g}"'))
    return "".join(parts)


# -- decorations -----------------------------------------------------------------------

def with_badge(body, defs=""):
    """The glyph with the alert badge: the glyph is masked away around the badge so the
    badge stands free, whatever the glyph's colour."""
    bx, by = BADGE_CENTRE
    mask = ('<mask id="badge-gap" maskUnits="userSpaceOnUse" x="0" y="0" width="22" '
            'height="22"><rect width="22" height="22" fill="#fff"/>' +
            circle(bx, by, BADGE_GAP, "#000") + '</mask>')
    badge = (circle(bx, by, BADGE_RADIUS + BADGE_RIM, BADGE_RIM_COLOUR) +
             circle(bx, by, BADGE_RADIUS, BADGE_FILL))
    return svg(f'<g mask="url(#badge-gap)">{body}</g>{badge}', defs + mask)


def pressed_plate():
    # The tray item while its panel is open: a pressed plate under a light dial. The plate
    # is a translucent grey, so it lightens a dark panel and darkens a light one.
    return ('<rect x="0.5" y="0.5" width="21" height="21" rx="5" fill="#808080" '
            'fill-opacity="0.55"/>')


DARK_INK, LIGHT_DIAL = "#16191c", "#f4f6f8"


def clicked_dial():
    dial = (circle(CENTRE, CENTRE, DISC_RADIUS - 0.5, DARK_INK) +
            circle(CENTRE, CENTRE, DISC_RADIUS - 0.5 - RIM_WIDTH, LIGHT_DIAL))
    dots = "".join(circle(*on_circle(DOT_ORBIT, i * 360.0 / DOT_COUNT), 1.1, DARK_INK)
                   for i in range(DOT_COUNT))
    return svg(pressed_plate() + dial + dots)


def clicked_tile():
    plate = (rounded_square(TILE_LOW + 0.5, TILE_HIGH - 0.5, TILE_CORNER - 0.5, DARK_INK) +
             rounded_square(TILE_LOW + 0.5 + RIM_WIDTH, TILE_HIGH - 0.5 - RIM_WIDTH,
                            TILE_CORNER - 0.5 - RIM_WIDTH, LIGHT_DIAL))
    hand = stroke_path("M11 11 L11 5.25", DARK_INK, 2.25) + circle(CENTRE, CENTRE, 1.75,
                                                                  DARK_INK)
    return svg(pressed_plate() + plate + hand)


def clicked_lit_dial():
    dial = (circle(CENTRE, CENTRE, DISC_RADIUS - 0.5, DARK_INK) +
            circle(CENTRE, CENTRE, DISC_RADIUS - 0.5 - RIM_WIDTH, LIGHT_DIAL))
    ring = (f'<circle cx="11" cy="11" r="5.5" fill="none" stroke="{DARK_INK}" '
            'stroke-width="3" stroke-dasharray="2.2 0.68"/>')
    return svg(pressed_plate() + dial + ring)


# -- the themes ------------------------------------------------------------------------

def dial_theme(moving_frames):
    """The dots dial's images; moving_frames lists the glyph of each animation frame."""
    stills = {
        "safe": disc(SAFE) + check_mark(),
        "warning": disc(WARNING) + exclamation_mark(),
        "severe": disc(SEVERE) + cross_mark(),
        "complete": disc(COMPLETE) + sealed_check_mark(COMPLETE[1]),
    }
    images = {}
    for state, body in stills.items():
        images[f"vt_status_{state}"] = svg(body)
        images[f"vt_status_{state}_alert"] = with_badge(body)
    images["vt_status_gray"] = svg(hollow_ring(OFFLINE))
    images["vt_status_paused"] = svg(disc(NEUTRAL) + pause_bars())
    images["vt_icon_clicked"] = clicked_dial()
    for frame, glyph in enumerate(moving_frames):
        images[f"vt_status_active_anim{frame}"] = svg(disc(SAFE) + glyph)
    images["play"] = svg(disc(NEUTRAL) + play_triangle())
    images["pause"] = svg(disc(NEUTRAL) + pause_bars())
    images["info_small"] = svg(disc(NEUTRAL) + info_mark())
    return images


def colors_theme():
    plates = {state: tile(colours) for state, colours in BRIGHT.items()}
    stills = {
        "safe": plates["safe"] + check_mark(),
        "warning": plates["warning"] + exclamation_mark(),
        "severe": plates["severe"] + cross_mark(),
        "complete": plates["complete"] + sealed_check_mark(BRIGHT["complete"][1], "square"),
    }
    images = {}
    for state, body in stills.items():
        images[f"vt_status_{state}"] = svg(body)
        images[f"vt_status_{state}_alert"] = with_badge(body)
    images["vt_status_gray"] = svg(hollow_tile(BRIGHT["offline"]))
    images["vt_status_paused"] = svg(plates["neutral"] + pause_bars())
    images["vt_icon_clicked"] = clicked_tile()
    for frame in range(FRAME_COUNT):
        images[f"vt_status_active_anim{frame}"] = svg(plates["safe"] + sweeping_hand(frame))
    images["play"] = svg(plates["neutral"] + play_triangle())
    images["pause"] = svg(plates["neutral"] + pause_bars())
    images["info_small"] = svg(plates["neutral"] + info_mark())
    return images


def gradient_theme():
    def lit(state, mark):
        plate, defs = lit_disc(state)
        return plate + mark, defs

    stills = {
        "safe": lit("safe", check_mark()),
        "warning": lit("warning", exclamation_mark()),
        "severe": lit("severe", cross_mark()),
        "complete": lit("complete", sealed_check_mark(LIT["complete"][2])),
    }
    images = {}
    for state, (body, defs) in stills.items():
        images[f"vt_status_{state}"] = svg(body, defs)
        images[f"vt_status_{state}_alert"] = with_badge(body, defs)
    images["vt_status_gray"] = svg(*hollow_lit_ring())
    images["vt_status_paused"] = svg(*lit("neutral", pause_bars()))
    images["vt_icon_clicked"] = clicked_lit_dial()
    for frame in range(FRAME_COUNT):
        images[f"vt_status_active_anim{frame}"] = svg(*lit("safe", comet(frame)))
    images["play"] = svg(*lit("neutral", play_triangle()))
    images["pause"] = svg(*lit("neutral", pause_bars()))
    images["info_small"] = svg(*lit("neutral", info_mark()))
    return images


THEMES = {
    "dots": lambda: dial_theme([dot_ring(frame) for frame in range(FRAME_COUNT)]),
    "colors": colors_theme,
    "gradient": gradient_theme,
    "no_animation": lambda: dial_theme([dot_ring(0, all_lit=True)]),
}


def build_images():
    images = {}
    for theme, draw in THEMES.items():
        for name, image in draw().items():
            images[f"{theme}_{name}"] = image
        images[f"{theme}_invisible"] = svg("")
    rows = {
        "safe": disc(SAFE) + check_mark(),
        "warning": disc(WARNING) + exclamation_mark(),
        "severe": disc(SEVERE) + cross_mark(),
        "complete": disc(COMPLETE) + sealed_check_mark(COMPLETE[1]),
    }
    for state, body in rows.items():
        images[f"computer_status_{state}"] = svg(body)
    images["computer_status_offline"] = svg(hollow_ring(OFFLINE))
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
