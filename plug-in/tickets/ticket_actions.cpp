// The page's actions on tickets: New, Edit and Delete.
#include "tickets.h"

#include "page_controls.h"
#include "page_state.h"
#include "../uihooks/ticket_library.h"
#include "../core/names.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"
#include "../ticketrecord/ticket_translator.h"
#include "../uihooks/plugin_context.h"

#include <compstui.h>

namespace vorn {

namespace {

using CreateNewJobTicketFn = int(WINAPI*)(NewTicketRecord*);

// The delete question and its failure report with a full ticket path.
constexpr size_t kDeleteMessageBytes = 1024;

void ReleaseRecord(TicketsPageState* state) noexcept {
    if (state->recordHandle) {
        if (state->record) {
            GlobalUnlock(state->recordHandle);
        }
        GlobalFree(state->recordHandle);
    }
    state->recordHandle = nullptr;
    state->record = nullptr;
}

// The library's export, or null.
CreateNewJobTicketFn CreateNewJobTicketExport() noexcept {
    const HMODULE library = TicketLibraryHandle();
    if (!library) {
        return nullptr;
    }
    return reinterpret_cast<CreateNewJobTicketFn>(
        reinterpret_cast<void*>(GetProcAddress(library, names::kCreateNewJobTicketExport)));
}

// The page's state, ready for an editor action started by `button`; null
// when the action ends here (no state, or the running editor was brought to
// the front instead: only one editor runs per page).
TicketsPageState* BeginEditorAction(HWND page, WORD button) noexcept {
    TicketsPageState* state = TicketsState(page);
    if (!state) {
        return nullptr;
    }
    if (state->editorRunning) {
        ActivateTicketEditor(page);
        return nullptr;
    }
    state->lastEditorButton = button;
    return state;
}

} // namespace

void CreateNewTicket(HWND page, const PluginContext* context, HINSTANCE instance) noexcept {
    TicketsPageState* state = BeginEditorAction(page, IDC_TICKET_NEW);
    if (!state) {
        return;
    }
    if (context && context->sheetFunction) {
        context->sheetFunction(context->sheet, CPSFUNC_SET_RESULT,
                               reinterpret_cast<LPARAM>(context->pageHandle), CPSUI_OK);
    }
    wchar_t directory[kTicketPathBufferChars] = {};
    ReadDirectoryText(page, directory);
    if (!IsExistingPath(directory, false)) {
        return;
    }
    ReleaseRecord(state);
    state->recordHandle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(NewTicketRecord));
    state->record = state->recordHandle
                        ? static_cast<NewTicketRecord*>(::GlobalLock(state->recordHandle))
                        : nullptr;
    const CreateNewJobTicketFn createTicket = CreateNewJobTicketExport();
    if (!state->record || !createTicket) {
        ReleaseRecord(state);
        ShowTicketMessage(page, instance, IDS_NEW_TICKET_FAILED, MB_ICONHAND);
        return;
    }
    ReadDirectoryText(page, directory);
    CopyInto(state->record->ticketDirectory, directory);
    FillNewTicketRecord(state->record, context);
    if (createTicket(state->record) != 0) {
        ReleaseRecord(state);
        ShowTicketMessage(page, instance, IDS_NEW_TICKET_FAILED, MB_ICONHAND);
        return;
    }

    wchar_t executable[kTicketPathBufferChars] = {};
    const int found = FindTicketEditor(executable);
    if (found != kEditorFound) {
        ReleaseRecord(state);
        if (found == kEditorMissing) {
            ShowTicketMessage(page, instance, IDS_EDITOR_LAUNCH_FAILED, MB_ICONHAND);
        }
        return;
    }
    // The library's answer is read within its field only.
    wchar_t fileName[kTicketPathBufferChars] = {};
    StringCopy(fileName, sizeof(fileName), state->record->ticketFileName);
    fileName[kTicketPathBufferChars - 1] = L'\0';
    FormatWide(state->newTicketPath, sizeof(state->newTicketPath), L"%s\\%s",
               state->record->ticketDirectory, fileName);
    if (LaunchTicketEditor(page, true, executable, state->newTicketPath,
                           context ? context->printerName : L"") != kEditorStarted) {
        ReleaseRecord(state);
        ShowTicketMessage(page, instance, IDS_EDITOR_LAUNCH_FAILED, MB_ICONHAND);
    }
}

