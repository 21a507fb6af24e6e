#pragma once
// The wizard's controls handle their own clicks, selection changes, edit
// notifications and color requests. Windows sends those to the parent; the
// dialog's procedure passes each to this first.

#include <windows.h>

// Hands a WM_COMMAND notification or a WM_CTLCOLOR* request to the child
// control it concerns, when that control handles it itself. True when it
// did; `result` is then the answer for the dialog procedure.
bool ReflectToControl(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
