// The tool bar's picture buttons: their pictures, drawing, tooltips and place.
#include "app/win32/tool_bar.h"

#include <commctrl.h>
#include <vssym32.h>

#include <cstdint>

#include "app/win32/res/resource_ids.h"
#include "ui/win32/bitmap.h"

namespace aerolinker {
namespace {

// Above this many pixels the large strip scaled down looks better than the small one blown up.
constexpr int kLargeStripFrom = 60;
constexpr int kFocusInset = 4;
constexpr int kPressedShift = 1;

// AlphaBlend wants colours already multiplied by their alpha.
std::uint32_t Premultiplied(std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
    return (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
}

}  // namespace

std::string TooltipText(const ToolButtonEntry& entry) {
    return std::string(entry.hint) + " (Ctrl+" + (entry.shift ? "Shift+" : "") + entry.key + ")";
}

HACCEL CreateToolBarShortcuts() {
    std::array<ACCEL, kToolButtons.size()> table = {};
    for (size_t i = 0; i < kToolButtons.size(); ++i) {
        const ToolButtonEntry& entry = kToolButtons[i];
        table[i].fVirt = static_cast<BYTE>(FVIRTKEY | FCONTROL | (entry.shift ? FSHIFT : 0));
        table[i].key = static_cast<WORD>(entry.key);  // a letter's virtual key is its capital
        table[i].cmd = static_cast<WORD>(entry.id);
    }
    return CreateAcceleratorTableA(table.data(), static_cast<int>(table.size()));
}

PictureStrip::~PictureStrip() {
    if (dc_) {
        SelectObject(dc_, original_);
        DeleteDC(dc_);
    }
    if (normal_) {
        DeleteObject(normal_);
    }
    if (greyed_) {
        DeleteObject(greyed_);
    }
}

bool PictureStrip::Load(HINSTANCE module, int resourceId) {
    HBITMAP loaded = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) {
        return false;
    }
    DIBSECTION section = {};
    const bool usable = GetObjectA(loaded, sizeof section, &section) == sizeof section &&
                        section.dsBm.bmBitsPixel == 32 && section.dsBm.bmBits &&
                        section.dsBm.bmHeight > 0 && section.dsBm.bmWidth > 0 &&
                        section.dsBm.bmWidth % section.dsBm.bmHeight == 0 &&
                        section.dsBm.bmWidthBytes >= section.dsBm.bmWidth * 4;
    if (!usable) {
        DeleteObject(loaded);
        return false;
    }
    const int width = section.dsBm.bmWidth;
    const int height = section.dsBm.bmHeight;
    const bool bottomUp = section.dsBmih.biHeight > 0;

    dc_ = CreateCompatibleDC(nullptr);
    std::uint32_t* normalBits = nullptr;
    std::uint32_t* greyedBits = nullptr;
    normal_ = CreateTopDownBitmap(dc_, width, height, &normalBits);
    greyed_ = CreateTopDownBitmap(dc_, width, height, &greyedBits);
    if (!normal_ || !greyed_) {
        DeleteObject(loaded);
        return false;
    }
    // Counts and the row stride are positive, checked above.
    const auto columns = static_cast<size_t>(width);
    const auto rows = static_cast<size_t>(height);
    const auto stride = static_cast<size_t>(section.dsBm.bmWidthBytes);
    const auto* source = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    for (size_t y = 0; y < rows; ++y) {
        const std::uint8_t* row = source + (bottomUp ? rows - 1 - y : y) * stride;
        for (size_t x = 0; x < columns; ++x) {
            const std::uint8_t* pixel = row + x * 4;
            const std::uint32_t b = pixel[0], g = pixel[1], r = pixel[2], a = pixel[3];
            const size_t at = y * columns + x;
            normalBits[at] = Premultiplied(b, g, r, a);
            // Disabled: grey, lighter and half see-through, the way disabled tools look.
            const std::uint32_t luminance = (r * 30 + g * 59 + b * 11) / 100;
            const std::uint32_t light = 96 + luminance * 5 / 8;
            greyedBits[at] = Premultiplied(light, light, light, a / 2);
        }
    }
    DeleteObject(loaded);
    original_ = SelectObject(dc_, normal_);
    size_ = height;
    count_ = width / height;
    return true;
}

void PictureStrip::Draw(HDC dc, int index, const RECT& target, bool disabled) const {
    if (!dc_ || index < 0 || index >= count_) {
        return;
    }
    SelectObject(dc_, disabled ? greyed_ : normal_);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               dc_, index * size_, 0, size_, size_, blend);
}

