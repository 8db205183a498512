#pragma once
#include "controls/audio/AudioJoin.h"
#include "conversion/JobWindow.h"

#include <memory>

// The join control as a job control: each item's source and range become
// one entry of the control's list, and the start joins the list.
class AudioJoinJob : public AudioOutputJob {
public:
    explicit AudioJoinJob(cAudioJoin& control) : AudioOutputJob(control), m_j(control) {}
    void SetSource(std::int32_t row, const QString& file) override { m_source = file; }
    void SetRange(std::int32_t start, std::int32_t length) override { m_j.AddFile(m_source, start, length); }
    void SetWholeSource() override { m_j.AddFile(m_source, -1, -1); }
    void Start() override { m_j.Join(); }
    // Progress still on its way is dropped: only the ending comes.
    void Abort() override
    {
        m_j.Abort();
        m_j.Reset();
    }
    void Terminate() override { m_j.Terminate(); }

private:
    cAudioJoin& m_j;
    QString m_source;
};

// "Audio Joiner": joins the items handed over, each whole or its range, into
// one file named from the template txtJoinedFileName.
class CfrmJoiner : public JobWindow {
    Q_OBJECT
public:
    CfrmJoiner();
    ~CfrmJoiner() override;

    std::unique_ptr<cAudioJoin> cAudioJoin1;
    QLineEdit* txtJoinedFileName;

    void cmdConvert_Click() override;
    // Fills the control's list from the grid, names the output, asks before
    // overwriting and starts the join.
    void JoinFiles();

    void cAudioJoin1_Progress(std::int32_t File, std::int32_t Percent);
    void cAudioJoin1_Done();
    void cAudioJoin1_Aborted();
    void cAudioJoin1_Error(std::int32_t Code, const QString& Description);

    // The file of the latest "Add " log line; cleared at each start.
    std::int32_t m_lLastAnnouncedFile = 0;

protected:
    bool ToolSettingsRefused() override;
    void LockToolSettings(bool locked) override;

private:
    QString ExpandJoinedFileName(const QString& pattern) const;
    // The join has ended: false for an ending that comes after the first one.
    bool EndJoin();

    std::unique_ptr<AudioJoinJob> m_joinJob;
    bool m_joining = false;
    QString m_joinedFile; // the output of the join in hand
};

extern DefaultInstance<CfrmJoiner> g_frmJoiner;
