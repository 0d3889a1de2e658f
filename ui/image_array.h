#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/image.h"

namespace ui {

// An image control array. Element 0 comes from the design; further elements
// are loaded at run time as hidden copies of element 0 at a signed 16-bit index.
class ImageArray {
 public:
  ImageArray(Form& form, const ImageDesign& element0);

  // Raises ControlMissing when no element has that index.
  [[nodiscard]] Image& operator()(std::int16_t index) const {
    Image* element = find(index);
    if (element == nullptr) [[unlikely]] {
      raiseMissing();
    }
    return *element;
  }
  // Raises AlreadyLoaded when the index is taken.
  Image& load(std::int16_t index);

  [[nodiscard]] std::string_view name() const { return name_; }
  [[nodiscard]] std::size_t count() const { return count_; }

  // Elements in index order.
  template <typename F>
  void forEach(F&& visit) const {
    for (const auto& [index, image] : negative_) {
      visit(*image);
    }
    for (const auto& image : nonNegative_) {
      if (image) {
        visit(*image);
      }
    }
  }

 private:
  [[nodiscard]] Image* find(std::int16_t index) const {
    if (index >= 0) {
      const auto slot = static_cast<std::size_t>(index);
      return slot < nonNegative_.size() ? nonNegative_[slot].get() : nullptr;
    }
    return findNegative(index);
  }
  [[nodiscard]] Image* findNegative(std::int16_t index) const;
  [[noreturn]] static void raiseMissing();
  std::string_view name_;
  std::vector<std::unique_ptr<Image>> nonNegative_;
  std::map<std::int16_t, std::unique_ptr<Image>> negative_;
  std::size_t count_ = 0;
};

}  // namespace ui
