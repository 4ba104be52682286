#include "class_factory.h"

#include "core/module.h"
#include "plugin_ui.h"

#include <new>

namespace vorn {

PluginClassFactory::PluginClassFactory() noexcept {
    ObjectCreated();
}
PluginClassFactory::~PluginClassFactory() {
    ObjectDestroyed();
}

HRESULT STDMETHODCALLTYPE PluginClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE PluginClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG STDMETHODCALLTYPE PluginClassFactory::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0) {
        delete this;
    }
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE PluginClassFactory::CreateInstance(IUnknown* outer, REFIID riid,
                                                             void** ppv) {
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    PluginUI* object = new (std::nothrow) PluginUI();
    if (!object) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE PluginClassFactory::LockServer(BOOL lock) {
    LockModule(lock != FALSE);
    return S_OK;
}

} // namespace vorn

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!IsEqualCLSID(rclsid, vorn::CLSID_VornPluginUI)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    auto* factory = new (std::nothrow) vorn::PluginClassFactory();
    if (!factory) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return vorn::ModuleInUse() ? S_FALSE : S_OK;
}
