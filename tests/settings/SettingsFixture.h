#pragma once
// A settings key with its sections, all empty, and typed access to its values.
#include "core/Edition.h"
#include "core/RegistryRoutines.h"
#include "support/ProgramFixture.h"

class SettingsFixture : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
        reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
        reg.KeyRoot = "SOFTWARE\\Brenmark\\Tarvello";
        for (const char* section : {"General", "Events", "ID3 Tags", "Display", "Formats\\WAV", "Formats\\ACM",
                                    "Formats\\MP3", "Formats\\WMA", "Formats\\OGG", "Formats\\APE"})
            ASSERT_EQ(reg.CreateKey(QString(section)), "0");
    }
    void Store(const QString& section, const QString& name, const QString& value)
    {
        reg.Subkey = section;
        ASSERT_TRUE(reg.SetRegistryValue(name, value, platform::reg::REG_SZ));
    }
    QString Stored(const QString& section, const QString& name)
    {
        reg.Subkey = section;
        return reg.GetRegistryValue(name).toString();
    }
    RegistryRoutines reg;
};
