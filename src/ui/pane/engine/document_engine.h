#pragma once

#include "ui/pane/dom_tree.h"
#include "ui/pane/engine/engine_document.h"
#include "ui/pane/engine/shown_positions.h"
#include "ui/pane/engine/text_mirror.h"

#include <QObject>
#include <QPointer>
#include <QTextCursor>
#include <memory>

class QTextEdit;
class TLayoutPacer;

// The document shown in a QTextEdit and every operation the pane performs
// on it. Positions given to and taken from the pane are shown positions:
// each character, each line and block separator and each image count one,
// a kept node none, so search, replace and the selection start agree with
// what is shown.
//
// Between BeginUpdate and EndUpdate, edits go to a detached document (no
// layout) and the view keeps the last shown one: an edit of a document that
// a QTextEdit lays out costs about the length of its block even inside an
// edit block, so a translation's find/replace loop would grow with the
// square of its length. EndUpdate shows the result, laid out once.
class TDocumentEngine : public QObject {
  Q_OBJECT
public:
  explicit TDocumentEngine(QTextEdit* view, QObject* parent = nullptr);
  ~TDocumentEngine() override;

  TEngineDocument& Document() const { return *FDocument; }
  // Replaces the document (the view shows it at once unless updating).
  void SetDocument(std::unique_ptr<TEngineDocument> document);
  void NewBlankDocument();

  std::unique_ptr<TDomDocument> BuildDom(const QString& defaultBlockTag) const;

  // The text as shown: "\r\n" between blocks and for each line break,
  // images left out.
  QString BodyText() const;
  // Everything replaced by plain text in one block, line breaks as line
  // separators.
  void SetBodyText(const QString& text);

  // A match in shown positions; Start is -1 when there is none.
  struct TMatch {
    int Start = -1;
    int End = -1;
  };
  // The first match at or after shown position `from`; kept nodes between
  // its characters or at its edges do not stand in its way.
  TMatch Find(QStringView text, int from, bool wholeWord, bool matchCase);
  // Selects from the shown character at `start` to the one before `end`.
  void Select(int start, int end);
  QTextCursor Selection() const;
  // The shown position of a position in the document.
  int ShownPosition(int documentPosition);
  // One image selected (a "control" selection, which text never replaces).
  bool SelectionIsObject() const;
  // The selected text in the form of BodyText.
  QString SelectedText() const;
  // Replaces the selection by plain text in the format of the replaced text;
  // no change when the text is the same. The caret ends after the new text.
  void ReplaceSelection(const QString& text);
  // Applies formatting to the selection, or to what is typed next.
  void MergeCharFormat(const QTextCharFormat& format);

  void BeginUpdate();
  void EndUpdate();
  // Holds the view's layout still (a worker reads the document).
  void PauseLayout(bool pause);
  bool Updating() const { return FUpdating; }

  // Editing from the keyboard.
  void InsertLineBreak();
  // Handles Enter where the text document would otherwise copy an element
  // the new paragraph must not have; false leaves Enter to the view.
  bool InsertParagraph(const QString& defaultBlockTag);
  bool CaretInList() const;
  bool CaretInHeading() const;

signals:
  void ContentsChanged();

private:
  class TSelfEdit;

  void Connect(TEngineDocument& document);
  void Show(TEngineDocument& document);
  static void DisposeLater(std::unique_ptr<TEngineDocument> document);
  void DetachForEdit();
  void HoldEditBlock();
  void ReleaseEditBlock();
  void SetSelection(const QTextCursor& cursor);
  TTextMirror& Mirror();
  void OnContentsChange(int position, int removed, int added);

  QPointer<QTextEdit> FView;
  std::unique_ptr<TEngineDocument> FDocument;
  // While updating: the document the view still shows.
  std::unique_ptr<TEngineDocument> FStale;
  QTextCursor FSelection; // the selection while updating
  QTextCursor FHeldBlock; // holds the detached document's edit block open
  bool FUpdating = false;
  // Valid together: the shown characters and where the hidden ones stand.
  TTextMirror FMirror;
  TShownPositions FShown;
  bool FMirrorValid = false;
  int FSelfEdit = 0;
  TLayoutPacer* FPacer = nullptr;
};

// Documents at least this long (in characters) are built, laid out and
// taken apart with the window's responsiveness in mind.
inline constexpr int LargeDocumentLength = 100000;

// The text between two positions as BodyText gives it: lineEnd between
// blocks and for each line break, a tab between the cells of a table row,
// images and hidden nodes left out.
QString PlainText(const QTextDocument& document, int start, int end, const QString& lineEnd);
