#pragma once

#include <string_view>

#include "ui/font.h"
#include "ui/visual.h"

namespace ui {

struct ButtonDesign {
  std::string_view name;
  Box box;
  std::string_view caption;  // '&' marks the access key
  int tabIndex = 0;
  bool isDefault = false;
  bool isCancel = false;
  Font font;  // the caption's, in the labels' face, the same on every target
};

class CommandButton final : public Visual {
 public:
  CommandButton(Form& form, const ButtonDesign& design);

  [[nodiscard]] const ButtonDesign& design() const { return design_; }
  [[nodiscard]] std::string_view caption() const { return design_.caption; }
  // The letter after '&', in upper case; 0 when it has none.
  [[nodiscard]] char32_t accessKey() const;

 private:
  const ButtonDesign& design_;
};

}  // namespace ui
