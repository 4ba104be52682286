// The class factory of the plug-in's one COM class, and the two exports
// through which the host reaches it.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace vorn {

class PluginClassFactory final : public IClassFactory {
  public:
    PluginClassFactory() noexcept;
    ~PluginClassFactory();
    PluginClassFactory(const PluginClassFactory&) = delete;
    PluginClassFactory& operator=(const PluginClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    volatile LONG refCount_ = 1;
};

} // namespace vorn

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow();
