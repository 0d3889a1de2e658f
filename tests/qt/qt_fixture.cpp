#include "qt_fixture.h"

#include <QAbstractButton>
#include <QPixmap>
#include <array>
#include <utility>

#include "ui/controls.h"

namespace qt_testing {
namespace {

constexpr std::array<std::uint32_t, 4> kQuadrants{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
constexpr ui::Picture kQuadrantPicture{"quadrants", 2, 2, kQuadrants};

constexpr ui::FormDesign kTestDesign{
    .caption = "Test", .clientWidth = 3000, .clientHeight = 1500, .left = 1500, .top = 1500};
constexpr ui::TimerDesign kTimer{.name = "T", .interval = 1, .enabled = true};
constexpr ui::LabelDesign kLabel{.name = "L",
                                 .box = {.left = 0, .top = 1200, .width = 3000, .height = 300},
                                 .caption = "Bar",
                                 .background = ui::Color::rgb(0, 255, 255)};
constexpr ui::ImageDesign kImage{.name = "I",
                                 .box = {.left = 225, .top = 225, .width = 450, .height = 450},
                                 .picture = &kQuadrantPicture,
                                 .stretch = true};
constexpr ui::LabelDesign kText{
    .name = "X", .box = {.left = 900, .top = 0, .width = 1500, .height = 900}, .caption = ""};
constexpr ui::ImageDesign kHidden{.name = "H",
                                  .box = {.left = 2550, .top = 225, .width = 30, .height = 30},
                                  .visible = false,
                                  .picture = &kQuadrantPicture};

constexpr ui::FormDesign kButtonDesign{.caption = "Buttons",
                                       .clientWidth = 3000,
                                       .clientHeight = 1500,
                                       .border = ui::BorderStyle::FixedDialog,
                                       .left = 1500,
                                       .top = 1500};
constexpr ui::ButtonDesign kStop{.name = "Stop",
                                 .box = {.left = 150, .top = 150, .width = 1200, .height = 450},
                                 .caption = "&Stop",
                                 .tabIndex = 1,
                                 .isCancel = true};
constexpr ui::ButtonDesign kRun{.name = "Run",
                                .box = {.left = 1500, .top = 150, .width = 1200, .height = 450},
                                .caption = "&Run",
                                .tabIndex = 0,
                                .isDefault = true};

}  // namespace

TestForm::TestForm(ui::Application& app) : ui::Form(app, kName, kTestDesign) {}

void TestForm::build() {
  timer = &add<ui::Timer>(kTimer);
  label = &add<ui::Label>(kLabel);
  image = &add<ui::Image>(kImage);
  text = &add<ui::Label>(kText);
  hidden = &add<ui::Image>(kHidden);
}

void TestForm::onTick(ui::Timer& t) {
  if (tick) {
    tick(t);
  }
}

void TestForm::onKeyPress(std::int16_t code) {
  if (key) {
    key(code);
  }
}

void TestForm::onClick(ui::Control& control) {
  if (clicked) {
    clicked(control);
  }
}

ButtonForm::ButtonForm(ui::Application& app) : ui::Form(app, kName, kButtonDesign) {}

void ButtonForm::build() {
  add<ui::CommandButton>(kStop);
  add<ui::CommandButton>(kRun);
}

void ButtonForm::onClick(ui::Control& control) {
  clicks.emplace_back(control.name());
}

QtFixture::QtFixture() {
  app.registerForm(TestForm::kName,
                   [](ui::Application& a) { return std::make_unique<TestForm>(a); });
  app.registerForm(ButtonForm::kName,
                   [](ui::Application& a) { return std::make_unique<ButtonForm>(a); });
  answerer_.setInterval(10);
  QObject::connect(&answerer_, &QTimer::timeout, [this] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || answering_ || !box->text().startsWith(answerPrefix_)) {
      return;
    }
    answering_ = true;
    if (whileOpen_) {
      whileOpen_();
    }
    seenBoxes.push_back(SeenBox{box->windowTitle(), box->text(), box->layoutDirection(),
                                box->icon(), box->buttons().size()});
    box->button(QMessageBox::Ok)->click();
    answering_ = false;
  });
}

QtFixture::~QtFixture() = default;

int QtFixture::runProgram(const std::function<void()>& script) {
  QTimer starter;
  starter.setSingleShot(true);
  QObject::connect(&starter, &QTimer::timeout, script);
  starter.start(0);
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(-99); });
  watchdog.start(60000);
  const int status = QApplication::exec();
  answerer_.stop();
  return status;
}

void QtFixture::answerBoxes(const QString& prefix, std::function<void()> whileOpen) {
  answerPrefix_ = prefix;
  whileOpen_ = std::move(whileOpen);
  answerer_.start();
}

QImage snapshot(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect boundsOf(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& pick) {
  QRect bounds;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (pick(image.pixel(x, y))) {
        bounds |= QRect(x, y, 1, 1);
      }
    }
  }
  return bounds;
}

}  // namespace qt_testing
