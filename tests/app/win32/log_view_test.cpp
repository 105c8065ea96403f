// The text area and the Navigation log document: what the tracker writes shows, what the
// pilot types goes back into the lines, and on-screen wrapping never renumbers them.
#include "app/win32/log_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/win32/window_text.h"
#include "test_windows.h"

namespace aerolinker {
namespace {

constexpr char kParentClass[] = "AerolinkerLogViewTest";
constexpr int kEditId = 7;

class LogViewTest : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &ParentProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kParentClass;
        RegisterClassExA(&windowClass);
        parent_ = CreateWindowExA(0, kParentClass, "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        SetWindowLongPtrA(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        MakeEdit(600);
    }

    void TearDown() override {
        view_.reset();
        DestroyWindow(parent_);
    }

    void MakeEdit(int width) {
        view_.reset();
        if (edit_) {
            DestroyWindow(edit_);
        }
        edit_ = CreateWindowExA(
            0, "EDIT", "",
            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 0,
            0, width, 300, parent_, reinterpret_cast<HMENU>(INT_PTR{kEditId}),
            GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(edit_, nullptr);
        view_ = std::make_unique<LogView>(edit_, document_);
    }

    // The parent passes the control's change notice on, as the main window does.
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<LogViewTest*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && message == WM_COMMAND && LOWORD(wParam) == kEditId &&
            HIWORD(wParam) == EN_CHANGE && self->view_) {
            self->view_->OnEditChanged();
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    std::string Shown() const { return WindowText(edit_); }
    int FirstVisibleLine() const {
        return static_cast<int>(SendMessageA(edit_, EM_GETFIRSTVISIBLELINE, 0, 0));
    }
    // A log longer than the text area shows at once; the view ends at its end.
    void LoadRows(int count) {
        std::string text;
        for (int row = 0; row < count; ++row) {
            text += "ROW " + std::to_string(row) + "\r\n";
        }
        document_.Load(text);
        ASSERT_GT(FirstVisibleLine(), 0) << "the log should not fit the view";
    }
    int ShownLength() const { return GetWindowTextLengthA(edit_); }

    LogDocument document_;
    HWND parent_ = nullptr;
    HWND edit_ = nullptr;
    std::unique_ptr<LogView> view_;
};

TEST_F(LogViewTest, ShowsTheDocumentAsTheTrackerWritesIt) {
    EXPECT_EQ(Shown(), "");
    document_.Append("CORALSTRAITS ARLINES");
    document_.Append("Pilot          : None");
    EXPECT_EQ(Shown(), "CORALSTRAITS ARLINES\r\nPilot          : None\r\n");
    document_.InsertAt(1, "Engine Start: 09:52");
    EXPECT_EQ(Shown(), "CORALSTRAITS ARLINES\r\nEngine Start: 09:52\r\nPilot          : None\r\n");
    // The newest text is in sight: the caret waits after it.
    EXPECT_EQ(CaretPosition(edit_), ShownLength());
    document_.Clear();
    EXPECT_EQ(Shown(), "");
}

TEST_F(LogViewTest, EveryKindOfChangeShowsExactly) {
    // Changes at the top, in the middle and at the end, empty lines next to each other (where
    // a change could split a line break) and text beyond ASCII.
    const std::vector<std::function<void()>> changes = {
        [&] { document_.Load("one\r\ntwo\r\nthree\r\n"); },
        [&] { document_.InsertAt(1, ""); },
        [&] { document_.InsertAt(1, ""); },
        [&] { document_.Delete(2); },
        [&] { document_.Append(""); },
        [&] { document_.InsertAt(0, "zero"); },
        [&] { document_.Delete(0); },
        [&] { document_.InsertAt(4, "between"); },
        [&] { document_.Append("Aircraft Ident : Piper J-3 \xe9t\xe9"); },
        [&] { document_.InsertAt(2, "after the accent"); },
        [&] { document_.Delete(document_.LineCount() - 1); },
        [&] { document_.InsertAt(3, "tw"); },
        [&] { document_.Delete(0); },
        [&] { document_.Clear(); },
        [&] { document_.Append("again"); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        changes[i]();
        ASSERT_EQ(Shown(), document_.Text()) << "after change " << i;
    }
}

TEST_F(LogViewTest, TypingGoesIntoTheLinesAndLeavesTheCaretWhereThePilotTypes) {
    document_.Load("line one\r\nline two\r\n");
    PlaceCaret(edit_, 0);
    TypeInto(edit_, "X");
    EXPECT_EQ(document_.Lines(), (std::vector<LogLine>{"Xline one", "line two"}));
    // Had the change been echoed back into the control, the caret would have jumped to the end.
    EXPECT_EQ(CaretPosition(edit_), 1);
    TypeInto(edit_, "\r");
    EXPECT_EQ(document_.Lines(), (std::vector<LogLine>{"X", "line one", "line two"}));
    EXPECT_EQ(CaretPosition(edit_), 3);
}

TEST_F(LogViewTest, TypedRemarksAndTheCaretStayWhenTheTrackerWritesMore) {
    document_.Append("OLB     |     |");
    TypeInto(edit_, "Remarks: smooth");
    EXPECT_EQ(document_.Lines(), (std::vector<LogLine>{"OLB     |     |", "Remarks: smooth"}));
    const int afterTyping = CaretPosition(edit_);
    document_.Append("ELB     |     |");
    EXPECT_EQ(Shown(), "OLB     |     |\r\nRemarks: smooth\r\nELB     |     |\r\n");
    EXPECT_EQ(CaretPosition(edit_), afterTyping) << "the caret left the pilot's remark";
    document_.InsertAt(0, "DEPART      : LIEO");
    EXPECT_EQ(document_.Line(2), "Remarks: smooth");
    EXPECT_EQ(CaretPosition(edit_), afterTyping + 20) << "the caret left the pilot's remark";
    TypeInto(edit_, " flight");
    EXPECT_EQ(document_.Line(2), "Remarks: smooth flight");
}

// The pilot reading the top of the log while the tracker adds rows: the view and the caret
// stay; when the rows go in above the view, the view keeps showing the same rows.
TEST_F(LogViewTest, AViewScrolledAwayFromTheEndStaysWhereThePilotLeftIt) {
    LoadRows(60);
    PlaceCaret(edit_, 0);
    SendMessageA(edit_, WM_VSCROLL, SB_TOP, 0);
    document_.Append("LIRQ    |     |");
    document_.InsertAt(30, "PRT     |     |");
    EXPECT_EQ(FirstVisibleLine(), 0);
    EXPECT_EQ(CaretPosition(edit_), 0);

    SendMessageA(edit_, EM_LINESCROLL, 0, 10);
    ASSERT_EQ(FirstVisibleLine(), 10);
    document_.InsertAt(0, "DEPART      : LIEO");
    EXPECT_EQ(FirstVisibleLine(), 11);
    EXPECT_EQ(CaretPosition(edit_), 20);
}

TEST_F(LogViewTest, AViewAtTheEndFollowsTheEnd) {
    LoadRows(60);
    const int first = FirstVisibleLine();
    document_.Append("LIRQ    |     |");
    EXPECT_EQ(FirstVisibleLine(), first + 1);
    EXPECT_EQ(CaretPosition(edit_), ShownLength()) << "the caret on the fresh line follows";
}

TEST_F(LogViewTest, WrappingOnScreenNeverRenumbersTheLines) {
    MakeEdit(120);  // narrow: a log line wraps over several screen lines
    const std::string longLine(300, 'W');
    document_.Load(longLine + "\r\nsecond\r\n");
    ASSERT_GT(SendMessageA(edit_, EM_GETLINECOUNT, 0, 0), 3) << "the line should wrap";
    EXPECT_EQ(Shown(), longLine + "\r\nsecond\r\n");

    PlaceCaret(edit_, ShownLength());
    TypeInto(edit_, "z");
    ASSERT_EQ(document_.LineCount(), 3);
    EXPECT_EQ(document_.Line(0), longLine);
    EXPECT_EQ(document_.Line(1), "second");
    EXPECT_EQ(document_.Line(2), "z");

    document_.InsertAt(1, "inserted");
    EXPECT_EQ(Shown(), longLine + "\r\ninserted\r\nsecond\r\nz\r\n");
}

TEST_F(LogViewTest, LongFlightLogShowsWholeAndStillTakesTyping) {
    // Far beyond the control's default limit of about 32,000 characters.
    const std::string row =
        "ELB     |     |      |045  |6233   |       |067/0055|00:37|10:49|      ";
    for (int i = 0; i < 3000; ++i) {
        document_.Append(row);
    }
    ASSERT_GT(document_.Text().size(), 200000u);
    EXPECT_EQ(Shown(), document_.Text());

    PlaceCaret(edit_, ShownLength());
    TypeInto(edit_, "!");
    ASSERT_EQ(document_.LineCount(), 3001);
    EXPECT_EQ(document_.Line(3000), "!");
}

TEST_F(LogViewTest, AViewThatIsGoneNoLongerListens) {
    document_.Append("kept");
    view_.reset();
    document_.Append("after");
    EXPECT_EQ(Shown(), "kept\r\n");
}

}  // namespace
}  // namespace aerolinker
