#include "hosts/libreoffice/WriterScript.h"

#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/theMasterScriptProviderFactory.hpp>

namespace quillon::libreoffice {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

constexpr const char* kLibrary = "QuillonWriterHost";
constexpr const char* kModule = "Story";

// The module's source. Walk(document) returns Array(records, paragraphs, texts, marks, tables):
// one record string per paragraph and table mark-up, and the objects the records refer to by
// their order; each array may have empty places at its end. A record is a letter and its data;
// texts are length-prefixed ("T5:hello"):
//   P<text>,<table>,<row>,<column>;  a paragraph of texts(<text>) starts (paragraphs(n))
//   T<n>:text  D<n>:text  O<n>:text  text, tracked deletion, one-character object
//   B<n>:code  S  E                  a fieldmark's start (marks(n)), separator, end
//   A<n>:name  Z<rows>,<n>:A,B,C     a table starts (tables(n)), ends with its first row's columns
//   C  R<table>,<row>,<column>;      a cell ends, a row ends
constexpr const char* kSource = R"BASIC(
Option Explicit
Private sOut As Variant, nOut As Long
Private oPars As Variant, nPars As Long
Private oTexts As Variant, nTexts As Long
Private oMarks As Variant, nMarks As Long
Private oTables As Variant, nTables As Long

' Returns a copy of a with room for more; assigning it keeps the variable the module's own.
Private Function Grown(a As Variant) As Variant
  Dim b As Variant
  b = a
  ReDim Preserve b(2 * UBound(a) + 64)
  Grown = b
End Function

Private Sub Emit(s As String)
  If nOut > UBound(sOut) Then sOut = Grown(sOut)
  sOut(nOut) = s
  nOut = nOut + 1
End Sub

Private Function Counted(sKind As String, s As String) As String
  Counted = sKind & Len(s) & ":" & s
End Function

Private Function AddText(o As Object) As Long
  If nTexts > UBound(oTexts) Then oTexts = Grown(oTexts)
  oTexts(nTexts) = o
  AddText = nTexts
  nTexts = nTexts + 1
End Function

Private Sub WalkTable(oTable As Object, nTable As Long, nRow As Long, nCol As Long)
  Dim bNested As Boolean, nIndex As Long, aNames, i As Long, j As Long
  Dim sName As String, sLetters As String, sRowPart As String, sRow As String
  Dim nR As Long, nC As Long, sColumns As String, oCell As Object
  bNested = nTable >= 0
  nIndex = nTable
  If Not bNested Then
    If nTables > UBound(oTables) Then oTables = Grown(oTables)
    oTables(nTables) = oTable
    nIndex = nTables
    nTables = nTables + 1
    Call Emit(Counted("A", oTable.getName()))
  End If
  aNames = oTable.getCellNames()
  sRow = ""
  nR = 0
  nC = 0
  For i = 0 To UBound(aNames)
    sName = aNames(i)
    j = 1
    Do While j <= Len(sName)
      If InStr("0123456789", Mid(sName, j, 1)) > 0 Then Exit Do
      j = j + 1
    Loop
    sLetters = Left(sName, j - 1)
    sRowPart = Mid(sName, j)
    If i > 0 And sRowPart <> sRow Then
      If bNested Then Call Emit("R" & nIndex & "," & nRow & "," & nCol & ";") Else Call Emit("R" & nIndex & "," & nR & "," & nC & ";")
      nR = nR + 1
      nC = 0
    End If
    If nR = 0 Then
      If sColumns <> "" Then sColumns = sColumns & ","
      sColumns = sColumns & sLetters
    End If
    sRow = sRowPart
    oCell = oTable.getCellByName(sName)
    If bNested Then
      Call WalkText(oCell, AddText(oCell), nIndex, nRow, nCol)
    Else
      Call WalkText(oCell, AddText(oCell), nIndex, nR, nC)
    End If
    Call Emit("C")
    nC = nC + 1
  Next i
  If bNested Then Call Emit("R" & nIndex & "," & nRow & "," & nCol & ";") Else Call Emit("R" & nIndex & "," & nR & "," & nC & ";")
  If Not bNested Then Call Emit("Z" & (nR + 1) & "," & Len(sColumns) & ":" & sColumns)
End Sub

Private Sub WalkText(oText As Object, nText As Long, nTable As Long, nRow As Long, nCol As Long)
  Dim oEnum As Object, oEl As Object, oPortions As Object, oPortion As Object, oMark As Object
  Dim s As String, sType As String, t As String, bDeleted As Boolean, oParams As Object
  oEnum = oText.createEnumeration()
  Do While oEnum.hasMoreElements()
    oEl = oEnum.nextElement()
    If oEl.supportsService("com.sun.star.text.TextTable") Then
      Call WalkTable(oEl, nTable, nRow, nCol)
    ElseIf oEl.supportsService("com.sun.star.text.Paragraph") Then
      If nPars > UBound(oPars) Then oPars = Grown(oPars)
      oPars(nPars) = oEl
      nPars = nPars + 1
      s = "P" & nText & "," & nTable & "," & nRow & "," & nCol & ";"
      bDeleted = False
      oPortions = oEl.createEnumeration()
      Do While oPortions.hasMoreElements()
        oPortion = oPortions.nextElement()
        sType = oPortion.TextPortionType
        Select Case sType
          Case "Text"
            If bDeleted Then s = s & Counted("D", oPortion.getString()) Else s = s & Counted("T", oPortion.getString())
          Case "TextFieldStart"
            oMark = oPortion.Bookmark
            If nMarks > UBound(oMarks) Then oMarks = Grown(oMarks)
            oMarks(nMarks) = oMark
            nMarks = nMarks + 1
            t = ""
            oParams = oMark.getParameters()
            If oParams.hasByName("vnd.oasis.opendocument.field.code") Then t = oParams.getByName("vnd.oasis.opendocument.field.code")
            s = s & Counted("B", t)
          Case "TextFieldSeparator"
            s = s & "S"
          Case "TextFieldEnd"
            s = s & "E"
          Case "TextField", "Footnote", "Annotation", "TextFieldStartEnd"
            s = s & Counted("O", oPortion.getString())
          Case "Redline"
            If oPortion.RedlineType = "Delete" Then bDeleted = oPortion.IsStart
        End Select
      Loop
      Call Emit(s)
    End If
  Loop
End Sub

' Writes aStrings(i) over aLengths(i) characters at aOffsets(i) of paragraph aPars(i) of
' aTexts(i), in order. Returns "" when all are written, else which one failed and why.
Function WriteTexts(aTexts As Variant, aPars As Variant, aOffsets As Variant, aLengths As Variant, aStrings As Variant) As String
  Dim i As Long, oCursor As Object
  On Error GoTo Failed
  For i = 0 To UBound(aPars)
    oCursor = aTexts(i).createTextCursorByRange(aPars(i))
    oCursor.collapseToStart()
    If aOffsets(i) > 0 Then oCursor.goRight(aOffsets(i), False)
    If aLengths(i) > 0 Then oCursor.goRight(aLengths(i), True)
    oCursor.setString(aStrings(i))
  Next i
  WriteTexts = ""
  Exit Function
Failed:
  WriteTexts = "rewrite " & (i + 1) & " of " & (UBound(aPars) + 1) & ": " & Error$
End Function

Function Walk(oDoc As Object) As Variant
  On Error GoTo Failed
  sOut = Grown(Array())
  oPars = Grown(Array())
  oTexts = Grown(Array())
  oMarks = Grown(Array())
  oTables = Grown(Array())
  nOut = 0 : nPars = 0 : nTexts = 0 : nMarks = 0 : nTables = 0
  Dim oBody As Object
  oBody = oDoc.getText()
  Call WalkText(oBody, AddText(oBody), -1, 0, 0)
  Walk = Array(sOut, oPars, oTexts, oMarks, oTables)
  Exit Function
Failed:
  Walk = "line " & Erl & ": " & Error$
End Function
)BASIC";

}  // namespace

