#include "platform/FormReader.h"

#include <array>
#include <charconv>
#include <memory>
#include <vector>

#include "platform/Component.h"

namespace platform {

FormError::FormError(int line, const std::string& message)
    : std::runtime_error("Line " + std::to_string(line) + ": " + message), line_(line) {}

namespace {

struct Token {
    enum class Kind { End, Name, Integer, Float, String, Symbol };
    Kind kind = Kind::End;
    std::string text;  // Name, String; Symbol: the character
    int64_t integer = 0;
    double real = 0.0;
    int line = 1;

    bool Is(char symbol) const { return kind == Kind::Symbol && text[0] == symbol; }
    bool IsWord(std::string_view word) const { return kind == Kind::Name && SameName(text, word); }
};

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// The value of each character as a hex digit; -1 for a character that is none.
constexpr std::array<int8_t, 256> kHexDigits = [] {
    std::array<int8_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = static_cast<int8_t>(c >= '0' && c <= '9'   ? c - '0'
                                   : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                   : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                          : -1);
    return t;
}();
int HexDigit(char c) { return kHexDigits[static_cast<unsigned char>(c)]; }

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    int Line() const { return line_; }

    Token Next() {
        SkipSpace();
        Token t;
        t.line = line_;
        if (pos_ >= text_.size()) return t;
        const char c = text_[pos_];
        if (IsNameStart(c)) {
            const size_t start = pos_;
            while (pos_ < text_.size() && (IsNameStart(text_[pos_]) || IsDigit(text_[pos_]) || text_[pos_] == '.'))
                ++pos_;
            t.kind = Token::Kind::Name;
            t.text = std::string(text_.substr(start, pos_ - start));
        } else if (IsDigit(c) || c == '-' || c == '$') {
            Number(t);
        } else if (c == '\'' || c == '#') {
            t.kind = Token::Kind::String;
            t.text = StringLiteral();
        } else {
            ++pos_;
            t.kind = Token::Kind::Symbol;
            t.text = std::string(1, c);
        }
        return t;
    }

    // The bytes of a hex block, after its opening brace.
    std::vector<uint8_t> HexBlock(int openLine) {
        // Room for every byte the block can hold, trimmed at the end.
        const size_t close = text_.find('}', pos_);
        std::vector<uint8_t> bytes(close != std::string_view::npos ? (close - pos_) / 2 : 0);
        size_t count = 0;
        int high = -1;
        while (true) {
            // Whole bytes, two digits at a time, up to the next line break:
            // an editor's pictures are a few megabytes of them. The closing
            // brace (no digit) stops the run before the text or the room
            // for the bytes ends.
            if (high < 0 && close != std::string_view::npos) {
                const char* in = text_.data() + pos_;
                uint8_t* out = bytes.data() + count;
                while (true) {
                    const int hi = HexDigit(in[0]);
                    if (hi < 0) break;
                    const int lo = HexDigit(in[1]);
                    if (lo < 0) break;
                    *out++ = static_cast<uint8_t>(hi << 4 | lo);
                    in += 2;
                }
                pos_ = static_cast<size_t>(in - text_.data());
                count = static_cast<size_t>(out - bytes.data());
            }
            if (pos_ >= text_.size())
                throw FormError(line_,
                                "the binary block started at line " + std::to_string(openLine) + " has no closing '}'");
            const char c = text_[pos_++];
            if (c == '}') break;
            if (c == '\n') ++line_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
            const int digit = HexDigit(c);
            if (digit < 0) throw FormError(line_, std::string("'") + c + "' is not a hex digit in a binary block");
            if (high < 0) {
                high = digit;
            } else {
                const auto byte = static_cast<uint8_t>(high << 4 | digit);
                if (count < bytes.size())
                    bytes[count] = byte;
                else
                    bytes.push_back(byte);
                ++count;
                high = -1;
            }
        }
        if (high >= 0) throw FormError(line_, "the binary block ends in half a byte");
        bytes.resize(count);
        return bytes;
    }

private:
    void SkipSpace() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                break;
            }
            ++pos_;
        }
    }

    void Number(Token& t) {
        const size_t start = pos_;
        if (text_[pos_] == '$') {
            ++pos_;
            uint64_t v = 0;
            size_t digits = 0;
            while (pos_ < text_.size() && HexDigit(text_[pos_]) >= 0) {
                v = v << 4 | static_cast<uint64_t>(HexDigit(text_[pos_++]));
                if (++digits > 16) throw FormError(line_, "hex number too long");
            }
            if (digits == 0) throw FormError(line_, "'$' without hex digits");
            t.kind = Token::Kind::Integer;
            t.integer = static_cast<int64_t>(v);
            return;
        }
        if (text_[pos_] == '-') ++pos_;
        bool isFloat = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (IsDigit(c)) {
                ++pos_;
            } else if (c == '.' || c == 'e' || c == 'E' ||
                       ((c == '+' || c == '-') && (text_[pos_ - 1] == 'e' || text_[pos_ - 1] == 'E'))) {
                isFloat = true;
                ++pos_;
            } else {
                break;
            }
        }
        const char* first = text_.data() + start;
        const char* last = text_.data() + pos_;
        std::from_chars_result r{};
        if (isFloat) {
            t.kind = Token::Kind::Float;
            r = std::from_chars(first, last, t.real);
        } else {
            t.kind = Token::Kind::Integer;
            r = std::from_chars(first, last, t.integer);
        }
        if (r.ec != std::errc() || r.ptr != last)
            throw FormError(line_, "'" + std::string(first, last) + "' is not a valid number");
    }

    // 'text' pieces with '' for a quote, and #nnn character codes, in any order.
    std::string StringLiteral() {
        std::string s;
        while (pos_ < text_.size()) {
            if (text_[pos_] == '\'') {
                ++pos_;
                while (true) {
                    if (pos_ >= text_.size() || text_[pos_] == '\n') throw FormError(line_, "unterminated string");
                    const char c = text_[pos_++];
                    if (c != '\'') {
                        s += c;
                    } else if (pos_ < text_.size() && text_[pos_] == '\'') {
                        s += '\'';
                        ++pos_;
                    } else {
                        break;
                    }
                }
            } else if (text_[pos_] == '#') {
                ++pos_;
                int code = 0, digits = 0;
                while (pos_ < text_.size() && IsDigit(text_[pos_]) && digits < 4) {
                    code = code * 10 + (text_[pos_++] - '0');
                    ++digits;
                }
                if (digits == 0 || code > 255) throw FormError(line_, "bad character code after '#'");
                s += static_cast<char>(code);
            } else {
                break;
            }
        }
        return s;
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
};

