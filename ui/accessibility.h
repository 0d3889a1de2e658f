#pragma once

#include <cstdint>
#include <string>

#include "ui/geometry.h"

namespace ui {

class Control;

// What a control is to a screen reader.
enum class AccessibleRole : std::uint8_t { Text, Picture, Button };

// A window as the platform's accessibility layer describes it.
struct AccessibleWindow {
  std::string name;         // its caption
  std::string description;  // how to use it
};

// A control as the platform's accessibility layer describes it.
struct AccessibleItem {
  AccessibleRole role = AccessibleRole::Text;
  std::string name;  // a label's text, what a picture shows, a button's caption
  PixelRect place;   // in the client area, in the model's pixels
  Control* control = nullptr;
  bool pressable = false;  // pressing it clicks the control
};

}  // namespace ui
