#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace ui::qt {

// Describes a form window to Qt's accessibility layer (AT-SPI on Linux): the
// window and every shown control as the model describes them, painted ones
// included. Made by Qt only when an assistive technology asks.
QAccessibleInterface* accessibleFor(const QString& className, QObject* object);

}  // namespace ui::qt
