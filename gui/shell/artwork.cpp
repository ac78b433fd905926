#include "gui/shell/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <numbers>

#include "base/translation.h"
#include "gui/shell/command_table.h"
#include "shell/shell_texts.h"

namespace kresograf {
namespace {

constexpr int ButtonWidth = 16;
constexpr int ButtonHeight = 15;

QPainterPath SinePath(QRectF box, double periods, double phase = 0.0) {
    QPainterPath path;
    const int steps = 64;
    for (int i = 0; i <= steps; ++i) {
        const double u = static_cast<double>(i) / steps;
        const double x = box.left() + u * box.width();
        const double y = box.center().y() -
                         0.5 * box.height() * std::sin(2 * std::numbers::pi * periods * u + phase);
        if (i == 0) {
            path.moveTo(x, y);
        } else {
            path.lineTo(x, y);
        }
    }
    return path;
}

void DrawScreen(QPainter& p) {
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(0.5, 1.5, 15, 12));
}

void DrawArrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    if (len == 0) {
        return;
    }
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    p.drawLine(to, to - 3 * u + 2.5 * n);
    p.drawLine(to, to - 3 * u - 2.5 * n);
}

void DrawButton(QPainter& p, int id) {
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green(0, 200, 0);
    const QColor grid(150, 150, 150);
    switch (id) {
        case ID_FILE_NEW: {
            QPainterPath page;
            page.moveTo(3.5, 0.5);
            page.lineTo(10.5, 0.5);
            page.lineTo(13.5, 3.5);
            page.lineTo(13.5, 14.5);
            page.lineTo(3.5, 14.5);
            page.closeSubpath();
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::white);
            p.drawPath(page);
            p.drawLine(QPointF(10.5, 0.5), QPointF(10.5, 3.5));
            p.drawLine(QPointF(10.5, 3.5), QPointF(13.5, 3.5));
            break;
        }
        case ID_FILE_OPEN: {
            p.setPen(QPen(QColor(120, 90, 0), 1));
            p.setBrush(QColor(240, 200, 80));
            p.drawRect(QRectF(0.5, 4.5, 12, 9));
            QPainterPath lid;
            lid.moveTo(2.5, 13.5);
            lid.lineTo(5.5, 7.5);
            lid.lineTo(15.5, 7.5);
            lid.lineTo(12.5, 13.5);
            lid.closeSubpath();
            p.setBrush(QColor(255, 225, 120));
            p.drawPath(lid);
            p.setPen(QPen(Qt::black, 1));
            DrawArrow(p, QPointF(9, 3), QPointF(13, 1));
            break;
        }
        case ID_FILE_SAVE: {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(QColor(40, 60, 160));
            p.drawRect(QRectF(1.5, 0.5, 13, 14));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 0.5, 7, 5));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(4.5, 9.5, 7, 5));
            break;
        }
        case ID_FILE_PRINT: {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 0.5, 7, 6));
            p.setBrush(QColor(190, 190, 190));
            p.drawRect(QRectF(0.5, 5.5, 15, 6));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 9.5, 9, 5));
            break;
        }
        case ID_SWAP_CHANNELS: {
            p.setPen(QPen(QColor(0, 0, 160), 1.2));
            DrawArrow(p, QPointF(2, 4.5), QPointF(14, 4.5));
            p.setPen(QPen(QColor(0, 150, 0), 1.2));
            DrawArrow(p, QPointF(14, 10.5), QPointF(2, 10.5));
            break;
        }
        case ID_OSC_START: {
            DrawScreen(p);
            p.setPen(QPen(green, 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawPath(SinePath(QRectF(1.5, 4, 13, 7), 1.5));
            break;
        }
        case ID_REC_START: {
            DrawScreen(p);
            p.setPen(QPen(green, 1));
            p.setBrush(Qt::NoBrush);
            p.drawPath(SinePath(QRectF(1.5, 4, 9, 7), 2.5));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(230, 0, 0));
            p.drawEllipse(QPointF(12, 7.5), 2.6, 2.6);
            break;
        }
        case ID_GRID: {
            DrawScreen(p);
            p.setPen(QPen(grid, 1, Qt::DotLine));
            for (double x = 4.5; x < 15; x += 4) {
                p.drawLine(QPointF(x, 2), QPointF(x, 13));
            }
            for (double y = 4.5; y < 13; y += 4) {
                p.drawLine(QPointF(1, y), QPointF(15, y));
            }
            break;
        }
        case ID_AUTOSCALE: {
            DrawScreen(p);
            p.setPen(QPen(green, 1));
            p.drawPath(SinePath(QRectF(1.5, 3, 13, 9), 1.0));
            p.setPen(QPen(Qt::yellow, 1));
            DrawArrow(p, QPointF(8, 7.5), QPointF(8, 2.5));
            DrawArrow(p, QPointF(8, 7.5), QPointF(8, 12.5));
            break;
        }
        case ID_ALIGN_SCALES: {
            DrawScreen(p);
            p.setPen(QPen(Qt::white, 1));
            p.drawLine(QPointF(4.5, 3), QPointF(4.5, 12));
            p.drawLine(QPointF(11.5, 3), QPointF(11.5, 12));
            p.setPen(QPen(Qt::yellow, 1));
            p.drawLine(QPointF(3, 3.5), QPointF(13, 3.5));
            p.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
            break;
        }
        case ID_LINK_SCALES: {
            p.setPen(QPen(QColor(60, 60, 60), 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(1, 4.5, 8, 5), 2.5, 2.5);
            p.drawRoundedRect(QRectF(7, 5.5, 8, 5), 2.5, 2.5);
            break;
        }
        case ID_FIX_X_ZERO: {
            DrawScreen(p);
            p.setPen(QPen(Qt::yellow, 1));
            p.drawLine(QPointF(2.5, 2.5), QPointF(2.5, 12.5));
            DrawArrow(p, QPointF(13, 7.5), QPointF(3.5, 7.5));
            break;
        }
        case ID_FIX_Y_ZERO: {
            DrawScreen(p);
            p.setPen(QPen(Qt::yellow, 1));
            p.drawLine(QPointF(1.5, 7.5), QPointF(14.5, 7.5));
            DrawArrow(p, QPointF(8, 2.5), QPointF(8, 6.5));
            DrawArrow(p, QPointF(8, 12.5), QPointF(8, 8.5));
            break;
        }
        case ID_APP_ABOUT: {
            p.setPen(QPen(QColor(0, 0, 128), 1));
            p.setBrush(QColor(255, 255, 200));
            p.drawEllipse(QRectF(0.5, 0.5, 14, 14));
            QFont font = p.font();
            font.setPixelSize(12);
            font.setBold(true);
            p.setFont(font);
            p.drawText(QRectF(0, 0, ButtonWidth, ButtonHeight), Qt::AlignCenter, "i");
            break;
        }
        case ID_HELP_FINDER: {
            QFont font = p.font();
            font.setPixelSize(13);
            font.setBold(true);
            p.setFont(font);
            p.setPen(QPen(QColor(0, 0, 160), 1));
            p.drawText(QRectF(0, 0, 10, ButtonHeight), Qt::AlignCenter, "?");
            p.setPen(QPen(Qt::black, 1));
            DrawArrow(p, QPointF(15, 13), QPointF(9, 7));
            break;
        }
        default:
            break;
    }
}

}  // namespace

