#pragma once

#include <QImage>
#include <QString>

// Pictures are read whole through WholeFile, as every other file is, and decoded from the bytes read: an image
// reader given the name would open the file itself, past the file guard.
namespace Picture
{

// The picture, or a null image with the reason (the guard's, the system's, or the decoder's).
QImage read(const QString& path, QString* reason = nullptr);

} // namespace Picture
