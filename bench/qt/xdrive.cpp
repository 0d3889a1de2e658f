// Drives a program from outside, as a person at the keyboard and mouse would:
// input goes through the X server's XTEST extension, so it takes the same road
// as real input (pointer position, keyboard focus, the server's key repeat).
// One action per call, on the display in DISPLAY.
//
// Usage: vorel_xdrive wait TITLE [TIMEOUT_MS]   a window TITLE is mapped and painted
//        vorel_xdrive shown TITLE               exit 0 if a window TITLE is mapped now
//        vorel_xdrive click TITLE X Y           left click at (X, Y) of the window
//        vorel_xdrive key-down KEY | key-up KEY | key KEY
//                                               KEY: space, Return or a keysym in hex
//        vorel_xdrive count TITLE RRGGBB        prints how many pixels have that colour
//        vorel_xdrive close TITLE               asks the window to close (WM_DELETE_WINDOW)
// Exit status 0 on success, 1 when the window is missing or the server refuses,
// 2 on a wrong command line.

#include <sys/uio.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "x_display.h"

namespace {

using vorel::xclient::Display;
using vorel::xclient::Reply;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// XTEST's FakeInput request; libxcb's own binding of it is not installed here.
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): libxcb caches the opcode in
// it
xcb_extension_t xtestExtension{"XTEST", 0};
constexpr std::uint8_t kFakeInput = 2;
struct FakeInputRequest {
  std::uint8_t majorOpcode;
  std::uint8_t minorOpcode;
  std::uint16_t length;
  std::uint8_t type;
  std::uint8_t detail;
  std::array<std::uint8_t, 2> pad0;
  std::uint32_t time;
  xcb_window_t root;
  std::array<std::uint8_t, 8> pad1;
  std::int16_t rootX;
  std::int16_t rootY;
  std::array<std::uint8_t, 7> pad2;
  std::uint8_t deviceId;
};
static_assert(sizeof(FakeInputRequest) == 36);

[[nodiscard]] bool fake(Display& display, std::uint8_t type, std::uint8_t detail,
                        std::int16_t x = 0, std::int16_t y = 0) {
  FakeInputRequest request{};
  request.type = type;
  request.detail = detail;
  request.root = display.root();
  request.rootX = x;
  request.rootY = y;
  std::array<iovec, 4> parts{};
  parts[2].iov_base = &request;
  parts[2].iov_len = sizeof request;
  const xcb_protocol_request_t header{
      .count = 2, .ext = &xtestExtension, .opcode = kFakeInput, .isvoid = 1};
  xcb_connection_t* c = display.connection();
  const unsigned sequence = xcb_send_request(c, XCB_REQUEST_CHECKED, &parts[2], &header);
  const Reply<xcb_generic_error_t> error(xcb_request_check(c, {sequence}));
  return !error;
}

[[nodiscard]] bool hasXtest(Display& display) {
  const xcb_query_extension_reply_t* info =
      xcb_get_extension_data(display.connection(), &xtestExtension);
  return info != nullptr && info->present != 0;
}

[[nodiscard]] std::optional<std::uint8_t> keycode(Display& display, xcb_keysym_t keysym) {
  xcb_connection_t* x = display.connection();
  const xcb_setup_t* setup = xcb_get_setup(x);
  const xcb_keycode_t first = setup->min_keycode;
  const auto count = static_cast<std::uint8_t>(setup->max_keycode - first + 1);
  const Reply<xcb_get_keyboard_mapping_reply_t> map(
      xcb_get_keyboard_mapping_reply(x, xcb_get_keyboard_mapping(x, first, count), nullptr));
  if (!map || map->keysyms_per_keycode == 0) {
    return std::nullopt;
  }
  const std::span<const xcb_keysym_t> syms(
      xcb_get_keyboard_mapping_keysyms(map.get()),
      static_cast<std::size_t>(xcb_get_keyboard_mapping_keysyms_length(map.get())));
  for (std::size_t at = 0; at < syms.size(); ++at) {
    if (syms[at] == keysym) {
      return static_cast<std::uint8_t>(first + at / map->keysyms_per_keycode);
    }
  }
  return std::nullopt;
}

[[nodiscard]] std::optional<std::pair<std::int16_t, std::int16_t>> onScreen(Display& display,
                                                                            xcb_window_t window,
                                                                            std::int16_t x,
                                                                            std::int16_t y) {
  xcb_connection_t* c = display.connection();
  const Reply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
      c, xcb_translate_coordinates(c, window, display.root(), x, y), nullptr));
  if (!reply) {
    return std::nullopt;
  }
  return std::pair{reply->dst_x, reply->dst_y};
}

std::optional<long> number(const char* text, int base = 10) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, base);
  if (end == text || *end != '\0') {
    return std::nullopt;
  }
  return value;
}