std::shared_ptr<WriterScript> WriterScript::Install(
    const Reference<css::uno::XComponentContext>& context) {
  try {
    Reference<css::script::XLibraryContainer> libraries(
        context->getServiceManager()->createInstanceWithContext(
            "com.sun.star.script.ApplicationScriptLibraryContainer", context),
        UNO_QUERY_THROW);
    OUString library = OUString::createFromAscii(kLibrary);
    if (!libraries->hasByName(library)) libraries->createLibrary(library);
    libraries->loadLibrary(library);
    Reference<css::container::XNameContainer> modules(libraries->getByName(library),
                                                      UNO_QUERY_THROW);
    OUString module = OUString::createFromAscii(kModule);
    css::uno::Any source(OUString::createFromAscii(kSource));
    if (modules->hasByName(module)) {
      modules->replaceByName(module, source);
    } else {
      modules->insertByName(module, source);
    }
    auto script = std::make_shared<WriterScript>();
    script->provider_ =
        css::script::provider::theMasterScriptProviderFactory::get(context)->createScriptProvider(
            css::uno::Any(OUString()));
    return script;
  } catch (const css::uno::Exception&) {
    return nullptr;
  }
}

std::shared_ptr<WriterScript> WriterScript::Of(LibreOfficeSession& session) {
  LibreOfficeSession::Uno& uno = session.uno();
  if (!uno.scriptInstalled) {
    uno.script = Install(uno.context);
    uno.scriptInstalled = true;
  }
  return uno.script;
}

css::uno::Any WriterScript::Call(const char* name,
                                 const css::uno::Sequence<css::uno::Any>& arguments) {
  OUString uri = "vnd.sun.star.script:" + OUString::createFromAscii(kLibrary) + "." +
                 OUString::createFromAscii(kModule) + "." + OUString::createFromAscii(name) +
                 "?language=Basic&location=application";
  Reference<css::script::provider::XScript> script = provider_->getScript(uri);
  css::uno::Sequence<sal_Int16> outIndex;
  css::uno::Sequence<css::uno::Any> out;
  return script->invoke(arguments, outIndex, out);
}

}  // namespace quillon::libreoffice
