#pragma once
#include "core/Form.h"

// The options dialog. Loaded at start-up (reading the settings), kept loaded
// and hidden until the program exits.
class CfrmOptions : public Form {
    Q_OBJECT
public:
    CfrmOptions();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
};

extern DefaultInstance<CfrmOptions> frmOptions;
