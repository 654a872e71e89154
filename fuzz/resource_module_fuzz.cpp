// The resource-module check on arbitrary files: whatever it accepts is
// registered with Qt and every entry in it is listed and read, so a module the
// check lets through that Qt would read outside of is caught by the sanitizer.
#include "ui/main/resource_module_check.h"

#include <QDirIterator>
#include <QFile>
#include <QResource>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Qt reports every damaged compressed block it meets; a message per input
// would be most of the fuzzer's time.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const QtMessageHandler previous = qInstallMessageHandler(&Quiet);
  (void)previous;
  // An exact-size copy: the sanitizer sees a read one byte past the end.
  const auto bytes = std::make_unique<uchar[]>(size);
  std::copy(data, data + size, bytes.get());
  const QByteArray view =
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.get()), qsizetype(size));
  if (!IsSoundResourceModule(view))
    return 0;
  const QString root = QStringLiteral("/FuzzModule");
  if (!QResource::registerResource(bytes.get(), root))
    return 0;
  QDirIterator it(QStringLiteral(":") + root, QDir::AllEntries | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile file(it.next());
    if (file.open(QIODevice::ReadOnly))
      (void)file.readAll();
  }
  QResource::unregisterResource(bytes.get(), root);
  return 0;
}
