// The document view headless: wrapping and hit-testing through the view's own geometry, and
// what the painted surface shows where (pixels read at the places the layout names).
#include "wordhost/app/DocumentView.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/StoryText.h"

namespace quillon::wordhost {
namespace {

using namespace docx::testing;

const std::string kLongText =
    "The quick brown fox jumps over the lazy dog while the network engineer writes another "
    "long sentence so that this paragraph needs several lines in a narrow view of the text.";

class Shown {
 public:
  explicit Shown(const std::string& bytes, QSize size = {420, 400})
      : document_(docx::Document::FromBytes(bytes)), view_(*document_) {
    view_.resize(size);
    view_.show();
  }
  docx::Document& document() { return *document_; }
  DocumentView& view() { return view_; }
  // Returns the story position of the first occurrence of text (ASCII).
  long Find(const std::string& text) const {
    const docx::Story& story = document_->story();
    const size_t at = docx::StoryText(story, 0, story.Length()).find(text);
    EXPECT_NE(at, std::string::npos) << text;
    return static_cast<long>(at);
  }
  QRect CaretAt(long pos) {
    document_->selection().SetRange(pos, pos);
    return view_.CaretRect();
  }
  QRect CaretAt(const std::string& text) { return CaretAt(Find(text)); }
  // The surface as painted, without the caret.
  QImage Grab() {
    view_.clearFocus();
    return view_.viewport()->grab().toImage();
  }

 private:
  std::unique_ptr<docx::Document> document_;
  DocumentView view_;
};

// Counts the pixels of rect in image that pass.
int Count(const QImage& image, const QRect& rect, const std::function<bool(QRgb)>& pass) {
  int n = 0;
  const QRect inside = rect.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) n += pass(image.pixel(x, y));
  return n;
}
const auto Dark = [](QRgb pixel) { return qGray(pixel) < 110; };
const auto NotWhite = [](QRgb pixel) { return qGray(pixel) < 250; };

TEST(DocumentViewTest, ClicksKeysAndTypingFollowTheWrappedLines) {
  Shown shown(MakeDocx(P(R(kLongText)) + Tbl(2, 2) + P(R("after"))));
  DocumentView& view = shown.view();
  // Clicks at the caret of a position come back to it.
  const long start = shown.Find("The quick");
  const long end = shown.Find(" text.") + 5;
  // The long paragraph wraps: its end stands lines below its start.
  EXPECT_GT(shown.CaretAt(end).top(), shown.CaretAt(start).top() + 2 * shown.CaretAt(0).height());
  const long positions[] = {start,
                            start + 5,
                            start + 97,
                            end,
                            shown.Find("c00"),
                            shown.Find("c01") + 2,
                            shown.Find("c11"),
                            shown.Find("after") + 3};
  for (long pos : positions) {
    const QRect caret = shown.CaretAt(pos);
    ASSERT_FALSE(caret.isEmpty()) << pos;
    EXPECT_EQ(view.PositionAt(QPoint(caret.left(), caret.center().y())), pos) << pos;
  }

  const int firstTop = shown.CaretAt(0).top();
  QTest::keyClick(&view, Qt::Key_End);
  const long lineEnd = shown.document().selection().End();
  EXPECT_GT(lineEnd, 10);
  EXPECT_LT(lineEnd, shown.Find(" text."));
  EXPECT_EQ(view.CaretRect().top(), firstTop);
  QTest::keyClick(&view, Qt::Key_Down);
  const long below = shown.document().selection().End();
  EXPECT_GT(below, lineEnd);
  EXPECT_GT(view.CaretRect().top(), firstTop);
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(view.CaretRect().top(), firstTop);
  QTest::keyClick(&view, Qt::Key_Home);
  EXPECT_EQ(shown.document().selection().End(), 0);
  // A selection into the line below shows on both lines.
  const int lineHeight = shown.CaretAt(0).height();
  QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(shown.document().selection().End(), lineEnd + 1);  // the second line's start
  for (int i = 0; i < 3; ++i) QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(shown.document().selection().Start(), 0);
  EXPECT_EQ(shown.document().selection().End(), lineEnd + 4);
  const QImage selected = view.viewport()->grab().toImage();
  auto highlighted = [](QRgb pixel) { return pixel == qRgb(51, 153, 255); };
  EXPECT_GT(Count(selected, QRect(0, firstTop + 2, selected.width(), 4), highlighted), 200);
  const QRect secondLine(0, firstTop + lineHeight + 2, selected.width(), 4);
  EXPECT_GT(Count(selected, secondLine, highlighted), 20);
  EXPECT_LT(Count(selected, secondLine, highlighted), 4 * 40);
  QTest::keyClick(&view, Qt::Key_Home);

  const long target = shown.Find("engineer");
  const QRect caret = shown.CaretAt(target);
  shown.document().selection().SetRange(0, 0);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(caret.left(), caret.center().y()));
  EXPECT_EQ(shown.document().selection().End(), target);
  QTest::keyClicks(&view, "Z");
  EXPECT_EQ(shown.Find("Zengineer"), target);
  QTest::keyClick(&view, Qt::Key_Backspace);
  EXPECT_EQ(shown.Find("network engineer") + 8, target);
}

