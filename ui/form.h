#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "ui/accessibility.h"
#include "ui/command_button.h"
#include "ui/display_scale.h"
#include "ui/error.h"
#include "ui/form_design.h"
#include "ui/form_host.h"
#include "ui/geometry.h"
#include "ui/image.h"
#include "ui/image_array.h"
#include "ui/label.h"
#include "ui/picture.h"
#include "ui/timer.h"
#include "ui/window_face.h"

namespace ui {

class Canvas;
class TextMeasure;

// A window with its controls. Each form has one program-wide instance, owned by
// the Application and reached by name. Loading builds the controls from the
// design and runs the load handler; unloading destroys them (the instance
// stays, and a later load builds everything anew).
class Form {
 public:
  Form(FormHost& host, std::string_view name, const FormDesign& design);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  Form(Form&&) = delete;
  Form& operator=(Form&&) = delete;
  virtual ~Form();

  [[nodiscard]] Application& app() const { return host_->application(); }
  [[nodiscard]] FormHost& host() const { return *host_; }
  [[nodiscard]] std::string_view name() const { return name_; }
  [[nodiscard]] const FormDesign& design() const { return design_; }
  [[nodiscard]] bool loaded() const { return loaded_; }

  [[nodiscard]] const std::string& caption() const { return caption_; }
  void setCaption(std::string_view caption);
  // The window's icon: the design's, none for a fixed dialog.
  [[nodiscard]] const Icon* icon() const {
    return design_.border == BorderStyle::FixedDialog ? nullptr : design_.icon;
  }

  // Builds the form and runs its load handler, unless it is loaded already.
  void load();
  // Loads if needed, then shows the window modeless, without an owner, and
  // makes it the active window.
  void show();
  // Destroys the window and its controls without running any handler.
  void unload();

  // Client size in whole pixels, as designed.
  [[nodiscard]] int pixelWidth() const;
  [[nodiscard]] int pixelHeight() const;
  // Where the client area first appears on the screen, and its size, in pixels.
  [[nodiscard]] PixelRect initialPlace() const;
  // The client area as the window shows it now (the user may enlarge it); the
  // driver keeps it up to date. Changes outside it need no repainting.
  void setViewSize(int width, int height) {
    view_ = {0, 0, width, height};
    accessibleStale_ = true;
  }

  // Every control in design order, array elements in index order where the
  // array stands: the drawing order, later ones on top.
  template <typename F>
  void forEachControl(F&& visit) const {
    for (const auto& entry : entries_) {
      if (const auto* control = std::get_if<std::unique_ptr<Control>>(&entry)) {
        visit(**control);
      } else {
        std::get<std::unique_ptr<ImageArray>>(entry)->forEach(visit);
      }
    }
  }
  // The visible images and labels that meet `area`, bottom first: in design
  // order (array elements in index order where the array stands), those of a
  // higher z-order after all of a lower one. What is drawn and what is clicked
  // follow this order. Timers and buttons are not visited.
  template <typename ImageVisitor, typename LabelVisitor>
  void forEachDrawn(const PixelRect& area, ImageVisitor&& image, LabelVisitor&& label) const {
    for (int layer = 0; layer <= topLayer_; ++layer) {
      forEachControl([&](Control& control) {
        const ControlKind kind = control.kind();
        if (kind != ControlKind::Image && kind != ControlKind::Label) {
          return;
        }
        const auto& visual = static_cast<const Visual&>(control);
        if (visual.zOrder() != layer || !visual.visible() ||
            visual.pixelRect().intersected(area).empty()) {
          return;
        }
        if (kind == ControlKind::Image) {
          image(static_cast<Image&>(control));
        } else {
          label(static_cast<Label&>(control));
        }
      });
    }
  }
  // The topmost visible image or label at a pixel; nullptr for the ground.
  [[nodiscard]] Visual* hitTest(int x, int y) const;
  // The left mouse button went down or up at a pixel of the client area. A
  // click is a press and a release on the same control: the release returns
  // that control, or nullptr.
  void mousePressed(int x, int y) { pressed_ = hitTest(x, y); }
  [[nodiscard]] Visual* mouseReleased(int x, int y);
  // The command buttons in the order the Tab key visits them.
  [[nodiscard]] const std::vector<CommandButton*>& buttonsInTabOrder() const { return tabOrder_; }
  // A window with buttons is a dialog: its keys are the buttons', it types
  // nothing, and the focus moves between its buttons.
  [[nodiscard]] bool isDialog() const { return !tabOrder_.empty(); }
  // The first button in tab order that the design makes the default, or the
  // cancel one (the one Escape clicks); nullptr when there is none.
  [[nodiscard]] CommandButton* defaultButton() const;
  [[nodiscard]] CommandButton* cancelButton() const;
  // The button with the keyboard focus; nullptr: the window itself. A dialog
  // opens with its first button in tab order focused, and keeps its focus
  // while other windows are active.
  [[nodiscard]] CommandButton* focus() const { return focus_; }
  // The button that shows the default frame, the one Enter clicks: the
  // focused one, else the default one.
  [[nodiscard]] CommandButton* framedButton() const {
    return focus_ != nullptr ? focus_ : defaultButton();
  }
  // Moves the focus to a button (the user clicked it, or Tab); the driver
  // hears of each change.
  void setFocus(CommandButton* button);
  // Tab and Shift+Tab: the next or previous shown button in tab order, round.
  void moveFocus(bool forward);
  // The button whose access key (Alt with the letter) this is; nullptr: none.
  [[nodiscard]] CommandButton* accessKeyButton(char32_t letter) const;

