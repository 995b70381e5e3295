// A document loaded in a headless Writer behind the host interfaces, so that the add-in's
// document routines run on LibreOffice as they run on the .docx model. Fields are Writer's
// fieldmarks (a .docx ADDIN field is imported as one, its code kept as a parameter); positions
// are story positions counted as the .docx model counts them (WriterStory); pages come from
// Writer's own layout. Host calls that Writer refuses throw HostError (kErrCommandFailed).
#pragma once

#include <memory>
#include <string>

#include "addin/host/Application.h"
#include "hosts/libreoffice/LibreOfficeSession.h"

namespace quillon::libreoffice {

// A document the user already has open in Writer, by its model (UNO side: UnoSession.h).
struct OpenWriterDocument;

// How the document's text is read: by a small routine run inside soffice (one call), or
// portion by portion over UNO (what is left when soffice runs no Basic).
enum class WriterWalk { kInWriter, kOverUno };

class WriterApplication : public host::Application {
 public:
  // Loads the document at path hidden into session. Throws LibreOfficeError naming the file.
  // REQUIRES: session outlives the application.
  WriterApplication(LibreOfficeSession& session, const std::string& path,
                    WriterWalk walk = WriterWalk::kInWriter);
  // Works on an open document in place (its text read over UNO: the user's profile holds no
  // routine of ours); the selection starts where the user's view cursor is. Throws
  // LibreOfficeError when it is no text document. REQUIRES: the document stays open while the
  // application lives.
  explicit WriterApplication(const OpenWriterDocument& document);
  // Closes a document it loaded, without saving it; leaves an open document open.
  ~WriterApplication() override;

  host::Document& ActiveDocument() override;
  host::Selection& Selection() override;
  bool Visible() const override { return false; }
  void SetVisible(bool) override {}

  // Returns whether a routine changed the document.
  bool Modified() const;
  // Gives the tables a routine asked for as fitting their contents their widths (Writer does
  // not fit tables itself). SaveAs does it first; on an open document, call it when a routine
  // is done. Throws LibreOfficeError.
  void FitTables();
  // Writes the document as .docx to path (replacing it), tables fitted. Throws
  // LibreOfficeError.
  void SaveAs(const std::string& path);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillon::libreoffice
