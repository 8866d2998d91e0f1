#include "platform/ImageTint.h"

#include <cstdlib>

QImage tintGreys(const QImage& source, quint32 colour)
{
    QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int red = static_cast<int>(colour & 0xFF);
    const int green = static_cast<int>((colour >> 8) & 0xFF);
    const int blue = static_cast<int>((colour >> 16) & 0xFF);
    for (int y = 0; y < image.height(); ++y) {
        uchar* pixel = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, pixel += 3) {
            const int r = pixel[0];
            const int g = pixel[1];
            const int b = pixel[2];
            if (std::abs(r - g) >= 31 || std::abs(r - b) >= 31)
                continue;
            const int m = (r + g + b) / 3;
            pixel[0] = static_cast<uchar>(m * red / 255);
            pixel[1] = static_cast<uchar>(m * green / 255);
            pixel[2] = static_cast<uchar>(m * blue / 255);
        }
    }
    return image;
}

QImage loadTinted(const QString& resource, quint32 colour)
{
    const QImage image(resource);
    if (image.isNull())
        return image;
    return tintGreys(image, colour);
}
