// KML and GPX texts of the flown track.
#include "logbook/track_files.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "common/calendar.h"
#include "common/fixed_number_text.h"
#include "logbook/phase_runs.h"
#include "logbook/xml_text.h"

namespace aerolinker {

namespace {

constexpr int kPositionDecimals = 6;
// GPX's longitudes go from -180 up to, not including, 180: one that would be written as 180 (to
// half a millionth of a degree) is written as -180, the same meridian.
constexpr double kLongitudeWrittenAs180 = 180.0 - 0.5e-6;
constexpr int kElevationDecimals = 1;
// Room for the texts, made once: a 12-hour flight has 8,640 rows, and a text that doubles as
// it grows copies itself over and over. Each row takes about 120 bytes of the KML (a line of
// coordinates, a time, a timed coordinate) and 100 of the GPX; a mark under 300 bytes of
// each, and the rest of a file under a kilobyte. A text that needs more only grows.
constexpr std::size_t kKmlBytesPerRow = 128;
constexpr std::size_t kGpxBytesPerRow = 112;
constexpr std::size_t kBytesPerMark = 320;
constexpr std::size_t kBytesBesideRowsAndMarks = 1024;
// The phases' lines are drawn opaque, the walls under them see-through (KML's alpha).
constexpr unsigned kOpaqueAlpha = 0xFF;
constexpr unsigned kWallAlpha = 0x40;

// KML's "longitude,latitude,altitude" with the altitude in metres.
void WriteCoordinates(FigureWriter& out, double latitude, double longitude, double altitudeFeet) {
    out.Fixed(longitude, kPositionDecimals);
    out.Char(',');
    out.Fixed(latitude, kPositionDecimals);
    out.Char(',');
    out.Fixed(AltitudeMetres(altitudeFeet), kElevationDecimals);
}

void AppendCoordinates(std::string& text, double latitude, double longitude, double altitudeFeet) {
    FigureWriter out(text);
    WriteCoordinates(out, latitude, longitude, altitudeFeet);
}

// GPX's lat="..." lon="..." attributes, then ">", the elevation in metres and the time.
void WriteGpxPoint(FigureWriter& out, double latitude, double longitude, double altitudeFeet,
                   long long utcSeconds, UtcDayTexts& days) {
    out.Text("lat=\"");
    out.Fixed(latitude, kPositionDecimals);
    out.Text("\" lon=\"");
    out.Fixed(longitude >= kLongitudeWrittenAs180 ? -180.0 : longitude, kPositionDecimals);
    out.Text("\"><ele>");
    out.Fixed(AltitudeMetres(altitudeFeet), kElevationDecimals);
    out.Text("</ele><time>");
    days.WriteIso(out, utcSeconds);
    out.Text("</time>");
}

void AppendGpxPoint(std::string& text, double latitude, double longitude, double altitudeFeet,
                    long long utcSeconds, UtcDayTexts& days) {
    FigureWriter out(text);
    WriteGpxPoint(out, latitude, longitude, altitudeFeet, utcSeconds, days);
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

// A KML placemark at one point with its time, and its description where it has one.
void AppendPointPlacemark(std::string& kml, const std::string& name, const std::string& description,
                          long long utcSeconds, double latitude, double longitude,
                          double altitudeFeet, UtcDayTexts& days) {
    kml += "<Placemark>\r\n<name>" + XmlText(name) + "</name>\r\n";
    if (!description.empty()) {
        kml += "<description>" + XmlText(description) + "</description>\r\n";
    }
    kml += "<TimeStamp><when>";
    days.AppendIso(kml, utcSeconds);
    kml +=
        "</when></TimeStamp>\r\n<Point>\r\n<altitudeMode>absolute</altitudeMode>\r\n"
        "<coordinates>";
    AppendCoordinates(kml, latitude, longitude, altitudeFeet);
    kml += "</coordinates>\r\n</Point>\r\n</Placemark>\r\n";
}

// KML writes a colour as aabbggrr, the other way round from the web's #rrggbb.
std::string KmlColour(unsigned alpha, std::uint32_t rgb) {
    char text[sizeof "aabbggrr"];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x", alpha, rgb & 0xFFu, (rgb >> 8) & 0xFFu,
                  (rgb >> 16) & 0xFFu);
    return text;
}

// One shared style per phase family: the line, its wall down to the ground, and the pin of a
// phase that lasted a single tick.
std::string PhaseStyles() {
    std::string styles;
    for (const PhaseFamilyLook& look : kPhaseFamilyLooks) {
        const std::string colour = KmlColour(kOpaqueAlpha, look.rgb);
        styles += std::string("<Style id=\"") + look.id + "\"><IconStyle><color>" + colour +
                  "</color></IconStyle><LineStyle><color>" + colour +
                  "</color><width>3</width></LineStyle><PolyStyle><color>" +
                  KmlColour(kWallAlpha, look.rgb) + "</color></PolyStyle></Style>\r\n";
    }
    return styles;
}

// The flown track split by phase, one placemark per run in a folder. Each line goes on to the
// first row of the run after it, so the track has no gaps; a run of a single row (a
// touch-and-go, a rejected take-off) is a pin at its row, and the line after it starts there.
// Each run's time goes from its first row to the next run's first row.
void AppendPhases(std::string& kml, const std::vector<TraceRow>& rows,
                  const std::vector<PhaseRun>& runs, UtcDayTexts& days) {
    if (runs.empty()) {
        return;
    }
    kml += "<Folder>\r\n<name>Phases</name>\r\n";
    std::size_t lineFrom = 0;  // the last row the track reached so far
    for (const PhaseRun& run : runs) {
        const std::size_t last = run.end < rows.size() ? run.end : rows.size() - 1;
        kml += "<Placemark>\r\n<name>" + XmlText(run.name) + "</name>\r\n<TimeSpan><begin>";
        days.AppendIso(kml, rows[run.first].utcSeconds);
        kml += "</begin><end>";
        days.AppendIso(kml, rows[last].utcSeconds);
        kml += std::string("</end></TimeSpan>\r\n<styleUrl>#") + LookOf(run.family).id +
               "</styleUrl>\r\n";
        if (run.end - run.first == 1) {
            kml += "<Point>\r\n<altitudeMode>absolute</altitudeMode>\r\n<coordinates>";
            const TraceRow& row = rows[run.first];
            AppendCoordinates(kml, row.latitude, row.longitude, row.altitudeFeet);
            kml += "</coordinates>\r\n</Point>\r\n</Placemark>\r\n";
            continue;
        }
        kml +=
            "<LineString>\r\n<extrude>1</extrude>\r\n<altitudeMode>absolute</altitudeMode>\r\n"
            "<coordinates>\r\n";
        {
            FigureWriter out(kml);
            for (std::size_t i = lineFrom; i <= last; ++i) {
                WriteCoordinates(out, rows[i].latitude, rows[i].longitude, rows[i].altitudeFeet);
                out.Text("\r\n");
            }
        }
        kml += "</coordinates>\r\n</LineString>\r\n</Placemark>\r\n";
        lineFrom = last;
    }
    kml += "</Folder>\r\n";
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
        case MarkKind::kTouchAndGo:
            return mark.name + " touch-and-go";
        case MarkKind::kWaypoint:
            break;
    }
    return mark.name;
}

std::string KmlText(const std::string& title, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks, const std::vector<MapNote>& notes) {
    // The elements keep the order the KML schema gives them, which Google Earth relies on: a
    // document's name and shared styles before its folders and placemarks; in a placemark the
    // name, description, time, styleUrl, then the geometry; in a style the icon, line and
    // polygon styles; in a geometry extrude, altitudeMode, coordinates.
    std::string kml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
        "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\r\n"
        "<Document>\r\n"
        "<name>" +
        XmlText(title) +
        "</name>\r\n"
        "<Style id=\"track\"><LineStyle><color>ff00a5ff</color><width>3</width></LineStyle>"
        "<PolyStyle><color>4000a5ff</color></PolyStyle></Style>\r\n" +
        PhaseStyles();
    // A phase's placemark, beside its coordinates, takes about as much room as a mark's.
    const std::vector<PhaseRun> runs = PhaseRuns(rows);
    kml.reserve(TextCapacity(rows.size(), kKmlBytesPerRow, marks.size() + runs.size()));
    UtcDayTexts days;
    AppendPhases(kml, rows, runs, days);
    if (rows.size() >= 2) {
        // The same track with the time of every point, for time sliders and replay tools;
        // gx:Track wants every when before the first gx:coord.
        kml += "<Placemark>\r\n<name>" + XmlText(title) +
               " (timed)</name>\r\n<styleUrl>#track</styleUrl>\r\n<gx:Track>\r\n"
               "<altitudeMode>absolute</altitudeMode>\r\n";
        {
            FigureWriter out(kml);
            for (const TraceRow& row : rows) {
                out.Text("<when>");
                days.WriteIso(out, row.utcSeconds);
                out.Text("</when>\r\n");
            }
            for (const TraceRow& row : rows) {
                out.Text("<gx:coord>");
                out.Fixed(row.longitude, kPositionDecimals);
                out.Char(' ');
                out.Fixed(row.latitude, kPositionDecimals);
                out.Char(' ');
                out.Fixed(AltitudeMetres(row.altitudeFeet), kElevationDecimals);
                out.Text("</gx:coord>\r\n");
            }
        }
        kml += "</gx:Track>\r\n</Placemark>\r\n";
    }
    for (const TrackMark& mark : marks) {
        AppendPointPlacemark(
            kml, MapLabel(mark), TimeOfDayText(SecondsOfDayOf(mark.utcSeconds)) + " UTC",
            mark.utcSeconds, mark.latitude, mark.longitude, mark.altitudeFeet, days);
    }
    if (!notes.empty()) {
        kml += "<Folder>\r\n<name>Rule breaches</name>\r\n";
        for (const MapNote& note : notes) {
            AppendPointPlacemark(kml, note.text, "", note.utcSeconds, note.latitude, note.longitude,
                                 note.altitudeFeet, days);
        }
        kml += "</Folder>\r\n";
    }
    kml += "</Document>\r\n</kml>\r\n";
    return kml;
}

std::string GpxText(const TrackFileFlight& flight, const std::vector<TraceRow>& rows,
                    const std::vector<TrackMark>& marks, const std::vector<MapNote>& notes) {
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
    for (const MapNote& note : notes) {
        gpx += "<wpt ";
        AppendGpxPoint(gpx, note.latitude, note.longitude, note.altitudeFeet, note.utcSeconds,
                       days);
        gpx += "<name>" + XmlText(note.text) + "</name><type>rule breach</type></wpt>\r\n";
    }
    if (!marks.empty()) {
        gpx += "<rte><name>" + XmlText(flight.title) + "</name>\r\n";
        for (const TrackMark& mark : marks) {
            AppendMarkPoint(gpx, "rtept", mark, days);
        }
        gpx += "</rte>\r\n";
    }
    gpx += "<trk><name>" + XmlText(flight.title) + "</name><trkseg>\r\n";
    {
        FigureWriter out(gpx);
        for (const TraceRow& row : rows) {
            out.Text("<trkpt ");
            WriteGpxPoint(out, row.latitude, row.longitude, row.altitudeFeet, row.utcSeconds, days);
            out.Text("</trkpt>\r\n");
        }
    }
    gpx += "</trkseg></trk>\r\n</gpx>\r\n";
    return gpx;
}

}  // namespace aerolinker
