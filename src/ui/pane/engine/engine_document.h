#pragma once

#include "ui/pane/dom_tree.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <memory>
#include <vector>

// A node of the head, kept as it was parsed (the head is never shown).
struct TKeptNode {
  TDomNode::TKind Kind = TDomNode::TKind::Element;
  QString TagName;
  QList<TDomAttribute> Attributes;
  QString Data; // text or comment
  bool HasRawContent = false;
  QString RawContent;
  std::vector<TKeptNode> Children;
};

// What a document has besides its body: the text before <html>, the
// attributes of html, head and body, and the head's nodes.
struct TDocumentFrame {
  // The engine's default document-type line, written in front of <html>
  // when the document names none of its own.
  static const QString DefaultDoctype;

  QString Prologue = DefaultDoctype + QStringLiteral("\r\n");
  QList<TDomAttribute> HtmlAttributes;
  QList<TDomAttribute> HeadAttributes;
  QList<TDomAttribute> BodyAttributes;
  std::vector<TKeptNode> Head;
};

// The pane's document: the body as a QTextDocument whose formats carry the
// element chains, plus the rest of the HTML document.
class TEngineDocument : public QTextDocument {
  Q_OBJECT
public:
  explicit TEngineDocument(QObject* parent = nullptr);

  TDocumentFrame& Frame() { return FFrame; }
  const TDocumentFrame& Frame() const { return FFrame; }

  // The file the document was loaded from or saved to; empty for a written
  // document. Relative image sources resolve against it (or the BASE).
  const QUrl& Location() const { return FLocation; }
  void SetLocation(const QUrl& location);

  // Whether the document was read from a plain-text file and is unchanged
  // since MarkAsRead: such a document reads back from its own source as it
  // is. Showing it changes it, so the mark comes once it shows.
  bool IsPlainTextAsRead() const { return FPlainText && revision() == FReadRevision; }
  void SetReadFromPlainText() { FPlainText = true; }
  void MarkAsRead() { FReadRevision = revision(); }

  // Makes the layout object, on a page of no size so that nothing is laid
  // out yet. Done on the worker that built the document, it spares the GUI
  // thread two of the three passes over every block that showing a new
  // document costs (a million lines: a quarter of a second); the view then
  // lays the text out on its own thread, with its own fonts.
  void PrepareLayout();

  // A detached copy (no layout) with the same content, frame and location.
  std::unique_ptr<TEngineDocument> CloneDocument() const;

protected:
  // Images from local files and data: addresses; nothing from the network,
  // so opening a document never contacts any host.
  QVariant loadResource(int type, const QUrl& name) override;

private:
  void UpdateBaseUrl();

  TDocumentFrame FFrame;
  QUrl FLocation;
  bool FPlainText = false;
  int FReadRevision = -1;
};

// The default font the engine shows text in.
QFont EngineDefaultFont();

// The empty blocks the text document keeps around tables and at the ends of
// table cells, none of them a line the document had: the plain text leaves
// them out and the writer writes no element for them.
bool IsStructuralFiller(const QTextBlock& block);
