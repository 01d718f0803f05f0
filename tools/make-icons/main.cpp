// Draws the program's two window icons and writes them as .ico files into the folder given on
// the command line: "KELP.ico" (normal) and "W95MBX03.ico" (a cycle logged notifying exceptions).
#include <cstdio>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSize = 48;

QImage canvas()
{
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// A watchful eye on a recorder-blue tile.
QImage drawWatchIcon()
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x0b, 0x2a, 0x4a), 2));
    p.setBrush(QColor(0x1f, 0x5f, 0x9f));
    p.drawRoundedRect(QRectF(2, 2, kSize - 4, kSize - 4), 8, 8);

    QPainterPath eye;
    eye.moveTo(7, 24);
    eye.quadTo(24, 6, 41, 24);
    eye.quadTo(24, 42, 7, 24);
    p.setPen(QPen(QColor(0x0b, 0x2a, 0x4a), 2));
    p.setBrush(Qt::white);
    p.drawPath(eye);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0xa0, 0x43));
    p.drawEllipse(QPointF(24, 24), 8, 8);
    p.setBrush(QColor(0x10, 0x10, 0x10));
    p.drawEllipse(QPointF(24, 24), 4, 4);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(21.5, 21.5), 1.6, 1.6);
    return image;
}

// The same tile turned to an alarm: a red tile with a warning sign.
QImage drawAlertIcon()
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x5a, 0x0a, 0x0a), 2));
    p.setBrush(QColor(0xc6, 0x28, 0x28));
    p.drawRoundedRect(QRectF(2, 2, kSize - 4, kSize - 4), 8, 8);

    QPainterPath triangle;
    triangle.moveTo(24, 7);
    triangle.lineTo(42, 39);
    triangle.lineTo(6, 39);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(0x30, 0x20, 0x00), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xff, 0xd2, 0x2e));
    p.drawPath(triangle);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRoundedRect(QRectF(22, 16, 4, 13), 1.5, 1.5);
    p.drawEllipse(QPointF(24, 34), 2.3, 2.3);
    return image;
}

bool save(const QImage& image, const QString& path)
{
    QImageWriter writer(path, "ico");
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "make-icons: %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icons <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path()))
        return 1;
    const bool ok = save(drawWatchIcon(), out.filePath(QStringLiteral("KELP.ico"))) &&
                    save(drawAlertIcon(), out.filePath(QStringLiteral("W95MBX03.ico")));
    return ok ? 0 : 1;
}
