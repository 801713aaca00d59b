// The report as text, plain or with ANSI colours: the lines written as the
// analysis makes them, one report after another for several files.  Also
// the colours' names that every writer shares.
#include "report/ReportExport.hpp"

#include <ostream>
#include <utility>

#include "report/ReportDocument.hpp"

#include "report/ReportExportDetail.hpp"
#include "platform/TextConv.hpp"
#include "platform/Hex.hpp"

namespace quorvel {
namespace report_export {

ColorTable::ColorTable(const ReportView& report) {
    for (const ReportEntry& e : report.Entries())
        if (index_.emplace(e.color, colors_.size()).second) colors_.push_back(e.color);
}

ColorTable::ColorTable(std::span<const Color> colors) {
    for (const Color c : colors)
        if (index_.emplace(c, colors_.size()).second) colors_.push_back(c);
}

std::string HexColor(Color color) {
    std::string hex = "#";
    AppendHex(hex, color, 6);
    return hex;
}


}  // namespace report_export

namespace {

void AppendAnsiStyle(std::string& out, Color color, bool bold) {
    if (color != kBlack) {
        out += "\x1b[38;2;";
        out += std::to_string((color >> 16) & 0xFF) + ';' + std::to_string((color >> 8) & 0xFF) + ';' +
               std::to_string(color & 0xFF) + 'm';
    }
    if (bold) out += "\x1b[1m";
}

}  // namespace

void WriteReport(std::ostream& out, ReportFormat format, const ReportView& report,
                 const AnalysisResult& result) {
    switch (format) {
        case ReportFormat::Text: WriteTextReport(out, report); return;
        case ReportFormat::Ansi: WriteAnsiReport(out, report); return;
        case ReportFormat::Json: WriteJsonReport(out, report, result); return;
        case ReportFormat::Rtf: WriteRtfReport(out, report); return;
        case ReportFormat::Html: WriteHtmlReport(out, report, result); return;
        default: return;
    }
}

namespace {

void AppendTextLine(std::string& buf, std::string_view line) {
    buf += line;
    buf += '\n';
}

void AppendAnsiLine(std::string& buf, std::string_view line, Color color, bool bold) {
    AppendAnsiStyle(buf, color, bold);
    // C1 controls are replaced too, and malformed bytes come out as U+FFFD:
    // some terminals take U+009B or a lone 0x9B byte for an escape.
    AppendTerminalText(buf, line);
    buf += "\x1b[0m\n";
}

void WriteOut(std::ostream& out, std::string& buf) {
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    buf.clear();
}

// Lines gathered into blocks before they reach the stream: a line at a
// time costs more in the stream's own bookkeeping than in the line.
class BlockSink : public ReportSink {
public:
    explicit BlockSink(std::ostream& out) : out_(out) {}
    ~BlockSink() override { Flush(); }
    void Flush() override { WriteOut(out_, buf_); }

protected:
    void Gathered() {
        if (buf_.size() >= kBlock) WriteOut(out_, buf_);
    }
    std::string buf_;

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::ostream& out_;
};

class TextSink final : public BlockSink {
public:
    using BlockSink::BlockSink;
    void Append(std::string_view text, Color, bool) override {
        ForEachCrLfPart(text, [&](std::string_view line) { AppendTextLine(buf_, line); });
        Gathered();
    }
};

// Plain text for a terminal: what the file holds never drives it.
class TerminalTextSink final : public BlockSink {
public:
    using BlockSink::BlockSink;
    void Append(std::string_view text, Color, bool) override {
        ForEachCrLfPart(text, [&](std::string_view line) {
            AppendTerminalText(buf_, line);
            buf_ += '\n';
        });
        Gathered();
    }
};

class AnsiSink final : public BlockSink {
public:
    using BlockSink::BlockSink;
    void Append(std::string_view text, Color color, bool bold) override {
        ForEachCrLfPart(text, [&](std::string_view line) { AppendAnsiLine(buf_, line, color, bold); });
        Gathered();
    }
};

}  // namespace

std::unique_ptr<ReportSink> MakeStreamingSink(std::ostream& out, ReportFormat format, bool terminal) {
    switch (format) {
        case ReportFormat::Text:
            if (terminal) return std::make_unique<TerminalTextSink>(out);
            return std::make_unique<TextSink>(out);
        case ReportFormat::Ansi: return std::make_unique<AnsiSink>(out);
        default: return nullptr;
    }
}

void WriteTextReport(std::ostream& out, const ReportView& report) {
    TextSink sink(out);
    report.ForEachLine([&](std::string_view line, Color color, bool bold) { sink.Append(line, color, bold); });
}

void WriteAnsiReport(std::ostream& out, const ReportView& report) {
    AnsiSink sink(out);
    report.ForEachLine([&](std::string_view line, Color color, bool bold) { sink.Append(line, color, bold); });
}

namespace {

// Each report's lines as the analysis makes them.
class StreamedDocument final : public ReportDocument {
public:
    explicit StreamedDocument(std::unique_ptr<ReportSink> sink) : sink_(std::move(sink)) {}
    ReportSink* StreamingSink() override { return sink_.get(); }
    void Add(const ReportView&, const AnalysisResult&) override { sink_->Flush(); }
    void Finish() override { sink_->Flush(); }

private:
    std::unique_ptr<ReportSink> sink_;
};

}  // namespace

std::unique_ptr<ReportDocument> MakeTextDocument(DocumentSetup& setup) {
    return std::make_unique<StreamedDocument>(MakeStreamingSink(setup.out, ReportFormat::Text, setup.terminal));
}

std::unique_ptr<ReportDocument> MakeAnsiDocument(DocumentSetup& setup) {
    return std::make_unique<StreamedDocument>(MakeStreamingSink(setup.out, ReportFormat::Ansi));
}

}  // namespace quorvel
