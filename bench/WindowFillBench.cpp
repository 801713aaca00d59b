// How long the window's report area takes to show a big report: the generated
// benchmark graph is analysed once (sized to give just over 200,000 report
// lines), then Memo1 of a real window is filled with it several times and
// painted.  Prints each run and the median, then the time of the whole
// command (analysis of the file and display) through the window.  Runs
// headless with QT_QPA_PLATFORM=offscreen.
// Usage: quorvel_window_bench [CONNECTIONS]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "analysis/GraphAnalyzer.hpp"
#include "bench/BenchGraph.hpp"
#include "ui/ReportText.hpp"
#include "ui/main.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    // Filters and connections of the benchmark graph that make a report of
    // just over 200,000 lines.
    const int filters = 9999;
    const int connections = argc > 1 ? std::atoi(argv[1]) : 11400;
    const auto file = quorvel::bench::BenchGraphFile(filters, connections);
    quorvel::ReportView report;
    const auto result = quorvel::AnalyzeGraphBytes(file, "bench.grf", report);
    if (!result.complete) {
        std::fprintf(stderr, "analysis stopped: %s\n", result.stopped ? result.stopped->reason.c_str() : "");
        return 1;
    }

    quorvel::ui::TForm1 form;
    form.show();
    auto* memo = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    if (!memo) return 1;

    std::vector<double> fills;
    std::vector<double> totals;
    for (int run = 0; run < 5; ++run) {
        memo->clear();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        quorvel::ui::ShowReport(*memo, report);
        const double fill = timer.nsecsElapsed() / 1e9;
        memo->viewport()->repaint();
        QApplication::processEvents();
        const double total = timer.nsecsElapsed() / 1e9;
        fills.push_back(fill);
        totals.push_back(total);
        std::printf("run %d: %d lines, fill %.3f s, fill and paint %.3f s\n", run + 1, memo->document()->blockCount(),
                    fill, total);
    }
    std::sort(fills.begin(), fills.end());
    std::sort(totals.begin(), totals.end());
    std::printf("median: %zu report lines, fill %.3f s, fill and paint %.3f s\n", report.LineCount(), fills[2],
                totals[2]);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.grf"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return 1;
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<qint64>(file.size()));
    out.close();
    QElapsedTimer timer;
    timer.start();
    form.AnalyzeGraphFile(path);
    std::printf("open command (%.1f MB file): analysis and display %.3f s\n", file.size() / 1e6,
                timer.nsecsElapsed() / 1e9);
    return 0;
}
