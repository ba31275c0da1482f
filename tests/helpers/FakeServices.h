#pragma once

#include "Fakes.h"
#include "gui/MainWindow.h"

// Every platform service of the main window as a fake, and the window's services made of them.
struct FakeServices {
    FakeDialogs dialogs;
    FakeFileSystem files;
    FakeLauncher launcher;
    FakeClock clock;
    FakePower power;
    FakeRegistry registry;

    // The program folder and the executable's folder are both `folder`.
    Services in(const QString& folder)
    {
        return {dialogs, files, launcher, clock, power, registry, folder, folder};
    }
};
