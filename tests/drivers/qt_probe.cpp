// The driver scenarios on the Qt driver, with the user's input given as the
// window system gives it to Qt (so that a modal box blocks it as it would).

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <array>
#include <utility>

#include "about/linux_services.h"
#include "conformance.h"
#include "ui/qt/canvas.h"
#include "ui/qt/qt_driver.h"

namespace conformance {

class QtProbe {
 public:
  QtProbe() {
    app_.registerForm(game::GameWindow::kName,
                      [](ui::Application& a) { return std::make_unique<game::GameWindow>(a); });
    app_.registerForm(about::AboutWindow::kName, [](ui::Application& a) {
      return std::make_unique<about::AboutWindow>(
          a, std::make_unique<about::LinuxServices>(std::vector<std::string>{}));
    });
    QObject::connect(&answerer_, &QTimer::timeout, [this] { answerOpenBox(); });
  }

  ui::Application& app() { return app_; }

  void start() {
    ASSERT_TRUE(app_.start(game::GameWindow::kName));
    ASSERT_TRUE(QTest::qWaitForWindowActive(window(app_.form(game::GameWindow::kName))));
  }
  // Waits as the program's loop does, blocking between events, so that the
  // driver's work before each wait (releasing the windows of unloaded forms)
  // runs as in the program. QTest's waits never block the loop.
  static bool runUntil(const std::function<bool()>& done, int limitMs = 20000) {
    if (done()) {
      return true;
    }
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
      if (done() || clock.hasExpired(limitMs)) {
        loop.quit();
      }
    });
    look.start(10);
    loop.exec();
    return done();
  }
  static void settle() {
    runUntil([] { return false; }, 300);
  }
  int runToEnd() {
    if (app_.ended()) {
      return *app_.exitStatus();
    }
    const QObject watchdog;  // a fault must not hang the suite
    QTimer::singleShot(60000, &watchdog, [] { QCoreApplication::exit(-99); });
    return QApplication::exec();
  }

  void answerBoxes(BoxVisitor visitor) {
    visitor_ = std::move(visitor);
    answerer_.start(10);
  }

  void type(const ui::Form& form, std::u16string_view text) {
    click(form, 0, 0);
    QTest::sendKeyEvent(QTest::Click, window(form), Qt::Key_unknown,
                        QString::fromStdU16String(std::u16string(text)), Qt::NoModifier);
  }
  // Under X the keyboard's own events, through the X server; elsewhere Qt's.
  void press(Chord chord) {
    ASSERT_TRUE(QTest::qWaitFor([] { return QGuiApplication::focusWindow() != nullptr; }));
    QWindow* active = QGuiApplication::focusWindow();
    const auto at = static_cast<std::size_t>(chord.key);
    const bool german = chord.key == Key::GermanZ;
    if (QGuiApplication::platformName() == "xcb") {
      constexpr std::array<const char*, 11> kNames{
          "Tab", "Return", "Escape", "BackSpace", "Delete", "space", "F1", "a", "s", "z", "z"};
      const QString keys = QString(chord.shift ? "shift+" : "") + (chord.ctrl ? "ctrl+" : "") +
                           (chord.alt ? "alt+" : "") + kNames.at(at);
      // The German Z is the key of z on a German layout, at the US layout's Y
      // place. Qt reads a new layout from the X server when it handles the
      // change, not when the change is made: the layout goes back only at the
      // next key, once Qt has handled this one.
      const QString layout = german ? "de" : "us";
      if (std::exchange(layout_, layout) != layout) {
        ASSERT_EQ(QProcess::execute("setxkbmap", {layout}), 0);
      }
      ASSERT_EQ(QProcess::execute("xdotool", {"windowfocus", "--sync",
                                              QString::number(active->winId()), "key", keys}),
                0);
      return;
    }
    const Qt::KeyboardModifiers held = Qt::KeyboardModifiers()
                                           .setFlag(Qt::ShiftModifier, chord.shift)
                                           .setFlag(Qt::ControlModifier, chord.ctrl)
                                           .setFlag(Qt::AltModifier, chord.alt);
    if (german) {
      // Qt's test input names a key and gives it no place: the German Z is
      // made here as Qt makes it on X with a German layout (Qt::Key_Z, the key
      // code of the US layout's Y place, 29, and the keysym z) and handed to
      // the window directly, which holds while no box is open.
      for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_Z, held, 29, 'z', 0, chord.ctrl ? QString(QChar(26)) : "z");
        QCoreApplication::sendEvent(active, &key);
      }
      return;
    }
    constexpr std::array<Qt::Key, 10> kKeys{
        Qt::Key_Tab,   Qt::Key_Return, Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Delete,
        Qt::Key_Space, Qt::Key_F1,     Qt::Key_A,      Qt::Key_S,         Qt::Key_Z};
    QTest::keyClick(active, kKeys.at(at), held);
  }
  // As a window manager does, a click brings a window forward, unless a modal
  // box holds it.
  void click(const ui::Form& form, int x, int y) {
    if (QGuiApplication::modalWindow() == nullptr) {
      window(form)->requestActivate();
    }
    QTest::mouseClick(window(form), Qt::LeftButton, {}, QPoint(x, y));
  }
  void close(const ui::Form& form) { window(form)->close(); }

  Frame frame(const ui::Form& form) {
    const QImage image = QGuiApplication::primaryScreen()
                             ->grabWindow(driver_.window(form)->winId())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    Frame frame{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        frame.pixels.push_back(image.pixel(x, y) & 0xFFFFFF);
      }
    }
    return frame;
  }
  [[nodiscard]] bool resizable(const ui::Form& form) const {
    const QWidget* widget = driver_.window(form);
    return widget->minimumSize() != widget->maximumSize() &&
           !widget->windowFlags().testFlag(Qt::CustomizeWindowHint);
  }
  [[nodiscard]] bool hasIcon(const ui::Form& form) const {
    return !driver_.window(form)->windowIcon().isNull();
  }
  void minimise(const ui::Form& form) { driver_.window(form)->showMinimized(); }
  [[nodiscard]] bool minimised(const ui::Form& form) const {
    return driver_.window(form)->isMinimized();
  }
  // The window as Qt shows it; its buttons in the order they were made.
  [[nodiscard]] Shown shown(const ui::Form& form) const {
    const QWidget* window = driver_.window(form);
    const auto place = [](const QRect& r) {
      return ui::PixelRect{r.x(), r.y(), r.width(), r.height()};
    };
    Shown shown{window->windowTitle().toStdString(), place(window->geometry()), {}, {}, {}};
    for (const QPushButton* button :
         window->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
      const std::string caption = button->text().toStdString();
      shown.buttons.push_back({caption, place(button->geometry()), !button->isHidden()});
      shown.focused = button == QApplication::focusWidget() ? caption : shown.focused;
      shown.framed = button->isDefault() ? caption : shown.framed;
    }
    return shown;
  }
  [[nodiscard]] bool waking() const { return driver_.waking(); }
  // The window's children as its accessibility interface gives them.
  std::vector<std::string> readAloud(const ui::Form& form) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(driver_.window(form));
    std::vector<std::string> read;
    for (int i = 0; i < window->childCount(); ++i) {
      const QAccessibleInterface* child = window->child(i);
      const QAccessible::Role role = child->role();
      read.push_back(std::string(role == QAccessible::Button    ? "button: "
                                 : role == QAccessible::Graphic ? "picture: "
                                                                : "text: ") +
                     child->text(QAccessible::Name).toStdString());
    }
    return read;
  }
  void pressAloud(const ui::Form& form, const std::string& name) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(driver_.window(form));
    for (int i = 0; i < window->childCount(); ++i) {
      if (window->child(i)->text(QAccessible::Name).toStdString() == name) {
        window->child(i)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
      }
    }
  }
  bool active(const ui::Form& form) { return QGuiApplication::focusWindow() == window(form); }
  ui::TextMeasure& measure() { return metrics_; }
  [[nodiscard]] static bool showing(const std::string& title) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [&](const QWidget* window) {
      return window->isVisible() && window->windowTitle().toStdString() == title;
    });
  }

 private:
  QWindow* window(const ui::Form& form) { return driver_.window(form)->windowHandle(); }

  void answerOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || answering_) {
      return;
    }
    answering_ = true;  // the visitor may run the event loop
    const QWidget* owner = box->parentWidget();
    visitor_({box->windowTitle().toStdString(), box->text().toStdString(),
              owner != nullptr ? owner->windowTitle().toStdString() : ""});
    box->button(QMessageBox::Ok)->click();
    answering_ = false;
  }

  ui::qt::QtDriver driver_;
  ui::qt::TextMetrics metrics_;  // as the windows measure their text
  ui::Application app_{driver_, "vorel"};
  QTimer answerer_;
  QString layout_ = "us";  // the X server's keyboard layout
  BoxVisitor visitor_;
  bool answering_ = false;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, Conformance, QtProbe);

}  // namespace conformance

// Pixels are device pixels only at scale 1; no display is assumed.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  qputenv("QT_SCALE_FACTOR", "1");
  ::testing::InitGoogleTest(&argc, argv);
  const QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
