#include "platform/MessageBox.h"
#include "platform/ServiceSlot.h"

#include "platform/AppInfo.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

struct Choice {
    QMessageBox::StandardButton button;
    int answer;
};

// The buttons of the box that the flags ask for, in their order.
std::vector<Choice> choicesOf(int flags)
{
    switch (flags & 0x7) {
    case vbOKCancel: return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case vbAbortRetryIgnore:
        return {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
    case vbYesNoCancel: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case vbYesNo: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case vbRetryCancel: return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default: return {{QMessageBox::Ok, vbOK}};
    }
}

// A box closed without a button: the platform answers Cancel, or No / OK where there is none.
int answerOfClosedBox(int flags)
{
    const std::vector<Choice> choices = choicesOf(flags);
    for (int fallback : {vbCancel, vbNo, vbOK})
        for (const auto& c : choices)
            if (c.answer == fallback) return fallback;
    return vbCancel;
}

bool g_answerAsClosed = false;

class QtMessageBoxService : public MessageBoxService {
public:
    int Show(const QString& prompt, int flags, const QString& title) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(title);
        // Prompts carry file names and tags: never markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(prompt);
        switch (flags & 0x70) {
        case vbCritical: box.setIcon(QMessageBox::Critical); break;
        case vbQuestion: box.setIcon(QMessageBox::Question); break;
        case vbExclamation: box.setIcon(QMessageBox::Warning); break;
        case vbInformation: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        const std::vector<Choice> choices = choicesOf(flags);
        QMessageBox::StandardButtons buttons;
        for (const auto& c : choices) buttons |= c.button;
        box.setStandardButtons(buttons);
        size_t def = (flags & vbDefaultButton3) ? 2 : (flags & vbDefaultButton2) ? 1 : 0;
        if (def < choices.size()) box.setDefaultButton(choices[def].button);
        int pressed = box.exec();
        for (const auto& c : choices)
            if (pressed == c.button) return c.answer;
        return answerOfClosedBox(flags);
    }
};

using Slot = ServiceSlot<MessageBoxService, QtMessageBoxService>;

} // namespace

void SetMessageBoxService(std::unique_ptr<MessageBoxService> service) { Slot::Install(std::move(service)); }

MessageBoxService& MessageBoxes() { return Slot::Get(); }

int MsgBox(const QString& prompt, int flags) { return MsgBox(prompt, flags, AppTitle()); }

int MsgBox(const QString& prompt, int flags, const QString& title)
{
    if (g_answerAsClosed) return answerOfClosedBox(flags);
    return MessageBoxes().Show(prompt, flags, title);
}

void AnswerMessageBoxesAsClosed() { g_answerAsClosed = true; }

} // namespace platform
