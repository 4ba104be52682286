// The DLL as the host loads it: the class factory behind DllGetClassObject,
// DllCanUnloadNow, and the plug-in object's own answers.
#include "support/plugin_fixture.h"

#include "core/module.h"

#include <cstring>
#include <thread>
#include <vector>

namespace {

class PluginUITest : public PluginFixture {
  protected:
    IClassFactory* Factory(REFIID iid = IID_IClassFactory) {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(S_OK, host.GetClassObject()(vorn::CLSID_VornPluginUI, iid,
                                              reinterpret_cast<void**>(&factory)));
        return factory;
    }
};

TEST_F(PluginUITest, FactoryAndObjectServeOnlyTheirClassAndInterfaces) {
    const CLSID other = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, host.GetClassObject()(other, IID_IClassFactory, &out));
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), out);
    EXPECT_EQ(E_NOINTERFACE, host.GetClassObject()(vorn::CLSID_VornPluginUI, IID_IDispatch, &out));
    EXPECT_EQ(nullptr, out);

    for (const IID& iid : {IID_IUnknown, IID_IClassFactory}) {
        IClassFactory* factory = Factory(iid);
        ASSERT_NE(nullptr, factory);
        EXPECT_EQ(2u, factory->AddRef());
        EXPECT_EQ(1u, factory->Release());
        EXPECT_EQ(0u, factory->Release());
    }
    IClassFactory* factory = Factory();
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IUnknown, &out));
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    IPrintOemUI* second = nullptr;
    ASSERT_EQ(S_OK,
              factory->CreateInstance(nullptr, IID_IPrintOemUI, reinterpret_cast<void**>(&second)));
    EXPECT_NE(host.Plugin(), second);
    EXPECT_EQ(0u, second->Release());
    factory->Release();
    // Refused requests left no object behind: only the host's own is alive.
    host.Plugin()->AddRef();
    EXPECT_EQ(1u, host.Plugin()->Release());

    // The plug-in object answers its own interfaces only.
    ASSERT_EQ(S_OK, plugin->QueryInterface(IID_IUnknown, &out));
    EXPECT_EQ(static_cast<IUnknown*>(plugin), out);
    plugin->Release();
    ASSERT_EQ(S_OK, plugin->QueryInterface(IID_IPrintOemUI, &out));
    plugin->Release();
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, plugin->QueryInterface(IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
}

// Counts taken and given back by many threads at once stay balanced; then
// the module may unload only once no object or lock is held.
TEST_F(PluginUITest, CanUnloadOnlyWhenNoObjectOrLockIsHeld) {
    auto canUnload = host.CanUnloadNow();
    auto getClass = host.GetClassObject(); // still callable once the host unloaded
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                plugin->AddRef();
                IClassFactory* f = nullptr;
                if (getClass(vorn::CLSID_VornPluginUI, IID_IClassFactory,
                             reinterpret_cast<void**>(&f)) == S_OK) {
                    f->LockServer(TRUE);
                    f->LockServer(FALSE);
                    f->Release();
                }
                plugin->Release();
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(S_FALSE, canUnload()); // the host's plug-in object is alive
    IClassFactory* factory = Factory();
    // Keep the module mapped while the host lets go of its object.
    HMODULE pin = LoadLibraryW(standin::PluginDllPath().c_str());
    host.Unload();
    EXPECT_EQ(S_FALSE, canUnload()); // the factory is still held
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(0u, factory->Release());
    EXPECT_EQ(S_FALSE, canUnload()); // the lock holds it
    IClassFactory* again = nullptr;
    ASSERT_EQ(S_OK, getClass(vorn::CLSID_VornPluginUI, IID_IClassFactory,
                             reinterpret_cast<void**>(&again)));
    EXPECT_EQ(S_OK, again->LockServer(FALSE));
    EXPECT_EQ(S_FALSE, canUnload());
    again->Release();
    EXPECT_EQ(S_OK, canUnload());
    FreeLibrary(pin);
}

