#pragma once
// The progress bar library: a flat bar from Min to Max filled to Value in one
// colour. Any range is accepted (a maximum below the minimum shows an empty bar).
#include "controls/widgets/RangeBar.h"

#include <QWidget>
#include <cstdint>

class XP_ProgressBar : public RangeBar {
    Q_OBJECT
public:
    explicit XP_ProgressBar(QWidget* parent = nullptr);

    std::int32_t Color() const { return m_color; }
    void SetColor(std::int32_t color);
    // The bar's own visibility, whether or not its window is shown: true until
    // the bar is hidden.
    bool Visible() const;
    void SetVisible(bool visible) { setVisible(visible); }

    QSize sizeHint() const override { return QSize(160, 14); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::int32_t m_color = std::int32_t(0x8000000D);
};
