// What the tool-window library's parts share: the hook registry (callbacks fed by up to three thread
// hooks), a list sort with user data, and the routines that let a control paint itself into a caller's DC
// and clip non-client painting.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "Classes.h"
#include "Controls.h"
#include "Lists.h"

namespace toolkit {

enum THookEvent { heActivateApp, heWindowPosChanged, hePreDestroyWindow, heMouseMove };
using THookEvents = cl::TSet<THookEvent>;
using THookCallback = void (*)(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam);

// Registers callback for events (a second registration of the same callback only counts, its events
// stay those of the first), hooking what the events need unless noHooks (a design surface counts
// without hooking). Each removal undoes one registration exactly; the last one frees the record and
// unhooks what nothing else needs.
void AddHookCallback(THookCallback callback, THookEvents events, bool noHooks);
void RemoveHookCallback(THookCallback callback);

// What the registry holds, for tests: whether anything is registered, a callback's registration count,
// and a hook slot's use count and whether it is installed (slots: 0 WH_CALLWNDPROC, 1 WH_CBT,
// 2 WH_GETMESSAGE).
bool HookCallbacksRegistered() noexcept;
int HookCallbackCount(THookCallback callback) noexcept;
int HookUseCount(int slot) noexcept;
bool HookInstalled(int slot) noexcept;

// The thread owns the active window.
bool IsAppActive();

// Sorts in place, ascending by compare; not stable. Fewer than two items: compare is never called.
using TListCompare = std::function<int(void* item1, void* item2, intptr_t extraData)>;
void SortList(cl::TList& list, const TListCompare& compare, intptr_t extraData);

// For WM_NCPAINT: the update region (screen coordinates) becomes the DC's clip region in window
// coordinates; the regions 0 and 1 (the whole window) leave it unclipped.
void ClipToUpdateRegion(HWND wnd, HDC dc, HRGN region);

// WM_PRINT for a control that paints its non-client area itself (drawNonClient, may be empty): the frame,
// the background, the client area and, as the flags ask, the children and owned windows. Result 1.
using TDrawNonClient = std::function<void(HWND wnd, HDC dc)>;
void PrintWindowToDC(HWND wnd, cl::TMessage& message, const TDrawNonClient& drawNonClient);
// WM_PRINTCLIENT: the control paints into the given DC; the DC's state is kept also when painting raises.
void PaintControlToDC(cl::TWinControl& control, cl::TMessage& message);

}  // namespace toolkit
