#include "ui/qt/accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <memory>
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

  // What the model says of the control now; nullptr once it is not shown.
  [[nodiscard]] const ui::AccessibleItem* item() const {
    return window_ == nullptr || window_->form() == nullptr
               ? nullptr
               : window_->form()->accessibleItem(control_);
  }

  bool isValid() const override { return item() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(window_.data());
  }
  QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
  QString text(QAccessible::Text which) const override {
    const ui::AccessibleItem* current = item();
    return which == QAccessible::Name && current ? toQString(current->name) : QString();
  }
  void setText(QAccessible::Text /*which*/, const QString& /*text*/) override {}
  QRect rect() const override {
    const ui::AccessibleItem* current = item();
    return current ? QRect(window_->mapToGlobal(QPoint(current->place.x, current->place.y)),
                           QSize(current->place.width, current->place.height))
                   : QRect();
  }
  QAccessible::Role role() const override {
    const ui::AccessibleItem* current = item();
    return !current                                       ? QAccessible::NoRole
           : current->role == ui::AccessibleRole::Button  ? QAccessible::Button
           : current->role == ui::AccessibleRole::Picture ? QAccessible::Graphic
                                                          : QAccessible::StaticText;
  }
  QAccessible::State state() const override { return {}; }
  void* interface_cast(QAccessible::InterfaceType type) override {
    const ui::AccessibleItem* current = item();
    return type == QAccessible::ActionInterface && current && current->pressable
               ? static_cast<QAccessibleActionInterface*>(this)
               : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && item() != nullptr) {
      window_->form()->app().accessiblePress(*window_->form(), control_);
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
    const std::vector<ui::AccessibleItem>& all = items();
    return index < 0 || index >= static_cast<int>(all.size())
               ? nullptr
               : interfaceOf(all[static_cast<std::size_t>(index)].control);
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
    const ui::Form* form = window_->form();
    const QPoint at = window_->mapFromGlobal(QPoint(x, y));
    const ui::AccessibleItem* item = form ? form->accessibleItemAt(at.x(), at.y()) : nullptr;
    return item != nullptr ? interfaceOf(item->control) : nullptr;
  }
  QString text(QAccessible::Text which) const override {
    const ui::Form* form = window_->form();
    if (form != nullptr && (which == QAccessible::Name || which == QAccessible::Description)) {
      const ui::AccessibleWindow& described = form->face().reader;
      return toQString(which == QAccessible::Name ? described.name : described.description);
    }
    return QAccessibleWidget::text(which);
  }

 private:
  [[nodiscard]] const std::vector<ui::AccessibleItem>& items() const {
    static const std::vector<ui::AccessibleItem> kNone;
    return window_->form() != nullptr ? window_->form()->accessibleItems() : kNone;
  }
  // A real button's own interface, or one made once for a painted control.
  QAccessibleInterface* interfaceOf(const ui::Control* control) const {
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

  FormWindow* window_;
  mutable std::unordered_map<const ui::Control*, QAccessible::Id> painted_;
};

}  // namespace

QAccessibleInterface* accessibleFor(const QString& /*className*/, QObject* object) {
  auto* window = dynamic_cast<FormWindow*>(object);
  return window == nullptr ? nullptr : std::make_unique<WindowAccessible>(*window).release();
}

}  // namespace ui::qt
