#pragma once
#include "conversion/JobWindow.h"

#include <memory>

// "ACM Converter": converts the items handed over from the list into WAV
// files written through the ACM codec and format picked on its first page.
// The codec list holds every codec, or those the control suggests for one
// file of the main list; the format list holds the chosen codec's formats.
class CfrmACMConverter : public JobWindow {
    Q_OBJECT
public:
    CfrmACMConverter();
    ~CfrmACMConverter() override;

    // The source entry that lists every codec.
    static constexpr const char* kAllACMCodecs = "All ACM Codecs";

    // ---- Controls ----
    QLabel* Label1;
    QComboBox* cboBestAccordItem; // "All ACM Codecs" and the main list's files, sorted
    QLabel* lblTag;
    QComboBox* cboTags; // codec names, sorted
    QLabel* lblFormat;
    QComboBox* cboFormats; // the chosen codec's formats, as reported
    std::unique_ptr<cAudioConverter> cAudioConverter1;
    // Reads the chosen source file's format, never the converting control.
    std::unique_ptr<cAudioConverter> cSourceReader;

    // The hand-over: "All ACM Codecs" and the files, then `chosen` selected,
    // which lists the codecs for it. A text that is no entry selects nothing.
    void FillCodecSources(const QStringList& files, const QString& chosen);

    // Codec choice: the chosen codec's formats, the first selected.
    void cboTags_Click();
    // Source choice: every codec, or those suggested for the chosen file.
    void cboBestAccordItem_Click();

    void cAudioConverter1_ACMFormatTagFound(const QString& Name);
    void cAudioConverter1_ACMFormatFound(const QString& Description);
    void cAudioConverter1_Progress(std::int32_t Percent) { JobProgress(Percent); }
    void cAudioConverter1_ConvertDone() { JobDone(); }
    void cAudioConverter1_ConvertError(std::int32_t Code, const QString& Description) { JobError(Code, Description); }
    void cAudioConverter1_ConvertAborted() { JobAborted(); }

    // No tags: the outputs carry none.
    void SetID3Tags(std::int32_t& row) override {}
    void SetDestination() override;

protected:
    void LoadToolSettings() override;
    std::optional<QString> DestinationExtension(std::int32_t) const override { return QString("wav"); }
    void EndRunDone() override;
    void EndRunCancelled() override;
    void ShowInCaption(CaptionMoment moment, const QString& text) override;
    void ShowItemError(const QString& text) override {}
    bool ToolSettingsRefused() override;
    void LockToolSettings(bool locked) override;

private:
    void BuildCodecLists();
    // Lists the codecs for a PCM source of the last file's format; "PCM" and
    // its first format selected when listed.
    void ListCodecs(std::int32_t flags);
    // Keeps the file's rate, channels and bits, read through the reader; the
    // reason when it cannot be read, else empty.
    QString ReadSourceFormat(const QString& path);
    // Lists the codecs for a source of the list (the last file read, or every codec).
    void ListCodecsOf(const QString& source);

    // The format the codec suggestions are for: the last file read, at first
    // a 44100 Hz stereo 16-bit source.
    std::int32_t m_sourceRate = 44100;
    std::int32_t m_sourceChannels = 2;
    std::int32_t m_sourceBits = 16;
    QString m_listedSource; // the source entry whose codecs are listed
    std::unique_ptr<AudioConverterJob> m_converterJob;
};

extern DefaultInstance<CfrmACMConverter> g_frmACMConverter;
