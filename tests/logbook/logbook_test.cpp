// The logbook entry a closed flight leaves: its name, its files and its logbook.csv row.
#include "logbook/logbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/app_error.h"
#include "common/calendar.h"
#include "common/csv.h"
#include "common/file_append.h"
#include "common/file_io.h"
#include "persistence/temp_folder.h"

namespace aerolinker {
namespace {

// 7 December 2026, 10:05:00 UTC.
const long long kTakeOff = DaysFromCivil(CivilDate{2026, 12, 7}) * 86400 + 10 * 3600 + 5 * 60;
constexpr const char* kBom = "\xEF\xBB\xBF";

TEST(LogbookNameTest, DateTimeAndRouteSafeForWindows) {
    struct Case {
        const char* departure;
        const char* arrival;
        const char* expected;
    } const cases[] = {
        {"LIEO", "LIRQ", "2026-12-07_1005_LIEO-LIRQ"},
        {"A/B", "C:D*?", "2026-12-07_1005_A_B-C_D__"},
        {"<x>", "\"y\"|\\ .", "2026-12-07_1005__x_-_y___"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EntryBaseName(kTakeOff, c.departure, c.arrival), c.expected);
    }
}

// A flight with a row every 5 minutes from off-block to on-block: take-off at `takeOff`,
// landing 85 minutes later, 0.5 gallons an hour... more precisely 0.25 gallons a row.
LogbookFlight Flight(long long takeOff) {
    LogbookFlight flight;
    LogbookEntry& e = flight.entry;
    e.aircraft = "Beech \"King Air\", 350 Zo\xE9";  // the simulator's ANSI text
    e.pilotName = "Ren\xC3\xA9 O'Brien, Jr";        // typed as UTF-8 on this system
    e.pilotId = "AZ123";
    e.pilotNumber = "7";
    e.departure = "LIEO";
    e.arrival = "LIRQ";
    for (int i = 0; i <= 21; ++i) {
        TraceRow row;
        row.utcSeconds = takeOff - 10 * 60 + i * 5 * 60;
        row.latitude = 40.0 + i * 0.1;
        row.longitude = 9.0;
        row.fuelGallons = 120.0 - 0.25 * i;
        row.phase = i == 0 ? "parked" : "cruise";
        flight.trace.push_back(row);
    }
    flight.marks = {{MarkKind::kTakeOff, "LIEO", takeOff, 40.2, 9.0, 0},
                    {MarkKind::kLanding, "LIRQ", takeOff + 85 * 60, 41.9, 9.0, 0}};
    e.figures = FiguresOf(flight.trace, flight.marks, true);
    e.plannedDistanceMetres = 250000.0;
    e.landing = LandingReport{-152.4, 1.336, 1, 41.89, 9.01, 127.6};
    e.phasesOfNote = "go-around 11:20:00Z";
    e.rulesChecked = true;
    e.ruleBreaches = {{"Rule: Stall warning", takeOff + 15 * 60, 40.5, 9.0, 6000.0},
                      {"Rule: Landing lights off below 10,000 ft (2,500 ft)", takeOff + 76 * 60,
                       41.7, 9.0, 2500.0}};
    flight.logText = "NAVIGATION LOG\r\n";
    return flight;
}

std::vector<CsvFields> LogbookRecords(const TempFolder& folder) {
    std::string text = folder.Contents("Logbook\\logbook.csv");
    EXPECT_EQ(text.rfind(kBom, 0), 0u) << "UTF-8 with a byte-order mark";
    std::vector<CsvFields> records;
    EXPECT_TRUE(ParseCsv(text.substr(3), records));
    return records;
}

TEST(LogbookTest, TheRowTellsTheTruthOfTheFlight) {
    TempFolder folder;
    const LogbookFlight flight = Flight(kTakeOff);
    const std::string name = "2026-12-07_1005_LIEO-LIRQ";
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), flight), name);
    EXPECT_EQ(folder.Contents("Logbook\\" + name + ".log"), flight.logText);
    for (const char* extension : kEntryExtensions) {
        EXPECT_TRUE(FileExists(folder.PathOf("Logbook\\" + name) + extension)) << extension;
    }
    // The rules broken are on the maps too, where they were broken.
    const std::string kml = folder.Contents("Logbook\\" + name + ".kml");
    EXPECT_NE(kml.find("<Folder>\r\n<name>Rule breaches</name>\r\n<Placemark>\r\n<name>Rule: "
                       "Stall warning</name>\r\n<TimeStamp><when>2026-12-07T10:20:00Z</when>"),
              std::string::npos);
    const std::string gpx = folder.Contents("Logbook\\" + name + ".gpx");
    EXPECT_NE(gpx.find("<wpt lat=\"41.700000\" lon=\"9.000000\"><ele>762.0</ele><time>2026-12-"
                       "07T11:21:00Z</time><name>Rule: Landing lights off below 10,000 ft (2,500 "
                       "ft)</name><type>rule breach</type></wpt>"),
              std::string::npos);
    const std::vector<CsvFields> records = LogbookRecords(folder);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], LogbookHeader());
    // 21 legs of 0.1 degree of latitude: 126.1 nm flown; 250 km planned: 135.0 nm. Block fuel
    // from the first row after engine start to the last, trip fuel take-off to landing.
    EXPECT_EQ(records[1], (CsvFields{"2026-12-07",
                                     "Ren\xC3\xA9 O'Brien, Jr",
                                     "AZ123",
                                     "7",
                                     "Beech \"King Air\", 350 Zo\xC3\xA9",
                                     "LIEO",
                                     "LIRQ",
                                     "10:00:00",
                                     "10:05:00",
                                     "11:30:00",
                                     "11:40:00",
                                     "1:40",
                                     "1:25",
                                     "135.0",
                                     "126.1",
                                     "5.0",
                                     "4.3",
                                     "-152",
                                     "1.34",
                                     "1",
                                     "128",
                                     "41.890000",
                                     "9.010000",
                                     "0.0",
                                     "0.0",
                                     "0.0",
                                     "go-around 11:20:00Z",
                                     "2",
                                     "2026-12-07T10:20:00Z Rule: Stall warning\n"
                                     "2026-12-07T11:21:00Z Rule: Landing lights off below "
                                     "10,000 ft (2,500 ft)",
                                     "",  // no airline
                                     "",
                                     name}));
}

