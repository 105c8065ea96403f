// The logbook entry a closed flight leaves: its name, its files and its logbook.csv row.
#include "logbook/logbook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_error.h"
#include "common/csv.h"
#include "persistence/temp_folder.h"

namespace aerolinker {
namespace {

LocalDateTime TakeOff() {
    LocalDateTime when;
    when.year = 2026;
    when.month = 12;
    when.day = 7;
    when.hour = 10;
    when.minute = 5;
    return when;
}

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
        EXPECT_EQ(EntryBaseName(TakeOff(), c.departure, c.arrival), c.expected);
    }
}

TEST(LogbookNameTest, NeverOverwritesAnEntryButFinishesItsOwnInterruptedOne) {
    TempFolder folder;
    const std::string base = "2026-12-07_1005_LIEO-LIRQ";
    const std::string log = "NAVIGATION LOG\r\n";
    EXPECT_EQ(FreeEntryName(folder.Path(), base, log), base);
    // A complete entry (listed in logbook.csv) keeps its name, even with this very log.
    folder.Put(base + ".log", log);
    folder.Put("logbook.csv", "Date,Files\r\n2026-12-07," + base + "\r\n");
    EXPECT_EQ(FreeEntryName(folder.Path(), base, log), base + "_2");
    // Unlisted files with another log, or with no log copy, are another flight's.
    folder.Put(base + "_2.log", "ANOTHER LOG\r\n");
    folder.Put(base + "_3.svg", "<svg/>");
    EXPECT_EQ(FreeEntryName(folder.Path(), base, log), base + "_4");
    // Unlisted files whose log copy is this flight's: its own entry, stopped half way.
    folder.Put(base + "_4.log", log);
    folder.Put(base + "_4.csv", "half");
    EXPECT_EQ(FreeEntryName(folder.Path(), base, log), base + "_4");
}

TEST(LogbookTest, ClosedFlightsLeaveTheirFilesAndOneRowEach) {
    TempFolder folder;
    LogbookFlight flight;
    flight.takeOff = TakeOff();
    flight.entry.date = TakeOff();
    flight.entry.aircraft = "Beech \"King Air\", 350";
    flight.entry.pilot = "Rossi";
    flight.entry.departure = "LIEO";
    flight.entry.arrival = "LIRQ";
    flight.entry.blockMinutes = 106;
    flight.entry.airMinutes = 85;
    flight.entry.distanceMiles = 135.2;
    flight.entry.fuelUsedGallons = 88.6;
    flight.entry.landing = LandingReport{-152.4, 1.336, 1};
    flight.entry.honestTime.Count(true, false, 1.0, 90);
    flight.entry.honestTime.Count(false, true, 4.0, 30);
    flight.logText = "NAVIGATION LOG\r\n";
    flight.trace.resize(2);
    flight.trace[1].latitude = 1.0;
    flight.marks.push_back({MarkKind::kLanding, "LIRQ", 0, 1.0, 0.0, 0.0});

    EXPECT_EQ(WriteLogbookEntry(folder.Path(), flight), "2026-12-07_1005_LIEO-LIRQ");
    flight.entry.landing.reset();
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), flight), "2026-12-07_1005_LIEO-LIRQ_2");

    EXPECT_EQ(folder.Contents("Logbook\\2026-12-07_1005_LIEO-LIRQ.log"), flight.logText);
    for (const char* extension : kEntryExtensions) {
        EXPECT_TRUE(FileExists(folder.PathOf("Logbook\\2026-12-07_1005_LIEO-LIRQ_2") + extension))
            << extension;
    }
    std::vector<CsvFields> records;
    ASSERT_TRUE(ParseCsv(folder.Contents("Logbook\\logbook.csv"), records));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], LogbookHeader());
    EXPECT_EQ(records[1], (CsvFields{"2026-12-07", "Beech \"King Air\", 350", "Rossi", "LIEO",
                                     "LIRQ", "1:46", "1:25", "135", "89", "-152", "1.34", "1",
                                     "1.5", "0.5", "0.5", "2026-12-07_1005_LIEO-LIRQ"}));
    // No landing recorded: its three columns stay empty.
    EXPECT_EQ(records[2][9], "");
    EXPECT_EQ(records[2][11], "");
    EXPECT_EQ(records[2][15], "2026-12-07_1005_LIEO-LIRQ_2");
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
