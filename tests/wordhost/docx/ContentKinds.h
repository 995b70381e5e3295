// Each kind of content a body holds, with what it reads as: the story, the fields and the field
// index, and the flattened copy are each checked over these same bodies.
#pragma once

#include <string>
#include <vector>

#include "wordhost/docx/DocxBuilder.h"

namespace quillon::docx::testing {

// A field as the host interface reads it and where the field index puts its marks.
struct FieldRead {
  std::string code, result;
  long begin, separator, end;
};

struct ContentKind {
  const char* name;
  std::string body;
  std::string story;              // StoryText of the whole story
  std::string shown;              // Range().Text of the whole story
  std::vector<FieldRead> fields;  // in index order
  bool flattens = true;           // false: a copy with the fields flattened is refused
};

inline std::vector<ContentKind> ContentKinds() {
  return {
      {"plain", P(R("Hello")) + P(R("World")), "Hello\rWorld\r", "Hello\rWorld\r", {}},
      {"empty body", "", "\r", "\r", {}},
      {"complex field",
       P(R("ab") + Fld(" X ", R("r"))),
       "ab\x13 X \x14r\x15\r",
       "abr\r",
       {{" X ", "r", 2, 6, 8}}},
      // The simple field's marks are virtual.
      {"simple field",
       P(R("a") + Simple(" PAGE ", R("x"))),
       "a\x13 PAGE \x14x\x15\r",
       "ax\r",
       {{" PAGE ", "x", 1, 8, 10}}},
      {"nested in the result",
       P(Fld(" IF ", Fld(" A ", R("x")) + R(" and ") + Fld(" B ", R("y")))),
       "\x13 IF \x14\x13 A \x14x\x15 and \x13 B \x14y\x15\x15\r",
       "x and y\r",
       {{" IF ", "x and y", 0, 5, 25}, {" A ", "x", 6, 10, 12}, {" B ", "y", 18, 22, 24}}},
      {"nested in the code",
       P(Mark("begin") + Instr(" IF ") + Fld(" PAGE ", R("x")) + Instr(" = x ") + Mark("separate") +
         R("yes") + Mark("end")),
       "\x13 IF \x13 PAGE \x14x\x15 = x \x14yes\x15\r",
       "yes\r",
       {{" IF x = x ", "yes", 0, 20, 24}, {" PAGE ", "x", 5, 12, 14}}},
      {"complex inside simple",
       P(R("a") + Simple(" IF ", Fld(" B ", R("x")))),
       "a\x13 IF \x14\x13 B \x14x\x15\x15\r",
       "ax\r",
       {{" IF ", "x", 1, 6, 14}, {" B ", "x", 7, 11, 13}}},
      {"code and result over runs",
       P(Mark("begin") + Instr(" QUO") + Instr("TE ") + Instr("x ") + Mark("separate") + R("one ") +
         R("two", "<w:b/>") + Mark("end")),
       "\x13 QUOTE x \x14one two\x15\r",
       "one two\r",
       {{" QUOTE x ", "one two", 0, 10, 18}}},
      {"field without result",
       P(R("x") + Mark("begin") + Instr(" XE \"a\" ") + Mark("end") + R("y")),
       "x\x13 XE \"a\" \x15y\r",
       "xy\r",
       {{" XE \"a\" ", "", 1, 10, 10}}},
      {"result over paragraphs",
       P(R("p ") + Mark("begin") + Instr(" TOC ") + Mark("separate") + R("one")) +
           P(R("two") + Mark("end") + R(" q")),
       "p \x13 TOC \x14one\rtwo\x15 q\r",
       "p one\rtwo q\r",
       {{" TOC ", "one\rtwo", 2, 8, 16}}},
      // Marks that do not pair up are not fields, and reading goes on; the begin mark hides what
      // follows it.
      {"unpaired marks",
       P(R("a") + Mark("end") + Fld(" X ", R("r")) + Mark("begin") + Instr(" Y ")),
       "a\x15\x13 X \x14r\x15\x13 Y \r",
       "ar",
       {{" X ", "r", 2, 6, 8}},
       false},
      {"tab, break and object",
       P(R("a") + "<w:r><w:tab/><w:br/><w:drawing/></w:r>" + R("z")),
       "a\t\v\xEF\xBF\xBCz\r",
       "a\t\vz\r",
       {}},
      // Range().Text ends each cell with its paragraph mark, then the cell end.
      {"table",
       Tbl(1, 2) + P(Fld(" Z ", R("z"))),
       "c00\ac01\a\a\x13 Z \x14z\x15\r",
       "c00\r\ac01\r\a\r\az\r",
       {{" Z ", "z", 9, 13, 15}}},
      {"whitespace kept", P(R("  two  spaces ")), "  two  spaces \r", "  two  spaces \r", {}},
      {"deleted text left out",
       P(R("keep") + "<w:del w:id=\"1\"><w:r><w:delText>gone</w:delText></w:r></w:del>"),
       "keep\r",
       "keep\r",
       {}},
  };
}

}  // namespace quillon::docx::testing
