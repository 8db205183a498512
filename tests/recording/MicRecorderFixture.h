#pragma once
// The recorder window in tests: the recorder switched on, seeded settings, a
// fixed clock; its log without time stamps.
#include "recording/frmMicRecorder.h"
#include "support/ProgramFixture.h"

#include <QDateTime>
#include <QStringList>

namespace rectest {

class MicRecorderTestBase : public support::ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The log's lines without their time stamps ("" for an empty line).
    QStringList LogLines() const;
    // A folder of the test's own, ending in "/".
    QString Dir() const { return ProgramFolder() + "/rec/"; }

    QDateTime now;
    CfrmMicRecorder* w = nullptr;
};

} // namespace rectest
