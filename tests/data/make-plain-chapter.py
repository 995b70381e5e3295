#!/usr/bin/env python3
"""Writes plain-chapter.docx: a thesis chapter typed by hand before its author used Quillon.
Its abbreviations are plain text (short forms, meanings, "meaning (ABB)" forms, plurals and
possessives, an abbreviation inside longer words, in a web address, in an e-mail address and
in a tracked deletion), and a hand-made "Abbreviation | Meaning" table stands at its front.

Usage: tests/data/make-plain-chapter.py [output.docx]
"""
import sys
from pathlib import Path
from xml.sax.saxutils import escape

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "samples"))
from docxpackage import write_docx  # noqa: E402

W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'


def run(text):
    return f'<w:r><w:t xml:space="preserve">{escape(text)}</w:t></w:r>'


def deleted(text):
    return (f'<w:del w:id="1" w:author="Supervisor" w:date="2026-11-02T10:00:00Z"><w:r>'
            f'<w:delText xml:space="preserve">{escape(text)}</w:delText></w:r></w:del>')


def para(*parts, style=None):
    props = f'<w:pPr><w:pStyle w:val="{style}"/></w:pPr>' if style else ""
    runs = "".join(p if p.startswith("<") else run(p) for p in parts)
    return f"<w:p>{props}{runs}</w:p>"


def page_break():
    return '<w:p><w:r><w:br w:type="page"/></w:r></w:p>'


def table(rows):
    grid = '<w:gridCol w:w="2000"/><w:gridCol w:w="6000"/>'
    body = []
    for cells in rows:
        tcs = "".join(f'<w:tc><w:tcPr><w:tcW w:w="{2000 if i == 0 else 6000}" w:type="dxa"/>'
                      f"</w:tcPr>{para(c)}</w:tc>" for i, c in enumerate(cells))
        body.append(f"<w:tr>{tcs}</w:tr>")
    return ('<w:tbl><w:tblPr><w:tblW w:w="0" w:type="auto"/></w:tblPr>'
            f'<w:tblGrid>{grid}</w:tblGrid>{"".join(body)}</w:tbl>')


BODY = [
    para("Learning to See Faults", style="Title"),
    para("Abbreviations", style="Heading1"),
    para("The abbreviations used in this chapter are the following."),
    table([["Abbreviation", "Meaning"],
           ["CNN", "convolutional neural network"],
           ["FFT", "fast Fourier transform"],
           ["ML", "machine learning"],
           ["PCA", "principal component analysis"],
           ["SNR", "signal-to-noise ratio"],
           ["DSP", ""]]),
    para("Chapter 3. Methods", style="Heading1"),
    para("Every rig carries four accelerometers. Their signals are sampled at 51.2 kHz and "
         "stored frame by frame; the signal-to-noise ratio (SNR) of every channel is logged "
         "with the frame, and frames whose SNR falls below 20 dB are dropped."),
    para("Each frame is transformed with the fast Fourier transform (FFT). The FFT's length is "
         "4096 samples, and the FFTs of eight frames are averaged before the SNR is checked "
         "again."),
    para("Two families of machine learning (ML) features are compared. The first is "
         "classical: principal component analysis (PCA) reduces the spectra to the "
         "components that explain 95 % of the variance. The second is learned: a "
         "convolutional neural network takes the raw spectra and learns its own filters. ",
         deleted("The CNN was also tried on the raw signals. "),
         "Both PCA and the CNN are trained on the same folds."),
    page_break(),
    para("Chapter 4. Results", style="Heading1"),
    para("On the held-out rig the CNN reaches an accuracy of 97.1 %, the PCAs of the two rigs "
         "93.4 %. Machine learning toolkits export their reports as HTML; ours writes an "
         "XML-based log that any ML library can read."),
    para("The spectra and scripts are at https://example.org/ML/PCA-spectra and questions go "
         "to ml-group@example.org."),
    para("Future work will compare the PCA features with the short-time Fourier transform "
         "(STFT) and move the ML pipeline onto the rig itself."),
]

DOCUMENT = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:document {W}><w:body>'
            + "".join(BODY) +
            '<w:p/><w:sectPr><w:pgSz w:w="11906" w:h="16838"/>'
            '<w:pgMar w:top="1417" w:right="1417" w:bottom="1134" w:left="1417" w:header="708" '
            'w:footer="708" w:gutter="0"/></w:sectPr></w:body></w:document>')


def style(sid, name, extra=""):
    return f'<w:style w:type="paragraph" w:styleId="{sid}"><w:name w:val="{name}"/>{extra}</w:style>'


STYLES = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:styles {W}>'
          + style("Normal", "Normal", '<w:qFormat/>')
          + style("Title", "Title", '<w:basedOn w:val="Normal"/><w:rPr><w:b/><w:sz w:val="40"/></w:rPr>')
          + style("Heading1", "heading 1", '<w:basedOn w:val="Normal"/><w:pPr><w:keepNext/>'
                  '<w:outlineLvl w:val="0"/></w:pPr><w:rPr><w:b/><w:sz w:val="32"/></w:rPr>')
          + '</w:styles>')

out = sys.argv[1] if len(sys.argv) > 1 else __file__.rsplit("/", 1)[0] + "/plain-chapter.docx"
write_docx(out, DOCUMENT, STYLES)
print(f"{out}: {len(BODY)} body elements")
