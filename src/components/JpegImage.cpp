#include "components/JpegImage.h"

#include <jpeglib.h>

#include <QFile>
#include <csetjmp>
#include <cstdio>

namespace tarvix {

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void onError(j_common_ptr info) {
  auto* err = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr) {}

// Decodes into `out`. A libjpeg error jumps back to the setjmp here; `out` is
// a reference, so nothing this frame changes after setjmp is read after the
// jump.
bool decodeInto(const QByteArray& data, QImage& out) {
  jpeg_decompress_struct info{};
  ErrorManager err{};
  info.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = onError;
  err.pub.output_message = onMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
               QImage::Format_RGB888);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

QImage decodeJpeg(const QByteArray& data) {
  if (data.isEmpty()) return {};
  QImage image;
  if (!decodeInto(data, image)) return {};
  return image;
}

QImage loadJpeg(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return decodeJpeg(f.readAll());
}

}  // namespace tarvix
