#include "skin/FormSkin.h"

#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

#include "skin/EditorPictures.h"
#include "skin/SkinPictures.h"
#include "toolkit/cDIBPayload.h"

namespace trv4skin {

namespace {

using Payload = std::vector<uint8_t>;

Payload Draw(const std::function<void(toolkit::TMemoryDIB&)>& draw) {
    toolkit::TMemoryDIB dib;
    draw(dib);
    return toolkit::WriteDIBData(dib);
}

// The plain pictures by control name.
std::map<std::string, Payload> PicturePayloads() {
    std::map<std::string, Payload> pictures;
    std::vector<std::string> names = {"MonoOn", "dbOn",      "SpreadOn",  "EnableOn", "MonoOff",
                                      "dbOff",  "SpreadOff", "EnableOff", "Meter"};
    for (int n = 1; n <= kWaveCount; ++n) {
        names.push_back("LWF" + std::to_string(n));
        names.push_back("RWF" + std::to_string(n));
    }
    for (const std::string& name : names)
        pictures[name] = Draw([&](toolkit::TMemoryDIB& d) { DrawControlPicture(name, d); });
    return pictures;
}

constexpr const char* kImageListName = "DIBImageList1";

// "  Name = {" and the hex lines, 32 bytes each, as the form writer lays
// out a binary property.
void AppendBinary(std::string& out, const std::string& indent, const char* name, const Payload& bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    out += indent;
    out += name;
    out += " = {";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 32 == 0) {
            out += '\n';
            out += indent;
            out += "  ";
        }
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 15];
    }
    out += "}\n";
}

struct Frame {
    bool item;
    std::string name;  // the object's name; for an item, its list's
    int itemIndex;
    std::string indent;  // of the frame's properties
};

std::string Trim(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

}  // namespace

std::string CompleteEditorForm(std::string_view templateText) {
    std::map<std::string, Payload> pictures = PicturePayloads();
    Payload items[3];
    for (int i = 0; i < 3; ++i) items[i] = Draw([i](toolkit::TMemoryDIB& d) { DrawListItem(i, d); });
    std::map<std::string, int> used;
    int itemsUsed[3] = {0, 0, 0};

    std::string out;
    out.reserve(templateText.size() + 2'400'000);
    std::vector<Frame> stack;
    int itemCount = 0;
    size_t pos = 0;
    while (pos < templateText.size()) {
        size_t end = templateText.find('\n', pos);
        if (end == std::string_view::npos) end = templateText.size();
        const std::string_view line = templateText.substr(pos, end - pos);
        pos = end + 1;
        const std::string text = Trim(line);
        const std::string indent(line.substr(0, line.find_first_not_of(' ')).size() + 2, ' ');

        if (text.rfind("object ", 0) == 0) {
            const size_t colon = text.find(':');
            stack.push_back(
                {false, Trim(text.substr(7, colon == std::string::npos ? std::string::npos : colon - 7)), 0, indent});
        } else if (text == "item" && !stack.empty()) {
            const std::string list = stack.back().name;
            stack.push_back({true, list, list == kImageListName ? itemCount++ : -1, indent});
        } else if ((text == "end" || text == "end>") && !stack.empty()) {
            const Frame frame = stack.back();
            stack.pop_back();
            if (frame.item && frame.name == kImageListName && frame.itemIndex >= 0 && frame.itemIndex < 3) {
                AppendBinary(out, frame.indent, "DIB.Data", items[frame.itemIndex]);
                ++itemsUsed[frame.itemIndex];
            } else if (!frame.item) {
                auto it = pictures.find(frame.name);
                if (it != pictures.end()) {
                    AppendBinary(out, frame.indent, "Picture.Data", it->second);
                    ++used[frame.name];
                }
            }
        }
        out.append(line);
        out += '\n';
    }

    std::string missing;
    for (const auto& [name, payload] : pictures)
        if (used[name] != 1) missing += (missing.empty() ? "" : ", ") + name;
    for (int i = 0; i < 3; ++i)
        if (itemsUsed[i] != 1)
            missing += (missing.empty() ? "" : ", ") + std::string(kImageListName) + " item " + std::to_string(i);
    if (!missing.empty()) throw std::runtime_error("the editor form does not hold exactly one of each: " + missing);
    return out;
}

std::string DescriptionSource(std::string_view text) {
    std::string out =
        "// Made by trv4-skin --form-source from editor/PluginEditorWindow.form and the\n"
        "// skin's pictures; a build product, not kept in the tree.\n"
        "#include <string_view>\n\nnamespace trv4 {\nnamespace {\nconstexpr char kDescription[] =\n\"";
    out.reserve(text.size() * 11 / 10 + 256);
    static const char kOctal[] = "01234567";
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n\"\n\"";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F && c != '?') {  // '?': no trigraphs
            out += static_cast<char>(c);
        } else {
            out += '\\';
            out += kOctal[c >> 6];
            out += kOctal[(c >> 3) & 7];
            out += kOctal[c & 7];
        }
    }
    out +=
        "\";\n}  // namespace\n\nstd::string_view EditorDescription() { return {kDescription, sizeof kDescription - "
        "1}; }\n\n}  // namespace trv4\n";
    return out;
}

}  // namespace trv4skin
