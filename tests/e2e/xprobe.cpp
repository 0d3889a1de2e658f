// Starts a program under the X display in DISPLAY, waits until its top-level
// window with a given title is mapped and shows a painted frame (a pixel that
// is not black), then closes that window as a user would (WM_DELETE_WINDOW)
// and waits for the program to exit.
//
// Usage: vorel_xprobe [--hold MS] [--timeout MS] TITLE PROGRAM [ARGS...]
// Prints: painted_ms=<start to first painted frame> exit_status=<n> peak_rss_kib=<n>
// Exits 0 when the program painted its window and then exited with status 0
// within the timeout after the close; 1 otherwise (the program is killed).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
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

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

template <typename T>
struct FreeDeleter {
  void operator()(T* p) const { std::free(p); }  // NOLINT(cppcoreguidelines-*)
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

struct ConnectionDeleter {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

xcb_atom_t atom(xcb_connection_t* x, std::string_view name) {
  const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

class Display {
 public:
  Display() : x_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(x_.get()) != 0) {
      return;
    }
    root_ = xcb_setup_roots_iterator(xcb_get_setup(x_.get())).data->root;
    netWmName_ = atom(x_.get(), "_NET_WM_NAME");
    netWmPid_ = atom(x_.get(), "_NET_WM_PID");
    protocols_ = atom(x_.get(), "WM_PROTOCOLS");
    deleteWindow_ = atom(x_.get(), "WM_DELETE_WINDOW");
  }
  [[nodiscard]] bool ok() const { return root_ != XCB_WINDOW_NONE; }

  // A mapped window of process `pid` (or of any process that does not say)
  // titled `title`, anywhere in the tree.
  [[nodiscard]] std::optional<xcb_window_t> find(std::string_view title, pid_t pid) {
    return search(root_, title, pid, 0);
  }

  [[nodiscard]] bool painted(xcb_window_t window) {
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(x_.get(), xcb_get_geometry(x_.get(), window), nullptr));
    if (!geometry) {
      return false;
    }
    const Reply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(x_.get(),
                            xcb_get_image(x_.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          geometry->width, geometry->height, ~0U),
                            nullptr));
    if (!image || image->depth < 24) {
      return false;
    }
    const std::span<const std::uint8_t> bytes(
        xcb_get_image_data(image.get()),
        static_cast<std::size_t>(xcb_get_image_data_length(image.get())));
    for (std::size_t at = 0; at + 3 < bytes.size(); at += 4) {
      if (bytes[at] != 0 || bytes[at + 1] != 0 || bytes[at + 2] != 0) {
        return true;
      }
    }
    return false;
  }

  void close(xcb_window_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = protocols_;
    event.data.data32[0] = deleteWindow_;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x_.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(x_.get());
  }

 private:
  std::string text(xcb_window_t window, xcb_atom_t property) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        x_.get(),
        xcb_get_property(x_.get(), 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
        nullptr));
    if (!reply) {
      return {};
    }
    const auto* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return {data, static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
  }

  std::optional<pid_t> ownerPid(xcb_window_t window) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        x_.get(), xcb_get_property(x_.get(), 0, window, netWmPid_, XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) != 4) {
      return std::nullopt;
    }
    std::uint32_t pid = 0;
    std::memcpy(&pid, xcb_get_property_value(reply.get()), sizeof pid);
    return static_cast<pid_t>(pid);
  }

  bool viewable(xcb_window_t window) {
    const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        x_.get(), xcb_get_window_attributes(x_.get(), window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  }

  std::optional<xcb_window_t> search(xcb_window_t parent, std::string_view title, pid_t pid,
                                     int depth) {
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(x_.get(), xcb_query_tree(x_.get(), parent), nullptr));
    if (!tree) {
      return std::nullopt;
    }
    const std::span<const xcb_window_t> children(
        xcb_query_tree_children(tree.get()),
        static_cast<std::size_t>(xcb_query_tree_children_length(tree.get())));
    for (const xcb_window_t child : children) {
      const bool named = text(child, netWmName_) == title || text(child, XCB_ATOM_WM_NAME) == title;
      const std::optional<pid_t> owner = ownerPid(child);
      if (named && (!owner || *owner == pid) && viewable(child)) {
        return child;
      }
      // Under a window manager the window sits inside its frame.
      if (depth < 2) {
        if (const auto found = search(child, title, pid, depth + 1)) {
          return found;
        }
      }
    }
    return std::nullopt;
  }

  std::unique_ptr<xcb_connection_t, ConnectionDeleter> x_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  xcb_atom_t netWmName_ = XCB_ATOM_NONE;
  xcb_atom_t netWmPid_ = XCB_ATOM_NONE;
  xcb_atom_t protocols_ = XCB_ATOM_NONE;
  xcb_atom_t deleteWindow_ = XCB_ATOM_NONE;
};

