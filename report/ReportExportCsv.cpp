// The graph's connections as CSV (RFC 4180, UTF-8, CR LF), one row each, for
// spreadsheets and scripts: the file, both ends' filter and pin, the media
// type's names and the few numbers people compare across graphs.  Rows are
// written as the analysis reads the connections; several files make one
// table, told apart by the first column.
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "model/GraphModel.hpp"
#include "report/ReportDocument.hpp"

namespace quorvel {
namespace {

constexpr std::string_view kHeader =
    "file,output_filter,output_pin,input_filter,input_pin,major_type,subtype,format,width,height,frame_rate,"
    "sample_rate,channels,bits\r\n";

// A cell: quoted when it holds a separator, a quote or a line end; a text
// that a spreadsheet would take for a formula is led by an apostrophe, so
// that a name in a graph file can never run as one.
void AppendCell(std::string& out, std::string_view text, bool first = false) {
    if (!first) out += ',';
    std::string cell;
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' ||
                          text[0] == '\t' || text[0] == '\r'))
        cell = "'";
    cell += text;
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (const char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string_view NameOf(const std::optional<model::NamedGuid>& guid) {
    if (!guid) return {};
    return guid->name ? std::string_view(*guid->name) : std::string_view(guid->guid);
}

const DecodedField* Field(const model::MediaType& t, std::string_view key) {
    for (const DecodedField& f : t.fields)
        if (f.key == key) return &f;
    return nullptr;
}

std::string Number(const model::MediaType& t, std::string_view key, bool magnitude = false) {
    const DecodedField* f = Field(t, key);
    if (!f) return {};
    return std::to_string(magnitude ? std::llabs(f->value) : f->value);
}

// Frames a second from the time per frame in 100 ns units: "25", "29.97".
std::string FrameRate(const model::MediaType& t) {
    const DecodedField* f = Field(t, "AvgTimePerFrame");
    if (!f || f->value <= 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", 1e7 / static_cast<double>(f->value));
    std::string rate = text;
    while (rate.back() == '0') rate.pop_back();
    if (rate.back() == '.') rate.pop_back();
    return rate;
}

std::string Row(std::string_view file, const model::Connection& c) {
    const model::MediaType& t = c.mediaType;
    std::string row;
    AppendCell(row, file, true);
    for (const std::string_view cell :
         {std::string_view(c.output.filter), std::string_view(c.output.pin), std::string_view(c.input.filter),
          std::string_view(c.input.pin), NameOf(t.majorType), NameOf(t.subtype), NameOf(t.formatType)})
        AppendCell(row, cell);
    const std::string bits = Field(t, "biBitCount") ? Number(t, "biBitCount") : Number(t, "wBitsPerSample");
    for (const std::string& cell : {Number(t, "biWidth"), Number(t, "biHeight", true), FrameRate(t),
                                    Number(t, "nSamplesPerSec"), Number(t, "nChannels"), bits})
        AppendCell(row, cell);
    return row + "\r\n";
}

class CsvTable final : public ReportDocument, private model::GraphSink {
public:
    CsvTable(std::ostream& out, std::vector<std::string> files) : out_(out), files_(std::move(files)) {}
    model::GraphSink* GraphStreamingSink() override { return this; }
    void Add(const ReportView&, const AnalysisResult& result) override {
        if (result.Reported()) Begin();
        ++index_;
    }

private:
    void TakeFilter(const model::Filter&) override {}
    void TakeConnection(const model::Connection& connection) override {
        Begin();
        out_ << Row(index_ < files_.size() ? std::string_view(files_[index_]) : std::string_view(), connection);
    }
    void Begin() {
        if (begun_) return;
        begun_ = true;
        out_ << kHeader;
    }

    std::ostream& out_;
    std::vector<std::string> files_;
    std::size_t index_ = 0;
    bool begun_ = false;
};

}  // namespace

std::unique_ptr<ReportDocument> MakeCsvDocument(DocumentSetup& setup) {
    return std::make_unique<CsvTable>(setup.out, std::move(setup.files));
}

}  // namespace quorvel