TEST(DocumentViewTest, RunFormattingAndHeadingsShowInTheInk) {
  const std::string styles =
      "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:rPr><w:b/><w:sz w:val=\"40\"/>"
      "</w:rPr></w:style>";
  Shown shown(MakeDocxWith(P(R("HHHHHHHH", "<w:b/>")) + P(R("HHHHHHHH")) +
                               P(R("HHHHHHHH"), "<w:pStyle w:val=\"Heading1\"/>"),
                           {{"styles", "styles", styles}}));
  // The ink of each paragraph's eight letters: from the caret before them to the one after.
  auto ink = [&](long pos) {
    const QRect before = shown.CaretAt(pos), after = shown.CaretAt(pos + 8);
    const QRect run(before.topLeft(), QPoint(after.left(), before.bottom()));
    return std::make_pair(run, Count(shown.Grab(), run, Dark));
  };
  const auto [boldRun, boldInk] = ink(shown.Find("HHHH"));
  const auto [plainRun, plainInk] = ink(shown.Find("HHHH") + 9);
  const auto [headingRun, headingInk] = ink(shown.Find("HHHH") + 18);
  EXPECT_GT(plainInk, 20);
  EXPECT_GT(boldInk, plainInk * 5 / 4);
  EXPECT_GT(boldRun.width(), plainRun.width());
  EXPECT_GT(headingRun.height(), plainRun.height() * 3 / 2);
  EXPECT_GT(headingInk, boldInk);
}

TEST(DocumentViewTest, ParagraphsStandWhereTheirJustificationSays) {
  const std::pair<const char*, float> cases[] = {
      {"left", 0.f}, {"both", 0.f}, {"center", 0.5f}, {"right", 1.f}};
  for (const auto& [justification, share] : cases) {
    Shown shown(MakeDocx(P(R("word")) +
                         P(R("word"), "<w:jc w:val=\"" + std::string(justification) + "\"/>")));
    const QRect plainStart = shown.CaretAt(0), plainEnd = shown.CaretAt(4);
    const int margin = plainStart.left();
    const int room = shown.view().viewport()->width() - 2 * margin - (plainEnd.left() - margin);
    EXPECT_NEAR(shown.CaretAt(5).left(), margin + share * static_cast<float>(room), 2)
        << justification;
  }
}

// Cells stand side by side in rows, with borders between them; cells merged down have none
// between them.
TEST(DocumentViewTest, TablesAreGridsOfCellsWithBorders) {
  const std::string table =
      "<w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid>"
      "<w:tr><w:tc><w:tcPr><w:vMerge w:val=\"restart\"/></w:tcPr>" +
      P(R("m0")) + "</w:tc><w:tc>" + P(R("a0")) +
      "</w:tc></w:tr><w:tr><w:tc><w:tcPr><w:vMerge/></w:tcPr>" + P("") + "</w:tc><w:tc>" +
      P(R("a1")) + "</w:tc></w:tr></w:tbl>";
  Shown shown(MakeDocx(table + P(R("after"))));
  const QRect m0 = shown.CaretAt("m0"), a0 = shown.CaretAt("a0"), a1 = shown.CaretAt("a1");
  EXPECT_EQ(a0.top(), m0.top());
  EXPECT_GT(a0.left(), m0.left() + 60);
  EXPECT_GT(a1.top(), a0.bottom());
  EXPECT_EQ(a1.left(), a0.left());
  const QImage image = shown.Grab();
  // A vertical border just left of the second cell's text; between the rows, a border under
  // the second cell, none under the merged one.
  EXPECT_GT(Count(image, QRect(a0.left() - 8, a0.top(), 7, a0.height()), Dark), 0);
  const int between = a1.top() - a0.bottom();
  EXPECT_GT(Count(image, QRect(a0.left() + 40, a0.bottom(), 1, between), Dark), 0);
  EXPECT_EQ(Count(image, QRect(m0.left() + 40, a0.bottom(), 1, between), Dark), 0);
}

