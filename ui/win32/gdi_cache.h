#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

#include "platform/win32/handles.h"
#include "ui/font.h"

namespace ui {
struct Picture;
}  // namespace ui

namespace ui::win32 {

// The GDI objects that the driver's windows share, made on first use and kept
// for the life of the driver; each returns nullptr when the system refuses.
class GdiCache {
 public:
  HICON icon(const ui::Picture& picture);
  HFONT font(const ui::FontFace& face);

 private:
  std::unordered_map<const ui::Picture*, platform::win32::IconHandle> icons_;
  std::map<std::tuple<std::string, int, ui::FontWeight, bool>, platform::win32::FontHandle> fonts_;
};

}  // namespace ui::win32
