// The trace on disk: rows appended one at a time, kept across a resumed flight and a crash.
#include "recorder/trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/calendar.h"
#include "common/csv.h"
#include "persistence/temp_folder.h"

namespace aerolinker {
namespace {

// 8 December 2026, 00:00 UTC.
const long long kDay = DaysFromCivil(CivilDate{2026, 12, 8}) * 86400;

TraceRow Row(long long secondsOfDay, const std::string& phase) {
    TraceRow row;
    row.utcSeconds = kDay + secondsOfDay;
    row.localSecondsOfDay = static_cast<int>((secondsOfDay + 3600) % 86400);
    row.latitude = 40.898889;
    row.longitude = -9.5175;
    row.altitudeFeet = 6233;
    row.groundSpeedKnots = 182;
    row.verticalSpeedFpm = -512;
    row.trueHeadingDegrees = 52;
    row.fuelGallons = 231.4;
    row.phase = phase;
    row.simulationRate = 0.5;
    return row;
}

void ExpectSameRow(const TraceRow& read, const TraceRow& written) {
    EXPECT_EQ(read.utcSeconds, written.utcSeconds);
    EXPECT_EQ(read.localSecondsOfDay, written.localSecondsOfDay);
    EXPECT_EQ(read.onGround, written.onGround);
    EXPECT_EQ(read.gForce, written.gForce);
    EXPECT_NEAR(read.latitude, written.latitude, 1e-6);
    EXPECT_NEAR(read.longitude, written.longitude, 1e-6);
    EXPECT_EQ(read.altitudeFeet, written.altitudeFeet);
    EXPECT_EQ(read.verticalSpeedFpm, written.verticalSpeedFpm);
    EXPECT_NEAR(read.fuelGallons, written.fuelGallons, 0.05);
    EXPECT_EQ(read.phase, written.phase);
    EXPECT_EQ(read.paused, written.paused);
    EXPECT_EQ(read.slewing, written.slewing);
    EXPECT_EQ(read.simulationRate, written.simulationRate);
}

TEST(TraceTest, ResumedFlightGoesOnInTheSameTrace) {
    TempFolder folder;
    const std::string path = folder.PathOf("trace.csv");
    std::vector<TraceRow> written = {Row(36300, "Climb, \"cruise\""), Row(36305, "Cruise")};
    written[1].paused = true;
    written[1].onGround = true;
    written[1].gForce = 1.25;
    ASSERT_EQ(TraceFile(path).Append(written[0]), 0);
    ASSERT_EQ(TraceFile(path).Append(written[1]), 0);
    // The program restarts and resumes: a new TraceFile on the same path.
    written.push_back(Row(86399, "Descent"));
    written.back().slewing = true;
    ASSERT_EQ(TraceFile(path).Append(written.back()), 0);

    const std::string text = folder.Contents("trace.csv");
    EXPECT_EQ(text.find(CsvRecord(TraceHeader())), 0u);
    EXPECT_EQ(text.find("Time,", 1), std::string::npos) << "one header only";
    std::vector<TraceRow> read;
    ASSERT_EQ(ReadTrace(path, read), 0);
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        ExpectSameRow(read[i], written[i]);
    }
    EXPECT_EQ(TraceCsvText(written), text);
}

TEST(TraceTest, LineCutShortByACrashIsClosedAndSkipped) {
    TempFolder folder;
    const std::string path = folder.PathOf("trace.csv");
    // An empty file left behind still gets its header; a torn last row, with a quote left
    // open, must not swallow the rows written after the restart.
    folder.Put("trace.csv", "");
    ASSERT_EQ(TraceFile(path).Append(Row(36300, "Cruise")), 0);
    std::string torn = folder.Contents("trace.csv") + "10:05:05,40.9,\"Cru";
    folder.Put("trace.csv", torn);
    ASSERT_EQ(TraceFile(path).Append(Row(36310, "Cruise")), 0);

    EXPECT_EQ(folder.Contents("trace.csv").substr(torn.size(), 2), "\r\n");
    std::vector<TraceRow> read;
    ASSERT_EQ(ReadTrace(path, read), 0);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].utcSeconds, kDay + 36300);
    EXPECT_EQ(read[1].utcSeconds, kDay + 36310);
}

TEST(TraceTest, TheTraceTextIsTheCsvOfEachRowsFields) {
    // Rounding at the last decimal, a negative zero, a phase that needs quoting or holds a line
    // break, flags set, a rate with decimals, a time past midnight.
    std::vector<TraceRow> rows = {Row(0, "Taxi"), Row(86399, "Cruise, \"high\""),
                                  Row(90000, "Climb\r\nout")};
    rows[1].latitude = -0.0000004;
    rows[1].fuelGallons = 0.05;
    rows[1].paused = rows[1].slewing = true;
    rows[2].altitudeFeet = -12.5;
    rows[2].trueHeadingDegrees = 359.6;
    rows[2].simulationRate = 1.25;
    std::string expected = CsvRecord(TraceHeader());
    for (const TraceRow& row : rows) {
        expected += CsvRecord(TraceFields(row));
    }
    EXPECT_EQ(TraceCsvText(rows), expected);
    EXPECT_NE(expected.find("\r\n2026-12-08,00:00:00,01:00:00,40.898889,-9.517500,6233,0,182,0,"
                            "-512,52,231.4,1.00,0,Taxi,"),
              std::string::npos)
        << expected;
    // The row past midnight is dated the next day.
    EXPECT_NE(expected.find("\r\n2026-12-09,01:00:00,"), std::string::npos) << expected;
}

TEST(TraceTest, RowsOfOlderCopiesAreReadAndDatedBackFromTheResume) {
    TempFolder folder;
    // Two rows an older copy wrote (time of day only), the second after midnight.
    folder.Put("trace.csv",
               "Time,Latitude,Longitude,Altitude (ft),Ground speed (kt),Vertical speed (ft/min),"
               "Heading,Fuel (gal),Phase,Paused,Slew,Sim rate\r\n"
               "23:59:55,40.9,9.5,3000,180,0,52,100.0,cruise,0,0,1\r\n"
               "00:00:00,40.9,9.6,3000,180,0,52,99.9,taxi,0,0,1\r\n");
    std::vector<TraceRow> read;
    ASSERT_EQ(ReadTrace(folder.PathOf("trace.csv"), read), 0);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_TRUE(IsUndated(read[0].utcSeconds));
    EXPECT_FALSE(read[0].onGround);
    EXPECT_TRUE(read[1].onGround);
    // The resumed flight's first sample, five seconds later on 9 December.
    const long long resumed = kDay + 86400 + 5;
    DateBackwards(read[1].utcSeconds, resumed);
    DateBackwards(read[0].utcSeconds, read[1].utcSeconds);
    EXPECT_EQ(read[1].utcSeconds, kDay + 86400);
    EXPECT_EQ(read[0].utcSeconds, kDay + 86395);
}

TEST(TraceTest, MissingFolderIsAnError) {
    TempFolder folder;
    EXPECT_NE(TraceFile(folder.PathOf("gone") + "\\trace.csv").Append(Row(0, "Taxi")), 0);
    std::vector<TraceRow> read;
    EXPECT_NE(ReadTrace(folder.PathOf("none.csv"), read), 0);
}

}  // namespace
}  // namespace aerolinker
