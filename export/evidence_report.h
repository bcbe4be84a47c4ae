#pragma once

#include <string>

#include "export/evidence_package.h"

namespace orvo {

// The package's report as a PDF drawn with Qt's own writer: one A4 page per
// trip with its track (on a plain grid with a scale bar, start and end
// marked), speed and the three G curves over time, the table of its
// recordings with their SHA-256, the peak G of each, and a closing line that
// names the checksum file. Texts come from the string tables of one
// interface language. Needs a QGuiApplication (fonts); runs on any thread.
class CEvidenceReport : public IEvidenceReport {
public:
    explicit CEvidenceReport(int language_index) : language_index_(language_index) {}

    bool Render(const EvidenceSummary& summary, std::string* pdf) override;

private:
    int language_index_;
};

}  // namespace orvo