TEST(DocumentViewTest, PageBreaksShowAsARule) {
  for (const bool pageBreak : {true, false}) {
    Shown shown(MakeDocx(P(R("one")) + (pageBreak ? P(PageBreak()) : "") + P(R("two"))));
    const QRect one = shown.CaretAt("one"), two = shown.CaretAt("two");
    // The rule crosses the left margin, where no text is.
    const int rule =
        Count(shown.Grab(), QRect(0, one.bottom() + 1, 12, two.top() - one.bottom()), NotWhite);
    EXPECT_EQ(rule > 0, pageBreak);
  }
}

TEST(DocumentViewTest, ListLabelsAndNoteNumbersAreDrawnBeforeAndInTheText) {
  const std::string body = ListP("first", 1) + ListP("second", 1) + P(R("plain")) +
                           P(R("see") + "<w:r><w:footnoteReference w:id=\"1\"/></w:r>" + R("x"));
  const std::string numbering = "<w:abstractNum w:abstractNumId=\"0\">" + Lvl(0, "decimal", "%1.") +
                                "</w:abstractNum>" + Num(1, 0);
  Shown shown(MakeDocxWith(body, {{"numbering", "numbering", numbering}}));
  const QRect first = shown.CaretAt("first"), second = shown.CaretAt("second");
  const QRect plain = shown.CaretAt("plain");
  EXPECT_GT(first.left(), plain.left() + 10);
  EXPECT_EQ(second.left(), first.left());
  const long reference = shown.Find("see") + 3;
  const QRect beforeNote = shown.CaretAt(reference), afterNote = shown.CaretAt(reference + 1);
  EXPECT_GT(afterNote.left(), beforeNote.left() + 2);
  const QImage image = shown.Grab();
  auto labelInk = [&](const QImage& painted, const QRect& line) {
    return Count(painted,
                 QRect(plain.left(), line.top(), first.left() - plain.left() - 2, line.height()),
                 Dark);
  };
  EXPECT_GT(labelInk(image, first), 5);
  EXPECT_GT(labelInk(image, second), 5);
  EXPECT_GT(Count(image,
                  QRect(beforeNote.left(), beforeNote.top(), afterNote.left() - beforeNote.left(),
                        beforeNote.height()),
                  Dark),
            0);

  // Typing keeps the labels; Enter in a numbered paragraph makes another numbered one; the
  // note reference deleted takes its number with it.
  DocumentView& view = shown.view();
  shown.CaretAt(shown.Find("first") + 2);
  QTest::keyClicks(&view, "zz");
  QTest::keyClick(&view, Qt::Key_Return);
  const QRect split = shown.CaretAt("rst");
  EXPECT_EQ(split.left(), first.left());
  EXPECT_GT(labelInk(shown.Grab(), split), 5);
  const long movedReference = shown.Find("see") + 3;
  EXPECT_EQ(shown.CaretAt(movedReference + 1).left() - shown.CaretAt(movedReference).left(),
            afterNote.left() - beforeNote.left());
  shown.CaretAt(shown.Find("see") + 4);
  QTest::keyClick(&view, Qt::Key_Backspace);
  const long joined = shown.Find("seex");
  EXPECT_EQ(shown.CaretAt(joined + 3).left(), beforeNote.left());
}

TEST(DocumentViewTest, FieldsAreShadedRefuseACutAndShowTheirCodesOnRequest) {
  Shown shown(MakeDocx(P(Fld(" ADDIN ABBREV a rather long field code ", R("NN")) + R(" tail"))));
  const long result = shown.Find("NN");
  const QRect start = shown.CaretAt(result);
  const QRect tail = shown.CaretAt(" tail");
  auto shade = [](QRgb pixel) { return pixel == qRgb(220, 220, 220); };
  const QImage image = shown.Grab();
  EXPECT_GT(Count(image, QRect(start.topLeft(), QPoint(tail.left() - 1, start.bottom())), shade),
            0);
  EXPECT_EQ(Count(image, QRect(tail.left() + 2, tail.top(), 20, tail.height()), shade), 0);
  // Typing over the result and the end mark would cut the field: the document refuses it and
  // the view says why.
  shown.document().selection().SetRange(result, result + 3);
  std::string refusal;
  shown.view().reportRefusal = [&](const std::string& text) { refusal = text; };
  EXPECT_FALSE(shown.view().Type("X"));
  EXPECT_FALSE(refusal.empty());
  EXPECT_EQ(shown.document().fieldIndex().Count(), 1u);
  EXPECT_EQ(shown.document().Range()->Text(), "NN tail\r");
  shown.view().SetShowCodes(true);
  EXPECT_GT(shown.CaretAt(" tail").left(), tail.left() + 100);
}

