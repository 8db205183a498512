#include "controls/widgets/AudioEditor.h"

#include "controls/audio/AudioEditorSave.h"
#include "controls/ControlThread.h"
#include "controls/audio/Player.h"
#include "controls/widgets/WidgetSupport.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int kRulerHeight = 18;
constexpr int kCursorMs = 30;
constexpr int kMinTickPixels = 80;
constexpr size_t kCachedViews = 4;

std::int32_t Clamp32(std::int64_t v) { return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }

bool SameFile(const QString& a, const QString& b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() ? fa.canonicalFilePath() == fb.canonicalFilePath()
                                      : fa.absoluteFilePath() == fb.absoluteFilePath();
}

// A round step between ruler marks, in milliseconds, at least `minMs` long.
std::int64_t TickStepMs(double minMs)
{
    static const std::int64_t steps[] = {1,     2,     5,      10,     20,     50,      100,     200,    500,
                                         1000,  2000,  5000,   10000,  15000,  30000,   60000,   120000, 300000,
                                         600000, 900000, 1800000, 3600000, 7200000, 18000000, 36000000};
    for (std::int64_t s : steps)
        if (s >= minMs) return s;
    return steps[std::size(steps) - 1];
}

QString TickText(std::int64_t ms, std::int64_t step)
{
    const QString clock = cPlayer::FormatTime(ms / 1000);
    return step >= 1000 ? clock : clock + QString(".%1").arg(ms % 1000, 3, 10, QChar('0'));
}

} // namespace

cAudioEditor::cAudioEditor(QWidget* parent)
    : QWidget(parent), m_peakThread(std::make_unique<ControlThread>(this)),
      m_saveThread(std::make_unique<ControlThread>(this))
{
    setMinimumSize(120, 60);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_cursorTimer.setInterval(kCursorMs);
    connect(&m_cursorTimer, &QTimer::timeout, this, [this] {
        if (!m_player || !m_reader) return;
        m_cursor = std::llround(m_player->Position() * m_reader->GetFacts().format.sampleRate);
        update();
    });
}

cAudioEditor::~cAudioEditor() { Terminate(); }

