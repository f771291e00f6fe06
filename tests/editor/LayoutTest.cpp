// The editor's form text against the skin's layout: every control the
// chassis is drawn around must sit where the chassis expects it, so the two
// cannot drift apart. Also what the build's merge of pictures into the form
// text refuses.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/ModulePath.h"
#include "skin/FormSkin.h"
#include "skin/SkinLayout.h"
#include "skin/SkinPictures.h"

namespace trv4 {
namespace {

struct Placed {
    std::string cls;
    std::map<std::string, std::string> props;
    int Int(const std::string& name) const {
        auto it = props.find(name);
        return it == props.end() ? -99999 : std::stoi(it->second);
    }
};

std::string FormText() {
    std::ifstream in(trv4test::hostPath(TRV4_EDITOR_FORM), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Objects by name, in creation order, with their own (not nested) properties.
std::vector<std::pair<std::string, Placed>> ParseObjects(const std::string& text) {
    std::vector<std::pair<std::string, Placed>> objects;
    std::vector<size_t> open;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t b = line.find_first_not_of(' ');
        if (b == std::string::npos) continue;
        const std::string t = line.substr(b);
        if (t.rfind("object ", 0) == 0) {
            const size_t colon = t.find(':');
            objects.push_back({t.substr(7, colon - 7), {t.substr(colon + 2), {}}});
            open.push_back(objects.size() - 1);
        } else if (t == "end" && !open.empty()) {
            open.pop_back();
        } else if (!open.empty() && t.find(" = ") != std::string::npos) {
            const size_t eq = t.find(" = ");
            objects[open.back()].second.props[t.substr(0, eq)] = t.substr(eq + 3);
        }
    }
    return objects;
}

TEST(EditorLayout, FormTextPlacesAreTheSkinLayoutPlaces) {
    const auto objects = ParseObjects(FormText());
    ASSERT_FALSE(objects.empty()) << "cannot read " << TRV4_EDITOR_FORM;
    std::map<std::string, Placed> byName(objects.begin(), objects.end());
    auto expectAt = [&](const std::string& name, int left, int top) {
        auto it = byName.find(name);
        ASSERT_NE(it, byName.end()) << name;
        EXPECT_EQ(it->second.Int("Left"), left) << name;
        EXPECT_EQ(it->second.Int("Top"), top) << name;
    };

    // Knobs in creation order, as the layout lists them.
    std::vector<std::string> knobs;
    for (const auto& [name, o] : objects)
        if (o.cls == "TDIBDial") knobs.push_back(name);
    ASSERT_EQ(knobs.size(), std::size(trv4skin::kKnobPlaces));
    for (size_t i = 0; i < knobs.size(); ++i) {
        expectAt(knobs[i], trv4skin::kKnobPlaces[i].left, trv4skin::kKnobPlaces[i].top);
        EXPECT_EQ(byName[knobs[i]].Int("Width"), trv4skin::kKnobSize);
        const bool wave = knobs[i] == "Mod1WaveControl" || knobs[i] == "Mod2WaveControl";
        EXPECT_EQ(trv4skin::kKnobPlaces[i].wave != 0, wave) << knobs[i];
    }

    const char* labels[] = {"Label1", "Label2", "Label14", "Label3",  "Label4",  "Label5",  "Label6",
                            "Label7", "Label8", "Label9",  "Label10", "Label11", "Label12", "Label13"};
    for (size_t i = 0; i < std::size(labels); ++i)
        expectAt(labels[i], trv4skin::kReadoutPlaces[i].left, trv4skin::kReadoutPlaces[i].top);

    const char* switches[][2] = {
        {"MonoOn", "MonoOff"}, {"dbOn", "dbOff"}, {"SpreadOn", "SpreadOff"}, {"EnableOn", "EnableOff"}};
    for (size_t i = 0; i < std::size(switches); ++i)
        for (const char* name : switches[i]) {
            expectAt(name, trv4skin::kSwitchPlaces[i].left, trv4skin::kSwitchPlaces[i].top);
            EXPECT_EQ(byName[name].Int("Width"), trv4skin::kSwitchWidth);
            EXPECT_EQ(byName[name].Int("Height"), trv4skin::kSwitchHeight);
        }

    expectAt("Meter", trv4skin::kMeterLeft, trv4skin::kMeterTop);
    EXPECT_EQ(byName["Meter"].Int("Height"), trv4skin::kMeterHeight);
    for (int n = 1; n <= trv4skin::kWaveCount; ++n) {
        expectAt("LWF" + std::to_string(n), trv4skin::kWaveLeft, trv4skin::kWaveTops[0]);
        expectAt("RWF" + std::to_string(n), trv4skin::kWaveLeft, trv4skin::kWaveTops[1]);
        EXPECT_EQ(byName["LWF" + std::to_string(n)].Int("Width"), trv4skin::kWaveWidth);
    }
    expectAt("Logo", trv4skin::kLogoLeft, trv4skin::kLogoTop);
    EXPECT_EQ(byName["Logo"].Int("Width"), trv4skin::kLogoWidth);
    EXPECT_EQ(byName["Logo"].Int("Height"), trv4skin::kLogoHeight);
    expectAt("UsersManual", trv4skin::kManualLeft, trv4skin::kIconTop);
    expectAt("About", trv4skin::kAboutLeft, trv4skin::kIconTop);
    for (const char* area : {"Logo", "UsersManual", "About"}) {
        EXPECT_EQ(byName[area].props["Cursor"], "crHandPoint") << area;
        EXPECT_EQ(byName[area].props.count("Picture.Data"), 0u) << area << ": a click area has no picture";
    }
}

TEST(EditorLayout, PicturesGoOnlyIntoACompleteFormText) {
    const std::string text = FormText();
    const std::string complete = trv4skin::CompleteEditorForm(text);
    const auto objects = ParseObjects(complete);
    int pictures = 0;
    for (const auto& [name, o] : objects) pictures += o.props.count("Picture.Data") ? 1 : 0;
    EXPECT_EQ(pictures, 8 + 1 + 20) << "switches, meter cover, wave pictures";
    EXPECT_EQ(text.find(".Data"), std::string::npos) << "the kept form text holds no pixels";

    // A template without the meter cover, or with a wave picture twice,
    // makes no description.
    std::string noMeter = text;
    noMeter.replace(noMeter.find("object Meter: TImage"), 20, "object Mater: TImage");
    try {
        trv4skin::CompleteEditorForm(noMeter);
        ADD_FAILURE() << "a form text without Meter was completed";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Meter"), std::string::npos) << e.what();
    }
    std::string twice = text;
    twice.replace(twice.find("object RWF9: TImage"), 19, "object RWF1: TImage");
    EXPECT_THROW(trv4skin::CompleteEditorForm(twice), std::runtime_error);
}

}  // namespace
}  // namespace trv4
