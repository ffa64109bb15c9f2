// The painted parts of the main window: its background with the tutor's
// balloon and the abort pointer, the yellow board with its frames, and the
// bar of questions done.
#pragma once

#include <QColor>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

class MasumeCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MasumeCanvas(QWidget* parent = nullptr) : QWidget(parent) {}
    void setBackground(const QColor& colour);
    void showBalloon() { balloon_ = true; update(); }
    void showPointer() { pointer_ = true; update(); }
    bool balloonShown() const { return balloon_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor background_{0, 128, 128};
    bool balloon_ = false;
    bool pointer_ = false;
};

class BoardLabel : public QLabel {
    Q_OBJECT
public:
    explicit BoardLabel(QWidget* parent = nullptr) : QLabel(parent) {}

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// A flat bar: white, a grey line round it, the part done in red.
class ProgressStrip : public QProgressBar {
    Q_OBJECT
public:
    explicit ProgressStrip(QWidget* parent = nullptr) : QProgressBar(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};
