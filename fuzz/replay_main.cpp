// Feeds files to a fuzz target's entry point with an ordinary build, so the
// corpus (every crash once found and fixed among it) runs under ctest.
// Arguments: files or folders; a folder contributes every file in it.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Targets that keep state between inputs free it here, so the leak check at
// the end of a sanitizer run sees only what the inputs leaked.
extern "C" void TralvescoFuzzTeardown() __attribute__((weak));

namespace {

bool Replay(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
    return false;
  }
  const QByteArray bytes = file.readAll();
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size()));
  return true;
}

} // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const QString path = QString::fromLocal8Bit(argv[i]);
    if (QFileInfo(path).isDir()) {
      QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        ok = Replay(it.next()) && ok;
        ++replayed;
      }
    } else {
      ok = Replay(path) && ok;
      ++replayed;
    }
  }
  if (TralvescoFuzzTeardown)
    TralvescoFuzzTeardown();
  std::printf("replayed %d inputs\n", replayed);
  return ok && replayed > 0 ? 0 : 1;
}
