// The product's share proxy service through COM. Its interface is not described by a type
// library we can use, so each operation is called through its position in the object's table
// of methods, with BSTR texts.
#include <windows.h>
// <objbase.h> and <oleauto.h> after <windows.h>.
#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_wide_text.h"

namespace qdw::win32 {
namespace {

using platform::HResult;

const CLSID kProxyClass = {
    0x8167A8C8, 0x0258, 0x459B, {0xB2, 0x42, 0xBD, 0xF7, 0xD1, 0x7F, 0xB1, 0xCF}};
const IID kProxyInterface = {
    0x29EFD2D4, 0x50CF, 0x4DC3, {0xA5, 0x17, 0x7C, 0x33, 0x9C, 0x71, 0xAE, 0x7B}};

// Positions of the operations in the interface's method table.
enum Slot : int {
  kSetComputer = 8,
  kSetShareName = 10,
  kSetPath = 12,
  kSetRemark = 14,
  kSetMaxUsers = 16,
  kSetOption = 22,
  kAddPermission = 24,
  kBeforeFinish = 25,
  kFinish = 26,
  kCreateShare = 29,
  kDeleteShare = 31,
  kCheckShareName = 32,
  kCheckPath = 45,
};

using NoArgument = HRESULT(STDMETHODCALLTYPE*)(void*);
using TextArgument = HRESULT(STDMETHODCALLTYPE*)(void*, BSTR);
using NumberArgument = HRESULT(STDMETHODCALLTYPE*)(void*, LONG);
using TextAndNumber = HRESULT(STDMETHODCALLTYPE*)(void*, BSTR, LONG);
using Permission = HRESULT(STDMETHODCALLTYPE*)(void*, BSTR, BYTE, BYTE, BYTE, BYTE);

// A BSTR for the length of one call.
class ScopedBstr {
 public:
  explicit ScopedBstr(const std::string& text)
      : value_(SysAllocString(WideFromAnsi(text).c_str())) {}
  ~ScopedBstr() { SysFreeString(value_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

class Win32ShareProxy : public platform::ShareProxy {
 public:
  // Takes over the interface pointer and the COM initialisation of this thread.
  Win32ShareProxy(IUnknown* object, bool uninitialize)
      : object_(object), uninitialize_(uninitialize) {}
  ~Win32ShareProxy() override {
    object_->Release();
    if (uninitialize_) CoUninitialize();
  }

  HResult SetComputer(const std::string& computer) override {
    return CallText(kSetComputer, computer);
  }
  HResult SetShareName(const std::string& name) override { return CallText(kSetShareName, name); }
  HResult SetPath(const std::string& path) override { return CallText(kSetPath, path); }
  HResult SetRemark(const std::string& remark) override { return CallText(kSetRemark, remark); }
  HResult SetMaxUsers(int32_t max_users) override { return CallNumber(kSetMaxUsers, max_users); }
  HResult SetOption(int32_t option) override { return CallNumber(kSetOption, option); }
  HResult AddPermission(const std::string& account, bool allow, bool full_control, bool change,
                        bool read) override {
    ScopedBstr text(account);
    if (text.get() == nullptr) return E_OUTOFMEMORY;
    return Method<Permission>(kAddPermission)(object_, text.get(), allow, full_control, change,
                                              read);
  }
  HResult BeforeFinish(int32_t value) override { return CallNumber(kBeforeFinish, value); }
  HResult Finish() override { return Method<NoArgument>(kFinish)(object_); }
  HResult CreateShare(const std::string& creator, int32_t flags) override {
    return CallTextAndNumber(kCreateShare, creator, flags);
  }
  HResult DeleteShare(const std::string& creator, int32_t flags) override {
    return CallTextAndNumber(kDeleteShare, creator, flags);
  }
  HResult CheckShareName(int32_t mode) override { return CallNumber(kCheckShareName, mode); }
  HResult CheckPath() override { return Method<NoArgument>(kCheckPath)(object_); }

 private:
  template <typename Function>
  Function Method(Slot slot) const {
    void** table = *reinterpret_cast<void***>(object_);
    return reinterpret_cast<Function>(table[slot]);
  }
  HResult CallText(Slot slot, const std::string& value) {
    ScopedBstr text(value);
    if (text.get() == nullptr) return E_OUTOFMEMORY;
    return Method<TextArgument>(slot)(object_, text.get());
  }
  HResult CallNumber(Slot slot, int32_t value) {
    return Method<NumberArgument>(slot)(object_, value);
  }
  HResult CallTextAndNumber(Slot slot, const std::string& value, int32_t number) {
    ScopedBstr text(value);
    if (text.get() == nullptr) return E_OUTOFMEMORY;
    return Method<TextAndNumber>(slot)(object_, text.get(), number);
  }

  IUnknown* object_;
  bool uninitialize_;
};

class Win32ShareProxyFactory : public platform::ShareProxyFactory {
 public:
  HResult Create(std::unique_ptr<platform::ShareProxy>* out) override {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // A thread already in another apartment keeps it; only our own initialisation is undone.
    const bool uninitialize = SUCCEEDED(init);
    MULTI_QI query{&kProxyInterface, nullptr, S_OK};
    const DWORD context = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
    HRESULT result = CoCreateInstanceEx(kProxyClass, nullptr, context, nullptr, 1, &query);
    if (SUCCEEDED(result)) result = query.hr;
    if (SUCCEEDED(result) && query.pItf == nullptr) result = E_FAIL;
    if (FAILED(result)) {
      if (query.pItf != nullptr) query.pItf->Release();
      if (uninitialize) CoUninitialize();
      return result;
    }
    *out = std::make_unique<Win32ShareProxy>(query.pItf, uninitialize);
    return S_OK;
  }
};

}  // namespace

std::unique_ptr<platform::ShareProxyFactory> NewWin32ShareProxyFactory() {
  return std::make_unique<Win32ShareProxyFactory>();
}

}  // namespace qdw::win32
