// Shared by the skinned drop-down tests: whether the items of an open menu show the skin's MenuItem
// frames on the screen (frame 4 for the selected item, 1 for the others), read where no text lies.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "DeviceContext.h"
#include "ImgUtil.h"
#include "PaintSurface.h"
#include "WinSkinData.h"
#include "WindowSubclass.h"

namespace hktest {

class DropDownFrames {
 public:
  // Watches where the owner window's menu items are drawn on the screen.
  explicit DropDownFrames(HWND owner)
      : subclass_(owner, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
          const LRESULT result = cl::TWindowSubclass::CallPrevious(w, msg, wParam, lParam);
          if (auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam); msg == WM_DRAWITEM && d && d->CtlType == ODT_MENU) {
            POINT origin{};
            GetDCOrgEx(d->hDC, &origin);
            RECT r = d->rcItem;
            OffsetRect(&r, origin.x, origin.y);
            drawn_[d->itemID] = r;
          }
          return result;
        }) {}

  // One line per item of the open menu whose pixels are not its frame's; empty when all are. Called
  // while the menu shows (MenuWatch's onOpen). `selected` counts the selected items seen.
  std::string Faults(HWND popup, HMENU menu, skin::TSkinData& data, int& selected) const {
    skin::TDataSkinObject* element = data.MenuItem.get();
    cl::TBitmap* image = element ? skin::SkinImageBitmap(element->Image) : nullptr;
    if (!image) return "the skin has no MenuItem image\n";
    UpdateWindow(popup);
    std::string faults;
    const cl::TWindowDC screen(nullptr);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      if (state & MF_SEPARATOR) continue;
      const auto at = drawn_.find(GetMenuItemID(menu, i));
      if (at == drawn_.end()) {
        faults += "item " + std::to_string(i) + " was not drawn by its owner\n";
        continue;
      }
      const RECT& r = at->second;
      const int w = r.right - r.left, h = r.bottom - r.top;
      const bool hilited = (state & MF_HILITE) != 0;
      selected += hilited ? 1 : 0;
      // The frame as the skin draws it at this size, without the key colour taken out.
      const PaintSurface expected(w, h);
      skin::DrawNineSlice(expected.DC(), cl::Rect(0, 0, w, h), *image, false, element->Tile == 1, false, 5,
                          hilited ? 4 : 1, element->Margins);
      // Near the right end of the item's upper half: past the text and the short cut.
      for (int x = w - 2; x >= w - 6; --x) {
        const COLORREF want = expected.Pixel(x, 2);
        if (want == static_cast<COLORREF>(skin::kSkinKeyColor)) continue;
        const COLORREF got = GetPixel(screen.Get(), r.left + x, r.top + 2);
        if (got != want)
          faults += "item " + std::to_string(i) + (hilited ? " (selected)" : "") + " at " + std::to_string(x) +
                    ": " + std::to_string(got) + " instead of " + std::to_string(want) + "\n";
        break;
      }
    }
    return faults;
  }

 private:
  std::map<UINT, RECT> drawn_;  // command id -> the item's place on the screen, as last drawn
  cl::TWindowSubclass subclass_;
};

}  // namespace hktest
