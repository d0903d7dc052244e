#pragma once
// The readers under the fuzzer: one target per file format the program
// reads and one for the history snapshot reader. The libFuzzer programs
// (fuzz_<name>) and the replay test share these rows, so both feed an input
// to the reader the same way and judge its outcome by the same rules.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pixora::fuzz {

struct TFuzzTarget {
    const char* Name;  // fuzz_<Name> is the program; tests/data/fuzz/<Name>/ its regression inputs
    const char* Seeds; // ";"-separated folders under the sample corpus that seed it
    // Reads the file at `path`; returns the picture's size, throws ECodecError
    // when the reader refuses the file.
    void (*Read)(const std::string& path, int& width, int& height, int& bits);
};

const std::vector<TFuzzTarget>& FuzzTargets();
const TFuzzTarget* FindFuzzTarget(const std::string& name);

enum class TFuzzOutcome { Opened, Refused, Fault };

struct TFuzzResult {
    TFuzzOutcome Outcome = TFuzzOutcome::Fault;
    std::string Detail; // the refusal's message, or what was wrong
};

// Runs one input through a target's reader. The bytes are put into an
// in-memory file that the reader opens by name, as it opens any file.
// A picture must be 32-bit, non-empty and within the accepted size; a
// refusal must be an ECodecError with a message. Anything else is a fault.
// Crashes and sanitizer reports end the process as they would in use.
TFuzzResult RunFuzzInput(const TFuzzTarget& target, const uint8_t* data, std::size_t size);

// The seed folders of a target under `corpusRoot`, then its regression folder.
std::vector<std::string> SeedFolders(const TFuzzTarget& target, const std::string& corpusRoot,
                                     const std::string& regressionRoot);

} // namespace pixora::fuzz
