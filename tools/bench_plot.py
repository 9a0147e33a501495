#!/usr/bin/python3
"""Draws the rebuild time against the number of processes from the results of
tools/bench.sh: the program's rebuild and the bare system calls.
    tools/bench_plot.py [build/bench-results.txt] [docs/rebuild.png]"""
import math
import re
import sys

from PIL import Image, ImageDraw, ImageFont

source = sys.argv[1] if len(sys.argv) > 1 else "build/bench-results.txt"
target = sys.argv[2] if len(sys.argv) > 2 else "docs/rebuild.png"

points = []  # (processes, bare ms, rebuild ms, steady floor ms)
header = ""
for line in open(source, encoding="utf-8"):
    fields = dict(re.findall(r'(\w+)=("[^"]*"|\S+)', line))
    if line.startswith("date="):
        header = "%s, %s cores, %s" % (fields["date"][:10], fields["cores"], fields["wine"].strip('"').split(" ")[0])
    elif line.startswith("rebuild "):
        points.append((int(fields["processes"]), float(fields["bare_us"]) / 1000, float(fields["rebuild_us"]) / 1000,
                       float(fields.get("floor_us", "0")) / 1000))
points.sort()
if not points:
    sys.exit("no rebuild results in " + source)

W, H = 640, 400
left, right, top, bottom = 70, 20, 40, 50
img = Image.new("RGB", (W, H), "white")
d = ImageDraw.Draw(img)
font = ImageFont.load_default()
max_x = max(p[0] for p in points) * 1.05
# Milliseconds on a logarithmic axis: the bare calls and the rebuild lie two
# orders of magnitude apart.
values = [v for p in points for v in p[1:] if v > 0]
low_y = 10 ** math.floor(math.log10(min(values)))
high_y = 10 ** math.ceil(math.log10(max(values)))


def text(x, y, s, fill="black", anchor="la"):
    """Text placed by an anchor (l/m/r, a/m/t/s), which the bitmap font lacks."""
    box = d.textbbox((0, 0), s, font=font)
    w, h = box[2] - box[0], box[3] - box[1]
    x -= {"l": 0, "m": w / 2, "r": w}[anchor[0]]
    y -= {"a": 0, "t": 0, "m": h / 2, "s": h}[anchor[1]]
    d.text((x, y), s, fill=fill, font=font)


def xy(x, y):
    fraction = (math.log10(y) - math.log10(low_y)) / (math.log10(high_y) - math.log10(low_y))
    return (left + x / max_x * (W - left - right), H - bottom - fraction * (H - top - bottom))


def ticks(limit, count=8):
    raw = limit / count
    step = 10 ** len(str(int(raw))) / 10 if raw >= 1 else 0.1
    for s in (1, 2, 5, 10):
        if step * s >= raw:
            step *= s
            break
    v = 0.0
    while v <= limit:
        yield v
        v += step


decade = low_y
y_ticks = []
while decade <= high_y:
    y_ticks += [decade * m for m in (1, 2, 5) if decade * m <= high_y]
    decade *= 10
for v in y_ticks:
    x0, y0 = xy(0, v)
    d.line([(left, y0), (W - right, y0)], fill=(225, 225, 225))
    text(left - 8, y0, "%g" % v, "black", "rm")
for v in ticks(max_x):
    x0, y0 = xy(v, low_y)
    d.line([(x0, top), (x0, H - bottom)], fill=(225, 225, 225))
    text(x0, H - bottom + 6, "%d" % v, "black", "mt")
d.rectangle([left, top, W - right, H - bottom], outline="black")
text(W / 2, H - 18, "processes in the snapshot", "black", "mm")
text(8, top - 8, "ms per rebuild (median, logarithmic)", "black", "ls")
text(W / 2, 12, "Table rebuild under Wine, " + header, "black", "mm")

series = ((1, (90, 90, 90), "bare system calls (path queried every time)"),
          (3, (60, 110, 200), "steady floor (the system's process list, one call)"),
          (2, (200, 40, 40), "ListProcesses + grid update"))
for row, (index, colour, name) in enumerate(series):
    if not any(p[index] for p in points):
        continue
    line = [xy(p[0], p[index]) for p in points]
    d.line(line, fill=colour, width=2)
    for x, y in line:
        d.ellipse([x - 3, y - 3, x + 3, y + 3], fill=colour)
    ly = top + 12 + 14 * row
    d.line([(left + 12, ly), (left + 32, ly)], fill=colour, width=2)
    text(left + 38, ly, name, "black", "lm")
for p in points:
    x, y = xy(p[0], p[2])
    label = "x%.2f" % (p[2] / p[1])
    if x + 50 > W - right:
        text(x - 4, y - 12, label, (200, 40, 40), "ra")
    else:
        text(x + 4, y - 12, label, (200, 40, 40))

img.save(target)
print("plot:", target)