void cAudioEditor::PostError(std::int32_t code, const QString& text)
{
    QMetaObject::invokeMethod(this, [this, code, text] { emit Error(code, text); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// The file, the view and the selection

std::int32_t cAudioEditor::LoadFile(const QString& path)
{
    StopPlay();
    m_peakThread->Stop();
    m_cache.clear();
    m_peaks.reset();
    auto reader = std::make_shared<wavefile::Reader>();
    const wavefile::Problem p = reader->Open(path);
    if (!p.ok()) {
        m_reader.reset();
        m_path.clear();
        m_viewFirst = m_viewEnd = 0;
        m_reported = {};
        update();
        const std::int32_t code = p.fault == audiodec::Fault::Missing || p.fault == audiodec::Fault::NoFileName
                                      ? kEditorErrFileMissing
                                      : kEditorErrNotWave;
        PostError(code, p.text);
        return code;
    }
    m_reader = std::move(reader);
    m_path = path;
    const wavefile::Facts& f = m_reader->GetFacts();
    const std::int32_t rate = f.format.sampleRate, bits = f.format.bitsPerSample, channels = f.format.channels;
    const std::int32_t seconds = Clamp32(f.frames / rate), samples = Clamp32(f.frames);
    QMetaObject::invokeMethod(
        this, [this, rate, bits, channels, seconds, samples] { emit FileLoaded(rate, bits, channels, seconds, samples); },
        Qt::QueuedConnection);
    // The selection is the whole file, to its last sample.
    m_reported = {0, f.frames, 0, msOf(f.frames)};
    const Reported r = m_reported;
    QMetaObject::invokeMethod(
        this, [this, r] { emit SelectionChanged(0, Clamp32(r.end), r.startMs, r.endMs); }, Qt::QueuedConnection);
    setView(0, f.frames);
    return 0;
}

std::int32_t cAudioEditor::msOf(std::int64_t sample) const
{
    const int rate = m_reader ? m_reader->GetFacts().format.sampleRate : 0;
    return rate > 0 ? Clamp32(std::llround(double(sample) * 1000.0 / rate)) : 0;
}

void cAudioEditor::select(std::int64_t a, std::int64_t b)
{
    if (!m_reader) return;
    const std::int64_t start = std::min(a, b), end = std::max(a, b);
    if (m_reported.start == start && m_reported.end == end) return;
    m_reported = {start, end, msOf(start), msOf(end)};
    update();
    emit SelectionChanged(Clamp32(start), Clamp32(end), m_reported.startMs, m_reported.endMs);
}

void cAudioEditor::setView(std::int64_t first, std::int64_t end)
{
    m_viewFirst = first;
    m_viewEnd = end;
    requestPeaks();
    update();
}

void cAudioEditor::Zoom()
{
    if (m_reader && m_reported.end > m_reported.start && (m_reported.start != m_viewFirst || m_reported.end != m_viewEnd))
        setView(m_reported.start, m_reported.end);
}

void cAudioEditor::RestoreZoom()
{
    if (m_reader) setView(0, m_reader->GetFacts().frames);
}

editorpeaks::View cAudioEditor::CurrentView() const { return {m_viewFirst, m_viewEnd, waveArea().width()}; }

std::shared_ptr<const editorpeaks::Peaks> cAudioEditor::ShownPeaks() const
{
    return m_peaks && m_peaks->view == CurrentView() ? m_peaks : nullptr;
}

// The peaks of the view, from the cache or built on the worker.
void cAudioEditor::requestPeaks()
{
    if (!m_reader || waveArea().width() <= 0) return;
    const editorpeaks::View view = CurrentView();
    for (const auto& built : m_cache)
        if (built->view == view) {
            m_peakThread->Stop();
            peaksBuilt(built);
            return;
        }
    m_peakThread->Stop();
    const std::shared_ptr<const wavefile::Reader> reader = m_reader;
    m_peakThread->Start([this, reader, view](const std::atomic<bool>& abort, const ControlThread::Post&) {
        auto peaks = std::make_shared<editorpeaks::Peaks>();
        if (!editorpeaks::Build(*reader, view, abort, peaks.get())) return std::function<void()>();
        return std::function<void()>([this, peaks] { peaksBuilt(peaks); });
    });
}

void cAudioEditor::peaksBuilt(std::shared_ptr<const editorpeaks::Peaks> peaks)
{
    if (peaks->view != CurrentView()) return;
    m_cache.erase(std::remove(m_cache.begin(), m_cache.end(), peaks), m_cache.end());
    m_cache.push_back(peaks);
    if (m_cache.size() > kCachedViews) m_cache.erase(m_cache.begin());
    m_peaks = std::move(peaks);
    emit WaveformReady();
    update();
}

// ---------------------------------------------------------------------------
// Playing

std::int32_t cAudioEditor::Play()
{
    if (!m_reader) {
        PostError(kEditorErrNoFile, "No wave file is loaded.");
        return kEditorErrNoFile;
    }
    if (!m_player) {
        m_player = std::make_unique<cPlayer>();
        connect(m_player.get(), &cPlayer::PlayFinished, this, &cAudioEditor::playFinished);
    }
    if (m_player->IsPlaying()) return kEditorErrPlaying;
    const std::int64_t end = m_reported.end > m_reported.start ? m_reported.end : m_reader->GetFacts().frames;
    const std::int32_t code = m_player->PlayRange(m_path, -1, m_reported.start, end);
    if (code != 0) {
        PostError(kEditorErrPlay, m_player->ErrorText(code));
        return kEditorErrPlay;
    }
    m_cursor = m_reported.start;
    m_cursorTimer.start();
    update();
    return 0;
}

void cAudioEditor::playFinished()
{
    m_cursorTimer.stop();
    m_cursor = -1;
    update();
    emit PlayDone();
}

bool cAudioEditor::IsPaused() const { return m_player && m_player->IsPaused(); }

void cAudioEditor::Pause()
{
    if (m_player) m_player->Pause();
}

void cAudioEditor::Resume()
{
    if (m_player) m_player->Resume();
}

void cAudioEditor::StopPlay()
{
    if (m_player) m_player->Stop();
}

// ---------------------------------------------------------------------------
// Saving

void cAudioEditor::SaveSelection()
{
    if (m_saveThread->Busy()) return PostError(kEditorErrBusy, "A selection is being saved; wait until it is done.");
    if (m_sourceFile.isEmpty() || m_destinationFile.isEmpty())
        return PostError(kEditorErrNoFileName, m_sourceFile.isEmpty() ? "No source file was given."
                                                                      : "No file to save the selection in was given.");
    if (SameFile(m_sourceFile, m_destinationFile))
        return PostError(kEditorErrDestinationIsSource,
                         "The selection cannot be saved over the file it comes from: " + m_destinationFile);
    if (QFileInfo(m_destinationFile).isDir())
        return PostError(kEditorErrWrite, "The selection cannot be saved as " + m_destinationFile + ": it is a folder.");

    editorsave::Request r{m_sourceFile, m_destinationFile};
    r.startMs = m_selectionStartMs;
    r.lengthMs = m_selectionLengthMs;
    // The times of the last reported selection stand for its exact samples.
    r.exact = m_reader && SameFile(m_sourceFile, m_path) && m_selectionStartMs == m_reported.startMs &&
              std::int64_t(m_selectionLengthMs) == std::int64_t(m_reported.endMs) - m_reported.startMs;
    r.first = m_reported.start;
    r.end = m_reported.end;
    editorsave::Events events;
    events.progress = [this](std::int32_t percent) { emit Progress(percent); };
    events.done = [this] { emit Done(); };
    events.aborted = [this] { emit Aborted(); };
    events.error = [this](std::int32_t code, const QString& text) { emit Error(code, text); };
    m_saveThread->Start(editorsave::SaveJob(std::move(r), std::move(events)));
}

void cAudioEditor::Abort() { m_saveThread->Abort(); }

void cAudioEditor::Terminate()
{
    if (m_player) m_player->Terminate();
    m_cursorTimer.stop();
    m_cursor = -1;
    m_saveThread->Stop();
    m_peakThread->Stop();
    m_cache.clear();
    m_peaks.reset();
    m_reader.reset();
    m_path.clear();
    m_viewFirst = m_viewEnd = 0;
    m_reported = {};
    update();
}

// ---------------------------------------------------------------------------
// Colours

void cAudioEditor::SetForeColor(std::int32_t color)
{
    m_foreColor = color;
    update();
}

void cAudioEditor::SetBarColor(std::int32_t color)
{
    m_barColor = color;
    update();
}

void cAudioEditor::SetBackColor(std::int32_t color)
{
    m_backColor = color;
    update();
}

// ---------------------------------------------------------------------------
// Mouse

QRect cAudioEditor::waveArea() const { return rect().adjusted(0, kRulerHeight, 0, 0); }

std::int64_t cAudioEditor::sampleAt(double x) const
{
    const double width = std::max(1, waveArea().width());
    const double part = std::clamp(x / width, 0.0, 1.0);
    return m_viewFirst + std::llround(part * double(m_viewEnd - m_viewFirst));
}

double cAudioEditor::xOf(std::int64_t sample) const
{
    const std::int64_t frames = m_viewEnd - m_viewFirst;
    return frames > 0 ? double(sample - m_viewFirst) * waveArea().width() / double(frames) : 0.0;
}

void cAudioEditor::mousePressEvent(QMouseEvent* event)
{
    if (!m_reader || event->button() != Qt::LeftButton) return;
    m_anchor = sampleAt(event->position().x());
    select(m_anchor, m_anchor);
}

void cAudioEditor::mouseMoveEvent(QMouseEvent* event)
{
    if (m_anchor >= 0 && (event->buttons() & Qt::LeftButton)) select(m_anchor, sampleAt(event->position().x()));
}

void cAudioEditor::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_anchor < 0 || event->button() != Qt::LeftButton) return;
    select(m_anchor, sampleAt(event->position().x()));
    m_anchor = -1;
}

// ---------------------------------------------------------------------------
// Drawing

void cAudioEditor::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    requestPeaks();
}