TEST(LogbookTest, AFlightAcrossMidnightIsFiledUnderItsTakeOffDate) {
    TempFolder folder;
    const long long takeOff = kTakeOff + 13 * 3600 + 30 * 60;  // 23:35 UTC
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), Flight(takeOff)), "2026-12-07_2335_LIEO-LIRQ");
    const std::vector<CsvFields> records = LogbookRecords(folder);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][0], "2026-12-07");
    EXPECT_EQ(records[1][9], "01:00:00") << "landed the next day";
}

// The simulator's clock set back two hours in the cruise (row 10 on): the take-off and the
// landing still fall on the rows they were made at (2 and 19), for the trip fuel and the
// profile's marks.
TEST(LogbookTest, AClockSetBackInFlightKeepsTheMarksOnTheirRows) {
    LogbookFlight flight = Flight(kTakeOff);
    for (size_t i = 10; i < flight.trace.size(); ++i) {
        flight.trace[i].utcSeconds -= 2 * 3600;
    }
    flight.marks[1].utcSeconds -= 2 * 3600;
    EXPECT_EQ(RowsAtMarks(flight.trace, flight.marks), (std::vector<size_t>{2, 19}));
    const FlightFigures figures = FiguresOf(flight.trace, flight.marks, true);
    ASSERT_TRUE(figures.tripFuel.has_value());
    EXPECT_DOUBLE_EQ(*figures.tripFuel, 0.25 * (19 - 2));
}

