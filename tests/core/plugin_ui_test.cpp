#include "support/plugin_fixture.h"

#include <cstring>

namespace {

class PluginUITest : public PluginFixture {};

TEST_F(PluginUITest, AnswersItsOwnInterfacesOnly) {
    void* out = nullptr;
    ASSERT_EQ(S_OK, plugin->QueryInterface(IID_IUnknown, &out));
    EXPECT_EQ(static_cast<IUnknown*>(plugin), out);
    plugin->Release();
    ASSERT_EQ(S_OK, plugin->QueryInterface(IID_IPrintOemUI, &out));
    plugin->Release();
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, plugin->QueryInterface(IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
}

TEST_F(PluginUITest, GetInfoSignatureAndVersion) {
    DWORD value = 0, needed = 0;
    ASSERT_EQ(S_OK, plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 4, &needed));
    EXPECT_EQ(0x4D534654u, value);
    EXPECT_EQ(4u, needed);
    ASSERT_EQ(S_OK, plugin->GetInfo(OEMGI_GETVERSION, &value, 8, &needed));
    EXPECT_EQ(1u, value);
    EXPECT_EQ(4u, needed);
}

TEST_F(PluginUITest, GetInfoRefusals) {
    DWORD value = 0xAAAA, needed = 99;
    for (DWORD mode : {0u, 1u, 2u, 3u, 4u, 5u}) {
        SetLastError(0);
        EXPECT_EQ(E_FAIL, plugin->GetInfo(mode, &value, 4, nullptr)) << mode;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError()) << mode;
    }
    for (DWORD mode : {0u, 2u, 5u}) {
        BYTE big[64];
        SetLastError(0);
        EXPECT_EQ(E_FAIL, plugin->GetInfo(mode, big, sizeof(big), &needed)) << mode;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    }
    SetLastError(0);
    needed = 0;
    EXPECT_EQ(E_FAIL, plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 3, &needed));
    EXPECT_EQ(4u, needed);
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(0xAAAAu, value);
    needed = 0;
    EXPECT_EQ(E_FAIL, plugin->GetInfo(OEMGI_GETVERSION, nullptr, 4, &needed));
    EXPECT_EQ(4u, needed);
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());

    SetLastError(0);
    EXPECT_EQ(E_FAIL, plugin->GetInfo(OEMGI_GETPUBLISHERINFO, &value, 4, &needed));
    EXPECT_EQ(0u, needed);
    EXPECT_EQ(ERROR_NOT_SUPPORTED, GetLastError());
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

TEST_F(PluginUITest, SecondPublishKeepsFirstInterface) {
    // The fixture published the host's interface; it holds one reference.
    const LONG before = host.Driver().RefCount();
    standin::DriverUI other;
    EXPECT_EQ(S_OK, plugin->PublishDriverInterface(static_cast<IPrintOemDriverUI*>(&other)));
    EXPECT_EQ(1, other.RefCount()); // not even queried
    EXPECT_EQ(before, host.Driver().RefCount());
}

TEST_F(PluginUITest, ReleasingObjectReleasesDriverInterface) {
    const LONG held = host.Driver().RefCount();
    EXPECT_EQ(2, held); // our own reference and the plug-in's
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
