// Loading a large file, against a baseline that only reads the bytes and
// widens them to UTF-16: the cost of detection, decoding and normalising
// over the least any load must do.
#include "fileio/text_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 2'000'000;
constexpr size_t kTargetBytes = 100'000'000;

// 2 million lines of about 50 bytes: ASCII words, now and then a two-, three-
// or four-byte character, CR LF breaks with some LF among them. Lines are
// drawn from a pool so that making 100 MB takes little time.
std::string MakeContent() {
    static const char* const kMultibyte[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xE4\xB8\xAD",
                                             "\xF0\x9F\x98\x80"};
    std::mt19937 rng(7);
    std::vector<std::string> pool(4096);
    const size_t lineBytes = kTargetBytes / kLines - 2;
    for (std::string& line : pool) {
        while (line.size() < lineBytes) {
            if (rng() % 16 == 0)
                line += kMultibyte[rng() % 4];
            else
                line += static_cast<char>('a' + rng() % 26);
            if (rng() % 6 == 0)
                line += ' ';
        }
    }
    std::string content;
    content.reserve(kTargetBytes + 1000);
    for (int n = 0; n < kLines; ++n) {
        content += pool[rng() % pool.size()];
        content += rng() % 8 == 0 ? "\n" : "\r\n";
    }
    return content;
}

class SampleFile {
  public:
    SampleFile() {
        path_ = std::filesystem::temp_directory_path() / "tessary-bench-load.txt";
        const std::string content = MakeContent();
        std::ofstream(path_, std::ios::binary).write(content.data(), content.size());
        size_ = content.size();
    }
    ~SampleFile() { std::filesystem::remove(path_); }
    const std::filesystem::path& Path() const { return path_; }
    size_t Size() const { return size_; }

  private:
    std::filesystem::path path_;
    size_t size_ = 0;
};

const SampleFile& Sample() {
    static const SampleFile file;
    return file;
}

void BM_ReadTextFile(benchmark::State& state) {
    const std::u16string path = Sample().Path().u16string();
    for (auto _ : state) {
        std::u16string text;
        TextEncoding encoding;
        LineEnding lineEnding;
        if (!ReadTextFile(path, text, encoding, lineEnding))
            state.SkipWithError("ReadTextFile failed");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * Sample().Size());
}

void BM_ReadAndWidenBaseline(benchmark::State& state) {
    const std::string path = Sample().Path().string();
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        std::string bytes(static_cast<size_t>(std::ftell(file)), '\0');
        std::fseek(file, 0, SEEK_SET);
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
            state.SkipWithError("fread failed");
        std::fclose(file);
        std::u16string text(bytes.size(), u'\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            text[i] = static_cast<unsigned char>(bytes[i]);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * Sample().Size());
}

BENCHMARK(BM_ReadTextFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadAndWidenBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

// Remembers each benchmark's time per iteration to print their ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& name) const {
        const auto it = times_.find(name);
        return it == times_.end() ? 0 : it->second;
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Sample();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double pipeline = reporter.Time("BM_ReadTextFile/real_time");
    const double baseline = reporter.Time("BM_ReadAndWidenBaseline/real_time");
    if (pipeline > 0 && baseline > 0)
        std::printf("load pipeline %.1f ms, read-and-widen baseline %.1f ms: ratio %.2f\n",
                    pipeline, baseline, pipeline / baseline);
    benchmark::Shutdown();
    return 0;
}
