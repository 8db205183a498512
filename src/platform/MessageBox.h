#pragma once
// Message boxes: a prompt, button and icon flags and a title in, the pressed
// button out. Production shows a Qt message box, its text always as plain
// text; tests install a scripted one.
#include <QString>
#include <memory>

namespace platform {

// Buttons
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
// Icons
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
// Default button
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;
// Answers
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int Show(const QString& prompt, int flags, const QString& title) = 0;
};

// Installs a service; nullptr goes back to the Qt message boxes.
void SetMessageBoxService(std::unique_ptr<MessageBoxService> service);
MessageBoxService& MessageBoxes(); // window thread only

// A message box with the application title.
int MsgBox(const QString& prompt, int flags = vbOKOnly);
int MsgBox(const QString& prompt, int flags, const QString& title);
// The program is ending: from now on every message box is answered at once,
// without being shown, as a box closed without a button is (Cancel, or No /
// OK where it has none).
void AnswerMessageBoxesAsClosed();

} // namespace platform
