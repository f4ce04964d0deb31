#include "announce.h"

#include <uiautomationcore.h>

#include "dpi.h"

namespace win32 {

namespace {

// UI Automation's notification, declared here as the MinGW headers lack it.
constexpr int kActionCompleted = 2;     // NotificationKind_ActionCompleted
constexpr int kImportantMostRecent = 1;  // NotificationProcessing_ImportantMostRecent: only the
                                         // latest of quickly typed keys is spoken
using ClientsAreListeningFunction = BOOL(WINAPI*)();
using HostProviderFromHwndFunction = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
using RaiseNotificationEventFunction =
    HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);

struct Automation {
    HMODULE module = LoadSystemLibrary(L"uiautomationcore.dll");
    ClientsAreListeningFunction listening =
        Lookup<ClientsAreListeningFunction>(module, "UiaClientsAreListening");
    HostProviderFromHwndFunction provider =
        Lookup<HostProviderFromHwndFunction>(module, "UiaHostProviderFromHwnd");
    RaiseNotificationEventFunction notify =
        Lookup<RaiseNotificationEventFunction>(module, "UiaRaiseNotificationEvent");
};

}  // namespace

void AnnounceNewValue(HWND control, const std::wstring& value) {
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    static const Automation automation;
    if (!automation.listening || !automation.provider || !automation.notify ||
        !automation.listening()) {
        return;
    }
    IRawElementProviderSimple* element = nullptr;
    if (FAILED(automation.provider(control, &element)) || !element) return;
    BSTR text = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    BSTR activity = SysAllocString(L"Ergebnis");
    automation.notify(element, kActionCompleted, kImportantMostRecent, text, activity);
    SysFreeString(activity);
    SysFreeString(text);
    element->Release();
}

}  // namespace win32
