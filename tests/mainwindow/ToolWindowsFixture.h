#pragma once
// The main window with every tool on and one file in its open list, its
// player, wave, conversion and editor controls faked: the tool windows open
// as the user opens them.
#include "MainWindowFixture.h"

#include "controls/widgets/AudioEditor.h"
#include "support/FakeAudioConverter.h"
#include "support/FakeAudioEditor.h"
#include "support/FakePlayer.h"
#include "support/FakeWave.h"

#include <QFile>
#include <functional>

class ToolWindowsFixture : public MainWindowFixture {
public:
    void RunKey(const QString& key) { main->m_cMenu_Click(main->m_cMenu->IndexForKey(key)); }
    CfrmMain* main = nullptr;

protected:
    // Writes the file `name` in the program folder, fakes the controls (the
    // conversion control reads the file as `facts`) and shows the main window
    // with the file added to its list.
    void LoadWithOneFile(const QString& name, const FakeAudioConverter::File& facts)
    {
        SetAllToolFlags(1);
        const QString file = ProgramFolder() + "/" + name;
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write("RIFF");
        written.close();
        SetPlayerFactory([] { return std::make_unique<FakePlayer>(); });
        SetWaveFactory([] { return std::make_unique<FakeWave>(); });
        SetAudioConverterFactory([this, file, facts] {
            auto fake = std::make_unique<FakeAudioConverter>();
            fake->AddFile(file, facts);
            if (prepareConverter) prepareConverter(*fake);
            return fake;
        });
        SetAudioEditorFactory([file](QWidget* parent) {
            auto* fake = new FakeAudioEditor(parent);
            fake->AddFile(file, {});
            return fake;
        });
        main = LoadMain();
        main->show();
        dialogs->ExpectOpen({file});
        RunKey("Add Files");
        ASSERT_EQ(main->cGrid1->Rows(), 1);
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        SetPlayerFactory({});
        SetWaveFactory({});
        SetAudioConverterFactory({});
        SetAudioEditorFactory({});
    }

    // Runs on every fake conversion control before it is used.
    std::function<void(FakeAudioConverter&)> prepareConverter;
};
