#include "platform/MessageBox.h"
#include "platform/ServiceSlot.h"

#include "platform/AppInfo.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

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
        struct Choice { QMessageBox::StandardButton button; int answer; };
        std::vector<Choice> choices;
        switch (flags & 0x7) {
        case vbOKCancel: choices = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
        case vbAbortRetryIgnore:
            choices = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
            break;
        case vbYesNoCancel:
            choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
            break;
        case vbYesNo: choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
        case vbRetryCancel: choices = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
        default: choices = {{QMessageBox::Ok, vbOK}}; break;
        }
        QMessageBox::StandardButtons buttons;
        for (const auto& c : choices) buttons |= c.button;
        box.setStandardButtons(buttons);
        size_t def = (flags & vbDefaultButton3) ? 2 : (flags & vbDefaultButton2) ? 1 : 0;
        if (def < choices.size()) box.setDefaultButton(choices[def].button);
        int pressed = box.exec();
        for (const auto& c : choices)
            if (pressed == c.button) return c.answer;
        // Closed without a button: the platform answers Cancel, or No / OK where there is none.
        for (int fallback : {vbCancel, vbNo, vbOK})
            for (const auto& c : choices)
                if (c.answer == fallback) return fallback;
        return vbCancel;
    }
};

using Slot = ServiceSlot<MessageBoxService, QtMessageBoxService>;

} // namespace

void SetMessageBoxService(std::unique_ptr<MessageBoxService> service) { Slot::Install(std::move(service)); }

MessageBoxService& MessageBoxes() { return Slot::Get(); }

int MsgBox(const QString& prompt, int flags) { return MessageBoxes().Show(prompt, flags, AppTitle()); }

int MsgBox(const QString& prompt, int flags, const QString& title) { return MessageBoxes().Show(prompt, flags, title); }

} // namespace platform
