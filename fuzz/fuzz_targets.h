#pragma once
// The code under the fuzzer: one target per file format the program reads,
// one for the history snapshot reader, and one per writer, which writes a
// picture made from the input and reads it back. The libFuzzer programs
// (fuzz_<name>) and the replay test share these rows, so both feed an input
// to the code the same way and judge its outcome by the same rules.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pixora::fuzz {

enum class TFuzzOutcome { Opened, Refused, Fault };

struct TFuzzResult {
    TFuzzOutcome Outcome = TFuzzOutcome::Fault;
    std::string Detail; // the picture's size, the refusal's message, or what was wrong
};

struct TFuzzTarget {
    const char* Name;       // fuzz_<Name> is the program; tests/data/fuzz/<Name>/ its regression inputs
    const char* Seeds;      // ";"-separated folders under the sample corpus that seed it
    const char* Dictionary; // a file of fuzz/dictionaries/ with the format's tokens, or ""
    // Runs one input. Crashes and sanitizer reports end the process as they
    // would in use.
    TFuzzResult (*Run)(const uint8_t* data, std::size_t size);
    // The largest picture the readers accept while fuzzing this target
    // (the fuzz build alone heeds it; see fuzz/fuzz_main.cpp).
    int64_t MaxPixels = int64_t{1} << 16;
};

const std::vector<TFuzzTarget>& FuzzTargets();
const TFuzzTarget* FindFuzzTarget(const std::string& name);

TFuzzResult RunFuzzInput(const TFuzzTarget& target, const uint8_t* data, std::size_t size);

// The seed folders of a target under `corpusRoot`, then its regression folder.
std::vector<std::string> SeedFolders(const TFuzzTarget& target, const std::string& corpusRoot,
                                     const std::string& regressionRoot);

// A picture read back: within the accepted size, 32-bit and not empty, or
// a fault saying what it is.
TFuzzResult JudgePicture(int width, int height, int bits);

} // namespace pixora::fuzz
