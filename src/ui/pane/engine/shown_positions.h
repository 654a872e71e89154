#pragma once

#include <QString>
#include <vector>

class QTextDocument;

// Positions as the user counts them. A kept node (a comment, a script, a
// control the pane does not draw) is a character of the document that
// nothing shows, so a search matches across it and the positions the pane
// gives out leave it out. This knows where those characters stand and maps
// between document positions and shown ones; an image is shown and counts.
class TShownPositions {
public:
  // Finds the kept nodes' characters of `document`, whose raw text `text`
  // is, remembers where they stand and takes them out of `text`.
  void Extract(const QTextDocument& document, QString& text);
  int HiddenCount() const { return static_cast<int>(FHidden.size()); }
  // How many shown characters stand before a document position.
  int ShownOf(int documentPosition) const;
  // The document position of the shown character at `shown`, past the
  // hidden ones in front of it.
  int DocumentOf(int shown) const;
  // The document's characters from `start` to `end` (hidden ones among
  // them gone with them) were replaced by `length` shown ones.
  void Replaced(int start, int end, int length);

private:
  std::vector<int> FHidden; // document positions, ascending
};

// Whether the character at a document position is one nothing shows.
bool IsHiddenCharacter(const QTextDocument& document, int position);
