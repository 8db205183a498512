// Loaded into the real program with LD_PRELOAD by the tests that start it:
// clicks through its windows as a user would, and says on the standard error
// which windows and message boxes come up. The program itself holds nothing
// for tests; this library reaches it only through Qt's tree of widgets.
//
// TARVELLO_DRIVE_CLICKS: the clicks, in order, separated by ";", each
// "window/button": the object name of a shown window and the text or tool
// tip of a button on it. Each click is made once that button is shown and
// enabled. Lines written: "drive: shown <window>", "drive: message box:
// <text>", "drive: clicked <window>/<button>".
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

constexpr int kLookMs = 20;

class Driver : public QObject {
public:
    explicit Driver(const QString& clicks) : QObject(QCoreApplication::instance())
    {
        for (const QString& click : clicks.split(';', Qt::SkipEmptyParts)) {
            const qsizetype slash = click.indexOf('/');
            m_clicks.append({click.left(slash), click.mid(slash + 1)});
        }
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &Driver::Look);
        timer->start(kLookMs);
    }

private:
    struct Click {
        QString window, button;
    };

    static void Say(const QString& line)
    {
        std::fprintf(stderr, "drive: %s\n", qPrintable(line));
        std::fflush(stderr);
    }

    // Timers run in nested event loops too: this looks on while a window is shown modally.
    void Look()
    {
        ReportShownWindows();
        if (m_clicks.isEmpty()) return;
        if (QAbstractButton* button = FindButton(m_clicks.first())) {
            Say("clicked " + m_clicks.first().window + "/" + m_clicks.first().button);
            m_clicks.removeFirst();
            // From the event loop, so that this look ends before the click's handler runs.
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        }
    }

    void ReportShownWindows()
    {
        QSet<QWidget*> shown;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible()) continue;
            shown.insert(window);
            if (m_shown.contains(window)) continue;
            if (auto* box = qobject_cast<QMessageBox*>(window)) Say("message box: " + box->text().simplified());
            else Say("shown " + window->objectName());
        }
        m_shown = shown;
    }

    static QAbstractButton* FindButton(const Click& click)
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || window->objectName() != click.window) continue;
            for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
                if (button->isVisible() && button->isEnabled() &&
                    (button->text() == click.button || button->toolTip() == click.button))
                    return button;
        }
        return nullptr;
    }

    QList<Click> m_clicks;
    QSet<QWidget*> m_shown;
};

void StartDriving()
{
    if (qEnvironmentVariableIsSet("TARVELLO_DRIVE_CLICKS")) new Driver(qEnvironmentVariable("TARVELLO_DRIVE_CLICKS"));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriving)
