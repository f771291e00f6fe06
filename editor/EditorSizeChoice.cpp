#include "editor/EditorSizeChoice.h"

#include "editor/EditorActions.h"
#include "editor/EditorScaleSteps.h"
#include "platform/SystemScale.h"
#include "platform/UserSettings.h"

namespace trv4 {

int StoredEditorSize() {
    long percent = 0;
    if (!platform::ReadUserNumber(kManualKey, kEditorSizeValue, percent)) return 0;
    return ScaleStepOf(static_cast<double>(percent) / 100.0);
}

bool StoreEditorSize(int percent) { return platform::WriteUserNumber(kManualKey, kEditorSizeValue, percent); }

int SystemEditorSize(uintptr_t window) { return ScaleStepOf(platform::SystemScaleFactor(window)); }

}  // namespace trv4
