// A 12-hour flight with 200 waypoints through the main window's handlers on the loopback
// platform, ticks back to back: the cost of a tick, of the tracker's log save as the log
// grows, and of the whole flight, with the heap watched from tick to tick; and the flight
// recorder's texts of such a flight on their own.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <memory>
#include <string>
#include <vector>

#include "airline/airline_link.h"
#include "airline/airline_sender.h"
#include "app/connection_form.h"
#include "common/calendar.h"
#include "common/units.h"
#include "link/loopback/platform.h"
#include "logbook/track_files.h"
#include "recorder/trace.h"
#include "recorder/track.h"
#include "navlog/log_file.h"
#include "persistence/ini_file.h"
#include "persistence/portable/services.h"
#include "sim/loopback_simulator.h"
#include "sim/scenario_parser.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

constexpr int kWaypoints = 200;
constexpr int kFlightTicks = 12 * 720;  // 12 hours of 5-second ticks

std::string Id(int index) {
    std::string id = "W" + std::to_string(index);
    return id;
}

// Departure W0, waypoints W1 ... W200 registered in turn, destination DEST.
std::string LongFlightScenario(bool withWaypoints) {
    const int total = kWaypoints + 2;  // departure + waypoints + destination
    std::string text =
        "title \"Long Haul\"\n"
        "waypoint_count " +
        std::to_string(withWaypoints ? total : 1000) +
        "\n"
        "route_distance 11000000\nprev W0\nnext W1\nactive_waypoint 1\ndestination DEST\n"
        "approach \"ILS 09\"\ntransition W200\nclock 06:00\non_ground 1\nengines 0 0 0 0\n"
        "fuel centre 1 20000\ndistance_to_next 50000\ntime_to_next 400\nground_speed 230\n"
        "heading 90 deg\naltitude 11000\nestimated_arrival 64800\n"
        "frame 12\nengines 1 1 0 0\n"
        "frame 12\non_ground 0\n";
    const int cruiseTicks = kFlightTicks - 24 - 24;
    const int perLeg = cruiseTicks / kWaypoints;
    for (int i = 2; i <= kWaypoints + 1; ++i) {
        const int ticks = i == kWaypoints + 1 ? cruiseTicks - perLeg * (kWaypoints - 1) : perLeg;
        text += "frame " + std::to_string(ticks) + "\n";
        if (withWaypoints) {
            text += "active_waypoint " + std::to_string(i) + "\nprev " + Id(i - 1) + "\nnext " +
                    (i == total - 1 ? std::string("DEST") : Id(i)) + "\n";
        }
        text += "fuel centre " + std::to_string(1.0 - 0.004 * i) + " 20000\n";
    }
    text += "frame 12\non_ground 1\nframe 12\nengines 0 0 0 0\n";
    return text;
}

// One program run against one in-process simulator, with folders of its own.
struct Flight {
    // `connect`: false leaves "Connect to FSim" to the caller, once its listeners are in.
    explicit Flight(const std::string& scenarioText, bool connect = true)
        : folder(fs::temp_directory_path() / "aerolinker-flight-bench"),
          windowsFolder((folder / "windows").string()),
          config(ConfigFilePath(windowsFolder), RegionalSettings{}),
          clock(LocalDateTime{2026, 12, 6, 6, 0, 0, 0}) {
        fs::remove_all(folder);
        fs::create_directories(folder / "windows");
        fs::create_directories(folder / "logs");
        fs::create_directories(folder / "flights");
        auto scenario = std::make_shared<const Scenario>(ParseScenario(scenarioText));
        LoopbackSimulator::Options options;
        options.flightsFolder = (folder / "flights").string();
        simulator = std::make_unique<LoopbackSimulator>(platform, scenario, options);
        link = std::make_unique<FsuipcLink>(platform);
        form = std::make_unique<TFConnection>(AppServices{*link, window, config, windowsFolder,
                                                          copier, clock, RegionalSettings{},
                                                          (folder / "logs").string()});
        form->FormCreate();
        form->SetLogFolder((folder / "logs").string());
        if (connect) {
            form->LConnettiClick();
        }
    }
    ~Flight() {
        form.reset();
        link.reset();
        simulator.reset();
        fs::remove_all(folder);
    }

    // The window's roles, with nothing shown.
    struct QuietWindow : MainWindowRoles {
        bool AskYesNo(const std::string&) override { return false; }
        void EditLogFolder() override {}
        void SetCaption(const std::string&) override {}
        void SetStatusText(const std::string&) override {}
        void SetFlightStatus(const std::string&) override {}
        void ShowMessageBox(const std::string&) override {}
        void ShowStandardMessage(const std::string&) override {}
        void SetTimerEnabled(bool enabled) override { timer = enabled; }
        bool TimerEnabled() const override { return timer; }
        void SetSituationButtonsEnabled(bool) override {}
        void PlaySound() override {}
        void PauseUserInterface(unsigned) override {}
        void ReportError(const std::string& text) override { error = text; }
        bool timer = false;
        std::string error;
    };

