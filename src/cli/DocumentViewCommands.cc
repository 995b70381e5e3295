#include "cli/DocumentViewCommands.h"

#include <cstdio>
#include <memory>
#include <string>

#include "cli/TextTable.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/OtherStories.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::cli {
namespace {

struct ViewOptions {
  std::string path;
  bool codes = false;
  bool json = false;
};

// Returns the document, or nullptr after reporting why it cannot be read.
std::unique_ptr<docx::Document> OpenDocument(const std::string& path, CommandContext& context) {
  try {
    return docx::Document::Open(path);
  } catch (const docx::DocxError& e) {
    context.err << "quillon: cannot read " << path << ": " << e.what() << '\n';
    context.exitCode = kExitFailure;
    return nullptr;
  }
}

// Field text on one line of the plain listing: marks and breaks shown as escapes.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\a') {
      out += "\\a";
    } else {
      out += c;
    }
  }
  return out;
}

void Show(const ViewOptions& o, CommandContext& context) {
  auto document = OpenDocument(o.path, context);
  if (!document) return;
  context.out << docx::ShowText(*document, o.codes);
}

void ListFields(const ViewOptions& o, CommandContext& context) {
  auto document = OpenDocument(o.path, context);
  if (!document) return;
  std::vector<docx::FieldListing> fields = docx::ListFields(*document);
  std::vector<docx::OtherStoryField> others;
  try {
    others = docx::OtherStoryFields(*document);
  } catch (const docx::DocxError& e) {
    context.err << "quillon: cannot read " << o.path << ": " << e.what() << '\n';
    context.exitCode = kExitFailure;
    return;
  }
  if (o.json) {
    const char* separator = "\n";
    context.out << "[";
    for (const docx::FieldListing& f : fields) {
      context.out << separator << "  {\"index\": " << f.index << ", \"start\": " << f.start
                  << ", \"page\": " << f.page << ", \"code\": " << JsonString(f.code)
                  << ", \"result\": " << JsonString(f.result) << "}";
      separator = ",\n";
    }
    for (const docx::OtherStoryField& f : others) {
      context.out << separator << "  {\"story\": " << JsonString(f.story)
                  << ", \"code\": " << JsonString(f.code)
                  << ", \"result\": " << JsonString(f.result) << "}";
      separator = ",\n";
    }
    context.out << (fields.empty() && others.empty() ? "]\n" : "\n]\n");
    return;
  }
  for (const docx::FieldListing& f : fields) {
    context.out << f.index << '\t' << f.start << '\t' << f.page << '\t' << OneLine(f.code) << '\t'
                << OneLine(f.result) << '\n';
  }
  // Fields of other stories have no main-text position or page: their story stands there.
  for (const docx::OtherStoryField& f : others) {
    context.out << f.story << "\t-\t-\t" << OneLine(f.code) << '\t' << OneLine(f.result) << '\n';
  }
}

}  // namespace

void AddDocumentViewCommands(CLI::App& app, CommandContext& context) {
  auto options = std::make_shared<ViewOptions>();

  CLI::App* show = app.add_subcommand(
      "show", "Print the main text of a .docx as it shows: fields as their results");
  show->add_option("DOC", options->path, "the .docx document")->required();
  show->add_flag("--codes", options->codes, "show fields as their codes");
  show->callback([options, &context] { Show(*options, context); });

  CLI::App* fields = app.add_subcommand(
      "fields",
      "List the fields of a .docx: index, start position, page, code, result (fields of headers, "
      "footnotes, text boxes... last, their story in place of index, start and page)");
  fields->add_option("DOC", options->path, "the .docx document")->required();
  fields->add_flag("--json", options->json, "print a JSON array");
  fields->callback([options, &context] { ListFields(*options, context); });
}

}  // namespace quillon::cli
