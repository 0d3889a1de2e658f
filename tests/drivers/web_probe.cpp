// The driver scenarios on the web driver, in a browser page: input is given as
// the browser gives it (a KeyboardEvent with its key and code where the
// keyboard is, mouse events on what lies under the pointer, text to the
// element that takes it), the frames are read from the canvases, the screen
// reader's view from the ARIA the page writes (web_probe.js).

#include <emscripten/emscripten.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/program.h"
#include "conformance.h"
#include "ui/web/web_driver.h"

extern "C" {
void probe_sleep(int ms);
int probe_pending();
void probe_answering(int on);
void probe_answered();
char* probe_box(int part);
void probe_key(const char* key, const char* code, int modifiers);
void probe_text(const char16_t* text, int length);
void probe_click(const void* window, int x, int y);
void probe_close(const void* window);
void probe_frame_size(const void* window, int* size);
void probe_frame(const void* window, std::uint32_t* pixels);
char* probe_shown(const void* window);
char* probe_aloud(const void* window);
void probe_press_aloud(const void* window, const char* name);
int probe_showing(const char* title);
int probe_active(const void* window);
int probe_icon(const void* window);
int probe_waking();
void probe_done(int status);
char* probe_filter();
}

namespace conformance {

// A string the page made, taken over.
std::string taken(char* text) {
  std::string result(text);
  std::free(text);  // NOLINT(cppcoreguidelines-no-malloc): the page allocated it
  return result;
}

namespace {

// Every part, empty ones included.
std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back().push_back(c);
    }
  }
  return parts;
}

ui::PixelRect rectOf(const std::string& text) {
  const std::vector<std::string> n = split(text, ',');
  return {std::stoi(n.at(0)), std::stoi(n.at(1)), std::stoi(n.at(2)), std::stoi(n.at(3))};
}

}  // namespace

class WebProbe;
WebProbe* answering = nullptr;  // the probe whose scenario answers the boxes

class WebProbe {
 public:
  // The page's windows keep their design size: the player resizes the
  // browser's viewport, not a window inside the page.
  static constexpr bool kWindowsKeepTheirSize = true;

  // The program's own windows and services: a page finds no system-information tool.
  WebProbe() { app::registerForms(app_); }
  WebProbe(const WebProbe&) = delete;
  WebProbe& operator=(const WebProbe&) = delete;
  WebProbe(WebProbe&&) = delete;
  WebProbe& operator=(WebProbe&&) = delete;
  ~WebProbe() {
    probe_answering(0);
    answering = nullptr;
  }

  ui::Application& app() { return app_; }

  void start() {
    ASSERT_TRUE(app_.start(game::GameWindow::kName));
    ASSERT_TRUE(runUntil([&] { return active(app_.form(game::GameWindow::kName)); }));
  }
  // Waits as the page does between its events.
  static bool runUntil(const std::function<bool()>& done, int limitMs = 20000) {
    const double end = emscripten_get_now() + limitMs;
    while (!done() && emscripten_get_now() < end) {
      probe_sleep(10);
    }
    return done();
  }
  static void settle() {
    runUntil([] { return false; }, 300);
  }
  int runToEnd() { return app_.ended() ? *app_.exitStatus() : driver_.run(); }

  void answerBoxes(BoxVisitor visitor) {
    visitor_ = std::move(visitor);
    answering = this;
    probe_answering(1);
  }
  // The open box, seen and answered by the scenario, then dismissed with Escape.
  void answer() {
    visitor_({taken(probe_box(0)), taken(probe_box(1)), taken(probe_box(2))});
    probe_answered();
  }

