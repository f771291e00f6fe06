// Stored form descriptions: reading into live components, writing the same
// text back, and one clear error (with its line) for each kind of bad input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Component.h"
#include "platform/FormReader.h"

namespace platform {
namespace {

std::vector<std::string> gLog;

class ProbeItem : public Persistent {
public:
    static const ClassInfo& StaticClass() {
        static const ClassInfo info = [] {
            ClassBuilder<ProbeItem> b("TProbeItem", nullptr);
            b.Integer(
                "DIB.Width", [](const ProbeItem& i) { return i.width; }, [](ProbeItem& i, int v) { i.width = v; }, 0,
                65535);
            b.String(
                 "DisplayName", [](const ProbeItem& i) { return i.displayName; },
                 [](ProbeItem& i, const std::string& v) { i.displayName = v; })
                .Default(Value::String(""));
            return b.Build();
        }();
        return info;
    }
    const ClassInfo& Class() const override { return StaticClass(); }
    int width = 0;
    std::string displayName;
};

class Probe : public Component {
public:
    explicit Probe(Component* owner) : Component(owner) {}
    static const ClassInfo& StaticClass() {
        static const ClassInfo info = [] {
            ClassBuilder<Probe> b("TProbe", &Component::StaticClass());
            b.Creatable();
            b.Integer("Count", &Probe::Count, &Probe::SetCount, 0, 100).Default(Value::Integer(0));
            b.Float(
                 "Ratio", [](const Probe& p) { return p.ratio; }, [](Probe& p, double v) { p.ratio = v; })
                .Default(Value::Float(1.0));
            b.String(
                 "Title", [](const Probe& p) { return p.title; }, [](Probe& p, const std::string& v) { p.title = v; })
                .Default(Value::String(""));
            b.Enum(
                "Mode", [](const Probe& p) { return p.mode; }, [](Probe& p, int v) { p.mode = v; }, {"pmOff", "pmOn"});
            b.Bool(
                 "Visible", [](const Probe& p) { return p.visible; }, [](Probe& p, bool v) { p.visible = v; })
                .Default(Value::Identifier("True"));
            b.Raw(
                 "Options", [](const Probe& p) { return p.options; },
                 [](Probe& p, const Value& v) {
                     if (v.kind != Value::Kind::Set) throw ValueError("a set is expected");
                     p.options = v;
                 })
                .StoredWhen([](const Probe& p) { return !p.options.names.empty(); });
            b.Binary(
                 "Data", [](const Probe& p) { return p.data; },
                 [](Probe& p, const std::vector<uint8_t>& v) { p.data = v; })
                .StoredWhen([](const Probe& p) { return !p.data.empty(); });
            b.Collection<ProbeItem>(
                "Items", [](Probe& p) { p.items.clear(); },
                [](Probe& p) -> ProbeItem& { return p.items.emplace_back(); },
                [](const Probe& p) { return p.items.size(); },
                [](const Probe& p, size_t i) -> const ProbeItem& { return p.items[i]; });
            b.StoredWhen([](const Probe& p) { return !p.items.empty(); });
            AddEventProperty(b, "OnPing", &Probe::OnPing);
            return b.Build();
        }();
        return info;
    }
    const ClassInfo& Class() const override { return StaticClass(); }

    int Count() const { return count; }
    void SetCount(int v) {
        // Like a setter that accepts more while loading: odd counts only then.
        if (v % 2 && !IsLoading()) throw std::runtime_error("odd count");
        count = v;
    }
    void Loaded() override {
        Component::Loaded();
        gLog.push_back("loaded " + Name());
    }
    void AdoptStreamed(Component* child) override { static_cast<Probe*>(child)->parent = this; }
    Component* StreamParent() const override { return parent; }

