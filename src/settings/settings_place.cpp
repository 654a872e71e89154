#include "settings/settings_place.h"

#include "core/program_messages.h"

#include "settings/program_dir.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(LogSettings, "tralvesco.settings")

const QString FileName = QStringLiteral("Tralvesco.ini");

// access() rather than QFileInfo: it answers for this process, with its
// user, groups and mount flags.
bool Accessible(const QString& path, int mode) {
  return ::access(QFile::encodeName(path).constData(), mode) == 0;
}

// Something is at the path, even a symbolic link that leads nowhere.
bool Occupied(const QString& path) {
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

// The file beside a portable copy serves as long as this user may read and
// write it and its folder; otherwise the user's own file takes its place,
// so a file someone else left there never locks this user out.
bool BesideServes(const QString& dir, const QString& beside) {
  return Accessible(dir, W_OK) && (!Occupied(beside) || Accessible(beside, R_OK | W_OK));
}

// Byte for byte, so values in a legacy code page and comments stay, and
// private to the user like every settings file the program creates.
bool CopySettingsFile(const QString& from, const QString& to) {
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) {
    qCWarning(LogSettings).noquote() << "cannot read" << from << ":" << source.errorString();
    return false;
  }
  const QByteArray bytes = source.readAll();
  if (source.error() != QFileDevice::NoError)
    return false;
  QSaveFile target(to);
  const bool copied = target.open(QIODevice::WriteOnly) && target.write(bytes) == bytes.size() &&
                      target.setPermissions(QFile::ReadOwner | QFile::WriteOwner) &&
                      target.commit();
  if (!copied)
    qCWarning(LogSettings).noquote() << "cannot write" << to << ":" << target.errorString();
  return copied;
}

} // namespace

QString UserSettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Tralvesco/") + FileName;
}

QString SystemSettingsFile() {
  QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
  // The first is the user's own folder, which holds no system default.
  folders.removeAll(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
  for (const QString& folder : folders) {
    const QString path = folder + QStringLiteral("/tralvesco/") + FileName;
    if (QFileInfo(path).isFile())
      return path;
  }
  return {};
}

QString SettingsWriteFault(const QString& path) {
  const QFileInfo file(path);
  // A write reads the file first to keep the rest of it: an unreadable file
  // fails there, and that is what the user has to mend.
  if (file.exists() && !file.isDir() && !Accessible(path, R_OK))
    return MessageText(TMessage::UnableToRead).arg(path);
  for (QFileInfo folder(file.absolutePath()); !folder.isRoot();
       folder = QFileInfo(folder.absolutePath())) {
    if (Occupied(folder.absoluteFilePath())) {
      if (!folder.isDir())
        return MessageText(TMessage::NotAFolder).arg(path, folder.absoluteFilePath());
      break;
    }
  }
  return QStringLiteral("Unable to write to %1").arg(path);
}

QString FormSettingsFileName() {
  const QString dir = ProgramDir();
  const QString beside = dir + FileName;
  const bool installed = IsInstalledCopy();
  if (!installed && BesideServes(dir, beside)) {
    SettingsFileName = beside;
    return SettingsFileName;
  }
  // From here on the user's file is the one, whatever becomes of it: a fault
  // shows up, named, at its first write, never as a quiet switch elsewhere.
  SettingsFileName = UserSettingsFile();
  if (Occupied(SettingsFileName))
    return SettingsFileName;
  const QString folder = QFileInfo(SettingsFileName).absolutePath();
  if (!QDir().mkpath(folder)) {
    qCWarning(LogSettings).noquote() << "cannot create the folder" << folder;
    return SettingsFileName;
  }
  // A new user's file starts as a copy of what the administrator or the
  // owner of a portable copy set (the server, a proxy, the language).
  const QString seed = installed ? SystemSettingsFile() : beside;
  if (!seed.isEmpty() && QFileInfo(seed).isFile() && !CopySettingsFile(seed, SettingsFileName))
    qCWarning(LogSettings).noquote()
        << "starting" << SettingsFileName << "without the settings of" << seed;
  return SettingsFileName;
}
