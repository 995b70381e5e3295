// Command bars as Qt tool bars of a main window: docked left (0), top (1), right (2) or
// bottom (3), or floating (4) as a tool window of their own; buttons as tool bar actions whose
// clicks go to the add-in handlers connected to them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QToolBar>
#include <functional>
#include <memory>
#include <vector>

#include "addin/host/CommandBars.h"

class QAction;
class QMainWindow;

namespace quillon::wordhost {

class QtCommandBar;

class QtCommandBarButton : public host::CommandBarButton {
 public:
  explicit QtCommandBarButton(QtCommandBar& bar);
  ~QtCommandBarButton() override;
  int Style() const override;
  void SetStyle(int style) override;
  std::string TooltipText() const override;
  void SetTooltipText(const std::string& text) override;
  std::string Tag() const override;
  void SetTag(const std::string& tag) override;
  std::string OnAction() const override;
  void SetOnAction(const std::string& action) override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  void PasteFace() override;
  void Delete(host::Optional<bool> temporary) override;
  std::shared_ptr<void> ConnectClick(host::ClickHandler handler) override;

  // Delivers a click: to the connected handlers when OnAction routes to an add-in ("!<...>").
  // Handler errors reach the caller.
  void Click();
  // The action on the tool bar; null once deleted.
  QAction* action() const { return action_; }
  bool deleted() const { return action_ == nullptr; }

 private:
  QAction* Alive() const;
  QtCommandBar* bar_;
  QPointer<QAction> action_;
  int style_ = 0;
  std::string tag_, onAction_;
  std::vector<std::weak_ptr<host::ClickHandler>> handlers_;
};

class QtCommandBar : public host::CommandBar {
 public:
  QtCommandBar(QMainWindow& window, const std::string& name, bool temporary);
  ~QtCommandBar() override;
  std::string Name() const override { return name_; }
  bool Visible() const override;
  void SetVisible(bool visible) override;
  int Position() const override;
  void SetPosition(int position) override;
  long Top() const override;
  void SetTop(long top) override;
  long Left() const override;
  void SetLeft(long left) override;
  long RowIndex() const override;
  void SetRowIndex(long row) override;
  long Width() const override;
  std::shared_ptr<host::CommandBarButton> AddControl(int type) override;
  void Delete() override;

  QToolBar* toolBar() const { return toolBar_; }
  bool deleted() const { return toolBar_ == nullptr; }
  const std::vector<std::shared_ptr<QtCommandBarButton>>& buttons() const { return buttons_; }
  // Called when a click handler failed: shows the error to the user.
  std::function<void(const std::string&)> reportError;

 private:
  QToolBar* Alive() const;
  void Dock();
  QMainWindow& window_;
  std::string name_;
  QPointer<QToolBar> toolBar_;
  int position_ = host::msoBarFloating;
  long row_ = 0;
  bool visible_ = true;
  std::vector<std::shared_ptr<QtCommandBarButton>> buttons_;
};

class QtCommandBars : public host::CommandBars {
 public:
  explicit QtCommandBars(QMainWindow& window) : window_(window) {}
  std::shared_ptr<host::CommandBar> Add(const std::string& name, host::Optional<int> position,
                                        bool menuBar, bool temporary) override;
  std::shared_ptr<host::CommandBarButton> FindControl(const std::string& tag) override;
  std::shared_ptr<host::CommandBar> Item(const std::string& name) override;
  // The bars that exist, in the order they were added.
  std::vector<std::shared_ptr<QtCommandBar>> Bars() const;
  std::function<void(const std::string&)> reportError;

 private:
  QMainWindow& window_;
  std::vector<std::shared_ptr<QtCommandBar>> bars_;
};

}  // namespace quillon::wordhost