  void type(const ui::Form& form, std::u16string_view text) {
    click(form, 0, 0);
    probe_text(text.data(), static_cast<int>(text.size()));
    delivered();
  }
  static void press(Chord chord) {
    struct Named {
      const char* key;
      const char* shifted;
      const char* code;
    };
    static constexpr std::array<Named, 11> kKeys{{{"Tab", "Tab", "Tab"},
                                                  {"Enter", "Enter", "Enter"},
                                                  {"Escape", "Escape", "Escape"},
                                                  {"Backspace", "Backspace", "Backspace"},
                                                  {"Delete", "Delete", "Delete"},
                                                  {" ", " ", "Space"},
                                                  {"F1", "F1", "F1"},
                                                  {"a", "A", "KeyA"},
                                                  {"s", "S", "KeyS"},
                                                  {"z", "Z", "KeyZ"},
                                                  {"z", "Z", "KeyY"}}};  // German: Z at US Y
    const Named& key = kKeys.at(static_cast<std::size_t>(chord.key));
    probe_key(chord.shift ? key.shifted : key.key, key.code,
              (chord.shift ? 1 : 0) | (chord.ctrl ? 2 : 0) | (chord.alt ? 4 : 0));
    delivered();
  }
  void click(const ui::Form& form, int x, int y) {
    probe_click(window(form), x, y);
    delivered();
  }
  void close(const ui::Form& form) {
    probe_close(window(form));
    delivered();
  }

  Frame frame(const ui::Form& form) {
    std::array<int, 2> size{};
    probe_frame_size(window(form), size.data());
    Frame frame{size[0], size[1],
                std::vector<std::uint32_t>(static_cast<std::size_t>(size[0]) *
                                           static_cast<std::size_t>(size[1]))};
    probe_frame(window(form), frame.pixels.data());
    return frame;
  }
  [[nodiscard]] static bool resizable(const ui::Form& /*form*/) { return false; }
  [[nodiscard]] bool hasIcon(const ui::Form& form) const { return probe_icon(window(form)) != 0; }
  // Nothing: a page has no task bar to minimise a window to.
  void minimise(const ui::Form& /*form*/) {}
  [[nodiscard]] static bool minimised(const ui::Form& /*form*/) { return false; }
  [[nodiscard]] Shown shown(const ui::Form& form) const {
    const std::vector<std::string> parts = split(taken(probe_shown(window(form))), '\x1E');
    Shown shown{parts.at(0), rectOf(parts.at(1)), {}, parts.at(parts.size() - 2), parts.back()};
    for (std::size_t i = 2; i + 2 < parts.size(); ++i) {
      const std::vector<std::string> button = split(parts[i], '\x1F');
      shown.buttons.push_back({button.at(0), rectOf(button.at(1)), button.at(2) == "1"});
    }
    return shown;
  }
  [[nodiscard]] static bool waking() { return probe_waking() != 0; }
  [[nodiscard]] bool active(const ui::Form& form) const {
    return window(form) != nullptr && probe_active(window(form)) != 0;
  }
  ui::TextMeasure& measure() { return driver_.measure(); }
  std::vector<std::string> readAloud(const ui::Form& form) {
    return split(taken(probe_aloud(window(form))), '\x1E');
  }
  void pressAloud(const ui::Form& form, const std::string& name) {
    probe_press_aloud(window(form), name.c_str());
    delivered();
  }
  [[nodiscard]] static bool showing(const std::string& title) {
    return probe_showing(title.c_str()) != 0;
  }

 private:
  [[nodiscard]] const ui::web::WebWindow* window(const ui::Form& form) const {
    return driver_.window(form);
  }
  // Until the page has had the input given.
  static void delivered() {
    runUntil([] { return probe_pending() == 0; });
  }

  ui::web::WebDriver driver_;
  ui::Application app_{driver_, "vorel"};
  BoxVisitor visitor_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Web, Conformance, WebProbe);

}  // namespace conformance

extern "C" {

// The page has a box open and nothing of the program running above it.
EMSCRIPTEN_KEEPALIVE void probe_answer() {
  if (conformance::answering != nullptr) {
    conformance::answering->answer();
  }
}

// The page starts the program once the labels' face is there: here, the scenarios.
EMSCRIPTEN_KEEPALIVE void vorel_play() {
  std::string filter = "--gtest_filter=" + conformance::taken(probe_filter());
  int argc = 2;
  std::array<char*, 3> argv{const_cast<char*>("web_conformance"), filter.data(), nullptr};
  ::testing::InitGoogleTest(&argc, argv.data());
  probe_done(RUN_ALL_TESTS());
}
}
