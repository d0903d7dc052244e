#pragma once
// A window stand-in that records what the core asked of it.

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "doc/records.h"
#include "doc/window_port.h"
#include "doc/workspace.h"
#include "tools/tool_options.h"

namespace pixora::testing {

class FakePort : public WindowPort {
public:
    int Active = -1;
    std::vector<std::string> Calls;
    std::vector<std::pair<int, std::string>> Errors;
    // Reports of the program's own failures: headline and reason.
    std::vector<std::pair<std::string, std::string>> Problems;
    bool Visible[16] = {};
    std::string Captions[16];

    // An option box by its object name ("TForm3") or its id.
    struct BoxName : std::string {
        BoxName(const char* name) : std::string(name) {}
        BoxName(TWindow id) : std::string(WindowName(id)) {}
    };
    // The option values by box and control. A name that no option row has
    // is refused at once, so a misspelt control cannot quietly read 0.
    struct OptionValues : std::map<std::pair<BoxName, std::string>, int> {
        int& operator[](const key_type& key) {
            for (const TOptionRow& row : OptionTable())
                if (WindowName(row.Box) == key.first && row.Control == key.second) return map::operator[](key);
            throw std::invalid_argument("no option control " + key.first + "." + key.second);
        }
    };
    OptionValues Options;

    int ActivePage() const override { return Active; }
    // An option reads what Options holds under its row's box and control.
    int ToolOption(TOpt id) const override {
        const TOptionRow& row = OptionRow(id);
        const auto it = Options.find({row.Box, std::string(row.Control)});
        return it == Options.end() ? 0 : it->second;
    }
    void ShowTabPage(int slot, const std::string& caption) override {
        Visible[slot] = true;
        Captions[slot] = caption;
        Active = slot;
        Calls.push_back("ShowTabPage");
    }
    void HideTabPage(int slot) override {
        Visible[slot] = false;
        if (Active == slot) {
            Active = -1;
            for (int i = 0; i < 16; ++i)
                if (Visible[i]) {
                    Active = i;
                    break;
                }
        }
        Calls.push_back("HideTabPage");
    }
    // With a workspace the fake keeps the display copy as the window does.
    Workspace* Ws = nullptr;
    // The window's part of the tab change shows the image.
    void TabChange() override {
        Calls.push_back("TabChange");
        if (Ws && Active >= 0) Ws->DisplayCopy = Ws->Images[static_cast<std::size_t>(Active)].Bitmap;
    }
    void RefreshView() override {
        Calls.push_back("RefreshView");
        if (Ws && Active >= 0) Ws->DisplayCopy = Ws->Images[static_cast<std::size_t>(Active)].Bitmap;
    }
    // The parts of the view asked for, in image pixels (shown as a whole).
    std::vector<TRect> Areas;
    void RefreshViewArea(const TRect& area) override {
        Areas.push_back(area);
        RefreshView();
    }
    void RepaintView() override { Calls.push_back("RepaintView"); }
    int Cursor = 0;
    void SetCanvasCursor(int cursor) override { Cursor = cursor; }
    int32_t Swatch[2] = {-1, -1};
    void ShowSwatchColour(int which, int32_t colour) override { Swatch[which] = colour; }
    void UpdateCommandStates() override { Calls.push_back("UpdateCommandStates"); }
    void RedrawLayerStrip(int) override { Calls.push_back("RedrawLayerStrip"); }
    void ReportError(int kind, const std::string& detail) override { Errors.emplace_back(kind, detail); }
    void ReportProblem(const std::string& headline, const std::string& detail) override {
        Problems.emplace_back(headline, detail);
    }
    void SetToolOption(TOpt id, int value) override {
        const TOptionRow& row = OptionRow(id);
        Options[{row.Box, std::string(row.Control)}] = value;
    }
    // Yes/No questions asked (headline, question) and the answer given.
    std::vector<std::pair<std::string, std::string>> Questions;
    bool Answer = true;
    bool AskYesNo(const std::string& headline, const std::string& question) override {
        Questions.emplace_back(headline, question);
        return Answer;
    }
    int TextPresses = 0;
    void TextToolPressed() override { ++TextPresses; }
};

} // namespace pixora::testing
