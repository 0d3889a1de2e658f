#pragma once

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace ui {

class Form;

// A driver's windows, one for each loaded form.
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

  // Takes the form's window out of the table, detached from the form; null
  // when it has none. The unload may come from inside an event of that very
  // window: the driver keeps it until that event is over.
  std::unique_ptr<Window> take(const Form& form) {
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [&](const auto& window) { return window->form() == &form; });
    if (found == windows_.end()) {
      return nullptr;
    }
    std::unique_ptr<Window> taken = std::move(*found);
    windows_.erase(found);
    taken->detach();
    return taken;
  }
  // Every window, the one loaded last first.
  std::vector<std::unique_ptr<Window>> takeAll() {
    std::vector<std::unique_ptr<Window>> taken;
    while (!windows_.empty()) {
      taken.push_back(std::move(windows_.back()));
      windows_.pop_back();
      taken.back()->detach();
    }
    return taken;
  }

 private:
  std::vector<std::unique_ptr<Window>> windows_;
};

}  // namespace ui
