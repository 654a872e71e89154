#include "ui/main/loading_animation.h"

#include "core/app_error.h"
#include "settings/program_dir.h"
#include "ui/main/resource_module_check.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>
#include <QResource>

namespace {

// Where the module's tree is mounted while it is open. A lookup without the
// module falls back to the program's own resources, which hold no animation.
const QString ModuleRoot = QStringLiteral("/ResourceModule");

// Larger than any module the program ships by far; reading more would only
// waste memory on a file that is not ours.
constexpr qint64 MaxModuleSize = 64 * 1024 * 1024;

// The module is read into memory, checked, and registered from that same copy,
// so what Qt walks is exactly what passed the check. A module that fails is
// treated as one that lacks the picture.
class TResourceModule {
public:
  explicit TResourceModule(const QString& path) {
    // A pipe or device under the module's name would block the read.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > MaxModuleSize)
      return;
    FBytes = file.read(MaxModuleSize);
    if (!IsSoundResourceModule(FBytes))
      return;
    FLoaded =
        QResource::registerResource(reinterpret_cast<const uchar*>(FBytes.constData()), ModuleRoot);
  }
  ~TResourceModule() {
    if (FLoaded)
      QResource::unregisterResource(reinterpret_cast<const uchar*>(FBytes.constData()), ModuleRoot);
  }
  TResourceModule(const TResourceModule&) = delete;
  TResourceModule& operator=(const TResourceModule&) = delete;

  QString ResourcePath(const QString& type, const QString& name) const {
    return QStringLiteral(":") + (FLoaded ? ModuleRoot : QString()) + QLatin1Char('/') + type +
           QLatin1Char('/') + name;
  }

private:
  QByteArray FBytes;
  bool FLoaded = false;
};

} // namespace

void ShowLoadingAnimation(QLabel* image, const QString& name) {
  const QString resourceName = name.toUpper();
  QByteArray gif;
  {
    const TResourceModule module(ProgramDataPath(ResourceModuleName));
    QFile resource(module.ResourcePath(QStringLiteral("GIF"), resourceName));
    if (!resource.open(QIODevice::ReadOnly))
      throw ETralvescoError(QStringLiteral("Resource %1 not found").arg(resourceName));
    // The picture keeps its own copy: the module is closed before it plays.
    gif = resource.readAll();
  }

  auto* movie = new QMovie(image);
  auto* buffer = new QBuffer(movie);
  buffer->setData(gif);
  buffer->open(QIODevice::ReadOnly);
  movie->setDevice(buffer);
  movie->setCacheMode(QMovie::CacheAll);
  if (!movie->isValid() || !movie->jumpToFrame(0)) {
    delete movie;
    throw ETralvescoError(QStringLiteral("Resource %1 is not a valid GIF image").arg(resourceName));
  }
  image->setMovie(movie);
  image->resize(movie->currentImage().size());
  movie->start();
}

void HideLoadingAnimation(QLabel* image) {
  QMovie* movie = image->movie();
  image->clear();
  if (movie && movie->parent() == image)
    movie->deleteLater();
}
