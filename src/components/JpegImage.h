#pragma once
// JPEG pictures (banners, credits) decoded with libjpeg.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace tarvix {

// Decodes JPEG bytes; a null image when the data is not a readable JPEG.
QImage decodeJpeg(const QByteArray& data);
// Decodes a JPEG file or Qt resource (":/...").
QImage loadJpeg(const QString& path);

}  // namespace tarvix
