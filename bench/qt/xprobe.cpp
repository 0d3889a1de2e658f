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

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

#include "x_display.h"

namespace {

using vorel::xclient::Display;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

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
    if (window && vorel::xclient::painted(display.image(*window))) {
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
