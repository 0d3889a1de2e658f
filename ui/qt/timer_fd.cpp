#include "ui/qt/timer_fd.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <system_error>

namespace ui::qt {
namespace {

using std::chrono::nanoseconds;
using std::chrono::seconds;

timespec toTimespec(nanoseconds time) {
  const auto whole = std::chrono::floor<seconds>(time);
  return {static_cast<std::time_t>(whole.count()), static_cast<long>((time - whole).count())};
}

}  // namespace

nanoseconds monotonicNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return seconds(now.tv_sec) + nanoseconds(now.tv_nsec);
}

TimerFd::TimerFd() : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
  if (fd_ < 0) {
    throw std::system_error(errno, std::generic_category(), "vorel: no timer for the ticks");
  }
}

TimerFd::~TimerFd() {
  ::close(fd_);
}

void TimerFd::armAt(nanoseconds deadline) const {
  // Time 0 would disarm; no deadline on this clock comes that early anyway.
  const itimerspec expiry{{0, 0}, toTimespec(std::max(deadline, nanoseconds(1)))};
  timerfd_settime(fd_, TFD_TIMER_ABSTIME, &expiry, nullptr);
}

void TimerFd::disarm() const {
  const itimerspec never{};
  timerfd_settime(fd_, 0, &never, nullptr);
}

void TimerFd::acknowledge() const {
  std::uint64_t expirations = 0;
  // Non-blocking: nothing to read (EAGAIN) is fine too. The result is kept in
  // a variable: a cast to void does not quiet glibc's fortified read().
  [[maybe_unused]] const ssize_t bytes = ::read(fd_, &expirations, sizeof expirations);
}

}  // namespace ui::qt
