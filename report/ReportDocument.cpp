#include "report/ReportDocument.hpp"

#include <ostream>

#include "platform/TextConv.hpp"
#include "report/ReportExportDetail.hpp"

namespace quorvel {
namespace {

using report_export::ColorTable;

// Text and ANSI: each report's lines as the analysis makes them.
class StreamedDocument final : public ReportDocument {
public:
    StreamedDocument(std::ostream& out, ReportFormat format, bool terminal)
        : sink_(MakeStreamingSink(out, format, terminal)) {}
    ReportSink* StreamingSink() override { return sink_.get(); }
    void Add(const ReportView&, const AnalysisResult&) override { sink_->Flush(); }
    void Finish() override { sink_->Flush(); }

private:
    std::unique_ptr<ReportSink> sink_;
};

// One file: exactly the one-report document.
class SingleDocument final : public ReportDocument {
public:
    SingleDocument(std::ostream& out, ReportFormat format, GraphPictures pictures)
        : out_(out), format_(format), pictures_(std::move(pictures)) {}
    void Add(const ReportView& report, const AnalysisResult& result) override {
        if (!result.Reported()) return;
        if (format_ == ReportFormat::Html && pictures_.svg)
            WriteHtmlReport(out_, report, result, pictures_.svg(result));
        else
            WriteReport(out_, format_, report, result);
    }

private:
    std::ostream& out_;
    ReportFormat format_;
    GraphPictures pictures_;
};

// The graph's picture, one per file: DOT graphs follow one another; an SVG
// document is one picture.
class PictureDocument final : public ReportDocument {
public:
    explicit PictureDocument(std::ostream& out, std::function<std::string(const AnalysisResult&)> draw)
        : out_(out), draw_(std::move(draw)) {}
    void Add(const ReportView&, const AnalysisResult& result) override {
        if (result.Reported() && draw_) out_ << draw_(result);
    }

private:
    std::ostream& out_;
    std::function<std::string(const AnalysisResult&)> draw_;
};

// Several files.  A file that could not be opened has an element of its own
// where scripts look for one per file (JSON) or a reader for one per name
// (HTML); it is kept until the document starts with the first report made.
class SeveralDocument : public ReportDocument {
public:
    explicit SeveralDocument(std::ostream& out) : out_(out) {}

    void Add(const ReportView& report, const AnalysisResult& result) final {
        ++index_;
        if (!begun_) {
            if (!result.Reported()) {
                pending_.push_back({index_, result});
                return;
            }
            Begin();
            begun_ = true;
            for (const auto& [index, unopened] : pending_) Unopened(index, unopened);
            pending_.clear();
        }
        if (result.Reported())
            Report(index_, report, result);
        else
            Unopened(index_, result);
    }
    void Finish() final {
        if (begun_) End();
    }

protected:
    virtual void Begin() = 0;
    virtual void Report(std::size_t index, const ReportView& report, const AnalysisResult& result) = 0;
    virtual void Unopened(std::size_t, const AnalysisResult&) {}
    virtual void End() = 0;

    std::ostream& out_;

private:
    bool begun_ = false;
    std::size_t index_ = 0;
    std::vector<std::pair<std::size_t, AnalysisResult>> pending_;
};

// JSON: each file's filters and connections are made into JSON text as the
// analysis reads them, much smaller than the model they would be kept as;
// its object is written once it is done.  One file gives its object;
// several an array of them.
class JsonArray final : public SeveralDocument {
public:
    using SeveralDocument::SeveralDocument;
    model::GraphSink* GraphStreamingSink() override { return &graph_; }

private:
    void Begin() override { out_ << "["; }
    void Report(std::size_t, const ReportView& report, const AnalysisResult& result) override {
        out_ << (first_ ? "\n" : ",\n");
        first_ = false;
        report_export::WriteJsonObject(out_, report, result, graph_);
    }
    void Unopened(std::size_t, const AnalysisResult& result) override {
        // Perhaps kept since before the first report: not this file's graph.
        out_ << (first_ ? "\n" : ",\n");
        first_ = false;
        model::GraphJsonWriter nothing;
        report_export::WriteJsonObject(out_, ReportView{}, result, nothing);
    }
    void End() override { out_ << "\n]\n"; }

