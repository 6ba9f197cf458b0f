// Loading a large file, against a baseline that only reads the bytes and
// widens them to UTF-16: the cost of detection, decoding and normalising
// over the least any load must do. Saving the text from two halves, against
// a baseline that converts the joined text whole and writes it. 100 MB by
// default; --size_mb=1000 for 1 GB.
#include "fileio/codepage.h"
#include "fileio/text_file.h"
#include "fileio/utf8_compress.h"
#include "fileio/utf8_shuffle.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

size_t g_targetBytes = 100'000'000;

// Words of Cyrillic letters and Han ideographs instead, for text in a
// script other than Latin, where nearly every character is a sequence.
std::string MakeOtherScripts(std::mt19937& rng) {
    std::u16string line;
    while (line.size() < 30) {
        for (auto n = 2 + rng() % 6; n > 0; --n)
            line += rng() % 3 == 0 ? static_cast<char16_t>(0x4E00 + rng() % 0x5000)
                                   : static_cast<char16_t>(0x0430 + rng() % 32);
        line += u' ';
    }
    std::string bytes;
    bool replaced;
    EncodeToCodePage(kCodePageUtf8, line, bytes, replaced);
    return bytes;
}

// Lines of about 50 bytes (2 million in 100 MB): ASCII words, now and then a two-, three-
// or four-byte character, CR LF breaks with some LF among them. Lines are
// drawn from a pool so that making 100 MB takes little time. With
// `otherScripts`, lines of MakeOtherScripts, somewhat longer in bytes.
std::string MakeContent(bool otherScripts) {
    static const char* const kMultibyte[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xE4\xB8\xAD",
                                             "\xF0\x9F\x98\x80"};
    std::mt19937 rng(7);
    std::vector<std::string> pool(4096);
    constexpr size_t lineBytes = 48;
    for (std::string& line : pool) {
        if (otherScripts)
            line = MakeOtherScripts(rng);
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
    content.reserve(g_targetBytes + 1000);
    while (content.size() < g_targetBytes) {
        content += pool[rng() % pool.size()];
        content += rng() % 8 == 0 ? "\n" : "\r\n";
    }
    return content;
}

class SampleFile {
  public:
    explicit SampleFile(bool otherScripts) {
        path_ = std::filesystem::temp_directory_path() /
                (otherScripts ? "tessary-bench-load-scripts.txt" : "tessary-bench-load.txt");
        const std::string content = MakeContent(otherScripts);
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

// The sample of Latin text, or with `otherScripts` that of MakeOtherScripts.
const SampleFile& Sample(bool otherScripts = false) {
    if (otherScripts) {
        static const SampleFile file(true);
        return file;
    }
    static const SampleFile file(false);
    return file;
}

// First arg 1: the sample of other scripts. Second arg: the widest vectors
// decoding may use, 2 AVX-512's compressing stores, 1 SSSE3's byte
// shuffles, 0 none.
void BM_ReadTextFile(benchmark::State& state) {
    const SampleFile& sample = Sample(state.range(0) != 0);
    const std::u16string path = sample.Path().u16string();
    UseUtf8Compress(state.range(1) >= 2);
    UseUtf8Shuffles(state.range(1) >= 1);
    for (auto _ : state) {
        std::u16string text;
        TextEncoding encoding;
        LineEnding lineEnding;
        if (!ReadTextFile(path, text, encoding, lineEnding))
            state.SkipWithError("ReadTextFile failed");
        benchmark::DoNotOptimize(text.data());
    }
    UseUtf8Compress(true);
    UseUtf8Shuffles(true);
    state.SetBytesProcessed(state.iterations() * sample.Size());
}

void BM_ReadAndWidenBaseline(benchmark::State& state) {
    const SampleFile& sample = Sample(state.range(0) != 0);
    const std::string path = sample.Path().string();
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
    state.SetBytesProcessed(state.iterations() * sample.Size());
}

// The sample's text as loaded, split in two as the edit control holds it.
const std::u16string& SampleText() {
    static const std::u16string text = [] {
        std::u16string loaded;
        TextEncoding encoding;
        LineEnding lineEnding;
        ReadTextFile(Sample().Path().u16string(), loaded, encoding, lineEnding);
        return loaded;
    }();
    return text;
}

std::filesystem::path SavePath() {
    return std::filesystem::temp_directory_path() / "tessary-bench-save.txt";
}

void BM_WriteTextFileFromHalves(benchmark::State& state) {
    const std::u16string_view text = SampleText();
    const std::u16string_view halves[] = {text.substr(0, text.size() / 2),
                                          text.substr(text.size() / 2)};
    const std::u16string path = SavePath().u16string();
    for (auto _ : state) {
        if (!WriteTextFile(halves, path, TextEncoding::Utf8, LineEnding::Lf))
            state.SkipWithError("WriteTextFile failed");
    }
    state.SetBytesProcessed(state.iterations() * Sample().Size());
}

// The look for unpaired surrogates that a UTF-8 save makes before it
// writes, so that it can ask about them first.
void BM_Utf8LossCheck(benchmark::State& state) {
    const std::u16string_view text = SampleText();
    const std::u16string_view halves[] = {text.substr(0, text.size() / 2),
                                          text.substr(text.size() / 2)};
    for (auto _ : state) {
        if (EncodingLosesCharacters(halves, TextEncoding::Utf8))
            state.SkipWithError("the sample has no unpaired surrogate");
    }
    state.SetBytesProcessed(state.iterations() * Sample().Size());
}

// Converts and encodes the whole text at once and writes it to disk, as
// the save does.
void BM_ConvertAndWriteBaseline(benchmark::State& state) {
    const std::string path = SavePath().string();
    for (auto _ : state) {
        const std::u16string converted = ConvertLineEndingsForSave(SampleText(), LineEnding::Lf);
        std::string bytes;
        bool replaced;
        EncodeToCodePage(kCodePageUtf8, converted, bytes, replaced);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
            state.SkipWithError("fwrite failed");
        std::fflush(file);
        fsync(fileno(file));
        std::fclose(file);
    }
    state.SetBytesProcessed(state.iterations() * Sample().Size());
}

BENCHMARK(BM_ReadTextFile)
    ->ArgsProduct({{0, 1}, {2, 1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadAndWidenBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteTextFileFromHalves)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertAndWriteBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Utf8LossCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

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

void PrintRatio(const RatioReporter& reporter, const char* what, const char* measured,
                const char* baselineName, const char* baseline) {
    const double time = reporter.Time(measured);
    const double base = reporter.Time(baseline);
    if (time > 0 && base > 0)
        std::printf("%s %.1f ms, %s baseline %.1f ms: ratio %.2f\n", what, time, baselineName, base,
                    time / base);
}

// Takes --size_mb=N out of the arguments.
void TakeSizeFlag(int& argc, char** argv) {
    constexpr const char* kFlag = "--size_mb=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kFlag, std::strlen(kFlag)) != 0)
            continue;
        g_targetBytes = std::strtoull(argv[i] + std::strlen(kFlag), nullptr, 10) * 1'000'000;
        std::memmove(argv + i, argv + i + 1, sizeof(char*) * static_cast<size_t>(argc - i));
        --argc;
        --i;
    }
}

} // namespace

int main(int argc, char** argv) {
    TakeSizeFlag(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Sample();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatio(reporter, "load pipeline", "BM_ReadTextFile/0/2/real_time", "read-and-widen",
               "BM_ReadAndWidenBaseline/0/real_time");
    PrintRatio(reporter, "load pipeline, other scripts", "BM_ReadTextFile/1/2/real_time",
               "read-and-widen", "BM_ReadAndWidenBaseline/1/real_time");
    PrintRatio(reporter, "load pipeline", "BM_ReadTextFile/0/2/real_time", "shuffles alone",
               "BM_ReadTextFile/0/1/real_time");
    PrintRatio(reporter, "load pipeline", "BM_ReadTextFile/0/2/real_time", "without vectors",
               "BM_ReadTextFile/0/0/real_time");
    PrintRatio(reporter, "load pipeline, other scripts", "BM_ReadTextFile/1/2/real_time",
               "shuffles alone", "BM_ReadTextFile/1/1/real_time");
    PrintRatio(reporter, "load pipeline, other scripts", "BM_ReadTextFile/1/2/real_time",
               "without vectors", "BM_ReadTextFile/1/0/real_time");
    PrintRatio(reporter, "save from halves", "BM_WriteTextFileFromHalves/real_time",
               "convert-and-write", "BM_ConvertAndWriteBaseline/real_time");
    PrintRatio(reporter, "UTF-8 loss check", "BM_Utf8LossCheck/real_time", "save from halves",
               "BM_WriteTextFileFromHalves/real_time");
    const std::u16string& text = SampleText();
    std::printf("loaded text: %zu units in a block of %zu (%.3fx)\n", text.size(), text.capacity(),
                static_cast<double>(text.capacity()) / static_cast<double>(text.size()));
    std::filesystem::remove(SavePath());
    benchmark::Shutdown();
    return 0;
}