TEST(DocumentViewTest, TheCaretsLineShowsInAParagraphTallerThanTheView) {
  std::string text;
  for (int i = 0; i < 12; ++i) text += kLongText + " ";
  Shown shown(MakeDocx(P(R(text)) + P(R("after"))), QSize(300, 120));
  DocumentView& view = shown.view();
  const int height = view.viewport()->height();
  auto inSight = [&](const QRect& caret) {
    return !caret.isEmpty() && caret.top() >= 0 && caret.bottom() <= height;
  };
  const long end = shown.Find("after") - 1;  // before the long paragraph's mark
  shown.document().selection().SetRange(end, end);
  ASSERT_TRUE(view.Type("Q"));
  const QRect caret = view.CaretRect();
  EXPECT_TRUE(inSight(caret)) << caret.top() << " " << caret.bottom();
  EXPECT_EQ(view.PositionAt(QPoint(caret.left(), caret.center().y())), end + 1);
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_TRUE(inSight(view.CaretRect()));
  shown.document().selection().SetRange(1, 1);
  QTest::keyClick(&view, Qt::Key_Left);
  EXPECT_EQ(shown.document().selection().End(), 0);
  EXPECT_TRUE(inSight(view.CaretRect())) << view.CaretRect().top();
}

TEST(DocumentViewTest, OnlyTheBlocksInSightAreLaidOut) {
  std::string body;
  for (int i = 0; i < 3000; ++i) body += P(R("paragraph " + std::to_string(i)));
  Shown shown(MakeDocx(body));
  shown.Grab();
  auto [first, end] = shown.view().PaintedUnits();
  EXPECT_EQ(first, 0u);
  EXPECT_GT(end, 5u);
  EXPECT_LT(end, 100u);
  const long last = shown.Find("paragraph 2999") + 14;
  shown.document().selection().SetRange(last, last);
  ASSERT_TRUE(shown.view().Type("!"));
  shown.view().viewport()->grab();
  std::tie(first, end) = shown.view().PaintedUnits();
  EXPECT_EQ(end, shown.document().story().UnitCount());
  EXPECT_GT(first, 2900u);
  EXPECT_FALSE(shown.view().CaretRect().isEmpty());
}

TEST(DocumentViewTest, RealDocumentsShowAndTakeTheEditingKeys) {
  // Word's own documents: tables, sections, headers, numbering, shapes, hyperlinks, styles.
  int opened = 0;
  for (const auto& entry : std::filesystem::directory_iterator("tests/data/word")) {
    if (entry.path().extension() != ".docx") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    Shown shown(bytes, {360, 240});
    const std::string name = entry.path().filename().string();
    EXPECT_FALSE(shown.Grab().isNull()) << name;
    EXPECT_GT(shown.view().PaintedUnits().second, 0u) << name;
    ++opened;
    DocumentView& view = shown.view();
    const size_t units = shown.document().story().UnitCount();
    for (size_t i = 0; i < units + 5; ++i) {
      QTest::keyClick(&view, Qt::Key_Down);
      ASSERT_FALSE(view.CaretRect().isEmpty()) << name << " after " << i;
    }
    QTest::keyClick(&view, Qt::Key_End);
    QTest::keyClicks(&view, "ok");
    const long caret = shown.document().selection().End();
    EXPECT_EQ(docx::StoryText(shown.document().story(), caret - 2, caret), "ok") << name;
    EXPECT_EQ(view.PositionAt(view.CaretRect().topLeft() + QPoint(0, 2)), caret) << name;
    for (int i = 0; i < 5; ++i) QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_FALSE(view.CaretRect().isEmpty()) << name;
  }
  EXPECT_GE(opened, 15);
}

}  // namespace
}  // namespace quillon::wordhost
