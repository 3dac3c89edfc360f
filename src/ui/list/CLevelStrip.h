#pragma once

#include <QWidget>

#include <functional>
#include <vector>

// The level of the whole message drawn from its decoded samples, with the place being heard. A click seeks there,
// a double click plays.
class CLevelStrip : public QWidget {
    Q_OBJECT
public:
    explicit CLevelStrip(QWidget* parent = nullptr);
    // Peaks per column, 0..32767; -1 for parts not decoded yet.
    std::function<std::vector<int>(int columns)> levels;
    // 0..1 of the message; negative: nothing loaded.
    void setPosition(double fraction);

Q_SIGNALS:
    void seekRequested(double fraction);
    void playRequested();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    double m_position = -1;
};
