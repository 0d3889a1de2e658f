#include <windows.h>

#include "app/program.h"
#include "ui/win32/win32_driver.h"

// The program reads no command line.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  ui::win32::Win32Driver driver;
  return app::run(driver, [&] { return driver.exec(); });
}
