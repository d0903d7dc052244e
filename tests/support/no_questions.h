#pragma once
// File-command answers for tests that open and close images without a
// user: nothing is saved, no name is given, closing never asks.

#include <string>
#include <vector>

#include "io/file_questions.h"

namespace pixora::testing {

struct TNoQuestions : FileQuestions {
    bool AskSaveFileName(std::string&, int&) override { return false; }
    bool AskReplaceFile(const std::string&) override { return false; }
    void AskPixelFormat(int&) override {}
    void AskJpegOptions(int&, int&) override {}
    void AskWebpOptions(int&, bool&) override {}
    void AskGifTransparency(const Bitmap&) override {}
    int GifSensitivity() const override { return 0; }
    TSaveChangesAnswer AskSaveChanges(const std::vector<int>&, std::vector<int>&) override {
        return TSaveChangesAnswer::Cancel;
    }
};

// The same, except that closing drops the changes instead of cancelling.
struct TDropChanges : TNoQuestions {
    TSaveChangesAnswer AskSaveChanges(const std::vector<int>&, std::vector<int>&) override {
        return TSaveChangesAnswer::Discard;
    }
};

} // namespace pixora::testing