  // What the window shows now: caption, place, buttons, focus and frame.
  [[nodiscard]] const WindowFace& face() const;
  // What a screen reader learns of the window: its name and how to use it.
  [[nodiscard]] AccessibleWindow accessibleWindow() const;
  // The shown controls that lie in the client area, in design order, as a
  // screen reader learns them. Made again only after the form changed.
  [[nodiscard]] const std::vector<AccessibleItem>& accessibleItems() const;
  // The item of a control, if the control is one now; nullptr otherwise. The
  // control is only compared, never reached: it may be gone.
  [[nodiscard]] const AccessibleItem* accessibleItem(const Control* control) const;
  // The item on top at a pixel of the client area: a shown button, which is a
  // window over the painted controls, else what the hit test finds; nullptr
  // for the window itself.
  [[nodiscard]] const AccessibleItem* accessibleItemAt(int x, int y) const;

  // Paints an area of the window, in device pixels at the display's scale:
  // the ground, then the shown images and labels that meet it, bottom first.
  void paint(const PixelRect& area, const DisplayScale& scale, Canvas& canvas,
             TextMeasure& measure) const;

  // Repainting: the area changed since the last take, then cleared.
  void invalidate(const PixelRect& area) {
    accessibleStale_ = true;
    if (area.empty()) {
      return;
    }
    if (!dirty()) {
      markDirty();
    }
    dirty_ = dirty_.united(area);
  }
  // A control's place or visibility changed since the last repaint.
  void queueRepaint(Visual& control) {
    if (!dirty()) {
      markDirty();
    }
    accessibleStale_ = true;
    if (control.kind() == ControlKind::CommandButton) {
      buttonsChanged_ = true;
      faceStale_ = true;
    }
    changed_.push_back(&control);
  }
  [[nodiscard]] PixelRect takeDirty();
  // Whether a button's place or visibility changed since the last take.
  [[nodiscard]] bool takeButtonsChanged() { return std::exchange(buttonsChanged_, false); }
  [[nodiscard]] bool dirty() const { return !dirty_.empty() || !changed_.empty(); }

  // Events, as the driver delivers them through the Application's dispatcher.
  void handleKeyPress(std::int16_t keyCode) { onKeyPress(keyCode); }
  void handleHelp() { onHelp(); }
  void handleClick(Control& control) { onClick(control); }
  void handleTick(Timer& timer) { onTick(timer); }

 protected:
  // Adds the design's controls, in design order.
  virtual void build() = 0;
  virtual void onLoad() {}
  virtual void onKeyPress(std::int16_t /*keyCode*/) {}
  // The help key (F1), which types no character.
  virtual void onHelp() {}
  virtual void onClick(Control& /*control*/) {}
  virtual void onTick(Timer& /*timer*/) {}

  template <typename T, typename Design>
  T& add(const Design& design) {
    auto control = std::make_unique<T>(*this, design);
    T& result = *control;
    entries_.emplace_back(std::move(control));
    if constexpr (std::is_base_of_v<Visual, T>) {
      topLayer_ = std::max(topLayer_, result.zOrder());
    }
    return result;
  }
  ImageArray& addArray(const ImageDesign& element0);

 private:
  friend class Control;
  friend class Visual;
  friend class ImageArray;
  void markDirty();
  void destroyControls();

  FormHost* host_;
  std::string_view name_;
  const FormDesign& design_;
  std::string caption_;
  std::vector<std::variant<std::unique_ptr<Control>, std::unique_ptr<ImageArray>>> entries_;
  std::vector<CommandButton*> tabOrder_;
  CommandButton* focus_ = nullptr;
  Visual* pressed_ = nullptr;
  PixelRect dirty_;
  PixelRect view_;
  std::vector<Visual*> changed_;  // its capacity stays, so a tick allocates nothing
  mutable std::vector<AccessibleItem> accessible_;
  mutable WindowFace face_;
  int topLayer_ = 0;
  bool loaded_ = false;
  bool buttonsChanged_ = false;
  mutable bool accessibleStale_ = true;
  mutable bool faceStale_ = true;
};

}  // namespace ui
