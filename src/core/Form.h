#pragma once
// The window model: every window is a Form with a load handler, show, modal
// show, hide and unload (which its unload handler may cancel), and one default
// instance, created and loaded on first use and dropped on unload.
// A dialog or tool window is owned by the window that opens it: shown as its
// transient dialog, centred over it, so the window manager keeps the two together.
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <vector>

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(const QString& name, QWidget* parent = nullptr);
    ~Form() override;

    // Runs the load handler once; the window stays hidden.
    void Load();
    void Show();
    // Shows the window modally; returns when it is hidden or unloaded.
    void ShowModal();
    void Hide();
    // Runs the unload handler; when it does not cancel, the window is hidden,
    // forgotten by its default instance and destroyed. Returns true when unloaded.
    // A window unloaded during a modal show is destroyed once the outermost
    // modal show has returned: the handlers that opened the shows may still use it.
    bool Unload();
    // The program is being ended: a window with work running stops it as its
    // Abort (or Stop, or Cancel) button does, without asking. Called again
    // until the window lets itself be unloaded.
    virtual void AbortForExit() {}

    bool IsLoaded() const { return m_loaded && !m_unloaded; }
    bool IsUnloaded() const { return m_unloaded; }
    QString Name() const { return objectName(); }
    // The window this one was last shown over; nullptr when it has none.
    QWidget* Owner() const { return m_owner; }

    // The loaded windows, oldest first.
    static std::vector<Form*> Forms();
    // The windows in a modal show, the innermost last.
    static std::vector<Form*> ModalShows();
    // Names of the windows in the order they were loaded (for tests).
    static QStringList& LoadHistory();

protected:
    // A window of its own (the main window, the splash): no other window owns it.
    void MakeStandalone() { m_standalone = true; }
    // The buttons Enter and Esc press, as in any dialog. Without an Enter
    // button Enter presses the default button, if any; without an Esc button
    // Esc closes the window as its close box does. A button with the focus
    // takes Enter itself.
    void SetKeyButtons(QPushButton* enter, QPushButton* escape);

    virtual void Form_Load() {}
    // Set Cancel to non-zero to keep the window.
    virtual void Form_Unload(int& Cancel) {}
    virtual void Form_Terminate() {}

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The innermost window in a modal show, else the active window, else the
    // oldest shown window; never this one, a minimised or a hidden window.
    QWidget* Opener() const;
    // Takes the opener as owner and moves this window to its centre (to the
    // screen's centre when there is no owner). Only for a hidden window.
    void PlaceOverOpener();

    QPushButton* EnterButton() const;
    QPointer<QWidget> m_owner;
    QPointer<QPushButton> m_enterButton;
    QPointer<QPushButton> m_escapeButton;
    bool m_standalone = false;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_loading = false;
};

template <class T>
class DefaultInstance {
public:
    // The instance, created and loaded on first use.
    T* get()
    {
        if (!m_form || m_form->IsUnloaded()) {
            m_form = new T();
            m_form->Load();
        }
        return m_form;
    }
    T* operator->() { return get(); }
    T& operator*() { return *get(); }
    // True while an instance exists and has not been unloaded; creates nothing.
    bool IsLoaded() const { return m_form && !m_form->IsUnloaded(); }
    // The instance when it exists, else nullptr; creates nothing.
    T* Peek() const { return IsLoaded() ? m_form.data() : nullptr; }

private:
    QPointer<T> m_form;
};
