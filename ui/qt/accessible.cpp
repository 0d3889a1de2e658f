#include "ui/qt/accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_map>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/qt/canvas.h"
#include "ui/qt/form_window.h"

namespace ui::qt {
namespace {

// A control the driver paints: a label or a picture, or the pressable bar.
class PaintedControl final : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  PaintedControl(FormWindow& window, const ui::Control& control)
      : window_(&window), control_(&control) {}

  [[nodiscard]] std::optional<ui::AccessibleItem> item() const {
    if (window_ == nullptr || window_->form() == nullptr) {
      return std::nullopt;
    }
    const std::vector<ui::AccessibleItem> items = window_->form()->accessibleItems();
    const auto found = std::find_if(items.begin(), items.end(),
                                    [&](const auto& item) { return item.control == control_; });
    return found == items.end() ? std::nullopt : std::optional(*found);
  }

  bool isValid() const override { return item().has_value(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(window_.data());
  }
  QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
  QString text(QAccessible::Text which) const override {
    const auto current = item();
    return which == QAccessible::Name && current ? toQString(current->name) : QString();
  }
  void setText(QAccessible::Text /*which*/, const QString& /*text*/) override {}
  QRect rect() const override {
    const auto current = item();
    return current ? QRect(window_->mapToGlobal(QPoint(current->place.x, current->place.y)),
                           QSize(current->place.width, current->place.height))
                   : QRect();
  }
  QAccessible::Role role() const override {
    const auto current = item();
    return !current                                       ? QAccessible::NoRole
           : current->role == ui::AccessibleRole::Button  ? QAccessible::Button
           : current->role == ui::AccessibleRole::Picture ? QAccessible::Graphic
                                                          : QAccessible::StaticText;
  }
  QAccessible::State state() const override { return {}; }
  void* interface_cast(QAccessible::InterfaceType type) override {
    const auto current = item();
    return type == QAccessible::ActionInterface && current && current->pressable
               ? static_cast<QAccessibleActionInterface*>(this)
               : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && item()) {
      window_->form()->app().click(*const_cast<ui::Control*>(control_));
    }
  }
  QStringList keyBindingsForAction(const QString& /*name*/) const override { return {}; }

 private:
  QPointer<FormWindow> window_;
  const ui::Control* control_;
};

// The window: its title, how to use it, and its shown controls in design
// order, the buttons as the real buttons they are.
class WindowAccessible final : public QAccessibleWidget {
 public:
  explicit WindowAccessible(FormWindow& window)
      : QAccessibleWidget(&window, QAccessible::Window), window_(&window) {}
  WindowAccessible(const WindowAccessible&) = delete;
  WindowAccessible& operator=(const WindowAccessible&) = delete;
  WindowAccessible(WindowAccessible&&) = delete;
  WindowAccessible& operator=(WindowAccessible&&) = delete;
  ~WindowAccessible() override {
    for (const auto& [control, id] : painted_) {
      QAccessible::deleteAccessibleInterface(id);
    }
  }

  int childCount() const override { return static_cast<int>(items().size()); }
  QAccessibleInterface* child(int index) const override {
    const std::vector<ui::AccessibleItem> all = items();
    if (index < 0 || index >= static_cast<int>(all.size())) {
      return nullptr;
    }
    const ui::Control* control = all[static_cast<std::size_t>(index)].control;
    if (QWidget* button = window_->buttonFor(*control)) {
      return QAccessible::queryAccessibleInterface(button);
    }
    auto [known, added] = painted_.try_emplace(control, 0);
    if (added) {
      // Qt's registry owns it, until this window's interface lets it go.
      // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
      known->second = QAccessible::registerAccessibleInterface(
          std::make_unique<PaintedControl>(*window_, *control).release());
    }
    return QAccessible::accessibleInterface(known->second);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < childCount(); ++i) {
      if (this->child(i) == child) {
        return i;
      }
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = childCount() - 1; i >= 0; --i) {  // the last lies on top
      if (child(i)->rect().contains(x, y)) {
        return child(i);
      }
    }
    return nullptr;
  }
  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Description && window_->form() != nullptr) {
      return toQString(window_->form()->design().help);
    }
    return QAccessibleWidget::text(which);
  }

 private:
  [[nodiscard]] std::vector<ui::AccessibleItem> items() const {
    return window_->form() != nullptr ? window_->form()->accessibleItems()
                                      : std::vector<ui::AccessibleItem>{};
  }

  FormWindow* window_;
  mutable std::unordered_map<const ui::Control*, QAccessible::Id> painted_;
};

}  // namespace

QAccessibleInterface* accessibleFor(const QString& /*className*/, QObject* object) {
  auto* window = dynamic_cast<FormWindow*>(object);
  return window == nullptr ? nullptr : std::make_unique<WindowAccessible>(*window).release();
}

}  // namespace ui::qt
