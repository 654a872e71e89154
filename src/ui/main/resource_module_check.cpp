#include "ui/main/resource_module_check.h"

#include <QList>
#include <cstdint>

namespace {

// Node flags of the resource tree.
constexpr quint16 ZlibFlag = 0x01;
constexpr quint16 DirectoryFlag = 0x02;
constexpr quint16 ZstdFlag = 0x04;

// A picture in the module is small; a compressed block that claims to unpack
// to more than this is damaged, and unpacking it would allocate that much.
constexpr quint64 MaxUnpackedSize = 64 * 1024 * 1024;

class TReader {
public:
  explicit TReader(const QByteArray& bytes)
      : FData(reinterpret_cast<const uchar*>(bytes.constData())),
        FSize(static_cast<quint64>(bytes.size())) {}

  quint64 Size() const { return FSize; }
  bool Fits(quint64 at, quint64 length) const { return at <= FSize && length <= FSize - at; }

  // Big-endian, as the file stores them; callers check Fits first.
  quint64 Number(quint64 at, int width) const {
    quint64 value = 0;
    for (int i = 0; i < width; ++i)
      value = (value << 8) | FData[at + static_cast<quint64>(i)];
    return value;
  }
  quint64 LittleEndian(quint64 at, int width) const {
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
      value = (value << 8) | FData[at + static_cast<quint64>(i)];
    return value;
  }
  uchar Byte(quint64 at) const { return FData[at]; }

private:
  const uchar* FData;
  quint64 FSize;
};

// A zstd frame states the size it unpacks to in its header; a frame without
// that size cannot be bounded before it is unpacked.
bool SoundZstdFrame(const TReader& r, quint64 at, quint64 length) {
  if (length < 6 || r.LittleEndian(at, 4) != 0xFD2FB528u)
    return false;
  const uchar descriptor = r.Byte(at + 4);
  const int sizeFlag = descriptor >> 6;
  const bool singleSegment = (descriptor & 0x20) != 0;
  static constexpr int DictionaryIdWidths[] = {0, 1, 2, 4};
  static constexpr int ContentSizeWidths[] = {0, 2, 4, 8};
  const int contentWidth = sizeFlag == 0 && singleSegment ? 1 : ContentSizeWidths[sizeFlag];
  if (contentWidth == 0)
    return false;
  const quint64 sizeAt =
      at + 5 + (singleSegment ? 0 : 1) + static_cast<quint64>(DictionaryIdWidths[descriptor & 3]);
  if (!r.Fits(sizeAt, static_cast<quint64>(contentWidth)) || sizeAt + contentWidth > at + length)
    return false;
  quint64 unpacked = r.LittleEndian(sizeAt, contentWidth);
  if (contentWidth == 2)
    unpacked += 256;
  return unpacked <= MaxUnpackedSize;
}

bool SoundData(const TReader& r, quint64 dataBase, quint64 offset, quint16 flags) {
  const quint64 at = dataBase + offset;
  if (!r.Fits(at, 4))
    return false;
  const quint64 length = r.Number(at, 4);
  if (!r.Fits(at + 4, length))
    return false;
  if (flags & ZlibFlag) {
    // The block starts with the unpacked size; deflate packs at most about
    // 1032 to 1.
    return length >= 4 && r.Number(at + 4, 4) <= qMin(MaxUnpackedSize, length * 1032 + 64);
  }
  if (flags & ZstdFlag)
    return SoundZstdFrame(r, at + 4, length);
  return true;
}

bool SoundName(const TReader& r, quint64 namesBase, quint64 offset, bool root) {
  const quint64 at = namesBase + offset;
  if (!r.Fits(at, 6))
    return false;
  const quint64 units = r.Number(at, 2);
  if (!r.Fits(at + 6, units * 2))
    return false;
  // Every entry below the root is reached by its name; an empty one, or one
  // holding a path separator, could never be looked up.
  if (root)
    return true;
  if (units == 0)
    return false;
  for (quint64 i = 0; i < units; ++i) {
    const quint64 unit = r.Number(at + 6 + 2 * i, 2);
    if (unit == u'/' || unit == 0)
      return false;
  }
  return true;
}

} // namespace

bool IsSoundResourceModule(const QByteArray& bytes) {
  const TReader r(bytes);
  if (!r.Fits(0, 20) || r.Number(0, 4) != 0x71726573u) // "qres"
    return false;
  const quint64 version = r.Number(4, 4);
  if (version < 1 || version > 3)
    return false;
  if (version >= 3 && !r.Fits(0, 24))
    return false;
  const quint64 treeBase = r.Number(8, 4);
  const quint64 dataBase = r.Number(12, 4);
  const quint64 namesBase = r.Number(16, 4);
  // Version 2 added each node's modification time.
  const quint64 nodeSize = version >= 2 ? 22 : 14;
  if (treeBase >= r.Size() || dataBase > r.Size() || namesBase > r.Size())
    return false;
  const quint64 nodeCount = (r.Size() - treeBase) / nodeSize;
  if (nodeCount == 0)
    return false;

  // Every node reachable from the root, each once: a node reached twice makes
  // the tree a loop or a shared branch, which no resource compiler writes.
  QList<bool> seen(static_cast<qsizetype>(nodeCount), false);
  QList<quint64> pending{0};
  while (!pending.isEmpty()) {
    const quint64 node = pending.takeLast();
    if (node >= nodeCount || seen[static_cast<qsizetype>(node)])
      return false;
    seen[static_cast<qsizetype>(node)] = true;
    const quint64 at = treeBase + node * nodeSize;
    const auto flags = static_cast<quint16>(r.Number(at + 4, 2));
    if (!SoundName(r, namesBase, r.Number(at, 4), node == 0))
      return false;
    if (flags & DirectoryFlag) {
      if (flags != DirectoryFlag)
        return false;
      const quint64 count = r.Number(at + 6, 4);
      const quint64 first = r.Number(at + 10, 4);
      if (first > nodeCount || count > nodeCount - first)
        return false;
      for (quint64 child = first; child < first + count; ++child)
        pending.append(child);
    } else {
      if (node == 0 || (flags & ~(ZlibFlag | ZstdFlag)) != 0 || flags == (ZlibFlag | ZstdFlag))
        return false;
      if (!SoundData(r, dataBase, r.Number(at + 10, 4), flags))
        return false;
    }
  }
  return true;
}
