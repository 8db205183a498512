#pragma once
// The progress bar library: a flat bar from Min to Max filled to Value in one
// colour. Any range is accepted (a maximum below the minimum shows an empty bar).
#include <QWidget>
#include <cstdint>

class XP_ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit XP_ProgressBar(QWidget* parent = nullptr);

    int Min() const { return m_min; }
    void SetMin(int value);
    int Max() const { return m_max; }
    void SetMax(int value);
    int Value() const { return m_value; }
    void SetValue(int value);
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
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
    std::int32_t m_color = std::int32_t(0x8000000D);
};
