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

    const std::string name = "2026-12-07_1005_LIEO-LIRQ";
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), flight), name);
    EXPECT_EQ(folder.Contents("Logbook\\" + name + ".log"), flight.logText);
    for (const char* extension : kEntryExtensions) {
        EXPECT_TRUE(FileExists(folder.PathOf("Logbook\\" + name) + extension)) << extension;
    }
    // The same take-off closed again (a resume after a stop in its closing): its one entry and
    // row are updated. A stop before the row left files the logbook does not list yet; writing
    // them anew adds the row once.
    flight.entry.landing.reset();
    flight.logText = "NAVIGATION LOG, CLOSED AGAIN\r\n";
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), flight), name);
    EXPECT_EQ(folder.Contents("Logbook\\" + name + ".log"), flight.logText);
    // Another take-off is another flight.
    LogbookFlight later = flight;
    later.takeOff.hour = 14;
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), later), "2026-12-07_1405_LIEO-LIRQ");

    std::vector<CsvFields> records;
    ASSERT_TRUE(ParseCsv(folder.Contents("Logbook\\logbook.csv"), records));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], LogbookHeader());
    EXPECT_EQ(records[1],
              (CsvFields{"2026-12-07", "Beech \"King Air\", 350", "Rossi", "LIEO", "LIRQ", "1:46",
                         "1:25", "135", "89", "", "", "", "1.5", "0.5", "0.5", name}));
    EXPECT_EQ(records[2].back(), "2026-12-07_1405_LIEO-LIRQ");

    // The row rewritten in place keeps the others as they were.
    flight.entry.landing = LandingReport{-152.4, 1.336, 1};
    EXPECT_EQ(WriteLogbookEntry(folder.Path(), flight), name);
    ASSERT_TRUE(ParseCsv(folder.Contents("Logbook\\logbook.csv"), records));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(CsvFields(records[1].begin() + 9, records[1].begin() + 12),
              (CsvFields{"-152", "1.34", "1"}));
    EXPECT_EQ(records[2].back(), "2026-12-07_1405_LIEO-LIRQ");
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