TEST(LogbookTest, AFlightClosedAgainReplacesItsRowAndAnOlderLogbookIsKept) {
    TempFolder folder;
    // A logbook an older copy wrote: other columns, ANSI text, no byte-order mark.
    ASSERT_EQ(CreateFolder(folder.PathOf("Logbook")), 0);
    folder.Put("Logbook\\logbook.csv",
               "Date,Aircraft,Pilot,Departure,Arrival,Block time,Air time,Distance (miles),"
               "Fuel used (gal),Touchdown (ft/min),G,Bounces,Paused (min),Slew (min),"
               "Sim rate not 1x (min),Files\r\n"
               "2026-11-02,Caravane R\xE9,Rossi,LIBR,LIRF,1:10,1:00,250,40,-100,1.10,0,0.0,0.0,"
               "0.0,2026-11-02_0900_LIBR-LIRF\r\n");
    LogbookFlight flight = Flight(kTakeOff);
    const std::string name = WriteLogbookEntry(folder.Path(), flight);
    flight.resumed = true;  // closed again after a resume
    flight.entry.landing.reset();
    flight.logText = "NAVIGATION LOG, CLOSED AGAIN\r\n";
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), flight), name);
    EXPECT_EQ(folder.Contents("Logbook\\" + name + ".log"), flight.logText);
    // Saved by a spreadsheet with its own date and time formats: still the flight's row.
    std::string saved = folder.Contents("Logbook\\logbook.csv");
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"\n2026-12-07,", "\n12/7/2026,"},
          {",10:00:00,10:05:00,", ",10:00,10:05,"}}) {
        ASSERT_NE(saved.find(from), std::string::npos) << from;
        saved.replace(saved.find(from), from.size(), to);
    }
    folder.Put("Logbook\\logbook.csv", saved);
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), flight), name);
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), Flight(kTakeOff + 4 * 3600)),
              "2026-12-07_1405_LIEO-LIRQ");
    // Flown again from the same saved situation, off 20 seconds later: another flight, in the
    // same minute. It gets an entry of its own, and keeps it when closed again.
    LogbookFlight again = Flight(kTakeOff + 20);
    again.resumed = true;
    again.logText = "NAVIGATION LOG, FLOWN AGAIN\r\n";
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), again), name + "_2");
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), again), name + "_2");
    // A new flight, never resumed, at the very same times: an entry of its own all the same.
    LogbookFlight twin = Flight(kTakeOff);
    twin.logText = "NAVIGATION LOG, A TWIN\r\n";
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), twin), name + "_3");
    EXPECT_EQ(folder.Contents("Logbook\\" + name + ".log"), flight.logText);
    EXPECT_EQ(folder.Contents("Logbook\\" + name + "_2.log"), again.logText);

    const std::vector<CsvFields> records = LogbookRecords(folder);
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0], LogbookHeader());
    // The older row keeps what its columns share with today's, in UTF-8.
    EXPECT_EQ(records[1][0], "2026-11-02");
    EXPECT_EQ(records[1][4], "Caravane R\xC3\xA9");
    EXPECT_EQ(records[1][13], "250");
    EXPECT_EQ(records[1].back(), "2026-11-02_0900_LIBR-LIRF");
    EXPECT_EQ(records[2].back(), name);
    EXPECT_EQ(records[2][17], "") << "the row closed again replaced the first one";
    EXPECT_EQ(records[3].back(), "2026-12-07_1405_LIEO-LIRQ");
    EXPECT_EQ(records[4].back(), name + "_2");
    EXPECT_EQ(records[5].back(), name + "_3");

    // A flight plan's ident in the system's code page names the files as it is, and the row
    // in UTF-8 as the other cells; closed again, it is still found.
    LogbookFlight accented = Flight(kTakeOff + 8 * 3600);
    accented.entry.arrival = "S\xC3O";
    const std::string accentedName = "2026-12-07_1805_LIEO-S\xC3O";
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), accented), accentedName);
    accented.resumed = true;
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), accented), accentedName);
    EXPECT_TRUE(FileExists(folder.PathOf("Logbook\\" + accentedName + ".gpx")));
    const std::vector<CsvFields> after = LogbookRecords(folder);
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(after[6].back(), "2026-12-07_1805_LIEO-S\xC3\x83O");
}

// Logbooks a spreadsheet saved in a shape the program cannot rewrite: another separator, or
// the header line gone. The new row is added after them and not one byte of theirs changes.
TEST(LogbookTest, ALogbookWithNoColumnTheProgramKnowsIsOnlyAppendedTo) {
    const std::string older = "2026-11-02;Rossi;LIBR;LIRF;2026-11-02_0900_LIBR-LIRF\r\n";
    const std::string cases[] = {
        kBom + std::string("Date (UTC);Pilot;Departure;Arrival;Files\r\n") + older,
        "2026-11-02,Rossi,LIBR,LIRF,2026-11-02_0900_LIBR-LIRF\r\n",
    };
    for (const std::string& before : cases) {
        TempFolder folder;
        ASSERT_EQ(CreateFolder(folder.PathOf("Logbook")), 0);
        folder.Put("Logbook\\logbook.csv", before);
        const std::string name = WriteLogbookEntry(folder.Path(), Flight(kTakeOff));
        const std::string after = folder.Contents("Logbook\\logbook.csv");
        ASSERT_EQ(after.compare(0, before.size(), before), 0) << after;
        std::vector<CsvFields> added;
        ASSERT_TRUE(ParseCsv(after.substr(before.size()), added));
        ASSERT_EQ(added.size(), 1u) << after;
        EXPECT_EQ(added[0].back(), name);
    }
}

