#include "app/window/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ocuvis {

namespace {

const QColor kInk(40, 40, 40);
const QColor kRed(210, 30, 30);
const QColor kBlue(30, 60, 220);

void Eye(QPainter& p, QPointF centre, const QColor& colour) {
    p.setPen(QPen(colour, 1.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath lid;
    lid.moveTo(centre.x() - 4.5, centre.y());
    lid.quadTo(centre.x(), centre.y() - 4.5, centre.x() + 4.5, centre.y());
    lid.quadTo(centre.x(), centre.y() + 4.5, centre.x() - 4.5, centre.y());
    p.drawPath(lid);
    p.setBrush(colour);
    p.drawEllipse(centre, 1.6, 1.6);
}

// A curved arrow around the centre: horizontal for the azimuth, vertical for the elevation.
void TurnArrow(QPainter& p, bool horizontal) {
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(Qt::NoBrush);
    const QRectF ring = horizontal ? QRectF(2, 6, 16, 8) : QRectF(6, 2, 8, 16);
    p.drawArc(ring, 30 * 16, 300 * 16);
    p.setBrush(kInk);
    const QPolygonF head = horizontal ? QPolygonF({{15, 4}, {19, 8}, {14, 9}})
                                      : QPolygonF({{12, 1}, {16, 5}, {11, 6}});
    p.drawPolygon(head);
}

void Text(QPainter& p, const QRectF& box, const QString& text, int pixelSize, bool bold = true,
          const QColor& colour = kInk) {
    QFont font("Liberation Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

void DrawFileIcon(QPainter& p, ToolbarIcon icon) {
    switch (icon) {
        case ToolbarIcon::FileSetup:
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 2.5, 11, 15));
            for (int row = 0; row < 3; ++row) {
                p.drawLine(QPointF(5.5, 6.5 + 4 * row), QPointF(12.5, 6.5 + 4 * row));
                p.setBrush(kBlue);
                p.drawEllipse(QPointF(7 + 3 * row, 6.5 + 4 * row), 1.3, 1.3);
            }
            break;
        case ToolbarIcon::ReOpen:
            p.setPen(QPen(kInk, 1.8));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 4, 12, 12), 60 * 16, 280 * 16);
            p.setBrush(kInk);
            p.drawPolygon(QPolygonF({{12, 1}, {16, 5}, {11, 7}}));
            break;
        case ToolbarIcon::Open:
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(QColor(240, 200, 90));
            p.drawPolygon(QPolygonF({{2, 5}, {8, 5}, {10, 7}, {17, 7}, {17, 16}, {2, 16}}));
            p.setBrush(QColor(250, 220, 120));
            p.drawPolygon(QPolygonF({{4, 9}, {19, 9}, {17, 16}, {2, 16}}));
            break;
        default:
            break;
    }
}

void DrawViewIcon(QPainter& p, ToolbarIcon icon) {
    switch (icon) {
        case ToolbarIcon::CrossEyes:
            Eye(p, {5.5, 6}, kInk);
            Eye(p, {14.5, 6}, kInk);
            p.setPen(QPen(kInk, 1.3));
            p.drawLine(QPointF(5.5, 9), QPointF(14.5, 18));
            p.drawLine(QPointF(14.5, 9), QPointF(5.5, 18));
            break;
        case ToolbarIcon::WallEyes:
            Eye(p, {5.5, 6}, kInk);
            Eye(p, {14.5, 6}, kInk);
            p.setPen(QPen(kInk, 1.3));
            p.drawLine(QPointF(5.5, 9), QPointF(5.5, 18));
            p.drawLine(QPointF(14.5, 9), QPointF(14.5, 18));
            break;
        case ToolbarIcon::RightRed:
        case ToolbarIcon::RightBlue: {
            const bool redRight = icon == ToolbarIcon::RightRed;
            p.setPen(QPen(kInk, 1.2));
            p.setBrush(redRight ? kBlue : kRed);
            p.drawRoundedRect(QRectF(1.5, 6.5, 7, 6), 2, 2);
            p.setBrush(redRight ? kRed : kBlue);
            p.drawRoundedRect(QRectF(11.5, 6.5, 7, 6), 2, 2);
            p.drawLine(QPointF(8.5, 8.5), QPointF(11.5, 8.5));
            break;
        }
        case ToolbarIcon::Plain:
            p.setPen(QPen(kInk, 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(3.5, 3.5, 13, 13));
            p.drawLine(QPointF(3.5, 16.5), QPointF(16.5, 3.5));
            break;
        default:
            break;
    }
}

void DrawPlotIcon(QPainter& p, ToolbarIcon icon) {
    switch (icon) {
        case ToolbarIcon::ZInvert:
            Text(p, QRectF(0, 0, 13, 20), "Z", 14);
            p.setPen(QPen(kInk, 1.4));
            p.drawLine(QPointF(16, 3), QPointF(16, 17));
            p.setBrush(kInk);
            p.drawPolygon(QPolygonF({{13, 5}, {16, 1}, {19, 5}}));
            p.drawPolygon(QPolygonF({{13, 15}, {16, 19}, {19, 15}}));
            break;
        case ToolbarIcon::AutoScale:
            Text(p, QRectF(0, 0, 20, 20), "A", 14);
            p.setPen(QPen(kBlue, 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(1.5, 1.5, 17, 17));
            break;
        case ToolbarIcon::ModeIndicator:
            Text(p, QRectF(0, 0, 20, 20), "3D", 10);
            break;
        case ToolbarIcon::Lines:
            p.setPen(QPen(kBlue, 1.8));
            p.drawPolyline(QPolygonF({{2, 16}, {7, 6}, {12, 13}, {18, 3}}));
            break;
        case ToolbarIcon::Points:
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            for (const QPointF& c :
                 {QPointF(4, 15), QPointF(8, 7), QPointF(12, 12), QPointF(16, 4), QPointF(15, 16)})
                p.drawEllipse(c, 1.8, 1.8);
            break;
        case ToolbarIcon::Grid:
            p.setPen(QPen(kRed, 1.5));
            p.drawLine(QPointF(4, 16), QPointF(18, 16));
            p.drawLine(QPointF(4, 16), QPointF(4, 2));
            p.drawLine(QPointF(4, 16), QPointF(10, 10));
            break;
        case ToolbarIcon::FullGrid:
            p.setPen(QPen(kRed, 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(2.5, 6.5, 11, 11));
            p.drawRect(QRectF(6.5, 2.5, 11, 11));
            p.drawLine(QPointF(2.5, 6.5), QPointF(6.5, 2.5));
            p.drawLine(QPointF(13.5, 6.5), QPointF(17.5, 2.5));
            p.drawLine(QPointF(2.5, 17.5), QPointF(6.5, 13.5));
            p.drawLine(QPointF(13.5, 17.5), QPointF(17.5, 13.5));
            break;
        case ToolbarIcon::AxisLabels:
            p.setPen(QPen(kRed, 1.4));
            p.drawLine(QPointF(7, 17), QPointF(19, 17));
            p.drawLine(QPointF(7, 17), QPointF(7, 5));
            Text(p, QRectF(0, 0, 7, 10), "1", 8, false);
            Text(p, QRectF(0, 8, 7, 10), "0", 8, false);
            break;
        case ToolbarIcon::Titles:
            Text(p, QRectF(0, 0, 20, 20), "T", 15);
            break;
        default:
            break;
    }
}

void DrawRotationIcon(QPainter& p, ToolbarIcon icon) {
    switch (icon) {
        case ToolbarIcon::RotateAzimuth:
            TurnArrow(p, true);
            break;
        case ToolbarIcon::RotateElevation:
            TurnArrow(p, false);
            break;
        case ToolbarIcon::Faster:
        case ToolbarIcon::Slower: {
            const bool faster = icon == ToolbarIcon::Faster;
            p.setPen(Qt::NoPen);
            p.setBrush(faster ? QColor(20, 140, 40) : QColor(180, 110, 20));
            for (int i = 0; i < 2; ++i) {
                const double x = 3 + 7 * i;
                p.drawPolygon(faster ? QPolygonF({{x, 4}, {x + 7, 10}, {x, 16}})
                                     : QPolygonF({{x + 7, 4}, {x, 10}, {x + 7, 16}}));
            }
            break;
        }
        case ToolbarIcon::Program:
            p.scale(1.6, 1.6);
            Eye(p, {5.5, 8}, kBlue);
            Eye(p, {14.5, 8}, kRed);
            p.setPen(QPen(kInk, 1.2));
            p.drawLine(QPointF(10, 12), QPointF(10, 18));
            break;
        default:
            break;
    }
}

// Each group draws its own icons and leaves the others alone; None draws nothing.
void Draw(QPainter& p, ToolbarIcon icon) {
    p.setRenderHint(QPainter::Antialiasing);
    DrawFileIcon(p, icon);
    DrawViewIcon(p, icon);
    DrawPlotIcon(p, icon);
    DrawRotationIcon(p, icon);
}

}  // namespace

QIcon MakeToolbarIcon(ToolbarIcon icon) {
    const int size = icon == ToolbarIcon::Program ? 32 : 20;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        Draw(painter, icon);
    }
    return QIcon(pixmap);
}

}  // namespace ocuvis
