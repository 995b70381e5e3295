#include "ui/QtPlatform.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace quillon::ui {

host::MsgBoxResult QtMessageBox::Show(const host::MessageBoxRequest& request) {
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromStdString(
      request.title.empty() ? std::string(host::kDefaultMessageBoxTitle) : request.title));
  box.setText(QString::fromStdString(request.text));
  box.setTextFormat(Qt::PlainText);
  switch (request.icon) {
    case host::MsgBoxIcon::kCritical:
      box.setIcon(QMessageBox::Critical);
      break;
    case host::MsgBoxIcon::kQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case host::MsgBoxIcon::kExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case host::MsgBoxIcon::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case host::MsgBoxIcon::kNone:
      break;
  }
  if (request.buttons == host::MsgBoxButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? host::MsgBoxResult::kYes : host::MsgBoxResult::kNo;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return host::MsgBoxResult::kOk;
}

std::optional<std::string> QtFileDialog::Choose(const host::FileDialogRequest& request) {
  QStringList filters;
  for (const host::FileFilter& f : request.filters) {
    filters << QString::fromStdString(f.description);
  }
  QString selected = request.selectedFilter >= 0 && request.selectedFilter < filters.size()
                         ? filters[request.selectedFilter]
                         : QString();
  QFileDialog::Options options;
  if (!request.confirmOverwrite) options |= QFileDialog::DontConfirmOverwrite;
  const QString title = QString::fromStdString(request.title);
  const QString dir = QString::fromStdString(request.initialDirectory);
  const QString joined = filters.join(QStringLiteral(";;"));
  QString path =
      request.kind == host::FileDialogRequest::Kind::kSave
          ? QFileDialog::getSaveFileName(parent_, title, dir, joined, &selected, options)
          : QFileDialog::getOpenFileName(parent_, title, dir, joined, &selected, options);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

ScopedQtPlatform::ScopedQtPlatform(QWidget* parent)
    : messageBox_(parent), fileDialog_(parent), saved_(host::Platform()) {
  host::Platform().messageBox = &messageBox_;
  host::Platform().fileDialog = &fileDialog_;
}

ScopedQtPlatform::~ScopedQtPlatform() {
  host::Platform() = saved_;
}

}  // namespace quillon::ui
