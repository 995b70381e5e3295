#include "wordhost/app/QtCommandBars.h"

#include <QAction>
#include <QMainWindow>

#include "addin/host/HostError.h"
#include "addin/host/Platform.h"
#include "wordhost/app/QtServices.h"

namespace quillon::wordhost {
namespace {

[[noreturn]] void Deleted() {
  throw host::HostError(host::kErrObjectDeleted, "The object has been deleted");
}

Qt::ToolBarArea AreaOf(int position) {
  switch (position) {
    case host::msoBarLeft:
      return Qt::LeftToolBarArea;
    case host::msoBarRight:
      return Qt::RightToolBarArea;
    case host::msoBarBottom:
      return Qt::BottomToolBarArea;
    default:
      return Qt::TopToolBarArea;
  }
}

}  // namespace

// ---- button ----

QtCommandBarButton::QtCommandBarButton(QtCommandBar& bar) : bar_(&bar) {
  action_ = bar.toolBar()->addAction(QString());
  QObject::connect(action_, &QAction::triggered, action_, [this] {
    try {
      Click();
    } catch (const host::HostError& e) {
      if (bar_->reportError) bar_->reportError(e.Description());
    } catch (const std::exception& e) {
      if (bar_->reportError) bar_->reportError(e.what());
    }
  });
}

QtCommandBarButton::~QtCommandBarButton() = default;

QAction* QtCommandBarButton::Alive() const {
  if (!action_) Deleted();
  return action_;
}

int QtCommandBarButton::Style() const {
  Alive();
  return style_;
}
void QtCommandBarButton::SetStyle(int style) {
  Alive();
  style_ = style;
}
std::string QtCommandBarButton::TooltipText() const {
  return Alive()->toolTip().toStdString();
}
void QtCommandBarButton::SetTooltipText(const std::string& text) {
  Alive()->setToolTip(QString::fromStdString(text));
  if (action_->text().isEmpty() || style_ != host::msoButtonIcon)
    action_->setText(QString::fromStdString(text));
}
std::string QtCommandBarButton::Tag() const {
  Alive();
  return tag_;
}
void QtCommandBarButton::SetTag(const std::string& tag) {
  Alive()->setObjectName(QString::fromStdString(tag));
  tag_ = tag;
}
std::string QtCommandBarButton::OnAction() const {
  Alive();
  return onAction_;
}
void QtCommandBarButton::SetOnAction(const std::string& action) {
  Alive();
  onAction_ = action;
}
bool QtCommandBarButton::Visible() const {
  return Alive()->isVisible();
}
void QtCommandBarButton::SetVisible(bool visible) {
  Alive()->setVisible(visible);
}

void QtCommandBarButton::PasteFace() {
  QAction* action = Alive();
  host::Clipboard* clipboard = host::Platform().clipboard;
  if (clipboard == nullptr || !clipboard->Open()) {
    throw host::HostError(host::kErrCommandFailed, "The clipboard cannot be opened");
  }
  const auto face = clipboard->GetData(clipboard->RegisterFormat("Toolbar Button Face"));
  const auto mask = clipboard->GetData(clipboard->RegisterFormat("Toolbar Button Mask"));
  clipboard->Close();
  const QImage image =
      face ? FaceFromBlocks(*face, mask.value_or(std::vector<uint8_t>{})) : QImage();
  if (image.isNull()) {
    throw host::HostError(host::kErrCommandFailed, "The clipboard holds no button face");
  }
  action->setIcon(QIcon(QPixmap::fromImage(image)));
}

void QtCommandBarButton::Delete(host::Optional<bool>) {
  QAction* action = Alive();
  action->deleteLater();
  if (QToolBar* bar = bar_->toolBar()) bar->removeAction(action);
  action_ = nullptr;
}

std::shared_ptr<void> QtCommandBarButton::ConnectClick(host::ClickHandler handler) {
  Alive();
  auto slot = std::make_shared<host::ClickHandler>(std::move(handler));
  handlers_.push_back(slot);
  return slot;
}

void QtCommandBarButton::Click() {
  Alive();
  if (onAction_.rfind("!<", 0) != 0) return;
  const auto handlers = handlers_;
  for (const auto& weak : handlers) {
    if (auto handler = weak.lock()) {
      bool cancel = false;
      (*handler)(*this, cancel);
    }
  }
}

// ---- bar ----

QtCommandBar::QtCommandBar(QMainWindow& window, const std::string& name, bool /*temporary*/)
    : window_(window), name_(name), toolBar_(new QToolBar(QString::fromStdString(name), &window)) {
  toolBar_->setObjectName(QString::fromStdString(name));
  toolBar_->setIconSize(QSize(16, 16));
  toolBar_->setMovable(true);
  // A new bar floats, as a new bar does in the host.
  toolBar_->setWindowFlags(Qt::Tool);
  toolBar_->move(window.geometry().topLeft() + QPoint(80, 80));
}

QtCommandBar::~QtCommandBar() = default;

QToolBar* QtCommandBar::Alive() const {
  if (!toolBar_) Deleted();
  return toolBar_;
}

bool QtCommandBar::Visible() const {
  Alive();
  return visible_;
}

void QtCommandBar::SetVisible(bool visible) {
  Alive()->setVisible(visible);
  visible_ = visible;
}

int QtCommandBar::Position() const {
  QToolBar* bar = Alive();
  if (position_ == host::msoBarFloating) return position_;
  switch (window_.toolBarArea(bar)) {
    case Qt::LeftToolBarArea:
      return host::msoBarLeft;
    case Qt::RightToolBarArea:
      return host::msoBarRight;
    case Qt::BottomToolBarArea:
      return host::msoBarBottom;
    default:
      return host::msoBarTop;
  }
}

void QtCommandBar::Dock() {
  QToolBar* bar = Alive();
  window_.removeToolBar(bar);
  bar->setWindowFlags(Qt::Widget);
  for (long i = 1; i < row_; ++i) window_.addToolBarBreak(AreaOf(position_));
  window_.addToolBar(AreaOf(position_), bar);
  bar->setOrientation(position_ == host::msoBarLeft || position_ == host::msoBarRight
                          ? Qt::Vertical
                          : Qt::Horizontal);
}

void QtCommandBar::SetPosition(int position) {
  QToolBar* bar = Alive();
  if (position < host::msoBarLeft || position > host::msoBarFloating) {
    throw host::HostError(host::kErrBadParameter,
                          "Invalid bar position " + std::to_string(position));
  }
  if (position == Position() && (position != host::msoBarFloating || bar->isWindow())) return;
  position_ = position;
  if (position == host::msoBarFloating) {
    const QPoint at = bar->mapToGlobal(QPoint(0, 0));
    window_.removeToolBar(bar);
    bar->setParent(&window_, Qt::Tool);
    bar->setOrientation(Qt::Horizontal);
    bar->move(at);
    bar->adjustSize();
  } else {
    Dock();
  }
  bar->setVisible(visible_);
}

long QtCommandBar::Top() const {
  QToolBar* bar = Alive();
  return bar->isWindow() ? bar->pos().y() : bar->geometry().top();
}

void QtCommandBar::SetTop(long top) {
  QToolBar* bar = Alive();
  if (bar->isWindow()) bar->move(bar->pos().x(), static_cast<int>(top));
}

long QtCommandBar::Left() const {
  QToolBar* bar = Alive();
  return bar->isWindow() ? bar->pos().x() : bar->geometry().left();
}

void QtCommandBar::SetLeft(long left) {
  QToolBar* bar = Alive();
  if (bar->isWindow()) bar->move(static_cast<int>(left), bar->pos().y());
}

long QtCommandBar::RowIndex() const {
  Alive();
  return row_;
}

void QtCommandBar::SetRowIndex(long row) {
  Alive();
  const long previous = row_;
  row_ = row;
  if (row != previous && position_ != host::msoBarFloating) Dock();
}

long QtCommandBar::Width() const {
  QToolBar* bar = Alive();
  return bar->isWindow() ? bar->sizeHint().width() : bar->width();
}

std::shared_ptr<host::CommandBarButton> QtCommandBar::AddControl(int type) {
  Alive();
  if (type != host::msoControlButton) {
    throw host::HostError(host::kErrBadParameter, "Only buttons can be added");
  }
  auto button = std::make_shared<QtCommandBarButton>(*this);
  buttons_.push_back(button);
  if (toolBar_->isWindow()) toolBar_->adjustSize();
  return button;
}

void QtCommandBar::Delete() {
  QToolBar* bar = Alive();
  for (const auto& button : buttons_)
    if (!button->deleted()) button->Delete({});
  window_.removeToolBar(bar);
  bar->hide();
  bar->deleteLater();
  toolBar_ = nullptr;
}

// ---- collection ----

std::shared_ptr<host::CommandBar> QtCommandBars::Add(const std::string& name,
                                                     host::Optional<int> position, bool /*menuBar*/,
                                                     bool temporary) {
  if (Item(name)) throw host::HostError(host::kErrBadParameter, "A bar named " + name + " exists");
  auto bar = std::make_shared<QtCommandBar>(window_, name, temporary);
  bar->reportError = [this](const std::string& text) {
    if (reportError) reportError(text);
  };
  bars_.push_back(bar);
  if (position) bar->SetPosition(*position);
  bar->SetVisible(false);
  return bar;
}

std::shared_ptr<host::CommandBarButton> QtCommandBars::FindControl(const std::string& tag) {
  for (const auto& bar : bars_) {
    if (bar->deleted()) continue;
    for (const auto& button : bar->buttons())
      if (!button->deleted() && button->Tag() == tag) return button;
  }
  return nullptr;
}

std::shared_ptr<host::CommandBar> QtCommandBars::Item(const std::string& name) {
  for (const auto& bar : bars_)
    if (!bar->deleted() && bar->Name() == name) return bar;
  return nullptr;
}

std::vector<std::shared_ptr<QtCommandBar>> QtCommandBars::Bars() const {
  std::vector<std::shared_ptr<QtCommandBar>> live;
  for (const auto& bar : bars_)
    if (!bar->deleted()) live.push_back(bar);
  return live;
}

}  // namespace quillon::wordhost
