#pragma once

// A connection to the X display in DISPLAY, seen as a person at the screen
// sees it: top-level windows by their titles, their pixels, their close box.

#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorel::xclient {

template <typename T>
struct FreeDeleter {
  void operator()(T* p) const { std::free(p); }  // NOLINT(cppcoreguidelines-*)
};
// A reply from libxcb, which the caller frees with free().
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

class Display {
 public:
  Display();

  // False when the display could not be opened.
  [[nodiscard]] bool ok() const { return root_ != XCB_WINDOW_NONE; }
  [[nodiscard]] xcb_connection_t* connection() const { return x_.get(); }
  [[nodiscard]] xcb_window_t root() const { return root_; }

  // A mapped window titled `title` anywhere near the top of the tree (under a
  // window manager it sits inside its frame). With `pid`, a window that names
  // another process as its owner does not count.
  [[nodiscard]] std::optional<xcb_window_t> find(std::string_view title,
                                                 std::optional<pid_t> pid = std::nullopt);

  // The window's client area as 32-bit pixels, blue first; empty when the
  // window is gone or not true colour.
  [[nodiscard]] std::vector<std::uint8_t> image(xcb_window_t window);

  // Asks the window to close, as its close box would (WM_DELETE_WINDOW).
  void close(xcb_window_t window);

  // Waits until the server has handled everything sent so far.
  void sync();

  [[nodiscard]] xcb_atom_t atom(std::string_view name);

 private:
  struct ConnectionDeleter {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
  };

  std::string text(xcb_window_t window, xcb_atom_t property);
  std::optional<pid_t> ownerPid(xcb_window_t window);
  bool viewable(xcb_window_t window);
  std::optional<xcb_window_t> search(xcb_window_t parent, std::string_view title,
                                     std::optional<pid_t> pid, int depth);

  std::unique_ptr<xcb_connection_t, ConnectionDeleter> x_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  xcb_atom_t netWmName_ = XCB_ATOM_NONE;
  xcb_atom_t netWmPid_ = XCB_ATOM_NONE;
  xcb_atom_t protocols_ = XCB_ATOM_NONE;
  xcb_atom_t deleteWindow_ = XCB_ATOM_NONE;
};

// True when some pixel of a 32-bit image is not black: the window has been
// painted.
[[nodiscard]] bool painted(std::span<const std::uint8_t> pixels);

}  // namespace vorel::xclient
