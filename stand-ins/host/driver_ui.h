// The host's IPrintOemDriverUI: answers feature queries from a table the
// caller gives, can be told to fail or to claim any size, and records the
// item updates the plug-in reports.
#pragma once

#include "core/oem_interface.h"

#include <map>
#include <string>
#include <vector>

namespace standin {

class DriverUI final : public IPrintOemDriverUI {
  public:
    // Option keyword per feature keyword.
    std::map<std::string, std::string> features;
    // Features whose second query fails although the first answered a size.
    std::map<std::string, bool> failing;
    // Sizes to claim instead of the true one, per feature.
    std::map<std::string, DWORD> claimedSize;
    // Features whose first (sizing) query fails without stating a size.
    std::map<std::string, bool> failingFirst;

    // How the second query writes its answer into the buffer it is given.
    enum class Answer {
        Honest,       // refuses a buffer smaller than the answer; writes the answer only
        FillGiven,    // writes the answer (cut to the buffer), then a pattern to its end
        Unterminated, // writes the answer without its terminator, then the pattern
    };
    Answer answer = Answer::Honest;
    static constexpr char kPattern = static_cast<char>(0xA5);

    struct Update {
        void* item;
        DWORD previousSelection;
        DWORD mode;
    };
    std::vector<Update> updates;
    std::vector<std::string> queried; // feature keywords of first queries, in order

    // The OEMUIOBJ the host hands out with this driver interface; the
    // host finds itself again behind it.
    struct HostUiObject {
        OEMUIOBJ object;
        DriverUI* owner;
    };
    OEMUIPROCS procs{};
    HostUiObject uiObjectWithOwner{};
    POEMUIOBJ UiObject() { return &uiObjectWithOwner.object; }

    DriverUI();
    LONG RefCount() const { return refs_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput,
                                                  DWORD cbSize, PDWORD pcbNeeded,
                                                  PDWORD pdwOptionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override;
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem,
                                                 DWORD dwPreviousSelection, DWORD dwMode) override;

  private:
    LONG refs_ = 1;
};

} // namespace standin
