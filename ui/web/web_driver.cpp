#include "ui/web/web_driver.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/text_layout.h"

// The page's side, in ui/web/page.js. Windows are known by their address.
extern "C" {
void vorel_window_open(const void* window, const void* driver, const char* caption,
                       const char* help, int x, int y, int width, int height, int dialog,
                       const void* icon, int iconWidth, int iconHeight);
void vorel_window_show(const void* window, int shown);
void vorel_window_caption(const void* window, const char* caption);
void vorel_window_destroy(const void* window);
void vorel_button_add(const void* window, const void* control, const char* before,
                      const char* accessKey, const char* after, int pixels);
void vorel_button_place(const void* window, const void* control, int x, int y, int width,
                        int height, int visible);
void vorel_focus(const void* window, const void* focused, const void* framed);
int vorel_dpi();
void vorel_canvas_size(const void* window, int width, int height);
void vorel_clip(const void* window, int x, int y, int width, int height);
void vorel_fill(const void* window, int x, int y, int width, int height, unsigned rgb);
void vorel_picture(const void* window, const void* pixels, int pictureWidth, int pictureHeight,
                   int x, int y, int width, int height);
void vorel_text(const void* window, const char* text, int x, int y, int pixels, int weight,
                int italic, unsigned rgb, int rightToLeft, int clipX, int clipY, int clipWidth,
                int clipHeight);
int vorel_text_width(const char* text, int pixels, int weight, int italic);
int vorel_line_height(int pixels, int weight, int italic);
void vorel_aria(const void* window, const char* items);
void vorel_box(const void* owner, const char* prompt, const char* title, int rightToLeft);
void vorel_wait();
void vorel_wake(const void* driver, double delay);
void vorel_post(const void* driver);
void vorel_quit();
void vorel_ended(int status);
}

namespace ui::web {
namespace {

// What the model paints, on the window's canvas, nothing of it outside the
// area being painted.
class PageCanvas final : public Canvas {
 public:
  PageCanvas(const WebWindow& window, const PixelRect& area) : window_(&window) {
    vorel_clip(window_, area.x, area.y, area.width, area.height);
  }
  PageCanvas(const PageCanvas&) = delete;
  PageCanvas& operator=(const PageCanvas&) = delete;
  PageCanvas(PageCanvas&&) = delete;
  PageCanvas& operator=(PageCanvas&&) = delete;
  ~PageCanvas() override { vorel_clip(window_, 0, 0, -1, -1); }

  void fill(const PixelRect& area, Color color) override {
    vorel_fill(window_, area.x, area.y, area.width, area.height, color.rgb());
  }
  void drawPicture(const Picture& picture, const PixelRect& to) override {
    vorel_picture(window_, picture.pixels.data(), picture.width, picture.height, to.x, to.y,
                  to.width, to.height);
  }
  void drawText(const TextLine& line, const TextStyle& style, const PixelRect& clip) override {
    vorel_text(window_, line.text.c_str(), line.x, line.y, style.face.pixelSize,
               static_cast<int>(style.face.weight), style.face.italic ? 1 : 0, style.color.rgb(),
               style.rightToLeft ? 1 : 0, clip.x, clip.y, clip.width, clip.height);
  }

