#include <windows.h>

#include <exception>
#include <optional>

#include "app/program.h"
#include "app/settings.h"
#include "platform/win32/wide.h"
#include "ui/win32/win32_driver.h"

// The program reads no command line.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  std::optional<ui::win32::Win32Driver> driver;
  try {
    driver.emplace();
  } catch (const std::exception& error) {
    // Only what the system refuses at start-up gets here: said in a box, as
    // there is no console to say it on.
    ::MessageBoxW(nullptr, platform::win32::wide(error.what()).c_str(),
                  platform::win32::wide(app::settings::kTitle).c_str(), MB_OK | MB_ICONERROR);
    return 1;
  }
  return app::run(*driver, [&] { return driver->exec(); });
}