    model::GraphJsonWriter graph_;
    bool first_ = true;
};

class JsonObject final : public ReportDocument {
public:
    explicit JsonObject(std::ostream& out) : out_(out) {}
    model::GraphSink* GraphStreamingSink() override { return &graph_; }
    void Add(const ReportView& report, const AnalysisResult& result) override {
        if (result.Reported()) {
            report_export::WriteJsonObject(out_, report, result, graph_);
            out_ << '\n';
        }
        graph_.Forget();
    }

private:
    std::ostream& out_;
    model::GraphJsonWriter graph_;
};

class RtfDocument final : public SeveralDocument {
public:
    using SeveralDocument::SeveralDocument;

private:
    void Begin() override { report_export::WriteRtfHead(out_, colors_); }
    void Report(std::size_t, const ReportView& report, const AnalysisResult&) override {
        if (!first_) out_ << "\\page\r\n";
        first_ = false;
        report_export::WriteRtfParagraphs(out_, report, colors_);
    }
    void End() override { out_ << "}\r\n"; }

    const ColorTable colors_{kReportPalette};
    bool first_ = true;
};

class HtmlPage final : public SeveralDocument {
public:
    HtmlPage(std::ostream& out, std::vector<std::string> files, GraphPictures pictures)
        : SeveralDocument(out), files_(std::move(files)), pictures_(std::move(pictures)) {}

private:
    static std::string Anchor(std::size_t index) { return "report-" + std::to_string(index); }

    void Begin() override {
        report_export::WriteHtmlHead(out_, colors_, "Quorvel reports");
        std::string nav = "<nav>\n<ul>\n";
        for (std::size_t i = 0; i < files_.size(); ++i) {
            nav += "<li><a href=\"#" + Anchor(i + 1) + "\">";
            AppendHtmlText(nav, files_[i]);
            nav += "</a></li>\n";
        }
        nav += "</ul>\n</nav>\n";
        out_ << nav;
    }
    void SectionStart(std::size_t index, const AnalysisResult& result) {
        std::string head = "<section id=\"" + Anchor(index) + "\">\n<h2>";
        AppendHtmlText(head, result.file);
        head += "</h2>\n";
        out_ << head;
    }
    void Report(std::size_t index, const ReportView& report, const AnalysisResult& result) override {
        SectionStart(index, result);
        if (pictures_.svg) report_export::WriteHtmlPicture(out_, pictures_.svg(result));
        out_ << "<pre>";
        report_export::WriteHtmlLines(out_, report, colors_);
        out_ << "</pre>\n</section>\n";
    }
    void Unopened(std::size_t index, const AnalysisResult& result) override {
        SectionStart(index, result);
        std::string reason = "<p>";
        AppendHtmlText(reason, result.stopped ? result.stopped->reason : std::string());
        reason += "</p>\n</section>\n";
        out_ << reason;
    }
    void End() override { out_ << "</body>\n</html>\n"; }

    std::vector<std::string> files_;
    GraphPictures pictures_;
    const ColorTable colors_{kReportPalette};
};

}  // namespace

std::unique_ptr<ReportDocument> MakeReportDocument(std::ostream& out, ReportFormat format,
                                                   std::vector<std::string> files, GraphPictures pictures,
                                                   bool terminal) {
    if (format == ReportFormat::Text || format == ReportFormat::Ansi)
        return std::make_unique<StreamedDocument>(out, format, terminal);
    if (format == ReportFormat::Dot) return std::make_unique<PictureDocument>(out, std::move(pictures.dot));
    if (format == ReportFormat::Svg) return std::make_unique<PictureDocument>(out, std::move(pictures.svg));
    if (format == ReportFormat::Json && files.size() <= 1) return std::make_unique<JsonObject>(out);
    if (files.size() <= 1) return std::make_unique<SingleDocument>(out, format, std::move(pictures));
    switch (format) {
        case ReportFormat::Json: return std::make_unique<JsonArray>(out);
        case ReportFormat::Rtf: return std::make_unique<RtfDocument>(out);
        default: return std::make_unique<HtmlPage>(out, std::move(files), std::move(pictures));
    }
}

}  // namespace quorvel
