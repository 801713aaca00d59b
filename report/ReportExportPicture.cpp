// The graph's picture, drawn by the front end: DOT text (one graph per file,
// following one another) or an SVG document (the picture of one graph).
#include <ostream>

#include "report/ReportDocument.hpp"

namespace quorvel {
namespace {

class PictureDocument final : public ReportDocument {
public:
    PictureDocument(std::ostream& out, std::function<std::string(const AnalysisResult&)> draw)
        : out_(out), draw_(std::move(draw)) {}
    void Add(const ReportView&, const AnalysisResult& result) override {
        if (result.Reported() && draw_) out_ << draw_(result);
    }

private:
    std::ostream& out_;
    std::function<std::string(const AnalysisResult&)> draw_;
};

}  // namespace

std::unique_ptr<ReportDocument> MakeDotDocument(DocumentSetup& setup) {
    return std::make_unique<PictureDocument>(setup.out, std::move(setup.pictures.dot));
}

std::unique_ptr<ReportDocument> MakeSvgDocument(DocumentSetup& setup) {
    return std::make_unique<PictureDocument>(setup.out, std::move(setup.pictures.svg));
}

}  // namespace quorvel
