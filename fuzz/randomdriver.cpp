// Runs a fuzz target without libFuzzer, so every target builds and runs with
// any compiler: each corpus file given once, then random inputs (fresh bytes,
// and corpus files with a few bytes changed, cut or added) from a fixed seed,
// so that a run in the test suite is the same every time.
//
//   fuzz_<target> [-runs=N] [-seed=S] [-max_len=L] [-max_total_time=T] [file or folder]...
//
// The options are libFuzzer's, so one command line suits both builds. Without
// -runs or -max_total_time only the corpus is replayed. A broken invariant or
// a sanitizer report ends the process; a folder that holds no file is an
// error too, so a corpus gone missing cannot pass as replayed.

#include "fuzz/fuzzcheck.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Input = std::vector<uint8_t>;
namespace fs = std::filesystem;

bool readFile(const fs::path &path, std::vector<Input> &corpus)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Bytes that parsers of numbers, texts and sizes tend to treat specially.
constexpr uint8_t Interesting[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 'N', '0', '9', '.', '-', '+', 'e', '/', '\n'};

Input mutate(Input input, std::mt19937_64 &random, size_t maxLength)
{
    const int edits = 1 + int(random() % 4);
    for (int e = 0; e < edits; ++e) {
        const size_t at = input.empty() ? 0 : size_t(random() % input.size());
        switch (random() % 5) {
        case 0:
            if (!input.empty())
                input[at] ^= uint8_t(1u << (random() % 8));
            break;
        case 1:
            if (!input.empty())
                input[at] = Interesting[random() % sizeof Interesting];
            break;
        case 2:
            if (input.size() < maxLength)
                input.insert(input.begin() + std::ptrdiff_t(at), uint8_t(random()));
            break;
        case 3:
            if (!input.empty())
                input.erase(input.begin() + std::ptrdiff_t(at));
            break;
        default:
            input.resize(input.empty() ? 0 : size_t(random() % input.size()));
            break;
        }
    }
    return input;
}

// libFuzzer never hands a target a null pointer, not even for an empty input.
void run(const Input &input)
{
    static const uint8_t none = 0;
    LLVMFuzzerTestOneInput(input.empty() ? &none : input.data(), input.size());
}

Input freshInput(std::mt19937_64 &random, size_t maxLength)
{
    Input input(size_t(random() % (maxLength + 1)));
    for (uint8_t &b : input)
        b = uint8_t(random());
    return input;
}

bool option(const std::string &arg, const char *name, long long &value)
{
    const std::string prefix = std::string("-") + name + "=";
    if (arg.compare(0, prefix.size(), prefix) != 0)
        return false;
    value = std::atoll(arg.c_str() + prefix.size());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    long long runs = 0, seed = 1, maxLength = 512, maxTime = 0;
    std::vector<Input> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (option(arg, "runs", runs) || option(arg, "seed", seed) || option(arg, "max_len", maxLength)
            || option(arg, "max_total_time", maxTime))
            continue;
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "unknown option %s\n", arg.c_str());
            return 2;
        }
        const size_t before = corpus.size();
        std::error_code error;
        if (fs::is_directory(arg, error)) {
            for (const auto &entry : fs::directory_iterator(arg, error))
                if (entry.is_regular_file())
                    readFile(entry.path(), corpus);
        } else {
            readFile(arg, corpus);
        }
        if (corpus.size() == before) {
            std::fprintf(stderr, "%s: no input to read\n", arg.c_str());
            return 2;
        }
    }
    if (maxLength < 1)
        maxLength = 1;

    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };

    long long executed = 0;
    for (const Input &input : corpus) {
        run(input);
        ++executed;
    }
    std::mt19937_64 random(static_cast<uint64_t>(seed));
    const bool timed = maxTime > 0;
    for (long long n = 0; timed ? elapsed() < double(maxTime) && (runs <= 0 || n < runs) : n < runs; ++n) {
        const bool fromCorpus = !corpus.empty() && random() % 2 == 0;
        const Input input = fromCorpus ? mutate(corpus[random() % corpus.size()], random, size_t(maxLength))
                                       : freshInput(random, size_t(maxLength));
        run(input);
        ++executed;
    }
    // The same closing line as libFuzzer's -print_final_stats, for bench/fuzz.sh.
    std::printf("%zu corpus inputs, %lld random; %.1f s\n", corpus.size(), executed - (long long)corpus.size(),
                elapsed());
    std::printf("stat::number_of_executed_units: %lld\n", executed);
    return 0;
}
