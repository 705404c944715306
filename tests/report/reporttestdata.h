// What the report tests share: an A4 page recorded at 600 dpi, and the checks every report's
// pages must pass.
#pragma once

#include "recordingdevice.h"
#include "reportdocument.h"

#include <memory>

// A recording device of an A4 page at 600 dpi.
std::unique_ptr<TRecordingDevice> A4Recorder();

// Paints page `index` of `document` on a fresh recording of `device`'s size.
std::unique_ptr<TRecordingDevice> RecordPage(const TReportDocument &document, int index);

// Every text of the page lies inside the page's frame — the header, the body or the footer,
// none across their edges — and "N / M" stands in the footer. Answers what is wrong, or empty.
QString PageProblems(const TReportDocument &document, int index, const TRecordingDevice &page);