void EditSelectedTicket(HWND page, const PluginContext* context, HINSTANCE instance) noexcept {
    TicketsPageState* state = BeginEditorAction(page, IDC_TICKET_EDIT);
    if (!state) {
        return;
    }
    wchar_t directory[kTicketPathBufferChars] = {};
    ReadDirectoryText(page, directory);
    if (!IsExistingPath(directory, false)) {
        return;
    }
    wchar_t fullDirectory[kTicketPathBufferChars] = {};
    const DWORD length =
        GetFullPathNameW(directory, kTicketPathBufferChars, fullDirectory, nullptr);
    if (length == 0 || length >= kTicketPathBufferChars) {
        return;
    }
    SetDlgItemTextW(page, IDC_TICKET_DIR, fullDirectory);

    wchar_t executable[kTicketPathBufferChars] = {};
    const int found = FindTicketEditor(executable);
    if (found == kEditorMissing) {
        ShowTicketMessage(page, instance, IDS_EDITOR_LAUNCH_FAILED, MB_ICONHAND);
        return;
    }
    if (found != kEditorFound) {
        return;
    }
    const HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    const LRESULT selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
    wchar_t entry[kTicketPathBufferChars] = {};
    if (selection != 0 && selection != LB_ERR) {
        ReadListEntry(list, static_cast<int>(selection), entry);
    }
    wchar_t ticketPath[kTicketPathBufferChars] = {};
    FormatWide(ticketPath, sizeof(ticketPath), names::kTicketPathFormat, fullDirectory, entry,
               names::kTicketExtension);
    if (LaunchTicketEditor(page, false, executable, ticketPath,
                           context ? context->printerName : L"") != kEditorStarted) {
        ShowTicketMessage(page, instance, IDS_EDITOR_LAUNCH_FAILED, MB_ICONHAND);
    }
}

void DeleteSelectedTicket(HWND page, HINSTANCE instance) noexcept {
    TicketsPageState* state = TicketsState(page);
    if (state && state->editorRunning) {
        ActivateTicketEditor(page);
        return;
    }
    const HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    wchar_t directory[kTicketPathBufferChars] = {};
    ReadDirectoryText(page, directory);
    const LRESULT selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selection == 0 || selection == LB_ERR) {
        return;
    }
    wchar_t entry[kTicketPathBufferChars] = {};
    wchar_t path[kTicketPathBufferChars] = {};
    wchar_t fullPath[kTicketPathBufferChars] = {};
    const DWORD length = ReadListEntry(list, static_cast<int>(selection), entry) &&
                                 BuildTicketPath(directory, entry, path)
                             ? GetFullPathNameW(path, kTicketPathBufferChars, fullPath, nullptr)
                             : 0;
    // Room for the question with a path of any length the page forms: a
    // person must see the whole name of the file to be deleted.
    if (length != 0 && length < kTicketPathBufferChars &&
        ShowTicketMessage(page, instance, IDS_CONFIRM_DELETE, MB_YESNO | MB_ICONQUESTION, fullPath,
                          kDeleteMessageBytes) == IDYES) {
        if (DeleteFileW(fullPath)) {
            SendMessageW(list, LB_SETCURSEL, 0, 0);
            UpdateTicketSelection(page, instance);
        } else {
            ShowTicketMessage(page, instance, IDS_DELETE_FAILED, MB_OK, fullPath,
                              kDeleteMessageBytes);
        }
    }
    SetFocus(list);
}

} // namespace vorn