std::optional<xcb_keysym_t> keysym(std::string_view name) {
  if (name == "space") {
    return 0x20;
  }
  if (name == "Return") {
    return 0xff0d;
  }
  if (name.starts_with("0x")) {
    const std::string digits(name.substr(2));
    if (const auto value = number(digits.c_str(), 16); value && *value > 0) {
      return static_cast<xcb_keysym_t>(*value);
    }
  }
  return std::nullopt;
}

int usage() {
  std::fputs(
      "usage: vorel_xdrive wait TITLE [TIMEOUT_MS] | shown TITLE | click TITLE X Y |\n"
      "       key-down KEY | key-up KEY | key KEY | count TITLE RRGGBB | close TITLE\n",
      stderr);
  return 2;
}

int fail(std::string_view what, std::string_view title = "") {
  const std::string message = "vorel_xdrive: " + std::string(what) + std::string(title) + "\n";
  std::fputs(message.c_str(), stderr);
  return 1;
}

// XTEST event types, as in the core protocol.
constexpr std::uint8_t kKeyPress = 2;
constexpr std::uint8_t kKeyRelease = 3;
constexpr std::uint8_t kButtonPress = 4;
constexpr std::uint8_t kButtonRelease = 5;
constexpr std::uint8_t kMotion = 6;

int key(Display& display, std::string_view action, std::string_view name) {
  const std::optional<xcb_keysym_t> sym = keysym(name);
  if (!sym) {
    return usage();
  }
  if (!hasXtest(display)) {
    return fail("the X server has no XTEST extension");
  }
  const std::optional<std::uint8_t> code = keycode(display, *sym);
  if (!code) {
    return fail("no key on the keyboard gives ", name);
  }
  bool ok = true;
  if (action != "key-up") {
    ok = fake(display, kKeyPress, *code) && ok;
  }
  if (action != "key-down") {
    ok = fake(display, kKeyRelease, *code) && ok;
  }
  display.sync();
  return ok ? 0 : fail("the server refused the key ", name);
}

int click(Display& display, xcb_window_t window, long x, long y) {
  if (!hasXtest(display)) {
    return fail("the X server has no XTEST extension");
  }
  const auto at =
      onScreen(display, window, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
  if (!at) {
    return fail("cannot place the pointer");
  }
  bool ok = fake(display, kMotion, 0, at->first, at->second);
  // A person's click takes a moment; Qt sees press and release apart.
  std::this_thread::sleep_for(milliseconds(20));
  ok = fake(display, kButtonPress, 1) && ok;
  std::this_thread::sleep_for(milliseconds(50));
  ok = fake(display, kButtonRelease, 1) && ok;
  display.sync();
  return ok ? 0 : fail("the server refused the click");
}

long count(std::span<const std::uint8_t> pixels, unsigned long rgb) {
  long found = 0;
  for (std::size_t at = 0; at + 3 < pixels.size(); at += 4) {
    const unsigned long pixel = (static_cast<unsigned long>(pixels[at + 2]) << 16U) |
                                (static_cast<unsigned long>(pixels[at + 1]) << 8U) | pixels[at];
    found += pixel == rgb ? 1 : 0;
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  const std::span<char*> args(argv, static_cast<std::size_t>(argc));
  if (args.size() < 3) {
    return usage();
  }
  const std::string_view action = args[1];
  const std::string_view operand = args[2];
  Display display;
  if (!display.ok()) {
    return fail("cannot open the display");
  }

  if (action == "key" || action == "key-down" || action == "key-up") {
    return args.size() == 3 ? key(display, action, operand) : usage();
  }
  if (action == "wait") {
    const std::optional<long> timeout = args.size() > 3 ? number(args[3]) : 20000L;
    if (!timeout || args.size() > 4) {
      return usage();
    }
    const auto start = Clock::now();
    while (Clock::now() - start < milliseconds(*timeout)) {
      if (const auto window = display.find(operand);
          window && vorel::xclient::painted(display.image(*window))) {
        return 0;
      }
      std::this_thread::sleep_for(milliseconds(5));
    }
    return fail("no painted window ", operand);
  }

  const std::optional<xcb_window_t> window = display.find(operand);
  if (action == "shown") {
    return args.size() == 3 && window ? 0 : 1;
  }
  if (action == "click") {
    const std::optional<long> x = args.size() == 5 ? number(args[3]) : std::nullopt;
    const std::optional<long> y = args.size() == 5 ? number(args[4]) : std::nullopt;
    if (!x || !y) {
      return usage();
    }
    return window ? click(display, *window, *x, *y) : fail("no window ", operand);
  }
  if (action == "count") {
    const std::optional<long> rgb = args.size() == 4 ? number(args[3], 16) : std::nullopt;
    if (!rgb || *rgb < 0 || *rgb > 0xffffff) {
      return usage();
    }
    if (!window) {
      return fail("no window ", operand);
    }
    std::printf("%ld\n", count(display.image(*window), static_cast<unsigned long>(*rgb)));
    return 0;
  }
  if (action == "close" && args.size() == 3) {
    if (!window) {
      return fail("no window ", operand);
    }
    display.close(*window);
    display.sync();
    return 0;
  }
  return usage();
}
