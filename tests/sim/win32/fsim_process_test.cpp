// fsim.exe in a process of its own, driven by the program's link over the real Win32 calls:
// open, a full sample, a message in the transcript file, the area's capacity boundary, a
// saved flight, a malformed request, close; and no server at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/little_endian.h"
#include "link/fsuipc_link.h"
#include "link/sim_sample.h"
#include "link/win32/platform.h"
#include "sim/win32/fsim_chooser.h"
#include "sim/win32/fsim_process.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kEndTimeoutMs = 30000;

constexpr const char* kScenario = R"(# fsim's process test
scenario "fsim process test"
title "Generic Twin Turboprop"
waypoint_count 5
route_distance 250000
prev LIEO
next OLB
destination LIRQ
approach "ILS 05"
transition PRT
clock 09:52
visibility 6000
qnh 1013 hpa
wind 270/12
temperature 15 c
clouds 3/8
fuel centre 0.4 20
fuel left_main 0.6875 64
fuel right_main 0.6875 64
fuel left_tip 0.5 10
altitude 3048.5
distance_to_next 46300
heading 4.36332
time_to_next 540
estimated_arrival 39900
active_waypoint 1
ground_speed 128.6
gps_fuel 21.6
on_ground 1
frame
engines 1 0 0 1
frame
on_ground 0
)";

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A scratch folder with the scenario, the flights folder and the transcript file.
class Workspace {
public:
    Workspace() {
        folder_ = fs::temp_directory_path() /
                  ("aerolinker_fsim_" + std::to_string(GetCurrentProcessId()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "flights");
        std::ofstream(folder_ / "test.scn", std::ios::binary) << kScenario;
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path scenario() const { return folder_ / "test.scn"; }
    void ReplaceScenario(const std::string& text) const {
        std::ofstream(scenario(), std::ios::binary | std::ios::trunc) << text;
    }
    fs::path flights() const { return folder_ / "flights"; }
    fs::path folder() const { return folder_; }
    fs::path transcript() const { return folder_ / "transcript.txt"; }

private:
    fs::path folder_;
};

// fsim's command line serving the workspace's scenario as the server of `windowClass`.
std::string ServerArguments(const Workspace& workspace, const std::string& windowClass) {
    return "--class " + windowClass + " --flights \"" + workspace.flights().string() +
           "\" --transcript \"" + workspace.transcript().string() + "\" \"" +
           workspace.scenario().string() + "\"";
}

// fsim serving the workspace as the server of `windowClass`; the test fails when it shows no
// window.
void Serve(FsimProcess& fsim, const Workspace& workspace, const std::string& windowClass) {
    std::string error;
    EXPECT_TRUE(fsim.Start(ServerArguments(workspace, windowClass), windowClass, error)) << error;
}

// Runs fsim with the arguments until it ends by itself: its exit code and what it wrote to
// its standard error.
struct FsimEnd {
    DWORD code = STILL_ACTIVE;
    std::string errors;
};

FsimEnd RunFsimToItsEnd(const std::string& arguments) {
    FsimProcess fsim;
    FsimEnd end;
    std::string error;
    if (!fsim.Launch(arguments, error, true)) {
        ADD_FAILURE() << error;
        return end;
    }
    end.errors = fsim.ReadErrors();
    end.code = fsim.WaitForExit(kEndTimeoutMs);
    EXPECT_NE(end.code, STILL_ACTIVE) << "fsim did not end by itself";
    return end;
}

// Each test has a workspace of its own, fsim when it starts one, and the program's link.
class FsimProcessTest : public testing::Test {
protected:
    // fsim serving the workspace as the server of `windowClass`, and the link opened to it.
    bool ServeAndLink(const std::string& windowClass) {
        Serve(fsim_, workspace_, windowClass);
        return fsim_.window() != nullptr && link_.OpenLink(0, result_);
    }

    Workspace workspace_;
    FsimProcess fsim_;
    Win32LinkPlatform platform_;
    FsuipcLink link_{platform_};
    LinkResult result_ = LinkNoServer;
};

TEST_F(FsimProcessTest, NoServerWindowMeansNoLink) {
    EXPECT_FALSE(link_.OpenLink(0, result_));
    EXPECT_EQ(result_, LinkNoServer);
    EXPECT_STREQ(ResultTexts[result_], "Cannot link to FSUIPC or WideClient");
    EXPECT_FALSE(link_.IsOpen());
}

TEST_F(FsimProcessTest, TheProgramsLinkFliesAgainstFsimInAnotherProcess) {
    ASSERT_TRUE(ServeAndLink("UIPCMAIN"));
    EXPECT_EQ(result_, LinkOk);
    EXPECT_EQ(link_.state().serverWindow, reinterpret_cast<WindowHandle>(fsim_.window()));
    EXPECT_EQ(link_.state().serverVersion, 0x19990000u);
    EXPECT_EQ(link_.state().simulatorVersion, 7u);

    SimSample sample;
    std::int32_t waypointCount = 0;
    ReadConnectBatch(link_, sample, waypointCount, result_);
    EXPECT_EQ(result_, LinkOk);
    EXPECT_EQ(sample.aircraftTitle.Text(), "Generic Twin Turboprop");
    EXPECT_EQ(waypointCount, 5);

    // The full per-tick batch: every one of its 29 reads comes back.
    SampleSimulator(link_, sample, result_);
    ASSERT_EQ(result_, LinkOk);
    EXPECT_EQ(sample.clockHour, 9);
    EXPECT_EQ(sample.clockMinute, 52);
    EXPECT_EQ(sample.visibility, 6000);
    EXPECT_EQ(sample.qnh, 16208);
    EXPECT_EQ(sample.windDirection, 49152);
    EXPECT_EQ(sample.windSpeed, 12);
    EXPECT_EQ(sample.temperature, 3840);
    EXPECT_EQ(sample.cloudCover, 0x6000);
    EXPECT_EQ(sample.fuelTanks[kCentreLevel], 3355443u);
    EXPECT_EQ(sample.fuelTanks[kCentreCapacity], 20u);
    EXPECT_EQ(sample.fuelTanks[kLeftMainLevel], 5767168u);
    EXPECT_EQ(sample.fuelTanks[kLeftTipCapacity], 10u);
    EXPECT_EQ(sample.fuelTanks[kRightMainCapacity], 64u);
    EXPECT_EQ(sample.fuelTanks[kFuelBeyond], 0u);
    EXPECT_EQ(sample.altitudeFraction, 0x80000000u);
    EXPECT_EQ(sample.altitudeMetres, 3048u);
    EXPECT_EQ(sample.previousWaypoint.Text(), "LIEO");
    EXPECT_EQ(sample.nextWaypoint.Text(), "OLB");
    EXPECT_EQ(sample.distanceToNext, 46300.0);
    EXPECT_EQ(sample.trueHeading, 4.36332);
    EXPECT_EQ(sample.timeToNext, 540u);
    EXPECT_EQ(sample.estimatedArrival, 39900u);
    EXPECT_EQ(sample.activeWaypoint, 1u);
    EXPECT_EQ(sample.approachName.Text(), "ILS 05");
    EXPECT_EQ(sample.approachTransition.Text(), "PRT");
    EXPECT_EQ(sample.destination.Text(), "LIRQ");
    EXPECT_EQ(sample.groundSpeed, 128.6);
    EXPECT_EQ(sample.routeDistance, 250000.0);
    EXPECT_EQ(sample.gpsFuel, 21.6);
    EXPECT_EQ(sample.engineCombustion[0], 1);
    EXPECT_EQ(sample.engineCombustion[1], 0);
    EXPECT_EQ(sample.engineCombustion[3], 1);
    EXPECT_EQ(sample.onGround, 1);
    EXPECT_TRUE(sample.approachLoaded);
    SampleSimulator(link_, sample, result_);
    EXPECT_EQ(sample.onGround, 0);  // the next tick's frame

    // The message is in the transcript file as soon as the batch is answered.
    ShowSimMessage(link_, "Take off : Have a good flight", 10, 1, result_);
    EXPECT_EQ(result_, LinkOk);
    const std::string transcript = ReadWholeFile(workspace_.transcript());
    EXPECT_NE(transcript.find("tick 0: library version 1004\r\n"), std::string::npos) << transcript;
    EXPECT_NE(
        transcript.find("tick 2: message for 16 s: \"Take off : Have a good flight # 1\"\r\n"),
        std::string::npos)
        << transcript;

    // The area's capacity boundary: with the cursor 0x7F00 - 20 - 8 bytes in, a read of 8
    // bytes fits and one of 9 does not; the full area is then served whole.
    const std::uint32_t kBigRead = protocol::kAreaLimit - 20 - 8 - protocol::kReadHeaderSize;
    std::string big(kBigRead, '\0');
    double routeDistance = 0;
    ASSERT_TRUE(link_.QueueRead(0, kBigRead, big.data(), result_));
    EXPECT_FALSE(link_.QueueRead(offsets::kRouteDistance, 9, &routeDistance, result_));
    EXPECT_EQ(result_, LinkAreaFull);
    ASSERT_TRUE(link_.QueueRead(offsets::kRouteDistance, 8, &routeDistance, result_));
    ASSERT_TRUE(link_.ProcessRequests(result_));
    EXPECT_EQ(result_, LinkOk);
    EXPECT_EQ(routeDistance, 250000.0);
    EXPECT_EQ(static_cast<std::uint8_t>(big[offsets::kClockHour]), 9);
    EXPECT_EQ(static_cast<std::uint8_t>(big[offsets::kVisibility]), 6000 & 0xFF);

    // A saved flight lands in the flights folder.
    const std::uint8_t save = 1;
    char name[offsets::kFlightFileNameSize] = "navforge";
    link_.QueueWrite(offsets::kFlightFileControl, 1, &save, result_);
    link_.QueueWrite(offsets::kFlightFileName, sizeof name, name, result_);
    ASSERT_TRUE(link_.ProcessRequests(result_));
    EXPECT_NE(ReadWholeFile(workspace_.flights() / "navforge.flt").find("position 2"),
              std::string::npos);

    link_.CloseLink();
    EXPECT_FALSE(link_.IsOpen());
    EXPECT_EQ(fsim_.Close(), 0u);

    // With the simulator gone there is nothing to link to.
    EXPECT_FALSE(link_.OpenLink(0, result_));
    EXPECT_EQ(result_, LinkNoServer);
}

// A hang of two requests before the second frame: the sample's first two tries wait out the
// link's whole timeout each, the third is answered with that frame.
TEST_F(FsimProcessTest, AHangingSimulatorLetsTheLinkWaitOutEachTryItLeavesUnanswered) {
    workspace_.ReplaceScenario(std::string(kScenario) + "hang 2\n");
    ASSERT_TRUE(ServeAndLink("UIPCMAIN"));
    SimSample sample;
    SampleSimulator(link_, sample, result_);
    ASSERT_EQ(result_, LinkOk);
    const ULONGLONG start = GetTickCount64();
    SampleSimulator(link_, sample, result_);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_EQ(result_, LinkOk);
    EXPECT_EQ(sample.onGround, 0);
    EXPECT_GE(waited, 2 * protocol::kSendTimeoutMs);
    EXPECT_NE(ReadWholeFile(workspace_.transcript())
                  .find("tick 1: hanging: the next 2 requests go unanswered\r\n"),
              std::string::npos);
}

// Each sample plays as many ticks as the speed says: at 16x the clock is 15 ticks on at the
// first sample, where at the real pace it shows the time the scenario starts at.
TEST_F(FsimProcessTest, TheSpeedOnTheCommandLinePlaysThatManyTicksPerSample) {
    workspace_.ReplaceScenario("clock 09:52\nframe 100\n");
    std::string error;
    ASSERT_TRUE(
        fsim_.Start(ServerArguments(workspace_, "UIPCMAIN") + " --speed 16", "UIPCMAIN", error))
        << error;
    ASSERT_TRUE(link_.OpenLink(0, result_)) << ResultTexts[result_];
    SimSample sample;
    SampleSimulator(link_, sample, result_);
    ASSERT_EQ(result_, LinkOk);
    EXPECT_EQ(sample.clockHour, 9);
    EXPECT_EQ(sample.clockMinute, 53);  // 09:52 and 15 ticks of 5 seconds
}

// Opened with no scenario, as from its folder, fsim offers the scenario files in the folder
// beside it, in alphabetical order, and nothing else there; Cancel ends it without serving.
TEST_F(FsimProcessTest, WithoutAScenarioItOffersTheScenariosBesideIt) {
    const fs::path package = workspace_.folder() / "package";
    fs::create_directories(package / "scenarios");
    fs::copy_file(FsimPath(), package / "fsim.exe");
    for (const char* name : {"lieo-lirq.scn", "EGKK-EGHI.SCN", "README.md"}) {
        std::ofstream(package / "scenarios" / name, std::ios::binary) << kScenario;
    }
    FsimProcess fsim((package / "fsim.exe").string());
    std::string error;
    ASSERT_TRUE(fsim.Start("", kFsimChooserClass, error)) << error;
    // The window is found as soon as it exists, which can be before it has made its controls.
    HWND list = nullptr;
    for (int tries = 0; tries < 100 && list == nullptr; ++tries) {
        list = GetDlgItem(fsim.window(), kIdChooserList);
        if (list == nullptr) {
            Sleep(50);
        }
    }
    ASSERT_NE(list, nullptr);
    std::vector<std::string> offered;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Wide: asked with the ANSI call from another process, Wine gives the first letter only.
        wchar_t name[MAX_PATH] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        const std::wstring wide(name);
        offered.emplace_back(wide.begin(), wide.end());  // the names are ASCII
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"EGKK-EGHI.SCN", "lieo-lirq.scn"}));

    PostMessageA(GetDlgItem(fsim.window(), IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(fsim.WaitForExit(kEndTimeoutMs), 0u);
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "UIPCMAIN", nullptr), nullptr);
}

