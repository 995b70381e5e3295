// Office command bars as the add-in uses them: the host's collection of bars, a bar, and a
// picture button with its Click event. Objects are shared: the host keeps them while they
// exist, a caller may hold one past its deletion, and every call on a deleted object throws
// HostError (kErrObjectDeleted).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "addin/host/Enumerations.h"

namespace quillon::host {

// MsoBarPosition: where a bar stands.
enum MsoBarPosition : int {
  msoBarLeft = 0,
  msoBarTop = 1,
  msoBarRight = 2,
  msoBarBottom = 3,
  msoBarFloating = 4,
};

// MsoControlType and MsoButtonStyle (the values the add-in uses).
enum MsoControlType : int { msoControlButton = 1 };
enum MsoButtonStyle : int { msoButtonIcon = 1 };

class CommandBarButton;

// Called when the user clicks a button: the clicked button and the cancel flag.
using ClickHandler = std::function<void(CommandBarButton& ctrl, bool& cancelDefault)>;

class CommandBarButton {
 public:
  virtual ~CommandBarButton() = default;
  virtual int Style() const = 0;
  virtual void SetStyle(int style) = 0;
  virtual std::string TooltipText() const = 0;
  virtual void SetTooltipText(const std::string& text) = 0;
  virtual std::string Tag() const = 0;
  virtual void SetTag(const std::string& tag) = 0;
  virtual std::string OnAction() const = 0;
  virtual void SetOnAction(const std::string& action) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // Takes the face and its mask from the clipboard ("Toolbar Button Face" and "Toolbar Button
  // Mask"). Throws HostError (kErrCommandFailed) when the clipboard holds no face.
  virtual void PasteFace() = 0;
  // Removes the button from its bar.
  virtual void Delete(Optional<bool> temporary = kMissing) = 0;
  // Connects handler to the Click event; it is called until the returned connection is
  // released (or the button deleted). Caller owns the connection.
  virtual std::shared_ptr<void> ConnectClick(ClickHandler handler) = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar() = default;
  virtual std::string Name() const = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // MsoBarPosition.
  virtual int Position() const = 0;
  // Throws HostError (kErrBadParameter) for a value outside 0..4.
  virtual void SetPosition(int position) = 0;
  // Coordinates in the host's units (pixels here).
  virtual long Top() const = 0;
  virtual void SetTop(long top) = 0;
  virtual long Left() const = 0;
  virtual void SetLeft(long left) = 0;
  virtual long RowIndex() const = 0;
  virtual void SetRowIndex(long row) = 0;
  virtual long Width() const = 0;
  // Controls.Add: a new control of type at the end of the bar. Throws HostError
  // (kErrBadParameter) for a type other than msoControlButton. The host owns the button.
  virtual std::shared_ptr<CommandBarButton> AddControl(int type) = 0;
  // Removes the bar with its controls.
  virtual void Delete() = 0;
};

class CommandBars {
 public:
  virtual ~CommandBars() = default;
  // Add(Name, Position, MenuBar, Temporary): a new tool bar. Throws HostError
  // (kErrBadParameter) when a bar of that name exists. The host owns the bar.
  virtual std::shared_ptr<CommandBar> Add(const std::string& name, Optional<int> position,
                                          bool menuBar, bool temporary) = 0;
  // FindControl(Type, Id, Tag, Visible) with only the tag given: the first control on any
  // bar whose tag matches, or nullptr when there is none.
  virtual std::shared_ptr<CommandBarButton> FindControl(const std::string& tag) = 0;
  // Item(name): the bar of that name, or nullptr when there is none.
  virtual std::shared_ptr<CommandBar> Item(const std::string& name) = 0;
};

}  // namespace quillon::host
