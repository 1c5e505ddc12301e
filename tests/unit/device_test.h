// The base of unit tests: a new simulated device and the program's process-wide values as at
// process start.
#pragma once
#include "app/app.h"
#include "settings/settings.h"
#include "tests/fake/device.h"
#include "watch/watch_cycle.h"

#include <gtest/gtest.h>

class DeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Reset();
        Settings = SettingsRecord{};
        WatchState = WatchStateRecord{};
        AppInstance = nullptr;
        ModulePath = {};
        MainWindow = MenuBar = SettingsPanel = nullptr;
        ActivationInfo = {};
    }

    static HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }
};
