#include "about/linux_services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <memory>
#include <utility>

#include "about/platform.h"
#include "ui/error.h"

namespace about {
namespace {

// The one key there is: a handle of 1 while it is open.
constexpr RegistryKey kToolKeyHandle = 1;
constexpr long kInvalidHandle = 6;

// A file descriptor, closed with its owner or by close().
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&&) = delete;
  UniqueFd& operator=(UniqueFd&&) = delete;
  ~UniqueFd() { close(); }
  [[nodiscard]] int get() const { return fd_; }
  void close() {
    if (fd_ >= 0) {
      ::close(std::exchange(fd_, -1));
    }
  }

 private:
  int fd_;
};

bool isHidden(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string_view name = slash == std::string::npos
                                    ? std::string_view(path)
                                    : std::string_view(path).substr(slash + 1);
  return !name.empty() && name.front() == '.';
}

bool isProgram(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// Registry names are compared without regard to case.
bool sameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

[[noreturn]] void cannotStart() {
  throw ui::Error(ui::ErrorNumber::FileNotFound);
}

}  // namespace

LinuxServices::LinuxServices(std::vector<std::string> toolSearchList)
    : toolSearchList_(std::move(toolSearchList)) {}

std::vector<std::string> LinuxServices::defaultTools() {
  return {"/usr/bin/kinfocenter", "/usr/bin/hardinfo2", "/usr/bin/hardinfo"};
}

long LinuxServices::openKey(RegistryKey root, const std::string& subKey, std::uint32_t /*options*/,
                            std::uint32_t /*access*/, RegistryKey& key) {
  // Look for the tool afresh each time: it may have been installed meanwhile.
  const auto installed = std::find_if(toolSearchList_.begin(), toolSearchList_.end(), isProgram);
  if (root != kLocalMachine || !sameName(subKey, kToolKey) || installed == toolSearchList_.end()) {
    return kFileNotFound;
  }
  tool_ = *installed;
  key = kToolKeyHandle;
  return kSuccess;
}

// As the registry answers a string: its bytes with the stored terminator,
// counted; a value larger than the buffer leaves the buffer untouched.
long LinuxServices::queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                               std::span<std::uint8_t> data, std::uint32_t& size) {
  if (key != kToolKeyHandle) {
    return kInvalidHandle;
  }
  if (!sameName(valueName, kToolValue)) {
    return kFileNotFound;
  }
  const auto stored = static_cast<std::uint32_t>(tool_.size() + 1);
  type = kString;
  if (stored > std::min<std::size_t>(size, data.size())) {
    size = stored;
    return kMoreData;
  }
  std::copy(tool_.begin(), tool_.end(), data.begin());
  data[tool_.size()] = 0;
  size = stored;
  return kSuccess;
}

long LinuxServices::closeKey(RegistryKey key) {
  return key == kToolKeyHandle ? kSuccess : kInvalidHandle;
}

bool LinuxServices::fileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && !isHidden(path) && ::stat(path.c_str(), &info) == 0 &&
         S_ISREG(info.st_mode);
}

void LinuxServices::startProcess(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    cannotStart();
  }
  // Everything the children need is made before forking: after fork only
  // async-signal-safe calls are made.
  std::array<char*, 2> argv{const_cast<char*>(path.c_str()), nullptr};
  std::array<int, 2> ends{-1, -1};
  if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
    cannotStart();
  }
  UniqueFd readEnd(ends[0]);
  UniqueFd writeEnd(ends[1]);

  // Fork twice so the program is adopted by init and never left a zombie; the
  // intermediate child is reaped at once. A failed exec reports its errno
  // through the pipe, which a successful exec closes.
  const pid_t child = ::fork();
  if (child < 0) {
    cannotStart();
  }
  if (child == 0) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) {
      ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::execv(argv[0], argv.data());
    const int error = errno;
    [[maybe_unused]] const auto written = ::write(ends[1], &error, sizeof error);
    ::_exit(127);
  }
  writeEnd.close();
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got = 0;
  while ((got = ::read(readEnd.get(), &error, sizeof error)) < 0 && errno == EINTR) {
  }
  if (got != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    cannotStart();
  }
}

std::unique_ptr<SystemServices> makePlatformServices() {
  return std::make_unique<LinuxServices>();
}

}  // namespace about
