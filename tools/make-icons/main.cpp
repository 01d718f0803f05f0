// Draws the program's icons into the folder given on the command line: the two window icons
// "KELP.ico" (normal) and "W95MBX03.ico" (a cycle logged notifying exceptions), built into the
// program as resources, and the program icon for the desktop's menu in each theme size given, as
// hicolor/NxN/apps/vigilstat.png.
#include <cstdio>
#include <cstdlib>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

namespace {

// The drawings are laid out on a 48-pixel grid and scaled to the size asked for.
constexpr int kGrid = 48;
constexpr int kWindowIconSize = 48;

QImage canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void begin(QPainter& p, int size)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(size) / kGrid, double(size) / kGrid);
}

// A watchful eye on a recorder-blue tile.
QImage drawWatchIcon(int size)
{
    QImage image = canvas(size);
    QPainter p(&image);
    begin(p, size);
    p.setPen(QPen(QColor(0x0b, 0x2a, 0x4a), 2));
    p.setBrush(QColor(0x1f, 0x5f, 0x9f));
    p.drawRoundedRect(QRectF(2, 2, kGrid - 4, kGrid - 4), 8, 8);

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
QImage drawAlertIcon(int size)
{
    QImage image = canvas(size);
    QPainter p(&image);
    begin(p, size);
    p.setPen(QPen(QColor(0x5a, 0x0a, 0x0a), 2));
    p.setBrush(QColor(0xc6, 0x28, 0x28));
    p.drawRoundedRect(QRectF(2, 2, kGrid - 4, kGrid - 4), 8, 8);

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

bool save(const QImage& image, const QString& path, const char* format)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QImageWriter writer(path, format);
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
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-icons <output folder> [theme icon size...]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok =
        save(drawWatchIcon(kWindowIconSize), out.filePath(QStringLiteral("KELP.ico")), "ico") &&
        save(drawAlertIcon(kWindowIconSize), out.filePath(QStringLiteral("W95MBX03.ico")), "ico");
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "make-icons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString path =
            out.filePath(QStringLiteral("hicolor/%1x%1/apps/vigilstat.png").arg(size));
        ok = ok && save(drawWatchIcon(size), path, "png");
    }
    return ok ? 0 : 1;
}