    fs::path folder;
    GivenFolder windowsFolder;
    IniFile config;
    ByteFileCopier copier;
    FixedClock clock;
    LoopbackPlatform platform;
    QuietWindow window;
    std::unique_ptr<LoopbackSimulator> simulator;
    std::unique_ptr<FsuipcLink> link;
    std::unique_ptr<TFConnection> form;
};

size_t HeapInUse() {
    return mallinfo2().uordblks;
}

// Ticks in cruise, where nothing is registered and nothing saved: the sample and the machine.
void BM_CruiseTick(benchmark::State& state) {
    Flight flight(LongFlightScenario(false));
    for (int i = 0; i < 30; ++i) {
        flight.form->Timer1Timer();  // engine start and take-off
    }
    const size_t heapBefore = HeapInUse();
    int64_t ticks = 0;
    for (auto _ : state) {
        flight.form->Timer1Timer();
        ++ticks;
    }
    state.counters["heap_growth_bytes"] =
        static_cast<double>(HeapInUse()) - static_cast<double>(heapBefore);
    state.SetItemsProcessed(ticks);
}
BENCHMARK(BM_CruiseTick);

// The tracker's save of a log of n lines.
void BM_TrackerSave(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "aerolinker-save-bench";
    fs::create_directories(folder);
    LogDocument document;
    for (int64_t i = 0; i < state.range(0); ++i) {
        document.Append("W" + std::to_string(i) +
                        "    |     |      |     |       |       |050/1234|00:12|10:30|      ");
    }
    const std::string path = folder.string() + kLogFileName;
    for (auto _ : state) {
        TrackerSave(document, path);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document.Text().size()));
    fs::remove_all(folder);
}
BENCHMARK(BM_TrackerSave)->Arg(20)->Arg(100)->Arg(250)->Arg(450)->Unit(benchmark::kMicrosecond);

// The whole flight: connect, 8640 ticks, 200 registrations with 100 situation saves, the
// arrival. The heap at the end, less the log's own text, is compared with the heap after the
// take-off.
void BM_WholeFlight(benchmark::State& state) {
    const std::string scenario = LongFlightScenario(true);
    for (auto _ : state) {
        Flight flight(scenario);
        int ticks = 0;
        size_t heapAfterTakeOff = 0;
        size_t logAfterTakeOff = 0;
        while (flight.window.timer) {
            flight.form->RunGuarded([&] { flight.form->Timer1Timer(); });
            if (++ticks == 30) {
                heapAfterTakeOff = HeapInUse();
                logAfterTakeOff = flight.form->Memo1().Text().size();
            }
        }
        if (!flight.window.error.empty() ||
            flight.form->State().RegistrationCount != kWaypoints + 1) {
            state.SkipWithError(("the flight did not close: " + flight.window.error).c_str());
            break;
        }
        state.counters["ticks"] = ticks;
        state.counters["log_lines"] = flight.form->Memo1().LineCount();
        state.counters["heap_growth_less_log_bytes"] =
            static_cast<double>(HeapInUse()) - static_cast<double>(heapAfterTakeOff) -
            static_cast<double>(flight.form->Memo1().Text().size() - logAfterTakeOff);
    }
}
BENCHMARK(BM_WholeFlight)->Unit(benchmark::kMillisecond)->Iterations(3);