// The started program; killed if it is still running when this goes.
class Child {
 public:
  explicit Child(std::vector<char*> argv) {
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      execv(argv[0], argv.data());
      std::perror(argv[0]);
      _exit(127);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  Child(Child&&) = delete;
  Child& operator=(Child&&) = delete;
  ~Child() {
    if (running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  [[nodiscard]] pid_t pid() const { return pid_; }
  [[nodiscard]] bool running() const { return pid_ > 0 && !status_; }

  // Reaps the program if it has ended; true then.
  bool reap() {
    if (!running()) {
      return true;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid_, &status, WNOHANG, &usage) != pid_) {
      return false;
    }
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    peakKib_ = usage.ru_maxrss;
    return true;
  }
  [[nodiscard]] std::optional<int> status() const { return status_; }
  [[nodiscard]] long peakKib() const { return peakKib_; }

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
  long peakKib_ = 0;
};

int usage() {
  std::fputs("usage: vorel_xprobe [--hold MS] [--timeout MS] TITLE PROGRAM [ARGS...]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::span<char*> args(argv, static_cast<std::size_t>(argc));
  milliseconds hold{0};
  milliseconds timeout{20000};
  std::size_t at = 1;
  for (; at + 1 < args.size() && std::string_view(args[at]).starts_with("--"); at += 2) {
    const std::string_view option = args[at];
    const milliseconds value{std::strtol(args[at + 1], nullptr, 10)};
    if (option == "--hold") {
      hold = value;
    } else if (option == "--timeout") {
      timeout = value;
    } else {
      return usage();
    }
  }
  if (args.size() < at + 2) {
    return usage();
  }
  const std::string_view title = args[at];

  Display display;
  if (!display.ok()) {
    std::fputs("vorel_xprobe: cannot open the display\n", stderr);
    return 1;
  }
  const auto start = Clock::now();
  Child child(std::vector<char*>(args.begin() + static_cast<std::ptrdiff_t>(at) + 1, args.end()));
  if (child.pid() < 0) {
    std::perror("fork");
    return 1;
  }

  std::optional<xcb_window_t> window;
  std::optional<double> paintedMs;
  while (!paintedMs && !child.reap() && Clock::now() - start < timeout) {
    if (!window) {
      window = display.find(title, child.pid());
    }
    if (window && display.painted(*window)) {
      paintedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    std::this_thread::sleep_for(milliseconds(1));
  }
  if (!paintedMs) {
    std::fprintf(stderr, "vorel_xprobe: no painted window \"%.*s\"\n",
                 static_cast<int>(title.size()), title.data());
    return 1;
  }

  std::this_thread::sleep_for(hold);
  display.close(*window);
  const auto closed = Clock::now();
  while (!child.reap() && Clock::now() - closed < timeout) {
    std::this_thread::sleep_for(milliseconds(1));
  }
  if (!child.status()) {
    std::fputs("vorel_xprobe: the program did not exit after its window was closed\n", stderr);
    return 1;
  }
  std::printf("painted_ms=%.1f exit_status=%d peak_rss_kib=%ld\n", *paintedMs, *child.status(),
              child.peakKib());
  return *child.status() == 0 ? 0 : 1;
}
