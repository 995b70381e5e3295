// Calls functions of a shared library by name with up to five 32-bit arguments, for libraries
// the add-in finds at run time rather than links. This platform has a single C calling
// convention, so a call is a plain call through the looked-up address.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace quillon::widgets {

class cCDECL {
 public:
  static constexpr const char* kSourceName = "cCDECL";
  static constexpr int kErrDllNotLoaded = static_cast<int>(0x80040000u);
  static constexpr int kErrFunctionMissing = static_cast<int>(0x80040001u);
  static constexpr int kErrTooManyParameters = static_cast<int>(0x80040002u);
  static constexpr size_t kMaxArguments = 5;

  cCDECL() = default;
  // Unloads the library.
  ~cCDECL();
  cCDECL(const cCDECL&) = delete;
  cCDECL& operator=(const cCDECL&) = delete;

  // Loads the shared library name (a path or a name the dynamic loader searches), unloading
  // any earlier one. Returns false when it cannot be loaded.
  bool DllLoad(const std::string& name);
  // Unloads the library, if any.
  void DllUnload();
  bool IsLoaded() const { return handle_ != nullptr; }
  // Returns whether the loaded library exports name (false when none is loaded).
  bool HasFunction(const std::string& name);

  // Calls name with args and returns its 32-bit result. Throws WidgetError 0x80040000 "DLL not
  // loaded" without a library, 0x80040001 "Failed to locate function: <name>" when it is not
  // exported, 0x80040002 "Too many parameters" for more than five arguments.
  // REQUIRES: the function takes exactly args.size() 32-bit integer arguments.
  int32_t CallFunc(const std::string& name, std::span<const int32_t> args);
  int32_t CallFunc(const std::string& name, std::initializer_list<int32_t> args) {
    return CallFunc(name, std::span<const int32_t>(args.begin(), args.size()));
  }
  // The system error code (errno) left by the last call.
  int LastError() const { return lastError_; }
  // Returns an address through which code expecting a callback of argCount 32-bit arguments
  // can call function. With one calling convention that is function itself.
  void* WrapCallback(void* function, int argCount) const;

 private:
  void* Lookup(const std::string& name);

  void* handle_ = nullptr;
  // The last function looked up: repeated calls skip the lookup.
  std::string lastName_;
  void* lastAddress_ = nullptr;
  int lastError_ = 0;
};

}  // namespace quillon::widgets
