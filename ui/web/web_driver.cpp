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
                       int typing);
void vorel_window_show(const void* window);
void vorel_window_caption(const void* window, const char* caption);
void vorel_window_hide(const void* window);
void vorel_window_destroy(const void* window);
void vorel_button_add(const void* window, const void* control, const char* caption, int pixels);
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
  const PixelRect place = form.initialPlace();
  const AccessibleWindow described = form.accessibleWindow();
  vorel_window_open(this, &driver, form.caption().c_str(), described.description.c_str(), place.x,
                    place.y, place.width, place.height, form.isDialog() ? 1 : 0,
                    form.isDialog() ? 0 : 1);
  for (CommandButton* button : form.buttonsInTabOrder()) {
    vorel_button_add(this, button, std::string(button->caption()).c_str(),
                     button->design().font.on(DisplayScale()).pixelSize);
  }
  syncButtons();
  showFocus();
}

WebWindow::~WebWindow() {
  vorel_window_destroy(this);
}

void WebWindow::detach() {
  form_ = nullptr;
  vorel_window_hide(this);
}

void WebWindow::showForm() {
  vorel_window_show(this);
  showFocus();
}

void WebWindow::updateCaption() {
  vorel_window_caption(this, form_->caption().c_str());
}

void WebWindow::showFocus() {
  vorel_focus(this, form_->focus(), form_->framedButton());
}

void WebWindow::syncButtons() {
  for (CommandButton* button : form_->buttonsInTabOrder()) {
    const PixelRect place = button->pixelRect();
    vorel_button_place(this, button, place.x, place.y, place.width, place.height,
                       button->visible() ? 1 : 0);
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

// The screen reader's view, sent to the page only when it changed: roles,
// names and controls, fields split by 0x1F, items by 0x1E.
void WebWindow::describe() {
  std::string items;
  for (const AccessibleItem& item : form_->accessibleItems()) {
    items += std::to_string(static_cast<int>(item.role)) + '\x1F' +
             std::to_string(reinterpret_cast<std::uintptr_t>(item.control)) + '\x1F' +
             (item.pressable ? "1" : "0") + '\x1F' + item.name + '\x1E';
  }
  if (items != items_) {
    items_ = std::move(items);
    vorel_aria(this, items_.c_str());
  }
}

// The page's events, each delivered to the model's entry point: a key
// (KeyResult + 1), a typed UTF-16 unit, the left button, a command button
// clicked or focused, an item pressed by a screen reader, the window
// activated, closed, or to be painted whole at a new scale.
int WebWindow::event(PageEvent kind, int a, int b, int c) {
  if (form_ == nullptr) {
    return 1;
  }
  Form& form = *form_;
  Application& app = form.app();
  const auto& buttons = form.buttonsInTabOrder();
  const auto found = std::find_if(buttons.begin(), buttons.end(), [&](const Control* button) {
    return reinterpret_cast<std::uintptr_t>(button) == static_cast<std::uintptr_t>(a);
  });
  CommandButton* button = found == buttons.end() ? nullptr : *found;
  switch (kind) {
    case PageEvent::Key:
      return static_cast<int>(app.keyDown(form, {static_cast<Key>(a),
                                                 static_cast<char32_t>(b),
                                                 {(c & 1) != 0, (c & 2) != 0, (c & 4) != 0}})) +
             1;
    case PageEvent::Typed: {
      const auto unit = static_cast<char16_t>(a);
      app.typed(form, std::u16string_view(&unit, 1));
      break;
    }
    case PageEvent::Mouse:
      a != 0 ? app.mousePress(form, b, c) : app.mouseRelease(form, b, c);
      break;
    case PageEvent::Click:
    case PageEvent::Focus:
      if (button != nullptr) {
        kind == PageEvent::Click ? app.click(*button) : app.focusTo(*button);
      }
      break;
    case PageEvent::Press:
      for (const AccessibleItem& item : form.accessibleItems()) {
        if (reinterpret_cast<std::uintptr_t>(item.control) == static_cast<std::uintptr_t>(a)) {
          app.accessiblePress(form, item.control);
          break;
        }
      }
      break;
    case PageEvent::Activated:
      app.activated(form);
      break;
    case PageEvent::Close:
      app.closeRequested(form);
      break;
    case PageEvent::Expose:
      repaintArea({0, 0, form.pixelWidth(), form.pixelHeight()});
      break;
  }
  return 1;
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

void WebDriver::runPosted() {
  for (auto tasks = std::exchange(posted_, {}); auto& task : tasks) {
    task();
  }
}

int WebDriver::run() {
  while (!status_) {
    vorel_wait();
  }
  return *status_;
}

void WebDriver::deliverTicks() {
  if (app_ != nullptr && !status_) {
    app_->deliverDueTicks();
  }
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

// The page's events.
extern "C" {

EMSCRIPTEN_KEEPALIVE int vorel_event(ui::web::WebWindow* window, ui::web::WebDriver* driver,
                                     int kind, int a, int b, int c) {
  const int result = window->event(static_cast<ui::web::PageEvent>(kind), a, b, c);
  driver->idle();
  return result;
}

// A tick is due (0), or a task was posted (1).
EMSCRIPTEN_KEEPALIVE void vorel_driver_event(ui::web::WebDriver* driver, int kind) {
  kind == 0 ? driver->deliverTicks() : driver->runPosted();
  driver->idle();
}
}
