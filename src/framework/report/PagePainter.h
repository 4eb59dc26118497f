#pragma once
#include "framework/report/Document.h"

class QPainter;
class QPrinter;

namespace fw::report {

/// Paints one page (0-based) with the paper's top-left corner at the painter's
/// origin, at the painter device's own resolution, so the same call serves the
/// screen, a printer, a PDF or an image. Any transform already set on the painter
/// (a zoom) applies on top.
void paintPage(QPainter &painter, const Document &doc, int pageIndex);

/// The same with an explicit scale: device units per millimetre.
void paintPage(QPainter &painter, const Document &doc, int pageIndex, double unitsPerMmX, double unitsPerMmY);

/// Sets the printer's paper, orientation, full-page mode and job name from the document.
void setUpPrinter(const Document &doc, QPrinter &printer);

/// Prints pages first..last (1-based, inclusive; 0 for last means to the end),
/// or the printer's chosen range when it has one. Throws ReportError when the
/// printer cannot start.
void printDocument(const Document &doc, QPrinter &printer, int first = 1, int last = 0);

/// Writes a PDF (fonts embedded as subsets, text extractable). Throws ReportError.
void writePdf(const Document &doc, const QString &fileName);

} // namespace fw::report