class Reader {
public:
    Reader(Component& root, std::string_view text) : root_(root), lexer_(text) {}

    void Run() {
        try {
            root_.SetLoading(true);
            Advance();
            Token header = Expect("object");
            ReadObjectHeader(header, &root_);
            if (token_.kind != Token::Kind::End) throw FormError(token_.line, "text after the end of the form");
            root_.Loaded();
            for (Component* c : created_) c->Loaded();
        } catch (const FormError&) {
            Undo();
            throw;
        } catch (const std::exception& e) {
            Undo();
            throw FormError(token_.line, e.what());
        }
    }

private:
    void Undo() {
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) delete *it;
        created_.clear();
        root_.SetLoading(false);
    }

    void Advance() { token_ = lexer_.Next(); }

    Token Expect(std::string_view word) {
        if (!token_.IsWord(word)) throw FormError(token_.line, "'" + std::string(word) + "' expected" + Found());
        Token t = token_;
        Advance();
        return t;
    }
    void ExpectSymbol(char symbol) {
        if (!token_.Is(symbol)) throw FormError(token_.line, std::string("'") + symbol + "' expected" + Found());
        Advance();
    }
    std::string ExpectName(const char* what) {
        if (token_.kind != Token::Kind::Name) throw FormError(token_.line, std::string(what) + " expected" + Found());
        std::string s = token_.text;
        Advance();
        return s;
    }
    std::string Found() const {
        switch (token_.kind) {
        case Token::Kind::End: return ", but the text ends";
        case Token::Kind::Name: return ", found '" + token_.text + "'";
        case Token::Kind::Symbol: return ", found '" + token_.text + "'";
        default: return "";
        }
    }

    // After `object`: Name ': ' Class, body, end. target is the root for the
    // outermost object, else null (a new component is created).
    void ReadObjectHeader(const Token& objectToken, Component* target, Component* enclosing = nullptr) {
        const std::string name = ExpectName("an object name");
        ExpectSymbol(':');
        const int classLine = token_.line;
        const std::string className = ExpectName("a class name");
        if (target) {
            if (!SameName(className, target->Class().Name()))
                throw FormError(classLine, "the form is a " + target->Class().Name() + ", not a " + className);
            target->SetName(name);
        } else {
            const ClassInfo* info = ClassRegistry::Find(className);
            if (!info) throw FormError(classLine, "unknown class '" + className + "'");
            if (!info->create) throw FormError(classLine, "class '" + className + "' cannot be created here");
            if (root_.FindComponent(name))
                throw FormError(objectToken.line, "a component named '" + name + "' exists already");
            try {
                target = info->create(&root_);
            } catch (const std::exception& e) {
                throw FormError(classLine, e.what());
            }
            created_.push_back(target);
            target->SetLoading(true);
            target->SetName(name);
            try {
                enclosing->AdoptStreamed(target);
            } catch (const std::exception& e) {
                throw FormError(objectToken.line, e.what());
            }
        }
        ReadBody(*target, objectToken.line, name);
    }

    void ReadBody(Component& object, int startLine, const std::string& name) {
        while (true) {
            if (token_.kind == Token::Kind::End)
                throw FormError(token_.line, "the text ends inside object '" + name + "' (line " +
                                                 std::to_string(startLine) + "): 'end' missing");
            if (token_.IsWord("end")) {
                Advance();
                return;
            }
            if (token_.IsWord("object")) {
                Token t = token_;
                Advance();
                ReadObjectHeader(t, nullptr, &object);
                continue;
            }
            ReadProperty(object);
        }
    }

    void ReadProperty(Persistent& object) {
        const int line = token_.line;
        const std::string name = ExpectName("a property name, 'object' or 'end'");
        ExpectSymbol('=');
        const PropertyInfo* property = object.Class().Find(name);
        if (!property) throw FormError(line, object.Class().Name() + " has no property '" + name + "'");
        if (property->isCollection) {
            ReadCollection(object, *property, line);
            return;
        }
        const Value value = ReadValue(name);
        try {
            property->set(object, value);
        } catch (const std::exception& e) {
            throw FormError(line, "invalid value for " + name + ": " + e.what());
        }
    }

    Value ReadValue(const std::string& property) {
        const Token t = token_;
        switch (t.kind) {
        case Token::Kind::Integer: Advance(); return Value::Integer(t.integer);
        case Token::Kind::Float: Advance(); return Value::Float(t.real);
        case Token::Kind::Name:
            if (t.IsWord("end") || t.IsWord("object") || t.IsWord("item")) break;
            Advance();
            return Value::Identifier(t.text);
        case Token::Kind::String: {
            std::string s = t.text;
            Advance();
            // Long strings are written as pieces joined by '+'.
            while (token_.Is('+')) {
                Advance();
                if (token_.kind != Token::Kind::String) throw FormError(token_.line, "a string expected after '+'");
                s += token_.text;
                Advance();
            }
            return Value::String(std::move(s));
        }
        case Token::Kind::Symbol:
            if (t.Is('[')) return ReadSet();
            if (t.Is('{')) {
                // The block is raw text: read it before the lexer looks ahead.
                Value v = Value::Binary(lexer_.HexBlock(t.line));
                Advance();
                return v;
            }
            break;
        case Token::Kind::End: break;
        }
        throw FormError(t.line, "a value expected for " + property + Found());
    }

    Value ReadSet() {
        Advance();
        std::vector<std::string> names;
        while (!token_.Is(']')) {
            if (!names.empty()) ExpectSymbol(',');
            names.push_back(ExpectName("a set member"));
        }
        Advance();
        return Value::Set(std::move(names));
    }

    void ReadCollection(Persistent& object, const PropertyInfo& property, int line) {
        ExpectSymbol('<');
        property.clear(object);
        while (!token_.Is('>')) {
            const int itemLine = token_.line;
            Expect("item");
            Persistent* item = nullptr;
            try {
                item = &property.add(object);
            } catch (const std::exception& e) {
                throw FormError(itemLine, e.what());
            }
            while (!token_.IsWord("end")) {
                if (token_.kind == Token::Kind::End)
                    throw FormError(token_.line, "the text ends inside the item of line " + std::to_string(itemLine));
                ReadProperty(*item);
            }
            Advance();
        }
        Advance();
    }

    Component& root_;
    Lexer lexer_;
    Token token_;
    std::vector<Component*> created_;
};

}  // namespace

void ReadForm(Component& root, std::string_view text) { Reader(root, text).Run(); }

}  // namespace platform