 private:
  const WebWindow* window_;
};

}  // namespace

int PageMeasure::width(std::string_view text, const FontFace& face) {
  return vorel_text_width(std::string(text).c_str(), face.pixelSize, static_cast<int>(face.weight),
                          face.italic ? 1 : 0);
}

int PageMeasure::lineHeight(const FontFace& face) {
  return vorel_line_height(face.pixelSize, static_cast<int>(face.weight), face.italic ? 1 : 0);
}

WebWindow::WebWindow(Form& form, WebDriver& driver) : form_(&form), driver_(&driver) {
  const WindowFace& face = form.face();
  const Picture* icon = face.icon == nullptr ? nullptr : face.icon->imageFor(Icon::kSmall);
  vorel_window_open(this, &driver, face.caption.c_str(), face.reader.description.c_str(),
                    face.place.x, face.place.y, face.place.width, face.place.height,
                    face.dialog ? 1 : 0, icon == nullptr ? nullptr : icon->pixels.data(),
                    icon == nullptr ? 0 : icon->width, icon == nullptr ? 0 : icon->height);
  for (const ButtonFace& button : face.buttons) {
    const ShownCaption& caption = button.caption;
    const std::size_t key = std::min(caption.accessKeyAt, caption.text.size());
    const std::size_t after = key == caption.text.size() ? key : key + 1;
    vorel_button_add(this, button.control, caption.text.substr(0, key).c_str(),
                     caption.text.substr(key, after - key).c_str(),
                     caption.text.substr(after).c_str(),
                     button.control->design().font.on(DisplayScale()).pixelSize);
  }
  syncButtons();
  showFocus();
}

WebWindow::~WebWindow() {
  vorel_window_destroy(this);
}

void WebWindow::detach() {
  form_ = nullptr;
  vorel_window_show(this, 0);
}

void WebWindow::showForm() {
  vorel_window_show(this, 1);
  showFocus();
}

void WebWindow::updateCaption() {
  vorel_window_caption(this, form_->face().caption.c_str());
}

void WebWindow::showFocus() {
  vorel_focus(this, form_->face().focus, form_->face().framed);
}

void WebWindow::syncButtons() {
  for (const ButtonFace& button : form_->face().buttons) {
    const PixelRect& place = button.place;
    vorel_button_place(this, button.control, place.x, place.y, place.width, place.height,
                       button.visible ? 1 : 0);
  }
}

// The canvas holds device pixels: the model paints at the display's DPI, so
// that pictures are repeated whole and text is sharp at any zoom.
void WebWindow::repaintArea(const PixelRect& area) {
  const DisplayScale scale(vorel_dpi());
  PixelRect device = scale.toDevice(area);
  if (scale.dpi() != dpi_) {  // a new zoom: a new canvas, painted whole
    dpi_ = scale.dpi();
    device = scale.toDevice(PixelRect{0, 0, form_->pixelWidth(), form_->pixelHeight()});
    vorel_canvas_size(this, device.width, device.height);
  }
  PageCanvas canvas(*this, device);
  form_->paint(device, scale, canvas, driver_->measure());
  describe();
}

// The screen reader's view, sent to the page only when it changed: ARIA roles
// (none for text), controls, whether pressable and names; fields split by
// 0x1F, items by 0x1E. Each repaint compares the items; only a change spells them.
void WebWindow::describe() {
  const auto alike = [](const AccessibleItem& a, const AccessibleItem& b) {  // but for the place
    return a.role == b.role && a.control == b.control && a.pressable == b.pressable &&
           a.name == b.name;
  };
  const std::vector<AccessibleItem>& now = form_->accessibleItems();
  if (!std::equal(now.begin(), now.end(), described_.begin(), described_.end(), alike)) {
    described_ = now;
    std::string items;
    for (const AccessibleItem& item : described_) {
      items += std::string(item.role == AccessibleRole::Picture  ? "img"
                           : item.role == AccessibleRole::Button ? "button"
                                                                 : "") +
               '\x1F' + std::to_string(reinterpret_cast<std::uintptr_t>(item.control)) + '\x1F' +
               (item.pressable ? "1" : "") + '\x1F' + item.name + '\x1E';
    }
    vorel_aria(this, items.c_str());
  }
}

WebDriver::~WebDriver() {
  vorel_wake(this, -1);
}

Driver::Time WebDriver::now() const {
  return std::chrono::duration_cast<Time>(
      std::chrono::duration<double, std::milli>(emscripten_get_now()));
}

// A timeout fires no earlier than asked, in whole milliseconds: rounded up.
void WebDriver::wakeAt(std::optional<Time> due) {
  if (!due) {
    vorel_wake(this, -1);
    return;
  }
  const auto delay = std::chrono::duration<double, std::milli>(*due - now()).count();
  vorel_wake(this, std::max(0.0, std::ceil(delay)));
}

void WebDriver::messageBox(const BoxRequest& box) {
  const WebWindow* owner = box.owner == nullptr ? nullptr : windows().find(*box.owner);
  vorel_box(owner, std::string(box.prompt).c_str(), std::string(box.title).c_str(),
            box.rightToLeft ? 1 : 0);
  vorel_wait();
}

void WebDriver::quit(int status) {
  status_ = status;
  // Every wait returns, the innermost first, once this event is over.
  vorel_quit();
}

void WebDriver::post(std::function<void()> task) {
  posted_.push_back(std::move(task));
  vorel_post(this);
}

int WebDriver::run() {
  while (!status_) {
    vorel_wait();
  }
  return *status_;
}

void WebDriver::wokenUp() {
  for (auto tasks = std::exchange(posted_, {}); auto& task : tasks) {
    task();
  }
  if (app_ != nullptr && !status_) {
    app_->deliverDueTicks();
  }
  idle();
}

void WebDriver::idle() {
  if (app_ != nullptr) {
    app_->idle();
  }
}

void WebDriver::showEnd(int status) {
  vorel_ended(status);
}

}  // namespace ui::web

