// KML and GPX texts of the flown track.
#include "logbook/track_files.h"

#include <cstddef>

#include "common/calendar.h"
#include "common/fixed_number_text.h"
#include "logbook/xml_text.h"

namespace aerolinker {

namespace {

constexpr int kPositionDecimals = 6;
constexpr int kElevationDecimals = 1;
// Room for the texts, made once: a 12-hour flight has 8,640 rows, and a text that doubles as
// it grows copies itself over and over. Each row takes about 120 bytes of the KML (a line of
// coordinates, a time, a timed coordinate) and 100 of the GPX; a mark under 300 bytes of
// each, and the rest of a file under a kilobyte. A text that needs more only grows.
constexpr std::size_t kKmlBytesPerRow = 128;
constexpr std::size_t kGpxBytesPerRow = 112;
constexpr std::size_t kBytesPerMark = 320;
constexpr std::size_t kBytesBesideRowsAndMarks = 1024;

// KML's "longitude,latitude,altitude" with the altitude in metres.
void AppendCoordinates(std::string& text, double latitude, double longitude, double altitudeFeet) {
    AppendFixed(text, longitude, kPositionDecimals);
    text += ',';
    AppendFixed(text, latitude, kPositionDecimals);
    text += ',';
    AppendFixed(text, AltitudeMetres(altitudeFeet), kElevationDecimals);
}

// GPX's lat="..." lon="..." attributes, then ">", the elevation in metres and the time.
void AppendGpxPoint(std::string& text, double latitude, double longitude, double altitudeFeet,
                    long long utcSeconds, UtcDayTexts& days) {
    text += "lat=\"";
    AppendFixed(text, latitude, kPositionDecimals);
    text += "\" lon=\"";
    AppendFixed(text, longitude, kPositionDecimals);
    text += "\"><ele>";
    AppendFixed(text, AltitudeMetres(altitudeFeet), kElevationDecimals);
    text += "</ele><time>";
    days.AppendIso(text, utcSeconds);
    text += "</time>";
}

void AppendMarkPoint(std::string& text, const char* element, const TrackMark& mark,
                     UtcDayTexts& days) {
    text += "<";
    text += element;
    text += " ";
    AppendGpxPoint(text, mark.latitude, mark.longitude, mark.altitudeFeet, mark.utcSeconds, days);
    text += "<name>" + XmlText(MapLabel(mark)) + "</name></";
    text += element;
    text += ">\r\n";
}

std::size_t TextCapacity(std::size_t rows, std::size_t bytesPerRow, std::size_t marks) {
    return rows * bytesPerRow + marks * kBytesPerMark + kBytesBesideRowsAndMarks;
}

}  // namespace

std::string MapLabel(const TrackMark& mark) {
    switch (mark.kind) {
        case MarkKind::kTakeOff:
            return mark.name + " take-off";
        case MarkKind::kLanding:
            return mark.name + " landing";
        case MarkKind::kWaypoint:
            break;
    }
    return mark.name;
}

std::string KmlText(const std::string& title, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks) {
    // The elements keep the order the KML schema gives them (name, description, styleUrl,
    // then the geometry; extrude, altitudeMode, coordinates), which Google Earth relies on.
    std::string kml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
        "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\r\n"
        "<Document>\r\n"
        "<name>" +
        XmlText(title) +
        "</name>\r\n"
        "<Style id=\"track\"><LineStyle><color>ff00a5ff</color><width>3</width></LineStyle>"
        "<PolyStyle><color>4000a5ff</color></PolyStyle></Style>\r\n";
    kml.reserve(TextCapacity(rows.size(), kKmlBytesPerRow, marks.size()));
    UtcDayTexts days;
    // A LineString needs two points; a single tick is left to the marks.
    if (rows.size() >= 2) {
        kml += "<Placemark>\r\n<name>" + XmlText(title) + "</name>\r\n<TimeSpan><begin>" +
               IsoUtcText(rows.front().utcSeconds) + "</begin><end>" +
               IsoUtcText(rows.back().utcSeconds) +
               "</end></TimeSpan>\r\n<styleUrl>#track</styleUrl>\r\n<LineString>\r\n<extrude>1</"
               "extrude>\r\n"
               "<altitudeMode>absolute</altitudeMode>\r\n<coordinates>\r\n";
        for (const TraceRow& row : rows) {
            AppendCoordinates(kml, row.latitude, row.longitude, row.altitudeFeet);
            kml += "\r\n";
        }
        kml += "</coordinates>\r\n</LineString>\r\n</Placemark>\r\n";
        // The same track with the time of every point, for time sliders and replay tools;
        // gx:Track wants every when before the first gx:coord.
        kml += "<Placemark>\r\n<name>" + XmlText(title) +
               " (timed)</name>\r\n<styleUrl>#track</styleUrl>\r\n<gx:Track>\r\n"
               "<altitudeMode>absolute</altitudeMode>\r\n";
        for (const TraceRow& row : rows) {
            kml += "<when>";
            days.AppendIso(kml, row.utcSeconds);
            kml += "</when>\r\n";
        }
        for (const TraceRow& row : rows) {
            kml += "<gx:coord>";
            AppendFixed(kml, row.longitude, kPositionDecimals);
            kml += ' ';
            AppendFixed(kml, row.latitude, kPositionDecimals);
            kml += ' ';
            AppendFixed(kml, AltitudeMetres(row.altitudeFeet), kElevationDecimals);
            kml += "</gx:coord>\r\n";
        }
        kml += "</gx:Track>\r\n</Placemark>\r\n";
    }
    for (const TrackMark& mark : marks) {
        kml += "<Placemark>\r\n<name>" + XmlText(MapLabel(mark)) + "</name>\r\n<description>" +
               TimeOfDayText(SecondsOfDayOf(mark.utcSeconds)) +
               " UTC</description>\r\n<TimeStamp><when>";
        days.AppendIso(kml, mark.utcSeconds);
        kml +=
            "</when></TimeStamp>\r\n<Point>\r\n<altitudeMode>absolute</altitudeMode>\r\n"
            "<coordinates>";
        AppendCoordinates(kml, mark.latitude, mark.longitude, mark.altitudeFeet);
        kml += "</coordinates>\r\n</Point>\r\n</Placemark>\r\n";
    }
    kml += "</Document>\r\n</kml>\r\n";
    return kml;
}

std::string GpxText(const TrackFileFlight& flight, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks) {
    // GPX 1.1 keeps its elements in order: metadata, wpt, rte, trk; inside a point ele, time,
    // then name.
    std::string gpx =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<gpx version=\"1.1\" creator=\"Aerolinker\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "\r\n<metadata><name>" +
        XmlText(flight.title) + "</name><desc>" +
        XmlText(flight.aircraft + (flight.pilot.empty() ? "" : ", flown by " + flight.pilot)) +
        "</desc>";
    gpx.reserve(TextCapacity(rows.size(), kGpxBytesPerRow, 2 * marks.size()));
    UtcDayTexts days;
    if (!rows.empty()) {
        gpx += "<time>" + IsoUtcText(rows.front().utcSeconds) + "</time>";
    }
    gpx += "</metadata>\r\n";
    for (const TrackMark& mark : marks) {
        AppendMarkPoint(gpx, "wpt", mark, days);
    }
    if (!marks.empty()) {
        gpx += "<rte><name>" + XmlText(flight.title) + "</name>\r\n";
        for (const TrackMark& mark : marks) {
            AppendMarkPoint(gpx, "rtept", mark, days);
        }
        gpx += "</rte>\r\n";
    }
    gpx += "<trk><name>" + XmlText(flight.title) + "</name><trkseg>\r\n";
    for (const TraceRow& row : rows) {
        gpx += "<trkpt ";
        AppendGpxPoint(gpx, row.latitude, row.longitude, row.altitudeFeet, row.utcSeconds, days);
        gpx += "</trkpt>\r\n";
    }
    gpx += "</trkseg></trk>\r\n</gpx>\r\n";
    return gpx;
}

}  // namespace aerolinker
