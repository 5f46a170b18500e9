#include "main/icons.h"

#include "main/icondata.h"

#include <QImage>
#include <QPixmap>

#include <cstring>

namespace Icons {

QIcon get(const char *name) {
    QIcon icon;
    for (int i = 0; i < iconImageCount; ++i) {
        const IconImage &image = iconImages[i];
        if (std::strcmp(image.name, name) != 0)
            continue;
        const QImage pixels(reinterpret_cast<const uchar *>(image.pixels), image.size, image.size,
                            QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(pixels));
    }
    return icon;
}

} // namespace Icons
