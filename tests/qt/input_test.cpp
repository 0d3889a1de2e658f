#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "qt_fixture.h"
#include "ui/controls.h"

namespace {

using qt_testing::QtFixture;

using Input = QtFixture;

// A key press as the window system delivers it, text and all.
void press(QWidget* target, Qt::Key key, const QString& text,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers, text, autoRepeat);
  QApplication::sendEvent(target, &event);
}

// A key typed on the keyboard: it goes to the focused widget.
void keyboard(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}

TEST_F(Input, ClicksReachTheVisibleControlUnderThePointerOnly) {
  ASSERT_TRUE(app.start(qt_testing::TestForm::kName));
  qt_testing::TestForm& form = testForm();
  std::vector<const ui::Control*> clicked;
  form.clicked = [&](ui::Control& control) { clicked.push_back(&control); };
  QWidget* win = window(form);
  ASSERT_NE(win, nullptr);

  QTest::mouseClick(win, Qt::LeftButton, {}, {100, 90});  // the bar
  QTest::mouseClick(win, Qt::LeftButton, {}, {20, 20});   // the picture
  QTest::mouseClick(win, Qt::LeftButton, {}, {50, 50});   // the ground
  QTest::mouseClick(win, Qt::LeftButton, {}, {171, 16});  // the hidden image
  QTest::mouseClick(win, Qt::RightButton, {}, {100, 90});
  // Pressed on one control, released on another: no click.
  QTest::mousePress(win, Qt::LeftButton, {}, {100, 90});
  QTest::mouseRelease(win, Qt::LeftButton, {}, {20, 20});
  EXPECT_EQ(clicked, (std::vector<const ui::Control*>{form.label, form.image}));

  // A control that has moved away takes clicks where it now is.
  app.dispatch([&] { form.hidden->setVisible(true); });
  QTest::mouseClick(win, Qt::LeftButton, {}, {171, 16});
  ASSERT_EQ(clicked.size(), 3U);
  EXPECT_EQ(clicked.back(), form.hidden);
}

TEST_F(Input, TypedCharactersArriveAsSignedSixteenBitCodes) {
  ASSERT_TRUE(app.start(qt_testing::TestForm::kName));
  std::vector<int> codes;
  testForm().key = [&](std::int16_t code) { codes.push_back(code); };
  QWidget* win = window(testForm());
  ASSERT_NE(win, nullptr);

  QTest::keyClick(win, Qt::Key_Space);
  QTest::keyClick(win, 'A');
  QTest::keyClick(win, Qt::Key_F1);     // no character
  QTest::keyClick(win, Qt::Key_Shift);  // no character
  press(win, Qt::Key_unknown, QString(QChar(0x9000)));
  press(win, Qt::Key_unknown, QStringLiteral("\u00e9x"));  // first code unit only
  press(win, Qt::Key_A, QStringLiteral("a"), Qt::AltModifier);
  press(win, Qt::Key_Space, QStringLiteral(" "), Qt::NoModifier, true);  // auto-repeat
  press(win, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(codes, (std::vector<int>{32, 65, 0x9000 - 0x10000, 0xE9, 32, 13}));
}

TEST_F(Input, CommandButtonsAnswerEnterEscapeTabSpaceAndAccessKeys) {
  ASSERT_TRUE(app.start(qt_testing::ButtonForm::kName));
  QWidget* win = window(buttonForm());
  ASSERT_NE(win, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(win));

  const auto focused = [] {
    const auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
    return button == nullptr ? QString() : button->text();
  };
  // The lowest tab index has the focus, not the first in design order.
  EXPECT_EQ(focused(), "&Run");

  keyboard(Qt::Key_Return);
  keyboard(Qt::Key_Escape);
  keyboard(Qt::Key_Tab);
  EXPECT_EQ(focused(), "&Stop");
  keyboard(Qt::Key_Enter);  // the focused button, not the default
  keyboard(Qt::Key_Space);
  keyboard(Qt::Key_Tab);
  EXPECT_EQ(focused(), "&Run");
  EXPECT_EQ(buttonForm().clicks, (std::vector<std::string>{"Run", "Stop", "Stop", "Stop"}));

  // Alt and the access key: the click comes a moment later.
  keyboard(Qt::Key_S, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return buttonForm().clicks.size() == 5; }));
  EXPECT_EQ(buttonForm().clicks.back(), "Stop");
}

}  // namespace
