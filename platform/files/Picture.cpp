#include "platform/files/Picture.h"

#include "platform/files/WholeFile.h"

#include <QBuffer>
#include <QImageReader>

namespace Picture
{

QImage read(const QString& path, QString* reason)
{
    QByteArray bytes;
    QString why;
    QImage image;
    if (WholeFile::read(path, &bytes, &why)) {
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        image = reader.read();
        if (image.isNull())
            why = reader.errorString();
    }
    if (image.isNull() && reason)
        *reason = why;
    return image;
}

} // namespace Picture