// An airline server that answers the bids at once (one bid from the flight's departure) and
// then hangs on every request for 30 seconds, or until the benchmark is over.
class HangingAirline : public HttpTransport {
public:
    HttpReply Send(const HttpRequest& request) override {
        HttpReply reply;
        if (request.url.find("/api/user/bids") != std::string::npos) {
            reply.status = 200;
            reply.body = R"({"data":[{"id":"f1","airline":{"id":1,"icao":"CSA"},)"
                         R"("flight_number":"1","dpt_airport_id":"W0","arr_airport_id":"DEST",)"
                         R"("subfleet":[{"aircraft":[{"id":1,"registration":"X"}]}]}]})";
            return reply;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        released_.wait_for(lock, std::chrono::seconds(30), [this] { return release_; });
        reply.error = "no reply within 30 s";
        return reply;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        release_ = true;
        released_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;
};

// The whole flight with the airline's listener on and its server hanging: the ticks must not
// wait for it. Compare with BM_WholeFlight, the same flight without an airline.
void BM_WholeFlightFiledToAHangingServer(benchmark::State& state) {
    const std::string scenario = LongFlightScenario(true);
    for (auto _ : state) {
        state.PauseTiming();
        Flight flight(scenario, /*connect=*/false);
        auto transport = std::make_unique<HangingAirline>();
        HangingAirline& airline = *transport;
        auto sender = std::make_unique<AirlineSender>(std::move(transport),
                                                      AirlineServer{"http://127.0.0.1:1", "k"},
                                                      (flight.folder / "logs").string());
        AirlineLink link(flight.form->Session(), *sender, flight.window);
        flight.form->Subscribe(link);
        flight.form->LConnettiClick();
        state.ResumeTiming();
        int ticks = 0;
        while (flight.window.timer) {
            flight.form->RunGuarded([&] { flight.form->Timer1Timer(); });
            ++ticks;
        }
        state.PauseTiming();
        state.counters["ticks"] = ticks;
        state.counters["outbox_entries"] =
            static_cast<double>(sender->Queue().Flights().empty()
                                    ? 0
                                    : sender->Queue().Entries(sender->Queue().Flights()[0]).size());
        airline.Release();
        sender.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WholeFlightFiledToAHangingServer)->Unit(benchmark::kMillisecond)->Iterations(3);

// The rows and marks of a 12-hour flight that passes midnight UTC, climbing, cruising and
// descending across the sea: every figure of a row changes from tick to tick, as in flight.
struct RecordedFlight {
    std::vector<TraceRow> rows;
    std::vector<TrackMark> marks;
};

RecordedFlight TwelveHourRecording() {
    const long long departure =
        DaysFromCivil(CivilDate{2026, 12, 6}) * units::kSecondsPerDay + 18 * units::kSecondsPerHour;
    constexpr int kTickSeconds = 5;
    constexpr int kZoneSeconds = units::kSecondsPerHour;  // local time one hour ahead
    constexpr int kTicksPerMark = kFlightTicks / kWaypoints;
    RecordedFlight flight;
    flight.rows.reserve(kFlightTicks);
    for (int tick = 0; tick < kFlightTicks; ++tick) {
        const double progress = static_cast<double>(tick) / kFlightTicks;
        TraceRow row;
        row.utcSeconds = departure + static_cast<long long>(tick) * kTickSeconds;
        row.localSecondsOfDay =
            (SecondsOfDayOf(row.utcSeconds) + kZoneSeconds) % units::kSecondsPerDay;
        row.latitude = 51.4700 - 60.0 * progress;
        row.longitude = -0.4543 + 103.5 * progress;
        row.altitudeFeet = 37'000.0 * std::min(1.0, std::min(progress, 1.0 - progress) * 20.0);
        row.heightFeet = row.altitudeFeet - 35.0;
        row.groundSpeedKnots = 480.0 + 7.3 * (tick % 11);
        row.indicatedKnots = 280.0 + 3.1 * (tick % 7);
        row.verticalSpeedFpm = 120.0 * (tick % 5) - 240.0;
        row.trueHeadingDegrees = 120.0 + 0.01 * tick;
        row.fuelGallons = 40'000.0 * (1.0 - 0.9 * progress);
        row.gForce = 1.0 + 0.01 * (tick % 3);
        row.phase = "cruise";
        flight.rows.push_back(row);
        if (tick % kTicksPerMark == 0) {
            flight.marks.push_back(TrackMark{MarkKind::kWaypoint, Id(tick / kTicksPerMark),
                                             row.utcSeconds, row.latitude, row.longitude,
                                             row.altitudeFeet});
        }
    }
    return flight;
}

// The trace's CSV of every row: the logbook entry's copy, and each tick's line as the trace
// file gets it.
void BM_TraceCsv(benchmark::State& state) {
    const RecordedFlight flight = TwelveHourRecording();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TraceCsvText(flight.rows));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(flight.rows.size()));
}
BENCHMARK(BM_TraceCsv)->Unit(benchmark::kMillisecond);

// The logbook entry's map files.
void BM_KmlAndGpx(benchmark::State& state) {
    const RecordedFlight flight = TwelveHourRecording();
    const TrackFileFlight about{"EGLL - WSSS", "Heavy Twin", "A. Pilot"};
    for (auto _ : state) {
        benchmark::DoNotOptimize(KmlText(about.title, flight.rows, flight.marks));
        benchmark::DoNotOptimize(GpxText(about, flight.rows, flight.marks));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(flight.rows.size()));
}
BENCHMARK(BM_KmlAndGpx)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace aerolinker

BENCHMARK_MAIN();
