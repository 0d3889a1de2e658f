// Stands in for the system-information tool: it leaves a file named after
// itself with ".ran" appended, so a test sees from outside that it was started.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(::GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  HANDLE marker = ::CreateFileW((path + L".ran").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  return marker != INVALID_HANDLE_VALUE && ::CloseHandle(marker) ? 0 : 1;
}
