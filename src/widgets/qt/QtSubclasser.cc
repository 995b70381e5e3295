#include "widgets/qt/QtSubclasser.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace quillon::widgets::qt {

void QtSubclasser::Subclass(QWidget* widget, ISubclass* owner) {
  tables_.Subclass(WindowOf(widget), owner);
  widget->installEventFilter(this);
}

void QtSubclasser::UnSubclass(QWidget* widget) {
  tables_.UnSubclass(WindowOf(widget));
  widget->removeEventFilter(this);
}

bool QtSubclasser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == delivering_ || !watched->isWidgetType()) return false;
  const uintptr_t window = WindowOf(static_cast<QWidget*>(watched));
  ISubclass* owner = tables_.Owner(window);
  const auto message = static_cast<uint32_t>(event->type());
  if (!owner) return false;
  bool handled = false;
  int64_t result = 0;
  if (tables_.Wants(window, message, true)) {
    owner->WndProc(true, handled, result, window, message);
    if (handled) return true;
  }
  if (!tables_.Wants(window, message, false)) return false;
  // The widget's own handling first (this filter steps aside), then the owner.
  QObject* saved = delivering_;
  delivering_ = watched;
  QCoreApplication::sendEvent(watched, event);
  delivering_ = saved;
  owner->WndProc(false, handled, result, window, message);
  return true;
}

}  // namespace quillon::widgets::qt
