#!/usr/bin/env python3
"""Writes sample-thesis.docx: a few pages of a thesis chapter whose abbreviations are
Quillon placeholder fields, as authors leave them before running "Update document".

Usage: samples/make-sample-document.py [output.docx]
The entries come from sample-library.tsv, so the sample library holds every one of them.
"""
import sys
from xml.sax.saxutils import escape

from docxpackage import write_docx

ENTRIES = {}
with open(__file__.rsplit("/", 1)[0] + "/sample-library.tsv", encoding="utf-8") as tsv:
    for line in tsv:
        if line.startswith("#") or not line.strip():
            continue
        direction, abb, meaning = line.rstrip("\n").split("\t")
        ENTRIES.setdefault(abb, (meaning, direction))

W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'


def run(text):
    return f'<w:r><w:t xml:space="preserve">{escape(text)}</w:t></w:r>'


def field(abb):
    meaning, direction = ENTRIES[abb]
    tag = {"L": "LTR", "R": "RTL"}[direction]
    code = (f" ADDIN ABBREV <ABB>{abb}</ABB><Text>{meaning}</Text>"
            f"<Direction>{tag}</Direction></ABBREV> ")
    return ('<w:r><w:fldChar w:fldCharType="begin"/></w:r>'
            f'<w:r><w:instrText xml:space="preserve">{escape(code)}</w:instrText></w:r>'
            '<w:r><w:fldChar w:fldCharType="separate"/></w:r>'
            f'<w:r><w:t>{escape("{" + abb + "-#}")}</w:t></w:r>'
            '<w:r><w:fldChar w:fldCharType="end"/></w:r>')


def inline(text):
    """Text with [ABB] marking an abbreviation field."""
    out, rest = [], text
    while "[" in rest:
        before, rest = rest.split("[", 1)
        abb, rest = rest.split("]", 1)
        if before:
            out.append(run(before))
        out.append(field(abb))
    if rest:
        out.append(run(rest))
    return "".join(out)


def para(text, style=None):
    props = f'<w:pPr><w:pStyle w:val="{style}"/></w:pPr>' if style else ""
    return f"<w:p>{props}{inline(text)}</w:p>"


def page_break():
    return '<w:p><w:r><w:br w:type="page"/></w:r></w:p>'


def table(rows):
    grid = "".join('<w:gridCol w:w="3000"/>' for _ in rows[0])
    body = []
    heading = '<w:pPr><w:pStyle w:val="TableHeading"/></w:pPr>'
    for r, cells in enumerate(rows):
        props = heading if r == 0 else ""
        tcs = "".join(
            f'<w:tc><w:tcPr><w:tcW w:w="3000" w:type="dxa"/></w:tcPr>'
            f"<w:p>{props}{inline(c)}</w:p></w:tc>" for c in cells)
        body.append(f"<w:tr>{tcs}</w:tr>")
    return ('<w:tbl><w:tblPr><w:tblStyle w:val="TableGrid"/><w:tblW w:w="0" w:type="auto"/>'
            f'</w:tblPr><w:tblGrid>{grid}</w:tblGrid>{"".join(body)}</w:tbl>')


