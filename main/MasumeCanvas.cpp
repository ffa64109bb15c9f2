#include "main/MasumeCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

void MasumeCanvas::setBackground(const QColor& colour) {
    background_ = colour;
    update();
}

void MasumeCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), background_);
    p.setRenderHint(QPainter::Antialiasing);
    if (balloon_) {
        p.setPen(QPen(Qt::yellow, 1));
        p.setBrush(Qt::yellow);
        p.drawRoundedRect(QRectF(197, 405, 322 - 197, 485 - 405), 10, 10);
        const QPointF tail[] = {{165, 453}, {200, 433}, {200, 443}};
        p.drawPolygon(tail, 3);
    }
    if (pointer_) {
        p.setPen(QPen(Qt::red, 1));
        p.setBrush(Qt::red);
        const QPointF triangle[] = {{474, 276}, {513, 284}, {513, 298}};
        p.drawPolygon(triangle, 3);
    }
}

void MasumeCanvas::mousePressEvent(QMouseEvent* event) {
    emit clicked();
    QWidget::mousePressEvent(event);
}

void BoardLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::yellow);
    p.setPen(QPen(Qt::blue, 1));
    p.setBrush(Qt::yellow);
    p.drawRect(QRect(QPoint(10, 50), QPoint(465 - 1, 250 - 1)));
    p.setPen(QPen(Qt::red, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(20, 180), QPoint(430 - 1, 215 - 1)));
}

void BoardLabel::mousePressEvent(QMouseEvent* event) {
    emit clicked();
    QLabel::mousePressEvent(event);
}

void ProgressStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0 || value() <= minimum()) return;
    const int done = int(inside.width() * (qint64(value()) - minimum()) / span);
    p.fillRect(QRect(inside.topLeft(), QSize(done, inside.height())), Qt::red);
}
