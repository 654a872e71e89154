#pragma once

#include "ui/pane/dom_tree.h"
#include "ui/pane/html_source_writer.h"

#include <QString>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

// Hand-built document trees for the writer tests.
class TDomBuilder {
public:
  using TAttributes = std::initializer_list<std::pair<const char*, const char*>>;

  TDomBuilder() {
    FHtml = Element(FDocument.Root(), "html");
    FHead = Element(FHtml, "head");
    FBody = Element(FHtml, "body");
  }

  TDomDocument& Document() { return FDocument; }
  TDomNode* Html() const { return FHtml; }
  TDomNode* Head() const { return FHead; }
  TDomNode* Body() const { return FBody; }

  TDomNode* Element(TDomNode* parent, const char* tag, TAttributes attributes = {}) {
    TDomNode* node = FDocument.NewElement(QString::fromUtf8(tag), parent);
    for (const auto& [name, value] : attributes)
      node->Attributes.append({QString::fromUtf8(name), QString::fromUtf8(value), true});
    return node;
  }

  TDomNode* Text(TDomNode* parent, const QString& text) { return FDocument.NewText(text, parent); }

  TDomNode* Comment(TDomNode* parent, const QString& comment) {
    TDomNode* node = FDocument.NewNode(TDomNode::TKind::Comment);
    node->Data = comment;
    parent->Children.append(node);
    return node;
  }

  // An element whose content the engine keeps as raw text.
  TDomNode* RawElement(TDomNode* parent, const char* tag, const QString& content) {
    TDomNode* node = Element(parent, tag);
    node->HasRawContent = true;
    node->RawContent = content;
    return node;
  }

  std::string Write(TProfDHTMLEditSourceCodeOptions options, const QString& prologue = {}) const {
    TSourceWriterSettings settings;
    settings.SourceCodeOptions = options;
    return Write(settings, prologue);
  }

  // The source, or NoSource when the writer gives none.
  std::string Write(const TSourceWriterSettings& settings, const QString& prologue = {}) const {
    const std::optional<QString> source = RebuildSource(FDocument, prologue, settings);
    return source ? source->toStdString() : NoSource;
  }

  // No source the writer writes looks like this.
  inline static const std::string NoSource = "(no source)";

private:
  TDomDocument FDocument;
  TDomNode* FHtml = nullptr;
  TDomNode* FHead = nullptr;
  TDomNode* FBody = nullptr;
};

using TOpt = TProfDHTMLEditSourceCodeOption;

// The options both panes of the main window use.
inline const TProfDHTMLEditSourceCodeOptions PaneOptions =
    AllSourceCodeOptions & ~TProfDHTMLEditSourceCodeOptions(TOpt::AddNbsp);

inline std::string InBody(const std::string& content) {
  return "<html><head></head><body>" + content + "</body></html>";
}
