#include "ui/glyphs/raw_pixels.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char Magic[4] = {'T', 'V', 'P', 'X'};
constexpr qsizetype HeaderSize = 12;
// Larger than any picture the program draws by far.
constexpr std::uint32_t MaxSide = 1024;

} // namespace

QByteArray RawPixels(const QImage& image) {
  const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const auto width = static_cast<std::uint32_t>(pixels.width());
  const auto height = static_cast<std::uint32_t>(pixels.height());
  QByteArray bytes(Magic, sizeof Magic);
  bytes.append(reinterpret_cast<const char*>(&width), sizeof width);
  bytes.append(reinterpret_cast<const char*>(&height), sizeof height);
  for (int y = 0; y < pixels.height(); ++y)
    bytes.append(reinterpret_cast<const char*>(pixels.constScanLine(y)),
                 static_cast<qsizetype>(width) * 4);
  return bytes;
}

QImage FromRawPixels(const QByteArray& bytes) {
  if (bytes.size() < HeaderSize || std::memcmp(bytes.constData(), Magic, sizeof Magic) != 0)
    return {};
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::memcpy(&width, bytes.constData() + 4, sizeof width);
  std::memcpy(&height, bytes.constData() + 8, sizeof height);
  if (width == 0 || height == 0 || width > MaxSide || height > MaxSide ||
      bytes.size() != HeaderSize + static_cast<qsizetype>(width) * height * 4)
    return {};
  const QImage view(reinterpret_cast<const uchar*>(bytes.constData() + HeaderSize),
                    static_cast<int>(width), static_cast<int>(height),
                    static_cast<qsizetype>(width) * 4, QImage::Format_ARGB32_Premultiplied);
  // The view borrows the bytes; the picture keeps a copy of its own.
  return view.copy();
}