void cAudioEditor::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintRuler(p, QRect(0, 0, width(), kRulerHeight));
    paintWave(p, waveArea());
}

void cAudioEditor::paintRuler(QPainter& p, const QRect& band) const
{
    p.fillRect(band, widgets::ColorFromNumber(m_barColor));
    const std::int64_t frames = m_viewEnd - m_viewFirst;
    if (!m_reader || frames <= 0 || band.width() <= 0) return;
    const int rate = m_reader->GetFacts().format.sampleRate;
    const double msPerPixel = double(frames) * 1000.0 / rate / band.width();
    const std::int64_t step = TickStepMs(msPerPixel * kMinTickPixels);
    const std::int64_t firstMs = m_viewFirst * 1000 / rate, endMs = m_viewEnd * 1000 / rate;
    p.setPen(widgets::ColorFromNumber(m_foreColor));
    QFont font = p.font();
    font.setPixelSize(kRulerHeight - 7);
    p.setFont(font);
    for (std::int64_t ms = (firstMs + step - 1) / step * step; ms <= endMs; ms += step) {
        const int x = int(xOf(std::llround(double(ms) * rate / 1000.0)));
        p.drawLine(x, band.bottom() - 4, x, band.bottom());
        p.drawText(x + 3, band.top(), kMinTickPixels, band.height() - 3, Qt::AlignLeft | Qt::AlignVCenter,
                   TickText(ms, step));
    }
}

