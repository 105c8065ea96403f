// `ControlBar1`: the tool bar of picture buttons along the top of the main window, each with
// its hint and its keyboard shortcut shown as a tooltip, also while the button is disabled.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <array>
#include <string>

#include "app/win32/window_ids.h"
#include "app/win32/window_layout.h"

namespace aerolinker {

struct ToolButtonEntry {
    int id;
    const char* hint;
    // The shortcut: Ctrl, with Shift when `shift`, and this letter key. None of them is a key
    // the log's text area uses (Ctrl+C, V, X, Z, A).
    char key;
    bool shift;
};

// Left to right; the pictures stand in the same order in the picture strips.
inline constexpr std::array<ToolButtonEntry, kToolButtonCount> kToolButtons = {{
    {kIdLConnetti, "Connect to FSim", 'K', false},
    {kIdLChiudi, "Disconnect FS", 'D', false},
    {kIdSaveGenerated, "Save Generated File", 'S', false},
    {kIdInfos, "Info's", 'I', false},
    {kIdSalvaSit, "Save Situation", 'S', true},
    {kIdCaricaSit, "Load Last Situation", 'L', false},
    {kIdProfile, "Flight profile", 'P', false},
}};

// "Connect to FSim (Ctrl+K)": the hint with its shortcut, as the tooltip shows it.
std::string TooltipText(const ToolButtonEntry& entry);
// The shortcuts of all the buttons, each sending its button's identifier; the caller
// destroys the table.
HACCEL CreateToolBarShortcuts();

// One strip of square pictures with alpha, ready to blend, and its greyed copy for disabled
// buttons.
class PictureStrip {
public:
    PictureStrip() = default;
    ~PictureStrip();
    PictureStrip(const PictureStrip&) = delete;
    PictureStrip& operator=(const PictureStrip&) = delete;

    bool Load(HINSTANCE module, int resourceId);
    // Draws picture `index` into `target` (any size: the strip is scaled to it).
    void Draw(HDC dc, int index, const RECT& target, bool disabled) const;
    int size() const { return size_; }

private:
    HDC dc_ = nullptr;
    HBITMAP normal_ = nullptr;
    HBITMAP greyed_ = nullptr;
    HGDIOBJ original_ = nullptr;
    int size_ = 0;
    int count_ = 0;
};

class ToolBar {
public:
    ToolBar() = default;
    ~ToolBar();
    ToolBar(const ToolBar&) = delete;
    ToolBar& operator=(const ToolBar&) = delete;

    bool Create(HWND parent, HINSTANCE module);
    void Layout(const MainWindowLayout& layout, UINT dpi);
    // WM_DRAWITEM for one of the buttons; false when the item is not ours.
    bool DrawButton(const DRAWITEMSTRUCT& item) const;
    // The bar's bevel under the buttons, in the parent's WM_PAINT.
    void PaintBar(HDC dc) const;
    void SetEnabled(int id, bool enabled);
    bool IsEnabled(int id) const;
    void OnThemeChanged();

private:
    int IndexOf(int id) const;

    HWND parent_ = nullptr;
    HWND tooltip_ = nullptr;
    std::array<HWND, kToolButtonCount> buttons_ = {};
    PictureStrip small_;
    PictureStrip large_;
    HTHEME theme_ = nullptr;
    PixelRect bar_;
    UINT dpi_ = kDesignDpi;
};

}  // namespace aerolinker
