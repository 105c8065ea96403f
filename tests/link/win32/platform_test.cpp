// The link's real Win32 calls: windows, messages, atoms and the shared area, and the whole
// link against a server window in this process. The server window's class has a name of its
// own, so that a simulator running on the same desktop is never found instead.
#include "link/win32/platform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "common/little_endian.h"
#include "link/fsuipc_link.h"

namespace aerolinker {
namespace {

std::string UniqueName(const char* what) {
    return std::string("AerolinkerTest") + what + std::to_string(GetCurrentProcessId());
}

// A window answering the protocol as FSUIPC would, with just enough of an offset space for
// the handshake's versions; any other read gets three times its offset.
struct ServerWindow {
    static constexpr std::uint32_t kServerVersion = 0x36000000;
    static constexpr std::uint32_t kSimulatorVersion = 0xFADE0006;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        static const UINT ipcMessage = RegisterWindowMessageA("FsasmLib:IPC");
        if (message != ipcMessage) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        char name[256] = {};
        if (GlobalGetAtomNameA(static_cast<ATOM>(wParam), name, sizeof name) == 0) {
            return 0;
        }
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
        if (mapping == nullptr) {
            return 0;
        }
        auto* area = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
        std::size_t at = 0;
        while (area != nullptr && at + 16 <= 0x7F00 && area[at] != 0) {
            const auto type = le::Load<std::uint32_t>(area + at);
            const auto offset = le::Load<std::uint32_t>(area + at + 4);
            const auto size = le::Load<std::uint32_t>(area + at + 8);
            if (type == 1) {
                const std::uint32_t value = offset == 0x3304   ? kServerVersion
                                            : offset == 0x3308 ? kSimulatorVersion
                                                               : offset * 3;
                le::StoreBytes(area + at + 16, value, size < 4 ? size : 4);
                at += 16 + size;
            } else {
                at += 12 + size;
            }
        }
        if (area != nullptr) {
            UnmapViewOfFile(area);
        }
        CloseHandle(mapping);
        return 1;
    }

    explicit ServerWindow(const std::string& className) : className_(className) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className_.c_str();
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, className_.c_str(), "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~ServerWindow() {
        if (window != nullptr) {
            DestroyWindow(window);
        }
        UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
    }

    std::string className_;
    HWND window = nullptr;
};

// The real calls, except that FSUIPC's window class is looked up under this test's own name.
class TestWin32Platform : public Win32LinkPlatform {
public:
    explicit TestWin32Platform(std::string serverClass) : serverClass_(std::move(serverClass)) {}
    WindowHandle FindTopLevelWindow(const char* className) override {
        return std::string(className) == "UIPCMAIN"
                   ? Win32LinkPlatform::FindTopLevelWindow(serverClass_.c_str())
                   : 0;
    }
    std::uint32_t sleptMs = 0;
    void Sleep(std::uint32_t milliseconds) override {
        sleptMs += milliseconds;
        Win32LinkPlatform::Sleep(milliseconds);
    }

private:
    std::string serverClass_;
};

TEST(Win32LinkPlatformTest, FindsWindowsByClass) {
    ServerWindow server(UniqueName("Find"));
    ASSERT_NE(server.window, nullptr);
    Win32LinkPlatform platform;
    EXPECT_EQ(platform.FindTopLevelWindow(UniqueName("Find").c_str()),
              reinterpret_cast<WindowHandle>(server.window));
    EXPECT_EQ(platform.FindTopLevelWindow(UniqueName("NoSuchClass").c_str()), 0u);
}

TEST(Win32LinkPlatformTest, MessagesAndAtomsAreSystemWide) {
    Win32LinkPlatform platform;
    const std::uint32_t message = platform.RegisterMessage("FsasmLib:IPC");
    EXPECT_GE(message, 0xC000u);
    EXPECT_EQ(platform.RegisterMessage("FsasmLib:IPC"), message);
    EXPECT_EQ(platform.CurrentProcessId(), GetCurrentProcessId());

    const std::string name = UniqueName("Atom");
    const std::uint16_t atom = platform.AddGlobalAtom(name.c_str());
    ASSERT_NE(atom, 0);
    char text[256] = {};
    ASSERT_NE(GlobalGetAtomNameA(atom, text, sizeof text), 0u);
    EXPECT_EQ(std::string(text), name);
    platform.DeleteGlobalAtom(atom);
    EXPECT_EQ(GlobalFindAtomA(name.c_str()), 0);
}

