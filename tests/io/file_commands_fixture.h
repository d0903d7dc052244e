#pragma once
// The file commands over a scratch program folder, with the questions they ask
// answered from a script.

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "doc/slots.h"
#include "io/codecs/image_codecs.h"
#include "io/file_filters.h"
#include "io/file_questions.h"
#include "io/new_close_commands.h"
#include "io_test_support.h"
#include "support/fake_port.h"
#include "support/slot_fixture.h"

namespace pixora::testing {

// Answers the file commands' questions from a script and records them.
struct ScriptedQuestions : FileQuestions {
    std::optional<std::string> TypedName; // nothing = the save dialog is cancelled
    int Filter = 1;
    bool Replace = true;
    int PixelFormat = 2;
    int JpegFormat = 1;
    int JpegQuality = 100;
    int Sensitivity = 0;
    TSaveChangesAnswer Answer = TSaveChangesAnswer::Discard;
    int WebpQuality = 90;
    bool WebpLossless = false;
    bool RemoveLocationBox = false; // the save dialog's "Remove location ..." box
    std::optional<std::vector<int>> Select; // nothing = the slots the dialog starts with selected
    std::vector<std::vector<int>> Preselected;
    std::vector<std::string> Asked;
    std::vector<std::vector<int>> Listed;
    std::string NameOnEntry;

    bool AskSaveFileName(std::string& name, int& filterIndex) override {
        Asked.push_back("SaveFile");
        NameOnEntry = name;
        if (!TypedName) return false;
        name = *TypedName;
        filterIndex = Filter;
        return true;
    }
    bool AskReplaceFile(const std::string&) override {
        Asked.push_back("Replace");
        return Replace;
    }
    void AskPixelFormat(int& pf) override {
        Asked.push_back("PixelFormat");
        pf = PixelFormat;
    }
    void AskJpegOptions(int& pf, int& quality) override {
        Asked.push_back("Jpeg");
        pf = JpegFormat;
        quality = JpegQuality;
    }
    void AskWebpOptions(int& quality, bool& lossless) override {
        Asked.push_back("Webp");
        quality = WebpQuality;
        lossless = WebpLossless;
    }
    Bitmap GifImage; // what the GIF dialog was prepared with
    void AskGifTransparency(const Bitmap& image) override {
        Asked.push_back("Gif");
        GifImage = image;
    }
    int GifSensitivity() const override { return Sensitivity; }
    bool RemoveLocation() const override { return RemoveLocationBox; }
    TSaveChangesAnswer AskSaveChanges(const std::vector<int>& listed, std::vector<int>& selected) override {
        Asked.push_back("SaveChanges");
        Listed.push_back(listed);
        Preselected.push_back(selected);
        if (Select) selected = *Select;
        return Answer;
    }
};

struct FileCommandsTest : ProgramFolderFixture {
    ScriptedQuestions q;

    // A small picture file in a format chosen by its extension.
    std::string MakeFile(const std::string& name, int w = 6, int h = 4) {
        const std::string path = File(name);
        WriteImageFile(path, pixora::testing::GradientImage(w, h), FormatFromExtension(path), SaveOptions{});
        return path;
    }

    int NewImage(int w = 8, int h = 6, int32_t colour = 0xFFFFFF, int t = 0) {
        std::string message;
        return CreateBlankImage(ws, TNewImage{w, h, colour, t}, message);
    }

    static std::string Head(const std::string& path, std::size_t n) {
        const auto bytes = ReadBytes(path);
        return std::string(bytes.begin(),
                           bytes.begin() + static_cast<std::ptrdiff_t>(std::min(n, bytes.size())));
    }
    static bool IsJpeg(const std::string& path) { return Head(path, 3) == "\xFF\xD8\xFF"; }
    static bool IsPng(const std::string& path) { return Head(path, 4) == "\x89PNG"; }
    static bool IsBmp(const std::string& path) { return Head(path, 2) == "BM"; }
};

} // namespace pixora::testing