    int count = 0;
    double ratio = 1.0;
    std::string title;
    int mode = 0;
    bool visible = true;
    Value options = Value::Set({});
    std::vector<uint8_t> data;
    std::vector<ProbeItem> items;
    NotifyEvent OnPing;
    Component* parent = nullptr;
};

class ProbeForm : public Probe {
public:
    ProbeForm() : Probe(nullptr) {
        RegisterMethod<void(Component*)>("Pinged", [this](Component* sender) { pinged = sender; });
    }
    ~ProbeForm() override { DestroyComponents(); }
    static const ClassInfo& StaticClass() {
        static const ClassInfo info = ClassBuilder<ProbeForm>("TProbeForm", &Probe::StaticClass()).Build();
        return info;
    }
    const ClassInfo& Class() const override { return StaticClass(); }
    Component* pinged = nullptr;
};

class FormText : public ::testing::Test {
protected:
    void SetUp() override {
        ClassRegistry::Register(Probe::StaticClass());
        gLog.clear();
    }
};

const char kForm[] =
    "object Main: TProbeForm\n"
    "  Count = 7\n"
    "  Ratio = 0.25\n"
    "  Title = 'It''s'#13#13'Version: 1.21'\n"
    "  Mode = pmOn\n"
    "  Options = [poOne, poTwo]\n"
    "  object Outer: TProbe\n"
    "    Tag = -3\n"
    "    Mode = pmOff\n"
    "    Visible = False\n"
    "    Data = {\n"
    "      000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
    "      20FF}\n"
    "    Items = <\n"
    "      item\n"
    "        DIB.Width = 10\n"
    "        DisplayName = 'Index Pointer'\n"
    "      end\n"
    "      item\n"
    "        DIB.Width = 0\n"
    "      end>\n"
    "    OnPing = Pinged\n"
    "    object Inner: TProbe\n"
    "      Count = 4\n"
    "      Mode = pmOff\n"
    "    end\n"
    "  end\n"
    "  object Second: TProbe\n"
    "    Mode = pmOff\n"
    "  end\n"
    "end\n";

TEST_F(FormText, ReadsTreeValuesAndEventsAndWritesTheSameTextBack) {
    ProbeForm form;
    ReadForm(form, kForm);

    EXPECT_EQ(form.Name(), "Main");
    EXPECT_EQ(form.count, 7) << "odd values pass while loading";
    EXPECT_FALSE(form.IsLoading());
    EXPECT_DOUBLE_EQ(form.ratio, 0.25);
    EXPECT_EQ(form.title, "It's\r\rVersion: 1.21");
    EXPECT_EQ(form.mode, 1);
    auto* outer = form.Find<Probe>("Outer");
    auto* inner = form.Find<Probe>("inner");  // names are case-insensitive
    ASSERT_TRUE(outer && inner);
    EXPECT_EQ(inner->Owner(), &form) << "the form owns every component";
    EXPECT_EQ(inner->parent, outer);
    EXPECT_EQ(outer->parent, &form);
    EXPECT_EQ(outer->Tag(), -3);
    EXPECT_FALSE(outer->visible);
    ASSERT_EQ(outer->data.size(), 34u);
    EXPECT_EQ(outer->data[33], 0xFF);
    ASSERT_EQ(outer->items.size(), 2u);
    EXPECT_EQ(outer->items[0].displayName, "Index Pointer");
    outer->OnPing(outer);
    EXPECT_EQ(form.pinged, outer);
    EXPECT_EQ(gLog, (std::vector<std::string>{"loaded Main", "loaded Outer", "loaded Inner", "loaded Second"}));
    EXPECT_THROW(form.SetCount(9), std::runtime_error) << "loading is over";

    EXPECT_EQ(WriteForm(form), kForm);
}

TEST_F(FormText, LargeBinaryBlocksSurviveTheRoundTrip) {
    ProbeForm form;
    form.SetName("Main");
    auto* probe = new Probe(&form);
    probe->SetName("Big");
    for (int i = 0; i < 300000; ++i) probe->data.push_back(static_cast<uint8_t>(i * 7));
    const std::string text = WriteForm(form);
    ProbeForm copy;
    ReadForm(copy, text);
    ASSERT_NE(copy.Find<Probe>("Big"), nullptr);
    EXPECT_EQ(copy.Find<Probe>("Big")->data, probe->data);
    EXPECT_EQ(WriteForm(copy), text);
}

struct BadCase {
    const char* text;
    int line;
    const char* words;  // expected in the message
};

TEST_F(FormText, MalformedInputGivesOneErrorWithItsLineAndLeavesNothingBehind) {
    const BadCase cases[] = {
        {"", 1, "'object' expected, but the text ends"},
        {"object Main: TProbeForm\n  object A: TNoSuch\n  end\nend\n", 2, "unknown class 'TNoSuch'"},
        {"object Main: TOther\nend\n", 1, "not a TOther"},
        {"object Main: TProbeForm\n  object A: TProbe\n    Colour = 3\n  end\nend\n", 3, "no property 'Colour'"},
        {"object Main: TProbeForm\n  Count = 101\nend\n", 2, "invalid value for Count"},
        {"object Main: TProbeForm\n  Count = 'ten'\nend\n", 2, "integer is expected"},
        {"object Main: TProbeForm\n  Mode = pmHalf\nend\n", 2, "'pmHalf' is not a valid value"},
        {"object Main: TProbeForm\n  Visible = 1\nend\n", 2, "True or False"},
        {"object Main: TProbeForm\n  Ratio = 1.2.3\nend\n", 2, "not a valid number"},
        {"object Main: TProbeForm\n  object A: TProbe\n    Data = {\n      0001020\n      }\n  end\nend\n", 5,
         "half a byte"},
        {"object Main: TProbeForm\n  object A: TProbe\n    Data = {\n      000102", 4, "no closing '}'"},
        {"object Main: TProbeForm\n  Data = { 00 0G }\nend\n", 2, "'G' is not a hex digit"},
        {"object Main: TProbeForm\n  object A: TProbe\n  end\nend\nend\n", 5, "text after the end of the form"},
        {"object Main: TProbeForm\n  object A: TProbe\n    Count = 2\n  end\n", 5, "'end' missing"},
        {"object Main: TProbeForm\n  OnPing = NoSuchMethod\nend\n", 2, "no method 'NoSuchMethod'"},
        {"object Main: TProbeForm\n  object A: TProbe\n  end\n  object A: TProbe\n  end\nend\n", 4,
         "'A' exists already"},
        {"object Main: TProbeForm\n  Title = 'open\nend\n", 2, "unterminated string"},
        {"object Main: TProbeForm\n  Items = <\n    item\n      Width = 3\n    end>\nend\n", 4,
         "TProbeItem has no property 'Width'"},
        {"object Main: TProbeForm\n  Items = <\n    item\n      DIB.Width = 3\n", 5, "inside the item of line 3"},
        {"object Main: TProbeForm\n  Count 3\nend\n", 2, "'=' expected"},
        {"object Main: TProbeForm\n  Count =\nend\n", 3, "value expected for Count"},
    };
    for (const BadCase& c : cases) {
        ProbeForm form;
        try {
            ReadForm(form, c.text);
            ADD_FAILURE() << "accepted:\n" << c.text;
        } catch (const FormError& error) {
            EXPECT_EQ(error.Line(), c.line) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.words), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("Line " + std::to_string(c.line) + ": ", 0), 0u) << error.what();
        }
        EXPECT_TRUE(form.Components().empty()) << "components left after:\n" << c.text;
        EXPECT_FALSE(form.IsLoading());
    }
}

TEST_F(FormText, ComponentsFreeWhatTheyOwnAndTellWhoAsked) {
    gLog.clear();
    struct Watcher : Component {
        using Component::Component;
        void Notification(Component* c) override { gLog.push_back("freed " + c->Name()); }
    };
    ProbeForm form;
    Watcher watcher(nullptr);
    auto* a = new Probe(&form);
    a->SetName("A");
    auto* b = new Probe(a);
    b->SetName("B");
    b->FreeNotification(&watcher);
    delete a;
    EXPECT_TRUE(form.Components().empty());
    EXPECT_EQ(gLog, (std::vector<std::string>{"freed B"}));
}

}  // namespace
}  // namespace platform