TEST_F(FsimProcessTest, ServesAsTheNetworkClientWindow) {
    ASSERT_TRUE(ServeAndLink("FS98MAIN"));
    EXPECT_EQ(link_.state().serverWindow, reinterpret_cast<WindowHandle>(fsim_.window()));
}

// fsim keeps a client's view between messages. A link closed and opened again in the same
// process has a new mapping under the same name, and must be served in it: the handshake,
// byte for byte the same as the first one, and the samples after it.
TEST_F(FsimProcessTest, ALinkOpenedAgainInTheSameProcessIsServedInItsNewArea) {
    ASSERT_TRUE(ServeAndLink("UIPCMAIN"));
    SimSample sample;
    SampleSimulator(link_, sample, result_);
    ASSERT_EQ(result_, LinkOk);
    EXPECT_EQ(sample.onGround, 1);
    link_.CloseLink();

    ASSERT_TRUE(link_.OpenLink(0, result_)) << ResultTexts[result_];
    EXPECT_EQ(link_.state().serverVersion, 0x19990000u);
    SimSample next;
    SampleSimulator(link_, next, result_);
    ASSERT_EQ(result_, LinkOk);
    EXPECT_EQ(next.onGround, 0);
    EXPECT_EQ(next.previousWaypoint.Text(), "LIEO");
    EXPECT_EQ(next.groundSpeed, 128.6);

    // The same message twice is shown twice, though the second batch's bytes are those the
    // first one left in the area.
    ShowSimMessage(link_, "Descent : Hold short", 10, 1, result_);
    ShowSimMessage(link_, "Descent : Hold short", 10, 1, result_);
    EXPECT_EQ(result_, LinkOk);
    const std::string transcript = ReadWholeFile(workspace_.transcript());
    const std::string line = "message for 16 s: \"Descent : Hold short # 1\"\r\n";
    const std::size_t first = transcript.find(line);
    ASSERT_NE(first, std::string::npos) << transcript;
    EXPECT_NE(transcript.find(line, first + line.size()), std::string::npos) << transcript;
    link_.CloseLink();
}

