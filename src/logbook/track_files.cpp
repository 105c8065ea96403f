// KML and GPX texts of the flown track.
#include "logbook/track_files.h"

#include "logbook/number_text.h"
#include "logbook/xml_text.h"

namespace aerolinker {

namespace {

constexpr int kPositionDecimals = 6;
constexpr int kElevationDecimals = 1;

std::string Coordinates(double latitude, double longitude, double altitudeFeet) {
    return FixedText(longitude, kPositionDecimals) + "," + FixedText(latitude, kPositionDecimals) +
           "," + FixedText(AltitudeMetres(altitudeFeet), kElevationDecimals);
}

std::string LatLonAttributes(double latitude, double longitude) {
    return "lat=\"" + FixedText(latitude, kPositionDecimals) + "\" lon=\"" +
           FixedText(longitude, kPositionDecimals) + "\"";
}

std::string Elevation(double altitudeFeet) {
    return "<ele>" + FixedText(AltitudeMetres(altitudeFeet), kElevationDecimals) + "</ele>";
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
            kml += Coordinates(row.latitude, row.longitude, row.altitudeFeet) + "\r\n";
        }
        kml += "</coordinates>\r\n</LineString>\r\n</Placemark>\r\n";
    }
    for (const TrackMark& mark : marks) {
        kml += "<Placemark>\r\n<name>" + XmlText(MarkLabel(mark)) + "</name>\r\n<description>" +
               TimeOfDayText(mark.secondsOfDay) +
               "</description>\r\n<Point>\r\n<altitudeMode>absolute</altitudeMode>\r\n"
               "<coordinates>" +
               Coordinates(mark.latitude, mark.longitude, mark.altitudeFeet) +
               "</coordinates>\r\n</Point>\r\n</Placemark>\r\n";
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
        gpx += "<wpt " + LatLonAttributes(mark.latitude, mark.longitude) + ">" +
               Elevation(mark.altitudeFeet) + "<name>" + XmlText(MarkLabel(mark)) +
               "</name><desc>" + TimeOfDayText(mark.secondsOfDay) + "</desc></wpt>\r\n";
    }
    gpx += "<trk><name>" + XmlText(title) + "</name><trkseg>\r\n";
    for (const TraceRow& row : rows) {
        gpx += "<trkpt " + LatLonAttributes(row.latitude, row.longitude) + ">" +
               Elevation(row.altitudeFeet) + "</trkpt>\r\n";
    }
    gpx += "</trkseg></trk>\r\n</gpx>\r\n";
    return gpx;
}

}  // namespace aerolinker
