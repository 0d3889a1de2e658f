#include "ui/web/web_driver.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/text_layout.h"
#include "ui/twips.h"

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

void WebWindow::expose() {
  if (form_ != nullptr) {
    repaintArea({0, 0, form_->pixelWidth(), form_->pixelHeight()});
  }
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

Control* WebWindow::buttonOf(const Control* control) const {
  const auto& buttons = form_->buttonsInTabOrder();
  const auto found = std::find(buttons.begin(), buttons.end(), control);
  return found == buttons.end() ? nullptr : *found;
}

KeyResult WebWindow::keyDown(const KeyStroke& stroke) {
  return form_ == nullptr ? KeyResult::Taken : form_->app().keyDown(*form_, stroke);
}

void WebWindow::typed(char16_t unit) {
  if (form_ != nullptr) {
    form_->app().typed(*form_, std::u16string_view(&unit, 1));
  }
}

void WebWindow::mouse(bool down, int x, int y) {
  if (form_ == nullptr) {
    return;
  }
  if (down) {
    form_->app().mousePress(*form_, x, y);
  } else {
    form_->app().mouseRelease(*form_, x, y);
  }
}

void WebWindow::click(const Control* control) {
  if (form_ != nullptr) {
    if (Control* button = buttonOf(control)) {
      form_->app().click(*button);
    }
  }
}

void WebWindow::focusTo(const Control* control) {
  if (form_ != nullptr) {
    if (Control* button = buttonOf(control)) {
      form_->app().focusTo(static_cast<CommandButton&>(*button));
    }
  }
}

void WebWindow::press(const Control* control) {
  if (form_ != nullptr) {
    form_->app().accessiblePress(*form_, control);
  }
}

void WebWindow::activated() {
  if (form_ != nullptr) {
    form_->app().activated(*form_);
  }
}

void WebWindow::closeRequested() {
  if (form_ != nullptr) {
    form_->app().closeRequested(*form_);
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
  vorel_wake(this, -1);
  windows().retireAll();
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
using ui::web::WebDriver;
using ui::web::WebWindow;

extern "C" {

// KeyResult + 1; 0 when a box opened meanwhile.
EMSCRIPTEN_KEEPALIVE int vorel_key(WebWindow* window, WebDriver* driver, int key, int character,
                                   int modifiers) {
  const ui::KeyStroke stroke{static_cast<ui::Key>(key),
                             static_cast<char32_t>(character),
                             {(modifiers & 1) != 0, (modifiers & 2) != 0, (modifiers & 4) != 0}};
  const ui::KeyResult result = window->keyDown(stroke);
  driver->idle();
  return static_cast<int>(result) + 1;
}

EMSCRIPTEN_KEEPALIVE void vorel_typed(WebWindow* window, WebDriver* driver, int unit) {
  window->typed(static_cast<char16_t>(unit));
  driver->idle();
}

EMSCRIPTEN_KEEPALIVE void vorel_mouse(WebWindow* window, WebDriver* driver, int down, int x,
                                      int y) {
  window->mouse(down != 0, x, y);
  driver->idle();
}

// What the page does with a window's command button or painted item.
EMSCRIPTEN_KEEPALIVE void vorel_control(WebWindow* window, WebDriver* driver, int action,
                                        const ui::Control* control) {
  switch (action) {
    case 0:
      window->click(control);
      break;
    case 1:
      window->focusTo(control);
      break;
    default:
      window->press(control);
  }
  driver->idle();
}

// What the page does with a window itself.
EMSCRIPTEN_KEEPALIVE void vorel_window(WebWindow* window, WebDriver* driver, int action) {
  switch (action) {
    case 0:
      window->activated();
      break;
    case 1:
      window->closeRequested();
      break;
    default:
      window->expose();
  }
  driver->idle();
}

EMSCRIPTEN_KEEPALIVE void vorel_tick(WebDriver* driver) {
  driver->deliverTicks();
  driver->idle();
}

EMSCRIPTEN_KEEPALIVE void vorel_posted(WebDriver* driver) {
  driver->runPosted();
  driver->idle();
}
}