void cAudioEditor::paintWave(QPainter& p, const QRect& area) const
{
    p.fillRect(area, widgets::ColorFromNumber(m_backColor));
    if (!m_reader) return;
    const QColor fore = widgets::ColorFromNumber(m_foreColor);
    const wavefile::Format& f = m_reader->GetFacts().format;
    const int channels = f.channels;
    const double lane = double(area.height()) / channels;
    const double full = std::ldexp(1.0, f.bitsPerSample - 1);

    QColor axis = fore;
    axis.setAlpha(80);
    p.setPen(axis);
    for (int c = 0; c < channels; ++c) {
        const int mid = area.top() + int(lane * (c + 0.5));
        p.drawLine(area.left(), mid, area.right(), mid);
    }
    // Peaks of this range built for another width are stretched until the new ones come.
    if (m_peaks && m_peaks->view.first == m_viewFirst && m_peaks->view.end == m_viewEnd) {
        const double scale = double(area.width()) / m_peaks->view.columns;
        std::vector<QLineF> lines;
        lines.reserve(size_t(m_peaks->view.columns) * channels);
        for (int col = 0; col < m_peaks->view.columns; ++col)
            for (int c = 0; c < channels; ++c) {
                const double mid = area.top() + lane * (c + 0.5), half = lane / 2 - 1;
                const size_t i = size_t(col) * channels + c;
                const double x = area.left() + (col + 0.5) * scale;
                lines.emplace_back(x, mid - m_peaks->max[i] / full * half, x, mid - m_peaks->min[i] / full * half);
            }
        p.setPen(fore);
        p.drawLines(lines.data(), int(lines.size()));
    }

    if (m_reported.end > m_reported.start) {
        QColor tint = fore;
        tint.setAlpha(70);
        const double x0 = std::max(0.0, xOf(m_reported.start)), x1 = std::min<double>(area.width(), xOf(m_reported.end));
        if (x1 >= x0) p.fillRect(QRectF(area.left() + x0, area.top(), std::max(1.0, x1 - x0), area.height()), tint);
    } else if (m_reported.start >= m_viewFirst && m_reported.start <= m_viewEnd) {
        p.setPen(fore);
        const double x = area.left() + xOf(m_reported.start);
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    if (m_cursor >= m_viewFirst && m_cursor <= m_viewEnd) {
        p.setPen(QPen(fore.lighter(), 2));
        const double x = area.left() + xOf(m_cursor);
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
}

// ---------------------------------------------------------------------------

namespace {
std::function<cAudioEditor*(QWidget*)>& Factory()
{
    static std::function<cAudioEditor*(QWidget*)> factory;
    return factory;
}
} // namespace

cAudioEditor* CreateAudioEditor(QWidget* parent) { return Factory() ? Factory()(parent) : new cAudioEditor(parent); }

void SetAudioEditorFactory(std::function<cAudioEditor*(QWidget*)> factory) { Factory() = std::move(factory); }
