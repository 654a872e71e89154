#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <vector>

// The document as the HTML source writer reads it: elements with their
// attributes in document order, text nodes and comments. The document engine
// builds it on demand from what the pane shows; the writer never sees Qt's own
// HTML.
struct TDomAttribute {
  QString Name;
  QString Value;
  // False for attributes the engine only reports (defaults), which the writer
  // skips unless they carry state.
  bool Specified = true;
};

struct TDomNode {
  enum class TKind { Document, Element, Text, Comment, Other };

  TKind Kind = TKind::Element;
  QString TagName;                 // elements: lower case, as parsed
  QList<TDomAttribute> Attributes; // elements: in document order
  // Text: the characters (decoded, no entities). Comment: the comment as the
  // source wrote it, "<!--" included, "-->" only when the source closed it.
  QString Data;
  // Elements whose content the engine keeps as raw text (script, style):
  // written unchanged, with no child nodes.
  bool HasRawContent = false;
  QString RawContent;
  int Index = -1;            // elements: position in document order, unique
  QList<TDomNode*> Children; // document order; owned by the TDomDocument
};

// Owns every node; children are plain pointers into it, so one element may be
// reachable twice (the writer writes it once).
class TDomDocument {
public:
  TDomDocument() { FRoot = NewNode(TDomNode::TKind::Document); }
  TDomDocument(const TDomDocument&) = delete;
  TDomDocument& operator=(const TDomDocument&) = delete;

  TDomNode* Root() const { return FRoot; }

  TDomNode* NewNode(TDomNode::TKind kind) {
    FNodes.push_back(std::make_unique<TDomNode>());
    TDomNode* node = FNodes.back().get();
    node->Kind = kind;
    if (kind == TDomNode::TKind::Element)
      node->Index = FNextIndex++;
    return node;
  }

  TDomNode* NewElement(const QString& tagName, TDomNode* parent) {
    TDomNode* node = NewChild(TDomNode::TKind::Element, parent);
    node->TagName = tagName;
    return node;
  }

  TDomNode* NewText(const QString& text, TDomNode* parent) {
    TDomNode* node = NewChild(TDomNode::TKind::Text, parent);
    node->Data = text;
    return node;
  }

  // A new node appended to parent's children when there is a parent.
  TDomNode* NewChild(TDomNode::TKind kind, TDomNode* parent) {
    TDomNode* node = NewNode(kind);
    if (parent)
      parent->Children.append(node);
    return node;
  }

private:
  std::vector<std::unique_ptr<TDomNode>> FNodes;
  TDomNode* FRoot = nullptr;
  int FNextIndex = 0;
};
