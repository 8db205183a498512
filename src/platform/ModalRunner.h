#pragma once
// Modal show of a window: runs until the window hides or is destroyed.
// Tests install a runner that drives the shown window and closes it.
#include <QWidget>
#include <memory>

namespace platform {

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    virtual void Run(QWidget* window) = 0;
};

void SetModalRunner(std::unique_ptr<ModalRunner> runner); // nullptr: the real one
void RunModal(QWidget* window); // window thread only

} // namespace platform
