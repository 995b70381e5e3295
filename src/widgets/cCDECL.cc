#include "widgets/cCDECL.h"

#include <dlfcn.h>

#include <cerrno>

#include "widgets/WidgetError.h"

namespace quillon::widgets {

cCDECL::~cCDECL() {
  DllUnload();
}

bool cCDECL::DllLoad(const std::string& name) {
  DllUnload();
  handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  return handle_ != nullptr;
}

void cCDECL::DllUnload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
  lastName_.clear();
  lastAddress_ = nullptr;
}

bool cCDECL::HasFunction(const std::string& name) {
  return handle_ && Lookup(name);
}

void* cCDECL::Lookup(const std::string& name) {
  if (lastAddress_ && name == lastName_) return lastAddress_;
  void* address = dlsym(handle_, name.c_str());
  if (address) {
    lastName_ = name;
    lastAddress_ = address;
  }
  return address;
}

int32_t cCDECL::CallFunc(const std::string& name, std::span<const int32_t> args) {
  if (!handle_) throw WidgetError(kErrDllNotLoaded, kSourceName, "DLL not loaded");
  void* address = Lookup(name);
  if (!address) {
    throw WidgetError(kErrFunctionMissing, kSourceName, "Failed to locate function: " + name);
  }
  if (args.size() > kMaxArguments) {
    throw WidgetError(kErrTooManyParameters, kSourceName, "Too many parameters");
  }
  using F0 = int32_t (*)();
  using F1 = int32_t (*)(int32_t);
  using F2 = int32_t (*)(int32_t, int32_t);
  using F3 = int32_t (*)(int32_t, int32_t, int32_t);
  using F4 = int32_t (*)(int32_t, int32_t, int32_t, int32_t);
  using F5 = int32_t (*)(int32_t, int32_t, int32_t, int32_t, int32_t);
  const int32_t* a = args.data();
  int32_t result = 0;
  errno = 0;
  switch (args.size()) {
    case 0:
      result = reinterpret_cast<F0>(address)();
      break;
    case 1:
      result = reinterpret_cast<F1>(address)(a[0]);
      break;
    case 2:
      result = reinterpret_cast<F2>(address)(a[0], a[1]);
      break;
    case 3:
      result = reinterpret_cast<F3>(address)(a[0], a[1], a[2]);
      break;
    case 4:
      result = reinterpret_cast<F4>(address)(a[0], a[1], a[2], a[3]);
      break;
    default:
      result = reinterpret_cast<F5>(address)(a[0], a[1], a[2], a[3], a[4]);
      break;
  }
  lastError_ = errno;
  return result;
}

void* cCDECL::WrapCallback(void* function, int /*argCount*/) const {
  return function;
}

}  // namespace quillon::widgets
