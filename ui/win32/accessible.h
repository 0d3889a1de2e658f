#pragma once

#include <windows.h>

#include <memory>

namespace ui::win32 {

class FormWindow;

// What Microsoft Active Accessibility reads of a form's window: its caption
// and help, and the model's description of its controls as simple elements.
// Built at a reader's first WM_GETOBJECT, never for a player without one.
class Accessibility {
 public:
  explicit Accessibility(const FormWindow& window) : window_(&window) {}
  Accessibility(const Accessibility&) = delete;
  Accessibility& operator=(const Accessibility&) = delete;
  Accessibility(Accessibility&&) = delete;
  Accessibility& operator=(Accessibility&&) = delete;
  ~Accessibility();

  // The answer to WM_GETOBJECT: the window's client object is this one.
  LRESULT answer(WPARAM flags, LPARAM id);

 private:
  class Object;
  struct Disconnect {
    void operator()(Object* object) const;
  };

  const FormWindow* window_;
  bool inApartment_ = false;  // this joined the thread's COM apartment
  std::unique_ptr<Object, Disconnect> object_;
};

}  // namespace ui::win32
