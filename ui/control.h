#pragma once

#include <cstdint>
#include <string_view>

namespace ui {

class Form;

enum class ControlKind : std::uint8_t { Image, Label, Timer, CommandButton };

// A control of a form. Controls belong to their form and live from its load to
// its unload; every property write marks what it changed for the next redraw.
class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  Control(Control&&) = delete;
  Control& operator=(Control&&) = delete;
  virtual ~Control() = default;

  [[nodiscard]] Form& form() const { return *form_; }
  // The design's name of the control.
  [[nodiscard]] std::string_view name() const { return name_; }
  [[nodiscard]] ControlKind kind() const { return kind_; }

 protected:
  Control(Form& form, std::string_view name, ControlKind kind)
      : form_(&form), name_(name), kind_(kind) {}

 private:
  Form* form_;
  std::string_view name_;
  ControlKind kind_;
};

}  // namespace ui
