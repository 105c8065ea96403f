#!/usr/bin/env python3
"""Checks a logbook entry as map programs and spreadsheets read it: the KML has the structure
of Google Earth's KML 2.2 schema, the GPX that of GPX 1.1, the trace and logbook CSVs parse,
and the track holds one point per trace row with the trace's UTC time. gpsbabel, where it is
installed, reads both map files with a time on every point of the timed track. The logbook's
row agrees with the trace: its distance flown with the track's length, its times with the
trace's, its air time with the GPX's take-off and landing, and gpxpy's moving time and speed
with its air time and distance flown. Usage: logbook_entry_check.py ENTRY (the path
without extension). Exits 1 naming the first fault."""
import csv
import math
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

KML = "{http://www.opengis.net/kml/2.2}"
GPX = "{http://www.topografix.com/GPX/1/1}"


def fail(message):
    print("logbook entry: " + message, file=sys.stderr)
    sys.exit(1)


def read_csv(path, columns):
    # utf-8-sig: logbook.csv starts with a byte-order mark for spreadsheets.
    with open(path, newline="", encoding="utf-8-sig") as f:
        rows = list(csv.reader(f, strict=True))
    if not rows or any(len(row) != columns for row in rows):
        fail(f"{path}: not {columns} fields in every record")
    return rows


def position(lon, lat, alt):
    if not (-180 <= lon <= 180 and -90 <= lat <= 90 and -500 < alt < 20000):
        fail(f"point {lon},{lat},{alt} is off the Earth")


def check_kml(path, rows):
    root = ET.parse(path).getroot()
    if root.tag != KML + "kml" or len(root) != 1 or root[0].tag != KML + "Document":
        fail("the KML root is not kml holding one Document")
    placemarks = root[0].findall(KML + "Placemark")
    points = [p for p in placemarks if p.find(KML + "Point") is not None]
    folder = root[0].find(KML + "Folder")
    if folder is None or folder.findtext(KML + "name") != "Phases" or len(points) < 2:
        fail("the KML needs the track by phase and the take-off and landing marks")
    runs = folder.findall(KML + "Placemark")
    # KML 2.2 orders a Placemark's children: name before styleUrl before the geometry.
    for run in runs:
        order = [child.tag for child in run]
        geometry = [t for t in order if t in (KML + "LineString", KML + "Point")]
        if len(geometry) != 1 or order.index(KML + "name") > order.index(geometry[0]):
            fail("a phase's name follows its geometry, or it has no geometry")
    # Each run goes on to the first row of the next, so that the track has no gap: counted
    # once, the runs hold every row of the trace.
    coordinates = []
    for run in runs:
        tuples = run.find(".//" + KML + "coordinates").text.split()
        if coordinates and tuples and coordinates[-1] == tuples[0]:
            tuples = tuples[1:]
        coordinates += tuples
    if len(coordinates) != len(rows) - 1:
        fail(f"{len(coordinates)} track points for {len(rows) - 1} trace rows")
    for tuple_text in coordinates + [p.find(KML + "Point/" + KML + "coordinates").text
                                     for p in points]:
        lon, lat, alt = (float(v) for v in tuple_text.split(","))
        position(lon, lat, alt)


def check_gpx(path, rows):
    root = ET.parse(path).getroot()
    if root.tag != GPX + "gpx" or root.get("version") != "1.1":
        fail("the GPX root is not gpx 1.1")
    points = root.findall(GPX + "trk/" + GPX + "trkseg/" + GPX + "trkpt")
    if len(points) != len(rows) - 1:
        fail(f"{len(points)} GPX points for {len(rows) - 1} trace rows")
    times = [p.findtext(GPX + "time") for p in points]
    expected = [f"{r[0]}T{r[1]}Z" for r in rows[1:]]
    if times != expected:
        fail("the GPX points' times are not the trace's")
    marks = {w.findtext(GPX + "name"): w.findtext(GPX + "time")
             for w in root.findall(GPX + "wpt")}
    if any(t is None for t in marks.values()) or root.find(GPX + "rte") is None:
        fail("a GPX waypoint has no time, or the route is missing")
    return points, marks
    # GPX 1.1 puts every wpt before the trk.
    tags = [child.tag for child in root]
    if GPX + "wpt" in tags and tags.index(GPX + "trk") < len(tags) - 1 - tags[::-1].index(GPX + "wpt"):
        fail("a wpt follows the trk")


def metres(a, b):
    """Great-circle metres between two (lat, lon) in degrees, on the Earth's mean radius."""
    p1, p2 = math.radians(a[0]), math.radians(b[0])
    dp, dl = p2 - p1, math.radians(b[1] - a[1])
    h = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 2 * 6371008.8 * math.asin(math.sqrt(min(1.0, h)))