TEST_F(FsimProcessTest, MalformedScenarioIsRefusedBeforeAnyWindowOpens) {
    std::ofstream(workspace_.scenario(), std::ios::binary) << "title Jet\nengines 1 0\n";
    const FsimEnd end = RunFsimToItsEnd("\"" + workspace_.scenario().string() + "\"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_EQ(end.errors, "fsim: " + workspace_.scenario().string() +
                              ": line 2: 'engines' takes 4 values, found 2\r\n");
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "UIPCMAIN", nullptr), nullptr);
}

TEST_F(FsimProcessTest, SecondServerOfTheSameClassRefusesToStart) {
    FsimProcess first;
    Serve(first, workspace_, "UIPCMAIN");
    ASSERT_NE(first.window(), nullptr);
    const FsimEnd end = RunFsimToItsEnd("\"" + workspace_.scenario().string() + "\"");
    EXPECT_EQ(end.code, 2u);
    EXPECT_EQ(end.errors,
              "fsim: a window of class UIPCMAIN is already open: FSUIPC, WideClient or another "
              "fsim is running\r\n");
    EXPECT_EQ(FindWindowExA(nullptr, first.window(), "UIPCMAIN", nullptr), nullptr);
}

// A double click that started fsim twice: the first copy serves, the other ends saying why.
TEST_F(FsimProcessTest, OfTwoStartedAtTheSameInstantOnlyOneServes) {
    FsimProcess twins[2];
    std::string error;
    for (FsimProcess& twin : twins) {
        ASSERT_TRUE(twin.Launch(ServerArguments(workspace_, "UIPCMAIN"), error, true)) << error;
    }
    const HANDLE processes[2] = {twins[0].process(), twins[1].process()};
    const DWORD first = WaitForMultipleObjects(2, processes, FALSE, kEndTimeoutMs) - WAIT_OBJECT_0;
    ASSERT_LT(first, 2u) << "neither copy ended";
    FsimProcess& refused = twins[first];
    FsimProcess& server = twins[1 - first];
    EXPECT_EQ(refused.WaitForExit(0), 2u);
    EXPECT_EQ(refused.ReadErrors(),
              "fsim: a window of class UIPCMAIN is already open: FSUIPC, WideClient or another "
              "fsim is running\r\n");
    ASSERT_TRUE(server.WaitForWindow("UIPCMAIN", error)) << error;
    EXPECT_EQ(FindWindowExA(nullptr, server.window(), "UIPCMAIN", nullptr), nullptr);
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "UIPCMAIN", nullptr), server.window());
}

