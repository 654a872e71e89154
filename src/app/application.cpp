#include "app/application.h"

#include "core/error_edge.h"
#include "core/product_info.h"
#include "ui/glyphs/glyphs.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIcon>
#include <QPixmapCache>
#include <atomic>
#include <exception>

namespace {

// notify() runs on every thread that has an event loop.
std::atomic<int>& EscapedErrors() {
  static std::atomic<int> count = 0;
  return count;
}

const QString GroupBoxFramePath =
    QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");

// The name QPixmap::load files a picture it read under in the pixmap cache:
// the file's path, time and size, then the kind of pixmap, each number as
// hexadecimal digits, low half-byte first, in memory order.
QString LoadedPixmapKey(const QString& path) {
  const QFileInfo info(path);
  QString key = QStringLiteral("qt_pixmap") + info.absoluteFilePath();
  const auto append = [&key](const auto value) {
    static const char digits[] = "0123456789abcdef";
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    for (std::size_t i = 0; i < sizeof value; ++i) {
      key += QLatin1Char(digits[bytes[i] & 0xf]);
      key += QLatin1Char(digits[bytes[i] >> 4]);
    }
  };
  append(static_cast<uint>(info.lastModified().toSecsSinceEpoch()));
  append(static_cast<quint64>(info.size()));
  append(static_cast<uint>(0)); // a pixmap, not a bitmap
  return key;
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The settings fall-back folder (~/.config/Tralvesco) is named after this.
  setApplicationName(ProductInfo::ApplicationTitle);
  setApplicationVersion(ProductInfo::VersionNumber);
  // Desktops match the windows to the installed desktop entry by this.
  setDesktopFileName(ProductInfo::DesktopId);
  // Every window without an icon of its own, message boxes included, wears
  // this one; it is the same drawing the desktop entry's icon is made from.
  setWindowIcon(ProgramIcon());
  SeedStylePictures();
}

void TApplication::SeedStylePictures() {
  // The Fusion style draws a group box's frame from a PNG of its own, and
  // reading any PNG loads every image plugin Qt has, with their libraries.
  // Loading a picture from a file looks in the pixmap cache first: the same
  // pixels, carried raw and filed there under the file's name, spare the
  // first paint all of that. Should the name not match, the style reads its
  // file as before. A new style or palette empties the cache, so whoever
  // sets one seeds it again.
  if (const QPixmap frame = GroupBoxFramePixmap(); !frame.isNull())
    QPixmapCache::insert(LoadedPixmapKey(GroupBoxFramePath), frame);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ++EscapedErrors();
    ShowHandledError();
    return false;
  }
}

int TApplication::EscapedErrorCount() {
  return EscapedErrors();
}
