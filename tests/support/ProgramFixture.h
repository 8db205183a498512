#pragma once
// A fixture that gives each test a fresh program folder and settings folder,
// scripted message boxes and a modal hook, and unloads every window after it.
#include "support/PlatformDoubles.h"
#include "support/TestDoubles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace support {

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the program's seeded settings hive into the test's registry folder.
    void SeedRegistry();
    QString ProgramFolder() const;
    QString RegistryFolder() const;
    // Runs pending events, deferred deletions included.
    static void ProcessEvents();
    // Runs the event loop until the list the main window opens has opened
    // (lists open while the window goes on working); nothing without a main window.
    static void WaitForOpenList();

    ScriptedMessageBox* msgBox = nullptr;
    HookedModalRunner* modal = nullptr;
    RecordingShell* shell = nullptr;
    ScriptedDialogs* dialogs = nullptr;
    RecordingPower* power = nullptr;
    RecordingSound* sound = nullptr;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Unloads every loaded window and runs the deferred deletions.
void UnloadAllForms();

} // namespace support
