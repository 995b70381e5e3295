#include "library/BrowseFunction.h"

#include <cstdlib>

#include "addin/host/Platform.h"
#include "base/Text.h"

namespace quillon::library {
namespace {

std::string Choose(host::FileDialogRequest::Kind kind) {
  host::FileDialogService* dialog = host::Platform().fileDialog;
  if (dialog == nullptr) return {};
  std::optional<std::string> chosen = dialog->Choose(LibraryDialogRequest(kind));
  return chosen ? TrimSpaces(*chosen) : std::string();
}

}  // namespace

host::FileDialogRequest LibraryDialogRequest(host::FileDialogRequest::Kind kind) {
  host::FileDialogRequest request;
  request.kind = kind;
  request.title = kind == host::FileDialogRequest::Kind::kSave
                      ? "Save File - Abbreviation database"
                      : "Open File - Abbreviation database";
  request.filters = {{"Abbreviation DB Files (*.abb)", "*.abb"}, {"All Files (*.*)", "*.*"}};
  request.selectedFilter = 0;
  const char* home = std::getenv("HOME");
  request.initialDirectory = home && *home ? home : "/";
  return request;
}

std::string ChooseLibraryToSave() {
  std::string path = Choose(host::FileDialogRequest::Kind::kSave);
  if (path.empty()) return path;
  if (path.find(".abb") == std::string::npos) path += ".abb";
  return path;
}

std::string ChooseLibraryToOpen() {
  return Choose(host::FileDialogRequest::Kind::kOpen);
}

}  // namespace quillon::library
