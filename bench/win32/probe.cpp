// Measures and drives a Windows program from outside it, as a person at the
// screen would: it watches the screen for a window's first painted frame,
// reads a process's peak memory, and types and clicks through the system's
// input queue. The Windows performance report (bench/win32-report) runs it
// under Wine.
//
//   win32_probe start PROGRAM HOLD_MS
//       starts PROGRAM, waits for its window "Game" to show a painted frame
//       (some pixel not black), holds it HOLD_MS, closes it; prints
//       painted_ms=N peak_kib=N exit_status=N
//   win32_probe wait TITLE MS         until a window TITLE shows (status 1: it did not)
//   win32_probe shown TITLE           status 0 when a window TITLE shows now
// The commands below wait up to a minute for their window, so that they can
// start together with the program.
//   win32_probe click TITLE X Y       a left click at a point of its client area
//   win32_probe key TITLE KEY         a key pressed and let go (space, return, escape)
//   win32_probe close TITLE           asks the window to close
//   win32_probe count TITLE RRGGBB    prints how many pixels of the window have that colour
//   win32_probe hold TITLE KEY RRGGBB MS
//       holds KEY down in the window, repeating it as a keyboard does (after
//       500 ms, 30 a second), until no pixel of colour RRGGBB is left in the
//       window; status 1 when MS pass first, 2 when a box titled "vorel" opens
#include <windows.h>
// After windows.h:
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "screen.h"

namespace {

double seconds() {
  static const double frequency = [] {
    LARGE_INTEGER value{};
    ::QueryPerformanceFrequency(&value);
    return static_cast<double>(value.QuadPart);
  }();
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

// A visible top-level window with that title, of one process or any.
HWND findWindow(const std::wstring& title, DWORD process = 0) {
  return win32_testing::findWindow({.process = process, .caption = title});
}

long count(HWND window, std::uint32_t colour) {
  return win32_testing::Capture(window).count(colour);
}

WORD keyCode(const std::string& name) {
  if (name == "space") {
    return VK_SPACE;
  }
  if (name == "return") {
    return VK_RETURN;
  }
  if (name == "escape") {
    return VK_ESCAPE;
  }
  return 0;
}

void sendKey(WORD key, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = flags;
  ::SendInput(1, &input, sizeof input);
}

// The window to the front, so that the keys go to it.
void focus(HWND window) {
  ::SetForegroundWindow(window);
  ::Sleep(50);
}

int start(const std::wstring& program, DWORD hold) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const double launched = seconds();
  if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process) == FALSE) {
    std::fprintf(stderr, "cannot start the program: error %lu\n", ::GetLastError());
    return 1;
  }
  const platform::win32::KernelHandle processHandle(process.hProcess);
  const platform::win32::KernelHandle threadHandle(process.hThread);
  double painted = -1;
  while (painted < 0 && seconds() - launched < 30) {
    if (HWND window = findWindow(L"Game", process.dwProcessId)) {
      const win32_testing::Capture frame(window);
      if (frame.count(0) < static_cast<long>(frame.width()) * frame.height()) {
        painted = seconds() - launched;
      }
    }
    if (painted < 0) {
      ::Sleep(1);
    }
  }
  if (painted < 0) {
    std::fprintf(stderr, "no painted frame within 30 s\n");
    ::TerminateProcess(process.hProcess, 1);
    return 1;
  }
  ::Sleep(hold);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
  ::PostMessageW(findWindow(L"Game", process.dwProcessId), WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.hProcess, 30'000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "the program did not end when its window closed\n");
    ::TerminateProcess(process.hProcess, 1);
    return 1;
  }
  DWORD status = 0;
  ::GetExitCodeProcess(process.hProcess, &status);
  std::printf("painted_ms=%.1f peak_kib=%lu exit_status=%lu\n", painted * 1000.0,
              static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
              static_cast<unsigned long>(status));
  return 0;
}

int hold(HWND window, WORD key, std::uint32_t colour, DWORD limit) {
  focus(window);
  const double began = seconds();
  sendKey(key, 0);
  ::Sleep(500);
  int status = 1;
  int repeats = 0;
  while ((seconds() - began) * 1000 < limit) {
    if (findWindow(L"vorel") != nullptr) {
      status = 2;
      break;
    }
    // Looked at now and then: a capture costs the machine more than a key.
    if (++repeats % 15 == 0 && count(window, colour) == 0) {
      status = 0;
      break;
    }
    sendKey(key, 0);
    ::Sleep(33);
  }
  sendKey(key, KEYEVENTF_KEYUP);
  return status;
}

std::wstring wide(const char* text) {
  std::wstring result;
  for (const char* c = text; *c != '\0'; ++c) {
    result.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
  }
  return result;
}

int usage() {
  std::fprintf(stderr,
               "usage: win32_probe start PROGRAM HOLD_MS | wait TITLE MS | shown TITLE |\n"
               "       click TITLE X Y | key TITLE KEY | close TITLE | count TITLE RRGGBB |\n"
               "       hold TITLE KEY RRGGBB MS\n");
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    return usage();
  }
  const std::string command = argv[1];
  const std::wstring target = wide(argv[2]);
  const auto number = [&](int index) {
    return index < argc ? std::strtoul(argv[index], nullptr, 0) : 0UL;
  };
  if (command == "start" && argc == 4) {
    return start(target, static_cast<DWORD>(number(3)));
  }
  if (command == "wait" && argc == 4) {
    const double began = seconds();
    while ((seconds() - began) * 1000 < static_cast<double>(number(3))) {
      if (findWindow(target) != nullptr) {
        return 0;
      }
      ::Sleep(20);
    }
    return 1;
  }
  if (command == "shown" && argc == 3) {
    return findWindow(target) != nullptr ? 0 : 1;
  }
  // The other commands wait for their window: they may start with the program.
  HWND window = nullptr;
  for (const double began = seconds(); window == nullptr && seconds() - began < 60;) {
    window = findWindow(target);
    if (window == nullptr) {
      ::Sleep(5);
    }
  }
  if (window == nullptr) {
    std::fprintf(stderr, "no window %s\n", argv[2]);
    return 1;
  }
  if (command == "click" && argc == 5) {
    POINT point{static_cast<LONG>(number(3)), static_cast<LONG>(number(4))};
    ::ClientToScreen(window, &point);
    ::SetCursorPos(point.x, point.y);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return ::SendInput(2, inputs, sizeof(INPUT)) == 2 ? 0 : 1;
  }
  if (command == "key" && argc == 4 && keyCode(argv[3]) != 0) {
    focus(window);
    sendKey(keyCode(argv[3]), 0);
    sendKey(keyCode(argv[3]), KEYEVENTF_KEYUP);
    return 0;
  }
  if (command == "close" && argc == 3) {
    return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (command == "count" && argc == 4) {
    std::printf("%ld\n",
                count(window, static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 16))));
    return 0;
  }
  if (command == "hold" && argc == 6 && keyCode(argv[3]) != 0) {
    return hold(window, keyCode(argv[3]),
                static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 16)),
                static_cast<DWORD>(number(5)));
  }
  return usage();
}
