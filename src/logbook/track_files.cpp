// KML and GPX texts of the flown track.
#include "logbook/track_files.h"

#include "common/fixed_number_text.h"
#include "logbook/xml_text.h"

namespace aerolinker {

namespace {

constexpr int kPositionDecimals = 6;
constexpr int kElevationDecimals = 1;

// KML's "longitude,latitude,altitude" with the altitude in metres.
void AppendCoordinates(std::string& text, double latitude, double longitude, double altitudeFeet) {
    AppendFixed(text, longitude, kPositionDecimals);
    text += ',';
    AppendFixed(text, latitude, kPositionDecimals);
    text += ',';
    AppendFixed(text, AltitudeMetres(altitudeFeet), kElevationDecimals);
}

// GPX's lat="..." lon="..." attributes, then ">" and the elevation in metres.
void AppendGpxPoint(std::string& text, double latitude, double longitude, double altitudeFeet) {
    text += "lat=\"";
    AppendFixed(text, latitude, kPositionDecimals);
    text += "\" lon=\"";
    AppendFixed(text, longitude, kPositionDecimals);
    text += "\"><ele>";
    AppendFixed(text, AltitudeMetres(altitudeFeet), kElevationDecimals);
    text += "</ele>";
}

}  // namespace

std::string MarkLabel(const TrackMark& mark) {
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
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\r\n"
        "<Document>\r\n"
        "<name>" +
        XmlText(title) +
        "</name>\r\n"
        "<Style id=\"track\"><LineStyle><color>ff00a5ff</color><width>3</width></LineStyle>"
        "<PolyStyle><color>4000a5ff</color></PolyStyle></Style>\r\n";
    // A LineString needs two points; a single tick is left to the marks.
    if (rows.size() >= 2) {
        kml += "<Placemark>\r\n<name>" + XmlText(title) +
               "</name>\r\n<styleUrl>#track</styleUrl>\r\n<LineString>\r\n<extrude>1</extrude>\r\n"
               "<altitudeMode>absolute</altitudeMode>\r\n<coordinates>\r\n";
        for (const TraceRow& row : rows) {
            AppendCoordinates(kml, row.latitude, row.longitude, row.altitudeFeet);
            kml += "\r\n";
        }
        kml += "</coordinates>\r\n</LineString>\r\n</Placemark>\r\n";
    }
    for (const TrackMark& mark : marks) {
        kml += "<Placemark>\r\n<name>" + XmlText(MarkLabel(mark)) + "</name>\r\n<description>" +
               TimeOfDayText(mark.secondsOfDay) +
               "</description>\r\n<Point>\r\n<altitudeMode>absolute</altitudeMode>\r\n"
               "<coordinates>";
        AppendCoordinates(kml, mark.latitude, mark.longitude, mark.altitudeFeet);
        kml += "</coordinates>\r\n</Point>\r\n</Placemark>\r\n";
    }
    kml += "</Document>\r\n</kml>\r\n";
    return kml;
}

std::string GpxText(const std::string& title, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks) {
    // GPX wants wpt before trk, and ele before name inside a wpt.
    std::string gpx =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<gpx version=\"1.1\" creator=\"Aerolinker\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "\r\n<metadata><name>" +
        XmlText(title) + "</name></metadata>\r\n";
    for (const TrackMark& mark : marks) {
        gpx += "<wpt ";
        AppendGpxPoint(gpx, mark.latitude, mark.longitude, mark.altitudeFeet);
        gpx += "<name>" + XmlText(MarkLabel(mark)) + "</name><desc>" +
               TimeOfDayText(mark.secondsOfDay) + "</desc></wpt>\r\n";
    }
    gpx += "<trk><name>" + XmlText(title) + "</name><trkseg>\r\n";
    for (const TraceRow& row : rows) {
        gpx += "<trkpt ";
        AppendGpxPoint(gpx, row.latitude, row.longitude, row.altitudeFeet);
        gpx += "</trkpt>\r\n";
    }
    gpx += "</trkseg></trk>\r\n</gpx>\r\n";
    return gpx;
}

}  // namespace aerolinker