BODY = [
    para("Learning to See Faults: Vibration Analysis with Neural Networks", "Title"),
    para("Chapter 3. Methods", "Heading1"),
    para("3.1 Signal acquisition", "Heading2"),
    para("Every test rig carries four accelerometers whose signals pass an anti-aliasing filter "
         "before they are sampled at 51.2 kHz. The acquisition runs on the [FPGA] board that "
         "streams frames to the host computer, where the [DSP] chain of Section 3.2 prepares "
         "them. Frames are kept whole so that the [SNR] of every channel can be reported."),
    para("Temperature and load were logged alongside. The sensors of the second rig are "
         "connected over the [IoT] gateway, which adds a few milliseconds of delay but no loss; "
         "the [FPGA] timestamps absorb that delay. [IoT] devices of this kind report their own "
         "battery state, which the gateway forwards with the data."),
    para("3.2 Pre-processing", "Heading2"),
    para("Each frame is windowed and transformed with the [FFT]; the spectra are averaged over "
         "eight frames. The [DSP] chain then normalises each spectrum to unit energy, which "
         "removes the effect of the load on the overall level while keeping the shape that "
         "carries the fault signature."),
    para("Where the [SNR] falls below 20 dB the frame is dropped. This happens in fewer than one "
         "frame in a thousand, mostly during start-up."),
    page_break(),
    para("3.3 Feature extraction", "Heading2"),
    para("Two families of features are compared. The first is classical: the spectra are "
         "reduced with [PCA] to the components that explain 95 % of the variance. The second "
         "is learned: a [CNN] takes the raw spectra and learns its own filters."),
    para("The [PCA] features feed a gradient-boosted classifier, the learned features a dense "
         "layer. Both are trained with the same folds, so their scores can be compared fold "
         "by fold."),
    para("3.4 Models", "Heading2"),
    para("Table 3.1 lists the models and their sizes. The recurrent model, built on [LSTM] cells, reads "
         "the sequence of spectra of one run and predicts the remaining useful life."),
    table([["Model", "Input", "Parameters"],
           ["[CNN]", "[FFT] spectra", "1.2 million"],
           ["[LSTM]", "sequences of spectra", "0.8 million"],
           ["Boosted trees", "[PCA] components", "–"]]),
    para("All models were trained on one [GPU]; training the [CNN] takes about forty minutes, "
         "the [LSTM] about two hours."),
    page_break(),
    para("Chapter 4. Results", "Heading1"),
    para("4.1 Classification", "Heading2"),
    para("On the held-out rig the [CNN] reaches an accuracy of 97.1 %, the [PCA] features "
         "93.4 %. The difference is largest for the early faults, whose signature lies in "
         "narrow bands that the [PCA] components blur."),
    para("4.2 Remaining useful life", "Heading2"),
    para("The [LSTM] predicts the remaining useful life to within 6.3 hours, measured as [RMSE] "
         "over runs of about 200 hours. The [RMSE] drops to 2.1 hours in the last twenty hours of a run, "
         "where it matters most."),
    para("4.3 Discussion", "Heading2"),
    para("Learned features win where the data are plentiful. With fewer than a hundred runs, "
         "[ML] models of this size overfit, and the classical chain is the safer choice. "
         "Magnetic resonance imaging offers no help here, but the [MRI] literature on "
         "denoising inspired the normalisation of Section 3.2."),
    para("Future work will move the [DSP] chain onto the [FPGA] and compare the [CNN] with "
         "models trained on other rigs."),
    para("Chapter 5. Abbreviations", "Heading1"),
    para("The list below is built by Quillon."),
]

DOCUMENT = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:document {W}><w:body>'
            + "".join(BODY) +
            '<w:p/><w:sectPr><w:pgSz w:w="11906" w:h="16838"/>'
            '<w:pgMar w:top="1417" w:right="1417" w:bottom="1134" w:left="1417" w:header="708" '
            'w:footer="708" w:gutter="0"/></w:sectPr></w:body></w:document>')


def style(sid, name, kind="paragraph", extra=""):
    return (f'<w:style w:type="{kind}" w:styleId="{sid}"><w:name w:val="{name}"/>{extra}'
            '</w:style>')


STYLES = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:styles {W}>'
          '<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Liberation Serif" '
          'w:hAnsi="Liberation Serif"/><w:sz w:val="24"/></w:rPr></w:rPrDefault>'
          '<w:pPrDefault><w:pPr><w:spacing w:after="120"/></w:pPr></w:pPrDefault></w:docDefaults>'
          + style("Normal", "Normal", extra='<w:qFormat/>')
          + style("Title", "Title", extra='<w:basedOn w:val="Normal"/><w:rPr><w:b/><w:sz w:val="40"/></w:rPr>')
          + style("Heading1", "heading 1", extra='<w:basedOn w:val="Normal"/><w:pPr><w:keepNext/>'
                  '<w:spacing w:before="360"/><w:outlineLvl w:val="0"/></w:pPr><w:rPr><w:b/><w:sz w:val="32"/></w:rPr>')
          + style("Heading2", "heading 2", extra='<w:basedOn w:val="Normal"/><w:pPr><w:keepNext/>'
                  '<w:spacing w:before="240"/><w:outlineLvl w:val="1"/></w:pPr><w:rPr><w:b/><w:sz w:val="26"/></w:rPr>')
          + style("TableHeading", "Table Heading", extra='<w:basedOn w:val="Normal"/><w:rPr><w:b/></w:rPr>')
          + '</w:styles>')

out = sys.argv[1] if len(sys.argv) > 1 else __file__.rsplit("/", 1)[0] + "/sample-thesis.docx"
write_docx(out, DOCUMENT, STYLES)
uses = DOCUMENT.count("ADDIN ABBREV")
kinds = len({a for a in ENTRIES if f"&lt;ABB&gt;{escape(a)}&lt;/ABB&gt;" in DOCUMENT})
print(f"{out}: {uses} abbreviation fields of {kinds} entries")
