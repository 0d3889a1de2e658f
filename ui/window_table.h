#pragma once

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace ui {

class Form;

// A driver's windows, one for each loaded form, and those of unloaded forms
// until the model lets them go (Driver::releaseWindows).
template <typename Window>
class WindowTable {
 public:
  void add(std::unique_ptr<Window> window) { windows_.push_back(std::move(window)); }

  // The window of a form; nullptr when it has none.
  [[nodiscard]] Window* find(const Form& form) const {
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [&](const auto& window) { return window->form() == &form; });
    return found == windows_.end() ? nullptr : found->get();
  }
  // Calls `action` with the form's window, if it has one.
  template <typename F>
  void with(const Form& form, F&& action) const {
    if (Window* window = find(form)) {
      std::forward<F>(action)(*window);
    }
  }
  template <typename F>
  void forEach(F&& visit) const {
    for (const auto& window : windows_) {
      visit(*window);
    }
  }

  // Detaches the form's window from it and keeps it until release().
  void retire(const Form& form) {
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [&](const auto& window) { return window->form() == &form; });
    if (found != windows_.end()) {
      (*found)->detach();
      retired_.push_back(std::move(*found));
      windows_.erase(found);
    }
  }
  // Every window, the one loaded last first.
  void retireAll() {
    while (!windows_.empty()) {
      retire(*windows_.back()->form());
    }
  }
  void release() { retired_.clear(); }

 private:
  std::vector<std::unique_ptr<Window>> windows_;
  std::vector<std::unique_ptr<Window>> retired_;
};

}  // namespace ui