TEST(Win32LinkPlatformTest, SharedAreaIsSeenUnderItsNameAndRefusedTwice) {
    Win32LinkPlatform platform;
    const std::string name = UniqueName("Area");
    const auto mapping = platform.CreateNamedMapping(name.c_str(), 0x8000);
    ASSERT_NE(mapping.handle, 0u);
    EXPECT_FALSE(mapping.alreadyExisted);
    std::uint8_t* view = platform.MapView(mapping.handle);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[0x7FFF], 0);
    view[0x7FFF] = 0x5A;

    const auto again = platform.CreateNamedMapping(name.c_str(), 0x8000);
    EXPECT_NE(again.handle, 0u);
    EXPECT_TRUE(again.alreadyExisted);
    std::uint8_t* otherView = platform.MapView(again.handle);
    ASSERT_NE(otherView, nullptr);
    EXPECT_EQ(otherView[0x7FFF], 0x5A);
    platform.UnmapView(otherView);
    platform.CloseMapping(again.handle);

    platform.UnmapView(view);
    platform.CloseMapping(mapping.handle);
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
}

TEST(Win32LinkPlatformTest, SendToAWindowThatDoesNotAnswerTimesOut) {
    // A window whose thread never looks at its messages.
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND busy = nullptr;
    const std::string className = UniqueName("Busy");
    std::thread owner([&] {
        ServerWindow window(className);
        busy = window.window;
        SetEvent(ready);
        WaitForSingleObject(stop, INFINITE);
    });
    WaitForSingleObject(ready, INFINITE);
    ASSERT_NE(busy, nullptr);

    Win32LinkPlatform platform;
    const auto outcome = platform.SendWithTimeout(
        reinterpret_cast<WindowHandle>(busy), platform.RegisterMessage("FsasmLib:IPC"), 0, 0, 200);
    SetEvent(stop);
    owner.join();
    CloseHandle(stop);
    CloseHandle(ready);
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.lastError, 0u);  // a plain time-out
}

TEST(Win32LinkPlatformTest, LinkOpensReadsAndClosesThroughTheRealCalls) {
    ServerWindow server(UniqueName("Server"));
    ASSERT_NE(server.window, nullptr);
    TestWin32Platform platform(UniqueName("Server"));
    FsuipcLink link(platform);
    LinkResult result = LinkNotOpen;
    ASSERT_TRUE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkOk);
    EXPECT_EQ(link.state().serverVersion, ServerWindow::kServerVersion);
    EXPECT_EQ(link.state().simulatorVersion, 6u);

    char name[64];
    std::snprintf(name, sizeof name, "FsasmLib:IPC:%X:1",
                  static_cast<unsigned>(GetCurrentProcessId()));
    EXPECT_EQ(GlobalFindAtomA(name), link.state().atom);

    std::uint32_t value = 0;
    ASSERT_TRUE(link.QueueRead(0x0574, 4, &value, result));
    ASSERT_TRUE(link.ProcessRequests(result));
    EXPECT_EQ(value, 0x0574u * 3);

    link.CloseLink();
    EXPECT_EQ(GlobalFindAtomA(name), 0);
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name), nullptr);
}

TEST(Win32LinkPlatformTest, LinkReportsSendFailedWhenTheServerWindowIsGone) {
    auto server = std::make_unique<ServerWindow>(UniqueName("Gone"));
    ASSERT_NE(server->window, nullptr);
    TestWin32Platform platform(UniqueName("Gone"));
    FsuipcLink link(platform);
    LinkResult result = LinkNotOpen;
    ASSERT_TRUE(link.OpenLink(0, result));
    server.reset();

    std::uint32_t value = 77;
    const std::uint32_t slept = platform.sleptMs;
    ASSERT_TRUE(link.QueueRead(0x0574, 4, &value, result));
    EXPECT_FALSE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkSendFailed);
    EXPECT_EQ(platform.sleptMs - slept, 1000u);
    EXPECT_EQ(value, 77u);
    EXPECT_TRUE(link.IsOpen());
}

}  // namespace
}  // namespace aerolinker
