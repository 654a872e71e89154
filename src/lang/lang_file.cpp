#include "lang/lang_file.h"

#include "core/app_error.h"
#include "settings/ini_file.h"
#include "settings/legacy_text.h"
#include "settings/settings.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace {

// What tells one version of a file from another: a rewrite through a
// temporary file changes the inode, one in place the change time.
struct TFileVersion {
  dev_t Device = 0;
  ino_t Inode = 0;
  off_t Size = 0;
  timespec Modified{};
  timespec Changed{};

  bool operator==(const TFileVersion& other) const {
    const auto same = [](const timespec& a, const timespec& b) {
      return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return Device == other.Device && Inode == other.Inode && Size == other.Size &&
           same(Modified, other.Modified) && same(Changed, other.Changed);
  }
};

struct TParsedFile {
  TFileVersion Version;
  std::shared_ptr<const TIniText> Text;
};

// A window's localisers ask for a hundred keys of one file as it opens; the
// file is read and parsed once per version instead of once per key. Only a
// handful of language files exist, so the cache never grows past a few.
constexpr std::size_t MaxCachedFiles = 8;

QMutex& CacheLock() {
  static QMutex lock;
  return lock;
}

std::map<QString, TParsedFile>& Cache() {
  static std::map<QString, TParsedFile> cache;
  return cache;
}

std::optional<TFileVersion> VersionOf(const QString& path) {
  struct stat info {};
  if (stat(QFile::encodeName(path).constData(), &info) != 0)
    return std::nullopt;
  // A pipe or device under a language file's name would block the read.
  if (!S_ISREG(info.st_mode))
    return std::nullopt;
  return TFileVersion{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

std::shared_ptr<const TIniText> ParsedFile(const QString& path) {
  const std::optional<TFileVersion> version = VersionOf(path);
  if (!version)
    return nullptr;
  {
    const QMutexLocker locker(&CacheLock());
    const auto found = Cache().find(path);
    if (found != Cache().end() && found->second.Version == *version)
      return found->second.Text;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return nullptr;
  const QByteArray bytes = file.readAll();
  auto text = std::make_shared<const TIniText>(bytes, LangFile::CharsetOf(bytes));
  // Kept under the version seen before the read: a change during it makes
  // the next look-up read again rather than keep what may be half old.
  const QMutexLocker locker(&CacheLock());
  std::map<QString, TParsedFile>& cache = Cache();
  if (cache.size() >= MaxCachedFiles && !cache.contains(path))
    cache.clear();
  cache[path] = TParsedFile{*version, text};
  return text;
}

// Our own write may land within the tick of the version cached before it.
void Forget(const QString& path) {
  const QMutexLocker locker(&CacheLock());
  Cache().erase(path);
}

std::optional<QString> ReadValue(const QString& path, const QString& section, const QString& key) {
  const std::shared_ptr<const TIniText> text = ParsedFile(path);
  return text ? text->Read(section, key) : std::nullopt;
}

} // namespace

namespace LangFile {

const char* CharsetOf(const QByteArray& fileBytes) {
  if (IsValidUtf8(fileBytes))
    return nullptr;
  // The key reader's own lines and numbers, so a line end or a spelling of
  // the number that one of them takes differently cannot split the two.
  const char* declared = nullptr;
  TIniText(fileBytes).ForEachKey(
      [&declared](const QByteArray&, const QByteArray& name, const QByteArray& value) {
        if (declared || !name.toLower().endsWith("_fontcharset"))
          return;
        const std::optional<qint32> charset = ParseIniInteger(TIniText::DecodeLegacyValue(value));
        if (charset == 134)
          declared = Gb18030Charset;
        else if (charset == 136)
          declared = Big5Charset;
      });
  if (declared)
    return declared;
  const char* found = DecodeLegacyText(fileBytes).Charset;
  return found ? found : Latin1Charset;
}

QString ReadString(const QString& path, const QString& section, const QString& key) {
  return CutToProfileLength(ReadValue(path, section, key).value_or(QString()));
}

qint32 ReadInteger(const QString& path, const QString& section, const QString& key,
                   qint32 defaultValue) {
  const std::optional<QString> text = ReadValue(path, section, key);
  return text ? ParseIniInteger(*text).value_or(defaultValue) : defaultValue;
}

void WriteString(const QString& path, const QString& section, const QString& key,
                 const QString& value) {
  const bool written = IniFile::Write(path, section, key, value, &CharsetOf);
  Forget(path);
  if (!written)
    throw ETralvescoError(QStringLiteral("Unable to write to %1").arg(path));
}

} // namespace LangFile
