#include "ui/pane/engine/engine_document.h"

#include "ui/pane/engine/element_chain.h"
#include "ui/pane/engine/html_style.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QSizeF>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>

const QString TDocumentFrame::DefaultDoctype =
    QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">");

namespace {

// Larger pictures are not decoded; the document shows an empty frame.
constexpr qint64 MaxImageFileBytes = 64 * 1024 * 1024;

QString BaseHref(const TDocumentFrame& frame) {
  for (const TKeptNode& node : frame.Head)
    if (node.Kind == TDomNode::TKind::Element && node.TagName == u"base")
      for (const TDomAttribute& attribute : node.Attributes)
        if (attribute.Name == u"href")
          return attribute.Value.trimmed();
  return {};
}

QImage DecodeDataUrl(const QString& url) {
  const qsizetype comma = url.indexOf(u',');
  if (comma < 0)
    return {};
  const QStringView header = QStringView(url).left(comma);
  const QByteArray payload = QStringView(url).mid(comma + 1).toLatin1();
  const QByteArray bytes = header.endsWith(u";base64", Qt::CaseInsensitive)
                               ? QByteArray::fromBase64(payload)
                               : QByteArray::fromPercentEncoding(payload);
  QImage image;
  image.loadFromData(bytes);
  return image;
}

} // namespace

bool IsStructuralFiller(const QTextBlock& block) {
  if (block.length() != 1 || !block.document() || IsLineStart(block.blockFormat()))
    return false;
  // Cells begin with U+FDD0 and a table ends with U+FDD1. An empty block
  // such a marker ends (before a table, an empty cell, the end of a cell)
  // or that follows a table's end holds nothing of the document.
  constexpr QChar BeginningOfFrame(0xFDD0);
  constexpr QChar EndOfFrame(0xFDD1);
  const QTextDocument& document = *block.document();
  const int position = block.position();
  const QChar end = document.characterAt(position);
  return end == BeginningOfFrame || end == EndOfFrame ||
         (position > 0 && document.characterAt(position - 1) == EndOfFrame);
}

QFont EngineDefaultFont() {
  QFont font = QGuiApplication::font();
  font.setPointSizeF(HtmlStyle::BasePointSize);
  return font;
}

TEngineDocument::TEngineDocument(QObject* parent) : QTextDocument(parent) {
  setDefaultFont(EngineDefaultFont());
  setUndoRedoEnabled(true);
}

void TEngineDocument::SetLocation(const QUrl& location) {
  FLocation = location;
  UpdateBaseUrl();
}

void TEngineDocument::UpdateBaseUrl() {
  const QString href = BaseHref(FFrame);
  setBaseUrl(href.isEmpty() ? FLocation : FLocation.resolved(QUrl(href)));
}

void TEngineDocument::PrepareLayout() {
  // Anything laid out here would keep font engines that die with the
  // worker's thread.
  setPageSize(QSizeF(0, 0));
  documentLayout();
}

std::unique_ptr<TEngineDocument> TEngineDocument::CloneDocument() const {
  auto copy = std::make_unique<TEngineDocument>();
  copy->FFrame = FFrame;
  copy->FLocation = FLocation;
  copy->setBaseUrl(baseUrl());
  copy->setDefaultFont(defaultFont());
  copy->setUndoRedoEnabled(false);
  QTextCursor(copy.get()).insertFragment(QTextDocumentFragment(this));
  copy->setUndoRedoEnabled(true);
  copy->rootFrame()->setFrameFormat(rootFrame()->frameFormat());
  return copy;
}

QVariant TEngineDocument::loadResource(int type, const QUrl& name) {
  if (type != QTextDocument::ImageResource)
    return {};
  if (name.scheme().compare(u"data", Qt::CaseInsensitive) == 0) {
    const QImage image = DecodeDataUrl(name.toString(QUrl::FullyEncoded));
    return image.isNull() ? QVariant() : QVariant(image);
  }
  // A path from the root names a local file even where no base address
  // says so (a written document, a pasted piece).
  const bool rootPath = name.scheme().isEmpty() && name.host().isEmpty() &&
                        name.path().startsWith(u'/') && !name.path().startsWith(u"//");
  if (!name.isLocalFile() && !rootPath)
    return {};
  const QFileInfo info(rootPath ? name.path() : name.toLocalFile());
  if (!info.isFile() || info.size() > MaxImageFileBytes)
    return {};
  QImageReader reader(info.filePath());
  const QImage image = reader.read();
  return image.isNull() ? QVariant() : QVariant(image);
}
