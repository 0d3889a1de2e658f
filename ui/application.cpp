#include "ui/application.h"

#include <algorithm>
#include <new>

#include "ui/command_button.h"
#include "ui/text.h"
#include "ui/timer.h"

namespace ui {

Application::Application(Driver& driver, std::string title)
    : driver_(&driver), title_(std::move(title)) {
  driver_->attach(*this);
}

Application::~Application() {
  // Unload what is still loaded so drivers can let go of their windows while
  // the controls they point at still exist.
  for (auto& entry : forms_) {
    if (entry.instance && entry.instance->loaded()) {
      entry.instance->unload();
    }
  }
}

void Application::registerForm(std::string name, FormFactory factory) {
  forms_.push_back(Entry{std::move(name), std::move(factory), nullptr});
}

Form& Application::form(std::string_view name) {
  const auto entry = std::find_if(forms_.begin(), forms_.end(),
                                  [&](const Entry& candidate) { return candidate.name == name; });
  if (entry == forms_.end()) {
    throw Error(ErrorNumber::Internal, "No window named " + std::string(name));
  }
  if (!entry->instance) {
    entry->instance = entry->factory(*this);
  }
  return *entry->instance;
}

Form* Application::loadedForm(std::string_view name) const {
  for (const auto& entry : forms_) {
    if (entry.name == name && entry.instance && entry.instance->loaded()) {
      return entry.instance.get();
    }
  }
  return nullptr;
}

void Application::msgBox(std::string_view prompt) {
  showBox(prompt);
  // The program may have ended while the box was open (an error reported from
  // a nested event): then the handler that opened the box goes no further.
  if (ended()) {
    throwEnd();
  }
}

// The box goes over the window whose event opened it, which has the keyboard
// back once the box is dismissed.
void Application::showBox(std::string_view prompt) {
  flushRepaints();
  finger_.reset();  // a finger held from before acts on no box
  rearm();
  Form* owner = boxOwner();
  ++boxes_;
  driver_->messageBox({prompt, title_, owner, isRightToLeft(prompt)});
  --boxes_;
  if (!ended() && !reporting_ && owner != nullptr && owner->loaded()) {
    driver_->formShown(*owner);
  }
}

void Application::end() {
  finish(0);
  throwEnd();
}

void Application::throwEnd() {
  throw EndRequest{};
}

void Application::finish(int status) {
  if (ended()) {
    return;
  }
  exitStatus_ = status;
  ticks_.clear();
  rearm();  // no wake-up any more
  for (auto& entry : forms_) {
    if (entry.instance && entry.instance->loaded()) {
      entry.instance->unload();  // its window leaves the screen
    }
  }
  driver_->quit(status);
}

void Application::handleEscape(const std::exception_ptr& escaped) {
  int number = static_cast<int>(ErrorNumber::Internal);
  std::string description;
  try {
    std::rethrow_exception(escaped);
  } catch (const EndRequest&) {
    return;
  } catch (const Error& error) {
    number = error.number();
    description = error.description();
  } catch (const std::bad_alloc&) {
    number = static_cast<int>(ErrorNumber::OutOfMemory);
    description = Error::describe(ErrorNumber::OutOfMemory);
  } catch (const std::exception& error) {
    description = error.what();
  } catch (...) {
    description = Error::describe(ErrorNumber::Internal);
  }
  if (ended()) {
    return;
  }
  // The untrapped-error report: one box, then the end with status 1. The
  // program is over already: nothing else is handled while the box is open.
  reporting_ = true;
  ticks_.clear();
  rearm();
  showBox("Error " + decimal(number) + ": " + description);
  finish(1);
}

Form* Application::boxOwner() const {
  return eventForm_ != nullptr && eventForm_->loaded() ? eventForm_ : nullptr;
}

void Application::afterHandler() {
  if (ended()) {
    return;
  }
  flushRepaints();
  // The last window closed and nothing is running: the program is done.
  if (depth_ == 0 && !anyLoaded()) {
    finish(0);
  }
}

bool Application::anyLoaded() const {
  return std::any_of(forms_.begin(), forms_.end(),
                     [](const Entry& entry) { return entry.instance && entry.instance->loaded(); });
}

void Application::flushRepaints() {
  if (!repaintPending_) {
    return;
  }
  repaintPending_ = false;
  for (auto& entry : forms_) {
    Form* form = entry.instance.get();
    if (form != nullptr && form->loaded() && form->dirty()) {
      const PixelRect area = form->takeDirty();
      // The buttons are the window system's own: they move before the paint.
      if (form->takeButtonsChanged()) {
        driver_->buttonsChanged(*form);
      }
      if (!area.empty()) {
        driver_->repaint(*form, area);
      }
    }
  }
}

KeyResult Application::keyDown(Form& form, const KeyStroke& stroke) {
  if (!form.loaded()) {
    return KeyResult::Taken;
  }
  if (stroke.key == Key::Help) {
    dispatchTo(form, [&form] { form.handleHelp(); });
    return KeyResult::Taken;
  }
  if (form.isDialog()) {
    return dialogKey(form, stroke);
  }
  const TypedCode typed = typedCode(stroke);
  if (typed.code) {
    keyPress(form, *typed.code);
  }
  return typed.result;
}

KeyResult Application::dialogKey(Form& form, const KeyStroke& stroke) {
  const Modifiers& held = stroke.modifiers;
  CommandButton* button = nullptr;
  if (held.alt) {
    if (!held.ctrl && stroke.key == Key::Character) {
      button = form.accessKeyButton(stroke.character);
    }
    if (button == nullptr) {
      return KeyResult::System;
    }
  } else {
    switch (stroke.key) {
      case Key::Tab:
        form.moveFocus(!held.shift);
        break;
      case Key::Enter:
        button = form.framedButton();
        break;
      case Key::Escape:
        button = form.cancelButton();
        break;
      case Key::Space:
        button = form.focus();
        break;
      default:
        break;
    }
  }
  if (button != nullptr && button->visible()) {
    click(*button);
  }
  return KeyResult::Taken;
}

void Application::typed(Form& form, std::u16string_view text) {
  if (!form.isDialog()) {
    for (const char16_t unit : text) {
      keyPress(form, unit);
    }
  }
}

void Application::keyPress(Form& form, char16_t code) {
  if (form.loaded()) {
    dispatchTo(form, [&form, code] { form.handleKeyPress(static_cast<std::int16_t>(code)); });
  }
}

void Application::activated(Form& form) {
  if (form.loaded()) {
    driver_->focusChanged(form);
  }
}

void Application::idle() {
  if (depth_ == 0 && windowsToRelease_) {
    windowsToRelease_ = false;
    driver_->releaseWindows();
  }
}

void Application::mouseRelease(Form& form, int x, int y) {
  if (Visual* clicked = form.mouseReleased(x, y)) {
    click(*clicked);
  }
}

void Application::touchDown(Form& form, int x, int y) {
  const AccessibleItem* item = form.accessibleItemAt(x, y);
  if (form.isDialog() || (item != nullptr && item->pressable)) {
    mousePress(form, x, y);
  } else if (form.loaded() && boxes_ == 0 && !ended()) {
    finger_ = HeldFinger{&form, driver_->now() + kRepeatDelay};
    rearm();
    keyDown(form, {Key::Space});
  }
}

void Application::touchUp(Form& form, int x, int y) {
  if (finger_ && finger_->form == &form) {
    finger_.reset();
    rearm();
  }
  mouseRelease(form, x, y);
}

std::optional<Driver::Time> Application::nextWake() const {
  const std::optional<Driver::Time> tick = ticks_.nextDue();
  if (finger_ && (!tick || finger_->repeat < *tick)) {
    return finger_->repeat;
  }
  return tick;
}

void Application::click(Control& control) {
  dispatchTo(control.form(), [&control] { control.form().handleClick(control); });
}

void Application::tick(Timer& timer) {
  dispatchTo(timer.form(), [&timer] { timer.form().handleTick(timer); });
}

void Application::timerChanged(Timer& timer) {
  if (!ended()) {
    ticks_.update(timer, driver_->now());
    rearm();
  }
}

void Application::formUnloading(Form& form) {
  // Timers stop first, so no tick is scheduled for controls about to go.
  ticks_.forget(form);
  if (finger_ && finger_->form == &form) {
    finger_.reset();
  }
  rearm();
  driver_->formUnloading(form);
  windowsToRelease_ = true;
}

void Application::rearm() {
  const std::optional<Driver::Time> due = ended() ? std::nullopt : nextWake();
  if (due != wake_) {
    wake_ = due;
    driver_->wakeAt(due);
  }
}

void Application::deliverDueTicks() {
  const Driver::Time now = driver_->now();
  while (!ended()) {
    Timer* due = ticks_.takeDue(now);
    if (due == nullptr) {
      break;
    }
    tick(*due);
  }
  if (!ended() && finger_ && finger_->repeat <= now) {
    finger_->repeat = now + kRepeatInterval;
    keyDown(*finger_->form, {Key::Space});
  }
  // The driver's wake-up is spent: ask again, whatever was asked before.
  wake_.reset();
  if (!ended()) {
    wake_ = nextWake();
    driver_->wakeAt(wake_);
  }
}

Control* Application::pressable(const Form& form, const Control* control) const {
  const AccessibleItem* item = !ended() && !reporting_ && boxes_ == 0 && form.loaded()
                                   ? form.accessibleItem(control)
                                   : nullptr;
  return item != nullptr && item->pressable ? item->control : nullptr;
}

bool Application::accessiblePress(Form& form, const Control* control) {
  if (pressable(form, control) == nullptr) {
    return false;
  }
  // Not inside the reader's call: a click may open a box, whose loop would
  // hold the reader until the box is dismissed.
  driver_->post([program = std::weak_ptr<Application*>(self_), &form, control] {
    const auto alive = program.lock();
    if (Control* pressed = alive ? (*alive)->pressable(form, control) : nullptr) {
      (*alive)->click(*pressed);
    }
  });
  return true;
}

void Application::closeRequested(Form& form) {
  dispatchTo(form, [&form] { form.unload(); });
}

bool Application::start(std::string_view startupForm) {
  dispatch([this, startupForm] {
    Form& startup = form(startupForm);
    eventForm_ = &startup;
    startup.show();
  });
  eventForm_ = nullptr;
  return !ended();
}

}  // namespace ui
