#include "core/frmSplash.h"

#include "controls/widgets/PlainText.h"
#include "core/Edition.h"
#include "core/Skin.h"
#include "core/WindowProcedures.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QThread>
#include <QVBoxLayout>

DefaultInstance<CfrmSplash> g_frmSplash;

CfrmSplash::CfrmSplash() : Form("g_frmSplash")
{
    MakeStandalone();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(420, 200);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    Shape1 = new QFrame(this);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(0, 0, width(), height());
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    picTitle = new QFrame(this);
    picTitle->setGeometry(1, 1, width() - 2, 64);
    picTitle->setAutoFillBackground(true);
    QPalette titlePal = picTitle->palette();
    titlePal.setColor(QPalette::Window, QColor(0xe8, 0xf0, 0xf8));
    picTitle->setPalette(titlePal);

    lblAppTitle = widgets::PlainLabel(picTitle);
    lblAppTitle->setGeometry(20, 12, width() - 40, 40);
    QFont f = lblAppTitle->font();
    f.setPointSize(18);
    f.setBold(true);
    lblAppTitle->setFont(f);
    lblAppTitle->setStyleSheet("color: #1d4f80;");

    lblVersion = widgets::PlainLabel(this);
    lblVersion->setGeometry(20, 84, width() - 40, 24);
    lblStat = widgets::PlainLabel("Loading...", this);
    lblStat->setGeometry(20, 150, width() - 40, 24);
}

void CfrmSplash::Form_Load()
{
    SetFormIcon32(this, "AAA", true);
    lblAppTitle->setText(g_sAppName + " " + g_sAppVersion);
    lblVersion->setText("Version " + g_sAppFullVersion);
    // Invisible until the fade sets its first alpha value.
    setWindowOpacity(0.0);
    if (!g_sAppColor.isEmpty()) {
        bool ok = false;
        const std::int32_t color = std::int32_t(g_sAppColor.toLongLong(&ok));
        if (ok) {
            SetBackColor(this, ColorFromNumber(color));
            SetBackColor(picTitle, ColorFromNumber(color));
        }
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void CfrmSplash::FadeIn()
{
    QPointer<CfrmSplash> self(this);
    for (int alpha = 0; alpha <= 250; alpha += 10) {
        if (!self || IsUnloaded()) return;
        setWindowOpacity(alpha / 255.0);
        const std::uint32_t start = platform::GetTickCount();
        while (std::uint32_t(platform::GetTickCount() - start) <= 5) {
            QApplication::processEvents();
            if (!self || IsUnloaded()) return;
            QThread::usleep(500);
        }
    }
    if (self && !IsUnloaded()) setWindowOpacity(1.0);
}

void CfrmSplash::SetStatus(const QString& text)
{
    lblStat->setText(text);
    lblStat->repaint();
}

void CfrmSplash::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Only the window's own background closes it, not its labels or title band.
    if (childAt(event->position().toPoint()) == nullptr) Unload();
}
