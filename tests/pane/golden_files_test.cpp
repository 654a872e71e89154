// Real-world documents opened and saved: the saved source of each must equal
// the one under data/golden, and opening the saved file must show the same
// text and save the same source again. TRALVESCO_UPDATE_GOLDEN=1 rewrites
// the expected files from what the pane writes (review the change).
#include "pane_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const QString GoldenDir = QStringLiteral(TRALVESCO_PANE_DATA_DIR "/golden");

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<QString> Lines(const QByteArray& bytes) {
  std::vector<QString> lines;
  for (const QString& line : QString::fromUtf8(bytes).split(u'\n'))
    lines.push_back(line.endsWith(u'\r') ? line.chopped(1) : line);
  return lines;
}

// The lines that differ, "-" expected and "+" actual, with their numbers in
// the expected file: a longest common subsequence of lines.
std::string LineDiff(const QByteArray& expected, const QByteArray& actual) {
  const std::vector<QString> a = Lines(expected);
  const std::vector<QString> b = Lines(actual);
  std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
  for (std::size_t i = a.size(); i-- > 0;)
    for (std::size_t j = b.size(); j-- > 0;)
      common[i][j] =
          a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
  std::string out;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && a[i] == b[j]) {
      ++i;
      ++j;
    } else if (j < b.size() && (i == a.size() || common[i][j + 1] >= common[i + 1][j])) {
      out += "+" + std::to_string(i + 1) + ": " + b[j].toStdString() + "\n";
      ++j;
    } else {
      out += "-" + std::to_string(i + 1) + ": " + a[i].toStdString() + "\n";
      ++i;
    }
  }
  return out;
}

QByteArray SavedSource(TProfDHTMLEdit2& pane, const QString& path) {
  PaneDialogs::SetSaveFileNameHandlerForTesting([path](const QString&) { return path; });
  pane.SaveAs(QString());
  PaneDialogs::SetSaveFileNameHandlerForTesting(nullptr);
  return ReadAll(path);
}

class TGoldenFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(TGoldenFileTest, SavesTheExpectedSourceAndReopensUnchanged) {
  const QString name = QString::fromUtf8(GetParam());
  const QString expectedPath = GoldenDir + u'/' + name + QStringLiteral(".saved.html");
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const auto pane = MakeReadyPane();
  ASSERT_TRUE(pane->LoadFromFile(GoldenDir + u'/' + name + QStringLiteral(".html")));
  const QString shown = pane->BodyText();
  const QByteArray saved = SavedSource(*pane, folder.filePath(QStringLiteral("first.html")));
  ASSERT_FALSE(saved.isEmpty());
  if (qEnvironmentVariableIntValue("TRALVESCO_UPDATE_GOLDEN") == 1) {
    QFile update(expectedPath);
    ASSERT_TRUE(update.open(QIODevice::WriteOnly));
    update.write(saved);
  }
  const QByteArray expected = ReadAll(expectedPath);
  EXPECT_TRUE(saved == expected) << "saved source differs from " << expectedPath.toStdString()
                                 << ":\n"
                                 << LineDiff(expected, saved);

  const auto reopened = MakeReadyPane();
  ASSERT_TRUE(reopened->LoadFromFile(folder.filePath(QStringLiteral("first.html"))));
  EXPECT_EQ(reopened->BodyText().toStdString(), shown.toStdString());
  const QByteArray again = SavedSource(*reopened, folder.filePath(QStringLiteral("second.html")));
  EXPECT_TRUE(again == saved) << "saving the saved file changes it:\n" << LineDiff(saved, again);
}

INSTANTIATE_TEST_SUITE_P(Documents, TGoldenFileTest,
                         ::testing::Values("article", "report_table", "lists", "signup_form",
                                           "newsletter"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           return std::string(param.param);
                         });

} // namespace
