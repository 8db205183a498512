#include "conversion/frmConverter.h"

DefaultInstance<CfrmConverter> g_frmConverter;

namespace {

JobWindowDesign converterDesign()
{
    JobWindowDesign d;
    d.formName = "g_frmConverter";
    d.caption = "Audio Converter";
    d.firstTabCaption = "Converter        ";
    d.firstTabIcon = 7;
    return d;
}

} // namespace

CfrmConverter::CfrmConverter()
    : JobWindow(converterDesign()), cAudioConverter1(CreateAudioConverter()),
      m_converterJob(std::make_unique<AudioConverterJob>(*cAudioConverter1))
{
    SetJobControl(m_converterJob.get());
    cAudioConverter* c = cAudioConverter1.get();
    connect(c, &cAudioConverter::Progress, this, &CfrmConverter::cAudioConverter1_Progress);
    connect(c, &cAudioConverter::ConvertDone, this, &CfrmConverter::cAudioConverter1_ConvertDone);
    connect(c, &cAudioConverter::ConvertError, this, &CfrmConverter::cAudioConverter1_ConvertError);
    connect(c, &cAudioConverter::ConvertAborted, this, &CfrmConverter::cAudioConverter1_ConvertAborted);
}

CfrmConverter::~CfrmConverter() = default;
