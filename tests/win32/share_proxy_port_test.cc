// The share proxy through the real port: without the product's service no object is made, and
// each operation reaches its position in the method table with its arguments. Shares, the
// workstation user and the database are in the contract suites.
#include <windows.h>
// <objbase.h> after <windows.h>.
#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qdw::platform {
namespace {

// A stand-in for the product's share proxy object, registered in this process under the
// proxy's class, that records each call by its position in the method table.
std::vector<std::string> g_calls;

std::string Narrow(BSTR text) {
  char buffer[256] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof(buffer) - 1, nullptr, nullptr);
  return buffer;
}

template <int kSlot>
HRESULT STDMETHODCALLTYPE TextCall(void*, BSTR text) {
  g_calls.push_back(std::to_string(kSlot) + ":" + Narrow(text));
  return S_OK;
}
template <int kSlot>
HRESULT STDMETHODCALLTYPE NumberCall(void*, LONG number) {
  g_calls.push_back(std::to_string(kSlot) + ":" + std::to_string(number));
  return kSlot == 32 ? S_FALSE : S_OK;
}
template <int kSlot>
HRESULT STDMETHODCALLTYPE TextAndNumberCall(void*, BSTR text, LONG number) {
  g_calls.push_back(std::to_string(kSlot) + ":" + Narrow(text) + "," + std::to_string(number));
  return S_OK;
}
template <int kSlot>
HRESULT STDMETHODCALLTYPE PlainCall(void*) {
  g_calls.push_back(std::to_string(kSlot));
  return kSlot == 45 ? S_OK : S_FALSE;
}
HRESULT STDMETHODCALLTYPE PermissionCall(void*, BSTR account, BYTE allow, BYTE full, BYTE change,
                                         BYTE read) {
  g_calls.push_back("24:" + Narrow(account) + "," + std::to_string(allow) + std::to_string(full) +
                    std::to_string(change) + std::to_string(read));
  return S_OK;
}
HRESULT STDMETHODCALLTYPE UnusedCall(void*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE QueryProxy(void* self, REFIID, void** out) {
  *out = self;
  return S_OK;
}
ULONG STDMETHODCALLTYPE CountReference(void*) { return 1; }

struct FakeProxy {
  FakeProxy() {
    for (void*& slot : table) slot = reinterpret_cast<void*>(&UnusedCall);
    table[0] = reinterpret_cast<void*>(&QueryProxy);
    table[1] = reinterpret_cast<void*>(&CountReference);
    table[2] = reinterpret_cast<void*>(&CountReference);
    table[8] = reinterpret_cast<void*>(&TextCall<8>);
    table[10] = reinterpret_cast<void*>(&TextCall<10>);
    table[12] = reinterpret_cast<void*>(&TextCall<12>);
    table[14] = reinterpret_cast<void*>(&TextCall<14>);
    table[16] = reinterpret_cast<void*>(&NumberCall<16>);
    table[22] = reinterpret_cast<void*>(&NumberCall<22>);
    table[24] = reinterpret_cast<void*>(&PermissionCall);
    table[25] = reinterpret_cast<void*>(&NumberCall<25>);
    table[26] = reinterpret_cast<void*>(&PlainCall<26>);
    table[29] = reinterpret_cast<void*>(&TextAndNumberCall<29>);
    table[31] = reinterpret_cast<void*>(&TextAndNumberCall<31>);
    table[32] = reinterpret_cast<void*>(&NumberCall<32>);
    table[45] = reinterpret_cast<void*>(&PlainCall<45>);
  }
  void** methods = table;  // what a COM pointer points at
  void* table[46];
};

class FakeProxyClass : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override {
    *out = &proxy_.methods;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  FakeProxy proxy_;
};

const CLSID kProxyClass = {
    0x8167A8C8, 0x0258, 0x459B, {0xB2, 0x42, 0xBD, 0xF7, 0xD1, 0x7F, 0xB1, 0xCF}};

TEST(ShareProxyPortTest, WithoutTheServiceTheObjectCannotBeCreated) {
  std::unique_ptr<ShareProxy> proxy;
  EXPECT_TRUE(Failed(DefaultPlatform().share_proxy().Create(&proxy)));
  EXPECT_EQ(proxy, nullptr);
}

TEST(ShareProxyPortTest, EachOperationReachesItsPositionWithItsArguments) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  FakeProxyClass fake;
  DWORD cookie = 0;
  ASSERT_EQ(
      CoRegisterClassObject(kProxyClass, &fake, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
      S_OK);
  g_calls.clear();
  {
    std::unique_ptr<ShareProxy> proxy;
    ASSERT_EQ(DefaultPlatform().share_proxy().Create(&proxy), kSOk);
    EXPECT_EQ(proxy->SetComputer("WORKSTATION"), kSOk);
    EXPECT_EQ(proxy->SetShareName("Docs"), kSOk);
    EXPECT_EQ(proxy->SetPath("C:\\Docs"), kSOk);
    EXPECT_EQ(proxy->SetRemark("!vnqdw!"), kSOk);
    EXPECT_EQ(proxy->SetMaxUsers(-1), kSOk);
    EXPECT_EQ(proxy->SetOption(12), kSOk);
    EXPECT_EQ(proxy->AddPermission("Everyone", true, false, true, false), kSOk);
    EXPECT_EQ(proxy->BeforeFinish(0), kSOk);
    EXPECT_EQ(proxy->Finish(), kSFalse);
    EXPECT_EQ(proxy->CheckShareName(1), kSFalse);
    EXPECT_EQ(proxy->CheckPath(), kSOk);
    EXPECT_EQ(proxy->CreateShare("WORKSTATION/jo", 0), kSOk);
    EXPECT_EQ(proxy->DeleteShare("", 0), kSOk);
  }
  CoRevokeClassObject(cookie);
  CoUninitialize();
  EXPECT_EQ(g_calls,
            (std::vector<std::string>{"8:WORKSTATION", "10:Docs", "12:C:\\Docs", "14:!vnqdw!",
                                      "16:-1", "22:12", "24:Everyone,1010", "25:0", "26", "32:1",
                                      "45", "29:WORKSTATION/jo,0", "31:,0"}));
}

}  // namespace
}  // namespace qdw::platform
