#pragma once
#include "core/Form.h"

// The audio format dialog. Loaded at start-up (reading the format settings),
// kept loaded and hidden until the program exits.
class CfrmAudioProp : public Form {
    Q_OBJECT
public:
    CfrmAudioProp();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
};

extern DefaultInstance<CfrmAudioProp> g_frmAudioProp;
