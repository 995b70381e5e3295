// Subclassing of Qt widgets: an event filter that hands each event whose type the
// Subclasser's tables hold to the owner, before the widget handles it (the owner may stop
// it there) and after it. Messages are Qt event types; windows are widgets.
#pragma once

#include <QObject>

#include "widgets/Subclasser.h"

class QWidget;

namespace quillon::widgets::qt {

class QtSubclasser : public QObject {
  Q_OBJECT

 public:
  // The message tables; AddMsg and DelMsg go through it with WindowOf(widget).
  Subclasser& tables() { return tables_; }
  static uintptr_t WindowOf(QWidget* widget) { return reinterpret_cast<uintptr_t>(widget); }

  // Starts routing widget's events to owner (errors as Subclasser::Subclass).
  void Subclass(QWidget* widget, ISubclass* owner);
  void UnSubclass(QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Subclasser tables_;
  QObject* delivering_ = nullptr;  // the widget whose own handling runs inside the filter
};

}  // namespace quillon::widgets::qt
