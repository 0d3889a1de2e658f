// The driver scenarios on the Win32 driver, with the user's input given
// through the system's input queue: keys go to the window with the focus,
// clicks to the window under the pointer, and a disabled window takes neither.

#include <windows.h>
// After windows.h:
#include <oleacc.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "app/program.h"
#include "conformance.h"
#include "screen.h"
#include "ui/win32/dc_canvas.h"
#include "ui/win32/gdi_cache.h"
#include "ui/win32/win32_driver.h"

namespace conformance {

using namespace std::chrono_literals;
using win32_testing::findWindow;

class Win32Probe {
 public:
  // The program's own windows and services: the test's Wine prefix records
  // no system-information tool.
  Win32Probe() : timer_(::SetTimer(nullptr, 0, 10, &look)) {
    app::registerForms(app_);
    current = this;
  }
  Win32Probe(const Win32Probe&) = delete;
  Win32Probe& operator=(const Win32Probe&) = delete;
  Win32Probe(Win32Probe&&) = delete;
  Win32Probe& operator=(Win32Probe&&) = delete;
  ~Win32Probe() { ::KillTimer(nullptr, timer_); }

  ui::Application& app() { return app_; }

  void start() {
    ASSERT_TRUE(app_.start(game::GameWindow::kName));
    HWND game = driver_.windowOf(app_.form(game::GameWindow::kName));
    ASSERT_TRUE(runUntil([&] { return ::GetActiveWindow() == game; }));
  }
  // Runs the driver's loop until `done` holds, the program ends or the time is up.
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
    if (done() || app_.ended()) {
      return done();
    }
    Watch watch{&done, std::chrono::steady_clock::now() + limit, openBox(), watching_};
    watching_ = &watch;
    driver_.exec();
    watching_ = watch.outer;
    return done();
  }
  void settle() {
    runUntil([] { return false; }, 300ms);
  }
  int runToEnd() { return app_.ended() ? *app_.exitStatus() : driver_.exec(); }

  void answerBoxes(BoxVisitor visitor) { visitor_ = std::move(visitor); }