// A client that breaks the protocol: a mapping smaller than the area, full of read records
// and no terminator. The simulator must answer something other than 1 and keep serving.
TEST_F(FsimProcessTest, MalformedRequestIsRefusedAndTheSimulatorCarriesOn) {
    Serve(fsim_, workspace_, "UIPCMAIN");
    ASSERT_NE(fsim_.window(), nullptr);

    const std::string name = "FsasmLib:IPC:" + std::to_string(GetCurrentProcessId()) + ":bad";
    constexpr DWORD kSmallArea = 4096;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kSmallArea, name.c_str());
    ASSERT_NE(mapping, nullptr);
    auto* area = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(area, nullptr);
    // Records of 20 bytes back to back; the last header ends exactly at the end of the
    // mapping and its data would run past it.
    for (DWORD at = 0; at + 16 <= kSmallArea; at += 20) {
        const std::uint32_t record[4] = {1, 0x3304, 4, 0};
        for (std::size_t field = 0; field < 4; ++field) {
            le::Store(area + at + 4 * field, record[field]);
        }
    }
    const ATOM atom = GlobalAddAtomA(name.c_str());
    ASSERT_NE(atom, 0);
    const UINT message = RegisterWindowMessageA("FsasmLib:IPC");
    DWORD_PTR answer = 1;
    ASSERT_NE(SendMessageTimeoutA(fsim_.window(), message, atom, 0, SMTO_BLOCK, 5000, &answer), 0);
    EXPECT_NE(answer, 1u);
    // An atom that names no mapping is refused the same way.
    const ATOM stray = GlobalAddAtomA("FsasmLib:IPC:no-such-mapping");
    ASSERT_NE(SendMessageTimeoutA(fsim_.window(), message, stray, 0, SMTO_BLOCK, 5000, &answer), 0);
    EXPECT_NE(answer, 1u);
    GlobalDeleteAtom(stray);
    GlobalDeleteAtom(atom);
    UnmapViewOfFile(area);
    CloseHandle(mapping);

    EXPECT_TRUE(link_.OpenLink(0, result_));
    EXPECT_NE(ReadWholeFile(workspace_.transcript())
                  .find("request refused: the data of the record at byte 4080 run past the area"),
              std::string::npos);
}

}  // namespace
}  // namespace aerolinker