def gpsbabel_tracks(path, kind):
    """The tracks gpsbabel reads from a file, as (name, [time or None per point])."""
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "out.gpx")
        subprocess.run(["gpsbabel", "-t", "-i", kind, "-f", path, "-o", "gpx", "-F", out],
                       check=True, capture_output=True)
        root = ET.parse(out).getroot()
    ns = "{" + root.tag[1:].split("}")[0] + "}"
    return [(trk.findtext(ns + "name") or "",
             [p.findtext(ns + "time") for p in trk.iter(ns + "trkpt")])
            for trk in root.findall(ns + "trk")]


def check_with_gpsbabel(entry, rows):
    if shutil.which("gpsbabel") is None:
        print("logbook entry: gpsbabel is not installed; its reading is not checked")
        return
    gpx = gpsbabel_tracks(entry + ".gpx", "gpx")
    if len(gpx) != 1 or len(gpx[0][1]) != len(rows) - 1 or None in gpx[0][1]:
        fail("gpsbabel does not read the GPX's track with a time on every point")
    timed = [t for t in gpsbabel_tracks(entry + ".kml", "kml") if t[0].endswith("(timed)")]
    if len(timed) != 1 or len(timed[0][1]) != len(rows) - 1 or None in timed[0][1]:
        fail("gpsbabel does not read the KML's timed track with a time on every point")


def check_with_gpxpy(entry, field):
    """A GPX reader's view: gpxpy's moving time and speed agree with the logbook's air time
    and its distance flown over it, within 2 %."""
    try:
        import gpxpy  # pylint: disable=import-outside-toplevel
    except ImportError:
        # Debian's python3-gpxpy is in the system's Python; another one first on PATH lacks it.
        system = "/usr/bin/python3"
        if os.path.exists(system) and os.path.realpath(sys.executable) != os.path.realpath(system):
            os.execv(system, [system] + sys.argv)
        print("logbook entry: gpxpy is not installed; its reading is not checked")
        return
    with open(entry + ".gpx", encoding="utf-8") as f:
        moving = gpxpy.parse(f).get_moving_data()
    hours, minutes = field["Air time"].split(":")
    air = (int(hours) * 60 + int(minutes)) * 60
    if abs(moving.moving_time - air) > 0.02 * air:
        fail(f"gpxpy's moving time {moving.moving_time:.0f} s, the air time {air} s")
    speed = moving.moving_distance / 1852 / (moving.moving_time / 3600)
    expected = float(field["Distance flown (nm)"]) / (air / 3600)
    if abs(speed - expected) > 0.02 * expected:
        fail(f"gpxpy's moving speed {speed:.1f} kt, the logbook's {expected:.1f} kt")


def seconds(iso):
    hours, minutes, secs = iso[11:19].split(":")
    return int(hours) * 3600 + int(minutes) * 60 + int(secs)


def main():
    entry = sys.argv[1]
    rows = read_csv(entry + ".csv", 18)
    if rows[0][0] != "Date (UTC)" or len(rows) < 2:
        fail("the trace CSV has no header or no rows")
    check_kml(entry + ".kml", rows)
    points, marks = check_gpx(entry + ".gpx", rows)
    check_with_gpsbabel(entry, rows)
    book = read_csv(os.path.join(os.path.dirname(entry), "logbook.csv"), 32)
    header, row = book[0], book[-1]
    if row[-1] != os.path.basename(entry):
        fail("the logbook's last row does not name the entry")
    field = dict(zip(header, row))
    track = [(float(p.get("lat")), float(p.get("lon"))) for p in points]
    length_nm = sum(metres(a, b) for a, b in zip(track, track[1:])) / 1852
    flown = float(field["Distance flown (nm)"])
    if abs(flown - length_nm) > 0.01 * length_nm:
        fail(f"distance flown {flown} nm, the GPX track measures {length_nm:.1f} nm")
    take_off = [t for n, t in marks.items() if n.endswith("take-off")]
    landing = [t for n, t in marks.items() if n.endswith("landing")]
    if field["Take-off (UTC)"] != take_off[0][11:19] or field["Landing (UTC)"] != landing[0][11:19]:
        fail("the logbook's take-off and landing times are not the GPX's")
    if field["On block (UTC)"] != rows[-1][1]:
        fail("the logbook's on-block time is not the trace's last row's")
    hours, minutes = field["Air time"].split(":")
    air = seconds(landing[0]) - seconds(take_off[0])
    if abs(air - (int(hours) * 60 + int(minutes)) * 60) > 0.02 * air:
        fail("the logbook's air time does not agree with the GPX's take-off and landing")
    check_with_gpxpy(entry, field)
    fuel = {r[1]: float(r[11]) for r in rows[1:]}
    trip = fuel[take_off[0][11:19]] - fuel[landing[0][11:19]]
    if abs(float(field["Trip fuel (gal)"]) - trip) > 0.05:
        fail(f"trip fuel {field['Trip fuel (gal)']} gal, the trace says {trip:.1f}")


main()
