#pragma once
// The progress bar of the widget library: a bar from Min to Max filled to
// Value in BarColor, or with BarPicture when one is given, and a text.
#include <QPixmap>
#include "controls/widgets/RangeBar.h"

#include <QWidget>
#include <cstdint>

class cProgressBar : public RangeBar {
    Q_OBJECT
public:
    explicit cProgressBar(QWidget* parent = nullptr);

    std::int32_t BarColor() const { return m_barColor; }
    void SetBarColor(std::int32_t color);
    QPixmap BarPicture() const { return m_barPicture; }
    void SetBarPicture(const QPixmap& picture);
    // Drawn over the bar.
    QString Text() const { return m_text; }
    void SetText(const QString& text);

    QSize sizeHint() const override { return QSize(160, 18); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::int32_t m_barColor = std::int32_t(0x8000000D);
    QPixmap m_barPicture;
    QString m_text;
};
