#include "support/plugin_fixture.h"

#include "core/module.h"

#include <thread>
#include <vector>

namespace {

const CLSID kOtherClsid = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};

class ClassFactoryTest : public PluginFixture {};

TEST_F(ClassFactoryTest, RefusesOtherClassesWithoutTouchingOutput) {
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              host.GetClassObject()(kOtherClsid, IID_IClassFactory, &out));
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), out);
}

TEST_F(ClassFactoryTest, HandsOutFactoryWithOneReference) {
    for (const IID& iid : {IID_IUnknown, IID_IClassFactory}) {
        IClassFactory* factory = nullptr;
        ASSERT_EQ(S_OK, host.GetClassObject()(vorn::CLSID_VornPluginUI, iid,
                                              reinterpret_cast<void**>(&factory)));
        ASSERT_NE(nullptr, factory);
        EXPECT_EQ(2u, factory->AddRef());
        EXPECT_EQ(1u, factory->Release());
        EXPECT_EQ(0u, factory->Release());
    }
}

TEST_F(ClassFactoryTest, UnknownInterfaceDestroysFactory) {
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(E_NOINTERFACE, host.GetClassObject()(vorn::CLSID_VornPluginUI, IID_IDispatch, &out));
    EXPECT_EQ(nullptr, out);
    // Only the host's own object is alive; after it goes, the module may unload.
    host.Plugin()->AddRef();
    EXPECT_EQ(1u, host.Plugin()->Release());
}

TEST_F(ClassFactoryTest, CreateInstanceRefusesAggregationAndUnknownInterfaces) {
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, host.GetClassObject()(vorn::CLSID_VornPluginUI, IID_IClassFactory,
                                          reinterpret_cast<void**>(&factory)));
    void* out = nullptr;
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
}

TEST_F(ClassFactoryTest, CanUnloadOnlyWhenNoObjectOrLockIsHeld) {
    auto canUnload = host.CanUnloadNow();
    auto getClass = host.GetClassObject();
    // The host's plug-in object is alive.
    EXPECT_EQ(S_FALSE, canUnload());

    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, getClass(vorn::CLSID_VornPluginUI, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)));
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

TEST_F(ClassFactoryTest, CountsStayBalancedUnderConcurrentUse) {
    auto canUnload = host.CanUnloadNow();
    auto getClass = host.GetClassObject();
    HMODULE pin = LoadLibraryW(standin::PluginDllPath().c_str());
    IPrintOemUI* plugin = host.Plugin();
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
    host.Unload();
    EXPECT_EQ(S_OK, canUnload());
    FreeLibrary(pin);
}

} // namespace
