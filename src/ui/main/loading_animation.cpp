#include "ui/main/loading_animation.h"

#include "settings/app_error.h"
#include "settings/program_dir.h"

#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QMovie>
#include <QResource>

namespace {

// Where the module's tree is mounted while it is open. A lookup without the
// module falls back to the program's own resources, which hold no animation.
const QString ModuleRoot = QStringLiteral("/ResourceModule");

class TResourceModule {
public:
  explicit TResourceModule(const QString& path)
      : FPath(path), FLoaded(QResource::registerResource(path, ModuleRoot)) {}
  ~TResourceModule() {
    if (FLoaded)
      QResource::unregisterResource(FPath, ModuleRoot);
  }
  TResourceModule(const TResourceModule&) = delete;
  TResourceModule& operator=(const TResourceModule&) = delete;

  QString ResourcePath(const QString& type, const QString& name) const {
    return QStringLiteral(":") + (FLoaded ? ModuleRoot : QString()) + QLatin1Char('/') + type +
           QLatin1Char('/') + name;
  }

private:
  QString FPath;
  bool FLoaded;
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