  void type(const ui::Form& form, std::u16string_view text) {
    click(form, 0, 0);
    std::vector<INPUT> inputs;
    for (const char16_t unit : text) {
      inputs.push_back(key(0, unit, KEYEVENTF_UNICODE));
      inputs.push_back(key(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    send(inputs);
  }
  static void press(Chord chord) {
    constexpr std::array<WORD, 11> kCodes{
        VK_TAB, VK_RETURN, VK_ESCAPE, VK_BACK, VK_DELETE, VK_SPACE, VK_F1, 'A', 'S', 'Z', 'Z'};
    const WORD code = kCodes.at(static_cast<std::size_t>(chord.key));
    // The German Z is the key at the US layout's Y place (scan code 0x15).
    // Wine 8 loads no other layout (LoadKeyboardLayoutW("00000407") gives
    // back the US one), so the key comes as the German layout makes it: the
    // virtual key Z with that scan code.
    const WORD scan = chord.key == Key::GermanZ ? 0x15 : 0;
    std::vector<INPUT> inputs{key(code, scan, 0), key(code, scan, KEYEVENTF_KEYUP)};
    for (const auto& [held, modifier] :
         {std::pair{chord.shift, VK_SHIFT}, {chord.ctrl, VK_CONTROL}, {chord.alt, VK_MENU}}) {
      if (held) {  // down before the key, up after it
        inputs.insert(inputs.begin(), key(static_cast<WORD>(modifier), 0, 0));
        inputs.push_back(key(static_cast<WORD>(modifier), 0, KEYEVENTF_KEYUP));
      }
    }
    send(inputs);
  }
  void click(const ui::Form& form, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(driver_.windowOf(form), &point);
    ::SetCursorPos(point.x, point.y);
    INPUT down{.type = INPUT_MOUSE};
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    send({down, up});
  }
  void close(const ui::Form& form) { ::PostMessageW(driver_.windowOf(form), WM_CLOSE, 0, 0); }

  Frame frame(const ui::Form& form) { return win32_testing::capture(driver_.windowOf(form)); }
  [[nodiscard]] bool resizable(const ui::Form& form) const {
    constexpr LONG kSizable = WS_THICKFRAME | WS_MAXIMIZEBOX;
    return (::GetWindowLongW(driver_.windowOf(form), GWL_STYLE) & kSizable) == kSizable;
  }
  [[nodiscard]] bool hasIcon(const ui::Form& form) const {
    return ::SendMessageW(driver_.windowOf(form), WM_GETICON, ICON_SMALL, 0) != 0;
  }
  // Nothing: the About window has no minimise box on Windows, and Wine with no
  // window manager takes a minimised window back by itself, some time later.
  void minimise(const ui::Form& /*form*/) {}
  [[nodiscard]] bool minimised(const ui::Form& form) const {
    return ::IsIconic(driver_.windowOf(form)) != FALSE;
  }
  // The window as the system shows it; its buttons in the order they were made.
  [[nodiscard]] Shown shown(const ui::Form& form) const {
    HWND window = driver_.windowOf(form);
    POINT origin{};
    RECT client{};
    ::ClientToScreen(window, &origin);
    ::GetClientRect(window, &client);
    Shown shown{text(window), {origin.x, origin.y, client.right, client.bottom}, {}, {}, {}};
    HWND button = nullptr;
    while ((button = ::FindWindowExW(window, button, L"Button", nullptr))) {
      RECT box{};
      ::GetWindowRect(button, &box);
      ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
      const std::string caption = text(button);
      const auto style = ::GetWindowLongW(button, GWL_STYLE);
      shown.buttons.push_back({caption,
                               {box.left, box.top, box.right - box.left, box.bottom - box.top},
                               (style & WS_VISIBLE) != 0});
      shown.focused = ::GetFocus() == button ? caption : shown.focused;
      shown.framed = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? caption : shown.framed;
    }
    return shown;
  }
  [[nodiscard]] bool waking() const { return driver_.waking(); }
  [[nodiscard]] bool active(const ui::Form& form) const {
    return ::GetActiveWindow() == driver_.windowOf(form);
  }
  ui::TextMeasure& measure() { return measure_; }
  // The window's children as Microsoft Active Accessibility reads them, "role: name".
  std::vector<std::string> readAloud(const ui::Form& form) {
    std::vector<std::string> read;
    forEachChild(form, [&](IAccessible& window, VARIANT child) {
      VARIANT role{};
      BSTR name = nullptr;
      window.get_accRole(child, &role);
      window.get_accName(child, &name);
      read.push_back(std::string(role.lVal == ROLE_SYSTEM_PUSHBUTTON ? "button: "
                                 : role.lVal == ROLE_SYSTEM_GRAPHIC  ? "picture: "
                                                                     : "text: ") +
                     utf8({name, ::SysStringLen(name)}));
      ::SysFreeString(name);
    });
    return read;
  }
  void pressAloud(const ui::Form& form, const std::string& pressed) {
    const std::vector<std::string> read = readAloud(form);
    forEachChild(form, [&](IAccessible& window, VARIANT child) {
      if (read.at(static_cast<std::size_t>(child.lVal - 1)).ends_with(": " + pressed)) {
        window.accDoDefaultAction(child);
      }
    });
  }
  [[nodiscard]] static bool showing(const std::string& title) {
    const std::wstring caption(title.begin(), title.end());  // the titles are ASCII
    return findWindow(nullptr, caption.c_str()) != nullptr;
  }

 private:
  // What a runUntil waits for, innermost first.
  struct Watch {
    const std::function<bool()>* done;
    std::chrono::steady_clock::time_point deadline;
    HWND box;  // the message box that was up when the watch began
    Watch* outer;
    bool over = false;
  };

  static HWND openBox() { return findWindow(L"#32770", nullptr); }
  // A thread timer, whose messages come through a box's own loop as through
  // the program's: it answers a box of this process; it ends the innermost
  // runUntil with a quit message once its watch is over, never while a box
  // opened since is up, whose own loop would take the quit; and it dismisses a
  // box that nobody answers once the time is up, so that the test fails rather
  // than hangs.
  static void CALLBACK look(HWND /*window*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/) {
    Win32Probe& probe = *current;
    HWND box = openBox();
    if (probe.visitor_ && box != nullptr && std::exchange(probe.answered_, box) != box) {
      const BoxVisitor visitor = std::exchange(probe.visitor_, nullptr);  // it may run the loop
      visitor({text(box), text(::GetDlgItem(box, 0xFFFF)), text(::GetWindow(box, GW_OWNER))});
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      probe.visitor_ = visitor;
      return;
    }
    Watch* watch = probe.watching_;
    const bool late = watch != nullptr && std::chrono::steady_clock::now() >= watch->deadline;
    if (watch == nullptr || watch->over || box != watch->box) {
      if (late) {
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
    } else if ((*watch->done)() || late) {
      watch->over = true;
      ::PostQuitMessage(0);
    }
  }
  static INPUT key(WORD code, wchar_t unit, DWORD flags) {
    INPUT input{.type = INPUT_KEYBOARD};
    input.ki.wVk = code;
    input.ki.wScan = unit;
    input.ki.dwFlags = flags;
    return input;
  }
  static void send(std::vector<INPUT> inputs) {
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ASSERT_EQ(sent, inputs.size()) << "SendInput refused, error " << ::GetLastError();
  }
  template <typename Visit>
  void forEachChild(const ui::Form& form, Visit visit) {
    IAccessible* window = nullptr;
    ::AccessibleObjectFromWindow(driver_.windowOf(form), static_cast<DWORD>(OBJID_CLIENT),
                                 IID_IAccessible, reinterpret_cast<void**>(&window));
    ASSERT_NE(window, nullptr);
    long count = 0;
    window->get_accChildCount(&count);
    for (long id = 1; id <= count; ++id) {
      VARIANT child{.vt = VT_I4};
      child.lVal = id;
      visit(*window, child);
    }
    window->Release();
  }
  static std::string text(HWND window) {
    wchar_t wide[256]{};
    return utf8({wide, static_cast<std::size_t>(::GetWindowTextW(window, wide, 256))});
  }
  static std::string utf8(std::wstring_view wide) {
    std::string result(wide.size() * 3, '\0');
    result.resize(static_cast<std::size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), result.data(),
                              static_cast<int>(result.size()), nullptr, nullptr)));
    return result;
  }

  static inline Win32Probe* current = nullptr;
  ui::win32::Win32Driver driver_;
  ui::win32::GdiCache gdi_;  // text measured as the windows draw it
  platform::win32::MemoryDc measureDc_{::CreateCompatibleDC(nullptr)};
  ui::win32::DcCanvas measure_{measureDc_.get(), gdi_};
  ui::Application app_{driver_, "vorel"};
  BoxVisitor visitor_;
  HWND answered_ = nullptr;  // the box answered last, which may still be on its way out
  Watch* watching_ = nullptr;
  UINT_PTR timer_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, Conformance, Win32Probe);

}  // namespace conformance