// The page's events, each for the model's entry point of the same name. A
// window that has left the model takes none.
namespace {

using ui::Application;
using ui::Form;
using ui::web::WebDriver;
using ui::web::WebWindow;

template <typename Handle>
void deliver(const WebWindow* window, WebDriver* driver, Handle&& handle) {
  if (Form* form = window->form()) {
    handle(*form, form->app());
  }
  driver->idle();
}

// A key by KeyboardEvent.key: its name, or (with no name) the character it
// stands for on the layout (without Shift where the page knows the layout).
ui::KeyStroke strokeOf(const char* name, char32_t character, ui::Modifiers held) {
  static constexpr std::pair<std::string_view, ui::Key> kNamed[] = {
      {"Tab", ui::Key::Tab},       {"Enter", ui::Key::Enter},
      {"Escape", ui::Key::Escape}, {"Backspace", ui::Key::Backspace},
      {"Delete", ui::Key::Delete}, {"F1", ui::Key::Help}};
  if (character == U' ') {
    return {ui::Key::Space, 0, held};
  }
  if (character != 0) {
    return {ui::Key::Character,
            character >= U'a' && character <= U'z' ? character - U'a' + U'A' : character, held};
  }
  const auto named = std::find_if(std::begin(kNamed), std::end(kNamed), [&](const auto& entry) {
    return name != nullptr && name == entry.first;
  });
  return {named == std::end(kNamed) ? ui::Key::Other : named->second, 0, held};
}

}  // namespace

extern "C" {

// Whether the page does nothing more with the key.
EMSCRIPTEN_KEEPALIVE int vorel_key(const WebWindow* window, WebDriver* driver, const char* name,
                                   int character, int shift, int ctrl, int alt) {
  const ui::KeyStroke stroke =
      strokeOf(name, static_cast<char32_t>(character), {shift != 0, ctrl != 0, alt != 0});
  bool taken = true;
  deliver(window, driver, [&](Form& form, Application& app) {
    taken = app.keyDown(form, stroke) == ui::KeyResult::Taken;
  });
  return taken ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE void vorel_typed(const WebWindow* window, WebDriver* driver, char16_t unit) {
  deliver(window, driver, [=](Form& form, Application& app) { app.typed(form, {&unit, 1}); });
}
// The left mouse button, or a finger, went down or up at a pixel of the client area.
EMSCRIPTEN_KEEPALIVE void vorel_mouse(const WebWindow* window, WebDriver* driver, int down, int x,
                                      int y, int finger) {
  deliver(window, driver, [=](Form& form, Application& app) {
    if (finger != 0) {
      down != 0 ? app.touchDown(form, x, y) : app.touchUp(form, x, y);
    } else {
      down != 0 ? app.mousePress(form, x, y) : app.mouseRelease(form, x, y);
    }
  });
}
// A command button was clicked, or took the focus.
EMSCRIPTEN_KEEPALIVE void vorel_button(const WebWindow* window, WebDriver* driver,
                                       std::uintptr_t control, int clicked) {
  deliver(window, driver, [control, clicked](Form& form, Application& app) {
    for (ui::CommandButton* button : form.buttonsInTabOrder()) {
      if (reinterpret_cast<std::uintptr_t>(button) == control) {
        clicked != 0 ? app.click(*button) : app.focusTo(*button);
      }
    }
  });
}
// A screen reader pressed an item of the window.
EMSCRIPTEN_KEEPALIVE void vorel_press(const WebWindow* window, WebDriver* driver,
                                      std::uintptr_t control) {
  deliver(window, driver, [control](Form& form, Application& app) {
    for (const ui::AccessibleItem& item : form.accessibleItems()) {
      if (reinterpret_cast<std::uintptr_t>(item.control) == control) {
        app.accessiblePress(form, item.control);
        return;
      }
    }
  });
}
EMSCRIPTEN_KEEPALIVE void vorel_activated(const WebWindow* window, WebDriver* driver) {
  deliver(window, driver, [](Form& form, Application& app) { app.activated(form); });
}
EMSCRIPTEN_KEEPALIVE void vorel_close(const WebWindow* window, WebDriver* driver) {
  deliver(window, driver, [](Form& form, Application& app) { app.closeRequested(form); });
}
// The page's scale changed: painted whole again.
EMSCRIPTEN_KEEPALIVE void vorel_expose(WebWindow* window, WebDriver* driver) {
  deliver(window, driver, [window](Form& form, Application& /*app*/) {
    window->repaintArea({0, 0, form.pixelWidth(), form.pixelHeight()});
  });
}
EMSCRIPTEN_KEEPALIVE void vorel_woken(WebDriver* driver) {
  driver->wokenUp();
}
}