// Every row's mode is also refused when there is nowhere to state the size
// needed.
TEST_F(PluginUITest, GetInfo) {
    constexpr DWORD kKept = 0xAAAA, kUnset = 99, kOk = 0;
    struct Row {
        DWORD mode;
        bool buffer;
        DWORD size;
        HRESULT hr;
        DWORD value, neededAfter, lastError;
    };
    const Row rows[] = {
        {OEMGI_GETSIGNATURE, true, 4, S_OK, 0x4D534654, 4, kOk},
        {OEMGI_GETVERSION, true, 8, S_OK, 1, 4, kOk},
        {OEMGI_GETSIGNATURE, true, 3, E_FAIL, kKept, 4, ERROR_INSUFFICIENT_BUFFER},
        {OEMGI_GETVERSION, false, 4, E_FAIL, kKept, 4, ERROR_INSUFFICIENT_BUFFER},
        {OEMGI_GETPUBLISHERINFO, true, 4, E_FAIL, kKept, 0, ERROR_NOT_SUPPORTED},
        {0, true, 64, E_FAIL, kKept, kUnset, ERROR_INVALID_PARAMETER},
        {OEMGI_GETINTERFACEVERSION, true, 64, E_FAIL, kKept, kUnset, ERROR_INVALID_PARAMETER},
        {5, true, 64, E_FAIL, kKept, kUnset, ERROR_INVALID_PARAMETER},
    };
    for (const Row& row : rows) {
        DWORD value[16] = {kKept}, needed = kUnset;
        SetLastError(kOk);
        EXPECT_EQ(row.hr,
                  plugin->GetInfo(row.mode, row.buffer ? value : nullptr, row.size, &needed))
            << row.mode;
        EXPECT_EQ(row.value, value[0]) << row.mode;
        EXPECT_EQ(row.neededAfter, needed) << row.mode;
        EXPECT_EQ(row.lastError, GetLastError()) << row.mode;
        value[0] = kKept;
        SetLastError(kOk);
        EXPECT_EQ(E_FAIL, plugin->GetInfo(row.mode, value, 4, nullptr)) << row.mode;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError()) << row.mode;
        EXPECT_EQ(kKept, value[0]) << row.mode;
    }
}

TEST_F(PluginUITest, NotImplementedSlotsLeaveLastErrorAlone) {
    SetLastError(1234);
    EXPECT_EQ(E_NOTIMPL, plugin->DevicePropertySheets(nullptr, 0));
    EXPECT_EQ(E_NOTIMPL, plugin->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(E_NOTIMPL, plugin->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                                    nullptr, 0, nullptr));
    EXPECT_EQ(E_NOTIMPL, plugin->UpgradePrinter(0, nullptr));
    EXPECT_EQ(E_NOTIMPL, plugin->DriverEvent(0, 0, nullptr, 0));
    EXPECT_EQ(E_NOTIMPL, plugin->FontInstallerDlgProc(nullptr, 0, 0, 0));
    EXPECT_EQ(E_NOTIMPL, plugin->UpdateExternalFonts(nullptr, nullptr, nullptr));
    EXPECT_EQ(1234u, GetLastError());
}

TEST_F(PluginUITest, HoldsTheFirstDriverInterfaceUntilReleased) {
    // The fixture published the host's interface: our reference and the plug-in's.
    EXPECT_EQ(2, host.Driver().RefCount());
    standin::DriverUI other;
    EXPECT_EQ(S_OK, plugin->PublishDriverInterface(static_cast<IPrintOemDriverUI*>(&other)));
    EXPECT_EQ(1, other.RefCount()); // not even queried
    EXPECT_EQ(2, host.Driver().RefCount());
    host.Unload();
    EXPECT_EQ(1, host.Driver().RefCount());
}

TEST_F(PluginUITest, QueryColorProfileBuffers) {
    BYTE buffer[64];
    std::memset(buffer, 0xEE, sizeof(buffer));
    ULONG size = 0;
    FLONG flags = 0;
    auto query = [&](ULONG kind, BYTE* out, ULONG given, DWORD lastError) {
        size = given;
        SetLastError(lastError);
        return plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, kind, out, &size,
                                         &flags);
    };
    ASSERT_EQ(S_OK, query(QCP_DEVICEPROFILE, buffer, 32, 0));
    EXPECT_STREQ(L"OEMPROFILE.icm", reinterpret_cast<wchar_t*>(buffer));
    EXPECT_EQ(32u, size);
    EXPECT_EQ(QCP_PROFILEDISK, flags);
    EXPECT_EQ(0xEE, buffer[32]); // nothing beyond the stated size

    for (BYTE* out : {buffer, static_cast<BYTE*>(nullptr)}) {
        EXPECT_EQ(E_FAIL, query(QCP_DEVICEPROFILE, out, out ? 31 : 100, 0));
        EXPECT_EQ(32u, size);
        EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    }
    EXPECT_EQ(E_FAIL, query(QCP_SOURCEPROFILE, buffer, 64, 77));
    EXPECT_EQ(64u, size);
    EXPECT_EQ(77u, GetLastError());
}

} // namespace