ToolBar::~ToolBar() {
    if (theme_) {
        CloseThemeData(theme_);
    }
}

bool ToolBar::Create(HWND parent, HINSTANCE module) {
    parent_ = parent;
    small_.Load(module, IDB_TOOLBAR_48);
    large_.Load(module, IDB_TOOLBAR_96);
    theme_ = OpenThemeData(parent_, L"BUTTON");

    tooltip_ =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, parent_, nullptr, module, nullptr);
    for (size_t i = 0; i < kToolButtons.size(); ++i) {
        const ToolButtonEntry& entry = kToolButtons[i];
        // The hint is also the button's own text, which screen readers announce. The tooltip
        // keeps a copy of its text.
        std::string tip = TooltipText(entry);
        buttons_[i] = CreateWindowExA(
            0, "BUTTON", entry.hint, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 0, 0,
            parent_, reinterpret_cast<HMENU>(INT_PTR{entry.id}), module, nullptr);
        if (!buttons_[i]) {
            return false;
        }
        if (!tooltip_) {
            continue;
        }
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = parent_;
        tool.uId = reinterpret_cast<UINT_PTR>(buttons_[i]);
        tool.lpszText = tip.data();
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        // A disabled button receives no mouse messages; its parent does, over the button's
        // place, so the same hint is given there too.
        TOOLINFOA area = tool;
        area.uFlags = TTF_SUBCLASS;
        area.uId = static_cast<UINT_PTR>(entry.id);
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&area));
    }
    return true;
}

void ToolBar::Layout(const MainWindowLayout& layout, UINT dpi) {
    dpi_ = dpi;
    bar_ = layout.toolBar;
    for (size_t i = 0; i < kToolButtons.size(); ++i) {
        const PixelRect& place = layout.buttons[i];
        MoveWindow(buttons_[i], place.left, place.top, place.Width(), place.Height(), TRUE);
        if (tooltip_) {
            TOOLINFOA area = {};
            area.cbSize = sizeof area;
            area.hwnd = parent_;
            area.uId = static_cast<UINT_PTR>(kToolButtons[i].id);
            area.rect = RECT{place.left, place.top, place.right, place.bottom};
            SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&area));
        }
    }
}

int ToolBar::IndexOf(int id) const {
    for (size_t i = 0; i < kToolButtons.size(); ++i) {
        if (kToolButtons[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool ToolBar::DrawButton(const DRAWITEMSTRUCT& item) const {
    const int index = IndexOf(static_cast<int>(item.CtlID));
    if (index < 0) {
        return false;
    }
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;

    if (theme_) {
        const int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : PBS_NORMAL;
        if (IsThemeBackgroundPartiallyTransparent(theme_, BP_PUSHBUTTON, state)) {
            DrawThemeParentBackground(item.hwndItem, dc, &face);
        }
        DrawThemeBackground(theme_, dc, BP_PUSHBUTTON, state, &face, nullptr);
    } else {
        DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }

    const int side = ScaleForDpi(kToolPictureSize, static_cast<int>(dpi_));
    const int shift = pressed ? ScaleForDpi(kPressedShift, static_cast<int>(dpi_)) : 0;
    RECT picture;
    picture.left = (face.left + face.right - side) / 2 + shift;
    picture.top = (face.top + face.bottom - side) / 2 + shift;
    picture.right = picture.left + side;
    picture.bottom = picture.top + side;
    const PictureStrip& strip = side > kLargeStripFrom && large_.size() ? large_ : small_;
    strip.Draw(dc, index, picture, disabled);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = face;
        const int inset = ScaleForDpi(kFocusInset, static_cast<int>(dpi_));
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(dc, &focus);
    }
    return true;
}

void ToolBar::PaintBar(HDC dc) const {
    RECT bar = {bar_.left, bar_.top, bar_.right, bar_.bottom};
    DrawEdge(dc, &bar, EDGE_ETCHED, BF_BOTTOM);
}

void ToolBar::SetEnabled(int id, bool enabled) {
    const int index = IndexOf(id);
    if (index >= 0) {
        EnableWindow(buttons_[static_cast<size_t>(index)], enabled ? TRUE : FALSE);
    }
}

bool ToolBar::IsEnabled(int id) const {
    const int index = IndexOf(id);
    return index >= 0 && IsWindowEnabled(buttons_[static_cast<size_t>(index)]);
}

void ToolBar::OnThemeChanged() {
    if (theme_) {
        CloseThemeData(theme_);
    }
    theme_ = OpenThemeData(parent_, L"BUTTON");
}

}  // namespace aerolinker
