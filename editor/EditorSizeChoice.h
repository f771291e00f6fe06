// Where the editor's size comes from, besides the host's hint: the user's
// remembered choice and the system's screen density. Each answers a step of
// kScaleSteps, or 0 when it has nothing (nothing stored, an unreadable or
// out-of-range value, no density known).
//
// The choice is the user's own: Windows keeps it in the registry under
// HKEY_CURRENT_USER, Linux in the user's setting file (the one where the
// manual's location is read), as EditorSize=150 (platform/UserSettings.h).
// Window thread.
#pragma once

#include <cstdint>

namespace trv4 {

constexpr const char* kEditorSizeValue = "EditorSize";

int StoredEditorSize();
// False when it could not be stored (the size still changes).
bool StoreEditorSize(int percent);
// The density of window's screen (0: the main screen's).
int SystemEditorSize(uintptr_t window);

}  // namespace trv4
