// Stored form descriptions: our text format for a form and everything on it,
// read into a live form and written back.
//
//   object EditorWindow: TEditorWindow
//     Width = 755
//     Caption = 'Tolvmark TRV-4'#13'second line'
//     Font.Height = -11
//     BorderIcons = [biSystemMenu]
//     OnCreate = FormCreate
//     object Label1: TLabel
//       Left = 130
//       Color = clBlack
//     end
//     object ImageList1: TDIBImageList
//       DIBImages = <
//         item
//           DIB.Width = 2
//           DIB.Data = {
//             0200010000000000FFFFFFFF}
//           DisplayName = 'Pointer'
//         end>
//     end
//   end
//
// How a class takes part:
// - It derives from Component (or is a collection item deriving from
//   Persistent) and returns its ClassInfo from Class(). The ClassInfo is
//   built once with ClassBuilder<C>("TMyClass", &Base::StaticClass()),
//   naming its published properties in the order the writer writes them:
//   .Integer("Max", &C::Max, &C::SetMax, 0, 65535), .Bool, .Float, .String,
//   .Enum (names by value), .Binary (a hex block: std::vector<uint8_t>),
//   .Raw (any Value), .Collection<Item>(name, clear, add, count, item), and
//   AddEventProperty(builder, "OnChange", &C::OnChange) for events.
//   .Default(value) or .StoredWhen(predicate) after a property keeps it out
//   of the written text when it holds its default.
// - Dotted names ("Font.Height", "DIB.Width") are plain property names: the
//   getter and setter reach the sub-object themselves.
// - Classes the reader may create call .Creatable() (a constructor taking
//   the owner) and are registered once: ClassRegistry::Register(
//   TMyClass::StaticClass()) before the first form that names them is read.
// - While reading, every created component and the root have IsLoading()
//   true, so setters can accept values they would refuse later or defer
//   work; afterwards Loaded() runs on each, root first, then in creation
//   order. A nested object's component is owned by the root and handed to
//   the enclosing object's AdoptStreamed (controls become its children).
// - Event properties name methods that the root registered with
//   RegisterMethod before reading.
//
// Failures raise FormError with one message and the line number; the
// components the reader created are freed again. The root keeps the
// properties set before the failing line. Window thread only.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

class Component;

class FormError : public std::runtime_error {
public:
    FormError(int line, const std::string& message);
    int Line() const { return line_; }

private:
    int line_;
};

// Reads a description whose outermost object is root's class into root.
void ReadForm(Component& root, std::string_view text);
// The description of root and the components it owns.
std::string WriteForm(const Component& root);

}  // namespace platform
