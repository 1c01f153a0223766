// The main window of the widget tests: its models from the test modules of one folder, its
// dialogs made, shown.
#pragma once

#include <memory>
#include <string>

#include "common/NumberText.h"
#include "models/MathDef.h"
#include "shell/MainUnit.h"
#include "support/GuiSupport.h"

inline std::unique_ptr<TMainForm> ShownMainForm(const char* moduleDir, isotri::MessageSink* sink) {
    const std::string path = ModulePath(moduleDir);
    auto form = std::make_unique<TMainForm>(
        isotri::NumberText(','), sink,
        [path](isotri::TMathDefinition& mathDef) { mathDef.LoadModule(path); });
    form->CreateDialogs();
    form->show();
    return form;
}
