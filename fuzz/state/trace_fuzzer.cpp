// libFuzzer target: arbitrary bytes as the flight's trace file. The reader gives no more rows
// than the file has lines, only rows a trace can hold, and those rows written again read back
// as the same text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "common/file_io.h"
#include "common/units.h"
#include "recorder/trace.h"

namespace {

const std::string& RunFile() {
    return aerolinker::fuzzing::RunFile("trace_fuzzer", "Navforge.trace.csv");
}

void Require(bool condition, const char* what) {
    aerolinker::fuzzing::Require(condition, "trace_fuzzer", what);
}

using aerolinker::TraceRow;

// Written plainly: the program's atomic replacement waits for the disk, a hundred times slower.
std::vector<TraceRow> ReadBack(const std::string& bytes) {
    std::FILE* file = std::fopen(aerolinker::NativePath(RunFile()).c_str(), "wb");
    Require(file != nullptr, "cannot create the file");
    Require(
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fclose(file) == 0,
        "cannot write the file");
    std::vector<TraceRow> rows;
    Require(aerolinker::ReadTrace(RunFile(), rows) == 0, "the file does not read");
    return rows;
}

bool Holdable(const TraceRow& row) {
    for (double figure :
         {row.latitude, row.longitude, row.altitudeFeet, row.heightFeet, row.groundSpeedKnots,
          row.indicatedKnots, row.verticalSpeedFpm, row.trueHeadingDegrees, row.fuelGallons,
          row.gForce, row.simulationRate}) {
        if (!std::isfinite(figure)) {
            return false;
        }
    }
    // Dates run from year 1 to 9999.
    constexpr long long kMostSeconds = 10000LL * 366 * aerolinker::units::kSecondsPerDay;
    return row.localSecondsOfDay >= 0 &&
           row.localSecondsOfDay < aerolinker::units::kSecondsPerDay &&
           std::llabs(row.utcSeconds) < kMostSeconds && row.phase.find('\n') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<TraceRow> rows = ReadBack(bytes);
    // Every line break ends a line, and text after the last one is a line too.
    std::size_t lines = !bytes.empty() && bytes.back() != '\n' ? 1 : 0;
    for (const char c : bytes) {
        lines += c == '\n';
    }
    Require(rows.size() <= lines, "more rows than lines");
    for (const TraceRow& row : rows) {
        Require(Holdable(row), "a row no trace can hold");
    }
    const std::string written = aerolinker::TraceCsvText(rows);
    const std::vector<TraceRow> again = ReadBack(written);
    Require(again.size() == rows.size(), "written rows read back as a different count");
    Require(aerolinker::TraceCsvText(again) == written, "written rows read back differently");
    return 0;
}
