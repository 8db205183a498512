#pragma once
#include "conversion/JobWindow.h"

#include <memory>

// "Audio Converter": converts the items handed over from the list, one at a
// time, into the chosen destination format.
class CfrmConverter : public JobWindow {
    Q_OBJECT
public:
    CfrmConverter();
    ~CfrmConverter() override;

    std::unique_ptr<cAudioConverter> cAudioConverter1;

    void cAudioConverter1_Progress(std::int32_t Percent) { JobProgress(Percent); }
    void cAudioConverter1_ConvertDone() { JobDone(); }
    void cAudioConverter1_ConvertError(std::int32_t Code, const QString& Description) { JobError(Code, Description); }
    void cAudioConverter1_ConvertAborted() { JobAborted(); }

private:
    std::unique_ptr<AudioConverterJob> m_converterJob;
};

extern DefaultInstance<CfrmConverter> g_frmConverter;