// A logbook emptied in an editor, down to a line break or two, starts again with its header.
TEST(LogbookTest, AnEmptiedLogbookStartsAgainWithItsHeader) {
    for (const std::string& before :
         {std::string(kBom), std::string("\r\n"), std::string(kBom) + "\n \r\n"}) {
        TempFolder folder;
        ASSERT_EQ(CreateFolder(folder.PathOf("Logbook")), 0);
        folder.Put("Logbook\\logbook.csv", before);
        const std::string name = WriteLogbookEntry(folder.Path(), Flight(kTakeOff));
        const std::vector<CsvFields> records = LogbookRecords(folder);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0], LogbookHeader());
        EXPECT_EQ(records[1].back(), name);
    }
}

// A column the pilot added keeps its cells, in a logbook of today's columns and in one a
// spreadsheet saved without the byte-order mark and in its own code page; the flight closed
// again keeps its note, and the airline's columns are still set in its row.
TEST(LogbookTest, ThePilotsOwnColumnKeepsItsNotes) {
    for (const bool marked : {true, false}) {
        TempFolder folder;
        ASSERT_EQ(CreateFolder(folder.PathOf("Logbook")), 0);
        LogbookEntry older = Flight(kTakeOff - 86400).entry;
        older.entryName = "2026-12-06_1005_LIEO-LIRQ";
        LogbookEntry mine = Flight(kTakeOff).entry;
        mine.entryName = "2026-12-07_1005_LIEO-LIRQ";
        CsvFields header = LogbookHeader();
        header.push_back("Notes");
        CsvFields olderRow = LogbookFields(older);
        olderRow.push_back(marked ? "Pioggia, vento \xC3\xA8 forte" : "Pioggia, vento \xE8 forte");
        CsvFields myRow = LogbookFields(mine);
        myRow.push_back("first solo");
        folder.Put("Logbook\\logbook.csv", (marked ? kBom : "") + CsvRecord(header) +
                                               CsvRecord(olderRow) + CsvRecord(myRow));

        LogbookFlight closedAgain = Flight(kTakeOff);
        closedAgain.resumed = true;
        EXPECT_EQ(WriteLogbookEntry(folder.Path(), closedAgain), mine.entryName);
        EXPECT_EQ(WriteLogbookEntry(folder.Path(), Flight(kTakeOff + 86400)),
                  "2026-12-08_1005_LIEO-LIRQ");
        EXPECT_EQ(SetLogbookColumns(folder.PathOf("Logbook\\logbook.csv"), mine.entryName,
                                    {{kAirlineReportColumn, "report 7"}}),
                  0);

        const std::vector<CsvFields> records = LogbookRecords(folder);
        ASSERT_EQ(records.size(), 4u);
        EXPECT_EQ(records[0], header);
        EXPECT_EQ(records[1].back(), "Pioggia, vento \xC3\xA8 forte");
        EXPECT_EQ(records[2].back(), "first solo");
        EXPECT_EQ(records[2][header.size() - 2], mine.entryName);
        const auto report = std::find(header.begin(), header.end(), kAirlineReportColumn);
        EXPECT_EQ(records[2][static_cast<size_t>(report - header.begin())], "report 7");
        EXPECT_EQ(records[3][header.size() - 2], "2026-12-08_1005_LIEO-LIRQ");
    }
}

TEST(LogbookTest, UnwritableLogFolderRaisesTheProgramsError) {
    TempFolder folder;
    LogbookFlight flight;
    try {
        WriteLogbookEntry(folder.PathOf("missing"), flight);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create file \"", 0), 0u) << error.what();
    }
}

}  // namespace
}  // namespace aerolinker
