// Finding plain uses of library entries in a document's text, and candidate entries.
#include "document/Scan.h"

#include "document/DocumentFixture.h"

namespace quillon::document {
namespace {

using docx::testing::Simple;
using docx::testing::Tbl;

const std::vector<library::AbbreviationEntry> kEntries = {
    {"", "L", "PCA", "principal component analysis"},
    {"", "L", "ML", "machine learning"},
    {"", "L", "FFT", "fast Fourier transform"},
    {"", "L", "WHO", "World Health Organization"},
    {"", "R", "\xD7\x90\xD7\x91", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"},
    {"", "L", "MS", "mass spectrometry"},
    {"", "L", "MS", "multiple sclerosis"},
    {"", "L", "BAD", "holds </ABB> a tag"},
};

// What the scan reports, each list joined by "; ".
struct ScanCase {
  const char* name;
  std::string body;
  std::string uses;        // "form:found"
  std::string kept;        // "found"
  std::string candidates;  // "abb=meaning xcount"
};

std::string Joined(const std::vector<std::string>& items) {
  std::string joined;
  for (const std::string& item : items) joined += (joined.empty() ? "" : "; ") + item;
  return joined;
}

TEST_F(DocumentTest, ScanFindsWhatConvertWouldTake) {
  const ScanCase cases[] = {
      {"short_forms_as_whole_words", P(R("ML and HTML and XML-based ML-based (ML) ml ML_x ML.")),
       "short:ML; short:ML; short:ML; short:ML", "", ""},
      {"long_forms_and_sentence_starts",
       P(R("Machine learning is old. We use machine learning. So Machine learning "
           "is not at a start.")),
       "long:Machine learning; long:machine learning", "", ""},
      {"combined_forms_are_one_use",
       P(R("A principal component analysis (PCA) and PCA (principal component "
           "analysis), then PCA.")),
       "long (short):principal component analysis (PCA); short (long):PCA (principal "
       "component analysis); short:PCA",
       "", ""},
      {"capital_long_form_with_its_short", P(R("Principal component analysis (PCA) opens.")),
       "long (short):Principal component analysis (PCA)", "", ""},
      {"plurals_and_possessives_kept",
       P(R("Two PCAs, the FFT's size, the FFT\xE2\x80\x99s phase and FFTs.")), "",
       "PCA; FFT; FFT; FFT", ""},
      {"a_combined_form_names_its_meaning",
       P(R("MS (multiple sclerosis) and multiple sclerosis (MS).")),
       "short (long):MS (multiple sclerosis); long (short):multiple sclerosis (MS)", "", ""},
      {"one_abbreviation_two_meanings_kept", P(R("MS or mass spectrometry.")),
       "long:mass spectrometry", "MS", ""},
      {"fields_are_left_alone",
       P(R("ML ") + Placeholder("ML", "machine learning") + R(" ") +
         Simple("QUOTE \"ML\"", R("ML")) + R(" end")),
       "short:ML", "", ""},
      {"addresses_are_left_alone",
       P(R("See https://example.org/ML/PCA or www.ml.org/ML, mail ml@ML.org; ML.")), "short:ML", "",
       ""},
      {"addresses_in_capitals_brackets_and_mail_links",
       P(R("(WWW.ML.ORG/ML) mailto:ML@x.org, ftp://ML.org and ML: www ML")), "short:ML; short:ML",
       "", ""},
      {"tracked_deletions_are_left_alone",
       P(R("keep ") +
         "<w:del w:id=\"1\" w:author=\"a\"><w:r><w:delText>ML "
         "</w:delText></w:r></w:del>" +
         "<w:ins w:id=\"2\" w:author=\"a\"><w:r><w:t>PCA</w:t></w:r></w:ins>"),
       "short:PCA", "", ""},
      {"abbreviation_tables_are_left_alone",
       Table({{"Abbreviation", "Meaning"}, {"ML", "machine learning"}}) + Tbl(1, 1, "ML ") +
           P(R("ML")),
       "short:ML; short:ML", "", ""},
      {"right_to_left_entry", P(R("\xD7\x90\xD7\x91 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D")),
       "short:\xD7\x90\xD7\x91; long:\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "", ""},
      {"entries_with_tags_are_passed_over", P(R("BAD")), "", "", ""},
      {"candidates_for_the_library",
       P(R("We used support vector machines (SVM), Some Words (SW) twice: Some Words "
           "(SW). Not (PCA), not (see), not (II) alone, not (A).")),
       "short:PCA", "", "SVM=support vector machines x1; SW=Some Words x2"},
      {"candidate_letters_inside_words",
       P(R("Deoxyribonucleic acid (DNA) and messenger RNA (mRNA).")), "", "",
       "DNA=Deoxyribonucleic acid x1; mRNA=messenger RNA x1"},
      {"paragraphs_do_not_join", P(R("principal component")) + P(R("analysis")), "", "", ""}};
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.body);
    ScanReport report = ScanDocument(word, kEntries, ScanOptions{.details = false});
    std::vector<std::string> uses, kept, candidates;
    for (const PlainUse& use : report.uses) {
      uses.push_back(std::string(PlainFormName(use.form)) + ":" + use.found);
      // Positions are story positions: the text there is what was found.
      EXPECT_EQ(doc().Range(use.start, use.end)->Text(), use.found);
    }
    for (const KeptUse& use : report.kept) kept.push_back(use.found);
    for (const CandidateEntry& candidate : report.candidates) {
      candidates.push_back(candidate.abb + "=" + candidate.text + " x" +
                           std::to_string(candidate.count));
    }
    EXPECT_EQ(Joined(uses), c.uses);
    EXPECT_EQ(Joined(kept), c.kept);
    EXPECT_EQ(Joined(candidates), c.candidates);
  }
}

TEST_F(DocumentTest, ScanReadsPagesAndContext) {
  Open(P(R("First page.") + PageBreak() + R("Here the ") + Simple("PAGE", R("2")) +
         R(" ML stands.")));
  ScanReport report = ScanDocument(word, kEntries);
  ASSERT_EQ(report.uses.size(), 1u);
  EXPECT_EQ(std::tie(report.uses[0].page, report.uses[0].context, report.uses[0].entry),
            std::make_tuple(2L, "First page. Here the 2 ML stands.", size_t{1}));

  // The context leaves out the code of a field nested in another's code, and of one without a
  // result.
  using docx::testing::Instr;
  using docx::testing::Mark;
  Open(P(R("a ") + Mark("begin") + Instr("IF ") + Fld("X", R("inner")) + Instr(" = 1") +
         Mark("separate") + R("outer") + Mark("end") + R(" b") + Mark("begin") + Instr("TC x") +
         Mark("end") + R(" ML c")));
  report = ScanDocument(word, kEntries);
  ASSERT_EQ(report.uses.size(), 1u);
  EXPECT_EQ(report.uses[0].context, "a outer b ML c");
}

// A text past a megabyte is searched in two halves at once: every use is found once, those
// across the middle included, whatever the byte the halves meet at.
TEST_F(DocumentTest, LongTextsFindEachUseOnce) {
  for (int extra : {0, 7, 9}) {
    SCOPED_TRACE(extra);
    const std::string paragraph = P(R("Machine learning (ML) and ML" + std::string(extra, '.')));
    constexpr int kParagraphs = 40001;  // over a megabyte; the middle falls inside a paragraph
    std::string body;
    body.reserve(paragraph.size() * kParagraphs);
    for (int i = 0; i < kParagraphs; ++i) body += paragraph;
    Open(body);
    ScanReport report = ScanDocument(word, kEntries, ScanOptions{.details = false});
    ASSERT_EQ(report.uses.size(), 2u * kParagraphs);
    for (size_t i = 0; i < report.uses.size(); ++i) {
      EXPECT_EQ(report.uses[i].found, i % 2 == 0 ? "Machine learning (ML)" : "ML") << i;
      if (HasFailure()) break;
    }
  }
}

}  // namespace
}  // namespace quillon::document
