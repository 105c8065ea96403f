#!/usr/bin/env python3
"""Checks a logbook entry as map programs and spreadsheets read it: the KML has the structure
of Google Earth's KML 2.2 schema, the GPX that of GPX 1.1, the trace and logbook CSVs parse,
and the track holds one point per trace row. Usage: logbook_entry_check.py ENTRY (the path
without extension). Exits 1 naming the first fault."""
import csv
import os
import sys
import xml.etree.ElementTree as ET

KML = "{http://www.opengis.net/kml/2.2}"
GPX = "{http://www.topografix.com/GPX/1/1}"


def fail(message):
    print("logbook entry: " + message, file=sys.stderr)
    sys.exit(1)


def read_csv(path, columns):
    with open(path, newline="", encoding="utf-8") as f:
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
    lines = [p for p in placemarks if p.find(KML + "LineString") is not None]
    points = [p for p in placemarks if p.find(KML + "Point") is not None]
    if len(lines) != 1 or len(points) < 2:
        fail("the KML needs one track and the take-off and landing marks")
    # KML 2.2 orders a Placemark's children: name before styleUrl before the geometry.
    order = [child.tag for child in lines[0]]
    if order.index(KML + "name") > order.index(KML + "LineString"):
        fail("the track's name follows its geometry")
    coordinates = lines[0].find(KML + "LineString/" + KML + "coordinates").text.split()
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
    # GPX 1.1 puts every wpt before the trk.
    tags = [child.tag for child in root]
    if GPX + "wpt" in tags and tags.index(GPX + "trk") < len(tags) - 1 - tags[::-1].index(GPX + "wpt"):
        fail("a wpt follows the trk")


def main():
    entry = sys.argv[1]
    rows = read_csv(entry + ".csv", 12)
    if rows[0][0] != "Time" or len(rows) < 2:
        fail("the trace CSV has no header or no rows")
    check_kml(entry + ".kml", rows)
    check_gpx(entry + ".gpx", rows)
    book = read_csv(os.path.join(os.path.dirname(entry), "logbook.csv"), 16)
    if book[-1][-1] != os.path.basename(entry):
        fail("the logbook's last row does not name the entry")


main()
