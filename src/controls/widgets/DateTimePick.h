#pragma once
// The date and time picker library: one field holding a date and time, shown
// and edited in a custom format ("HH:mm:ss" unless set otherwise). A click
// selects the part clicked (hours, minutes...), so typed digits replace it.
#include <QDateTime>
#include <QWidget>

class QDateTimeEdit;

class cDateTimePick : public QWidget {
    Q_OBJECT
public:
    explicit cDateTimePick(QWidget* parent = nullptr);

    QDateTime Value() const;
    void SetValue(const QDateTime& value);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }
    QString CustomFormat() const;
    void SetCustomFormat(const QString& format);

    // The editor inside (tests type into it).
    QDateTimeEdit* Editor() const { return m_edit; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // After the value changed, by the user or by the program.
    void Change(const QDateTime& value);

private:
    QDateTimeEdit* m_edit;
};
