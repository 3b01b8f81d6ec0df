#!/usr/bin/python3
"""The PyMuPDF peer of scripts/bench: the same jobs as the Quillmark profiles.

  fitz_stamp.py bates IN OUT          "QM-000001" top right, Helvetica 11
  fitz_stamp.py footer IN OUT         "Page n of N  <date>" bottom centre, Helvetica 10
  fitz_stamp.py overlay IN OUT PAGE   page 1 of PAGE drawn over every page
  fitz_stamp.py logo IN OUT IMAGE     the image, 100 x 100 points, 36 points from
                                      the top left, stored once and placed on every page

The file is saved as PyMuPDF saves by default (no garbage collection, new
streams as written).
"""
import datetime
import sys

import fitz


def text_job(doc, words_of_page):
    for number, page in enumerate(doc, start=1):
        text, x, y, size = words_of_page(number, len(doc), page)
        page.insert_text((x, y), text, fontname="helv", fontsize=size)


def bates(number, total, page):
    text = "QM-%06d" % number
    width = fitz.get_text_length(text, fontname="helv", fontsize=11)
    return text, page.rect.width - 36 - width, 28 + 11, 11


def footer(number, total, page):
    text = "Page %d of %d  %s" % (number, total, datetime.date.today().strftime("%Y-%m-%d"))
    width = fitz.get_text_length(text, fontname="helv", fontsize=10)
    return text, (page.rect.width - width) / 2, page.rect.height - 28, 10


def overlay(doc, path):
    source = fitz.open(path)
    for page in doc:
        page.show_pdf_page(page.rect, source, 0, overlay=True)


def logo(doc, path):
    xref = 0
    for page in doc:
        rect = fitz.Rect(36, 36, 136, 136)
        if xref:
            page.insert_image(rect, xref=xref)
        else:
            xref = page.insert_image(rect, filename=path)


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    job, source, target = argv[1:4]
    doc = fitz.open(source)
    if job == "bates":
        text_job(doc, bates)
    elif job == "footer":
        text_job(doc, footer)
    elif job == "overlay" and len(argv) == 5:
        overlay(doc, argv[4])
    elif job == "logo" and len(argv) == 5:
        logo(doc, argv[4])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    doc.save(target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