QIcon ToolbarIcon(int commandId) {
    // Drawn at twice the button size so the buttons stay sharp on dense screens.
    QPixmap pixmap(ButtonWidth * 2, ButtonHeight * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    DrawButton(painter, commandId);
    painter.end();
    return QIcon(pixmap);
}

QImage SplashPicture() {
    QImage image(420, 240, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, image.height());
    background.setColorAt(0, QColor(20, 30, 70));
    background.setColorAt(1, QColor(0, 0, 0));
    p.fillRect(image.rect(), background);
    const QRectF plot(20, 90, 380, 120);
    p.setPen(QPen(QColor(96, 96, 96), 1, Qt::DotLine));
    for (int i = 1; i < 8; ++i) {
        const double x = plot.left() + i * plot.width() / 8;
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    p.setPen(QPen(QColor(0, 255, 0), 2));
    p.drawPath(SinePath(plot.adjusted(0, 10, 0, -10), 3.0));
    p.setPen(QPen(QColor(255, 255, 0), 2));
    p.drawPath(SinePath(plot.adjusted(0, 35, 0, -35), 5.0, 1.0));
    QFont title("Arial");
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 18, image.width(), 40), Qt::AlignCenter,
               QString::fromUtf8(Tr(texts::MainTitle)));
    QFont subtitle("Arial");
    subtitle.setPixelSize(14);
    p.setFont(subtitle);
    p.setPen(QColor(200, 200, 220));
    p.drawText(QRectF(0, 54, image.width(), 24), Qt::AlignCenter,
               QString::fromUtf8(Tr(texts::AboutLine1)) + QString::fromUtf8(Tr(texts::AboutLine2)));
    p.end();
    return image;
}

QImage AboutPicture() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 96, 96), 1, Qt::DotLine));
    for (int x = 16; x < 64; x += 16) {
        p.drawLine(x, 0, x, 48);
    }
    p.drawLine(0, 24, 64, 24);
    p.setPen(QPen(QColor(0, 255, 0), 1.5));
    p.drawPath(SinePath(QRectF(0, 8, 64, 32), 2.0));
    p.end();
    return image;
}

QIcon ProgramIcon() {
    // The large sizes come from the picture the desktop entry installs; small ones are drawn
    // for the pixel grid.
    QIcon icon(QStringLiteral(":/kresograf.png"));
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size / 16.0;
        p.setPen(QPen(QColor(80, 80, 80), s));
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(0.5 * s, 1.5 * s, 15 * s, 13 * s), 2 * s, 2 * s);
        p.setPen(QPen(QColor(0, 230, 0), 1.3 * s));
        p.drawPath(SinePath(QRectF(2 * s, 4 * s, 12 * s, 8 * s), 1.5));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace kresograf
