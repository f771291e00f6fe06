// Error classes of the skinned control toolkit. Property setters and loaders
// raise one of these with a fixed English message before changing anything;
// callers that the host reaches catch them (no exception crosses a window
// procedure or the dispatcher).
//
// EDIBError is the common base, so `catch (const EDIBError&)` takes any
// toolkit error. Window thread only.
#pragma once

#include <stdexcept>
#include <string>

namespace toolkit {

class EDIBError : public std::runtime_error {
public:
    explicit EDIBError(const std::string& message) : std::runtime_error(message) {}
};

// Refused dial settings (range, steps, pointer glyphs).
class EDIBDialError : public EDIBError {
public:
    using EDIBError::EDIBError;
};

// Refused control settings and parenting.
class EDIBControlError : public EDIBError {
public:
    using EDIBError::EDIBError;
};

// Image files and stored payloads that cannot be read.
class EDIBFormatError : public EDIBError {
public:
    using EDIBError::EDIBError;
};

// Compressed payloads: no decompressor, or one that failed.
class EDIBCompressError : public EDIBError {
public:
    using EDIBError::EDIBError;
};

// The fixed messages raised by the surfaces, formats and image lists.
namespace dibmsg {
inline constexpr const char* kAssignTo = "Cannot assign a TAbstractDIB to a ";
inline constexpr const char* kMaskWithoutImage = "You cannot import a mask until you have an image.";
inline constexpr const char* kRsbVersion = "Only RSB version 1 is supported.";
inline constexpr const char* kNoDecompressor = "Could not find a suitable decompressor.";
inline constexpr const char* kDecompressFailed = "The compressed image data could not be decompressed.";
inline constexpr const char* kPayloadSize = "The image data does not match its width and height.";
inline constexpr const char* kImageDamaged = "The image file is damaged or truncated.";
inline constexpr const char* kImageTooLarge = "The image is larger than 65535 pixels in width or height.";
inline constexpr const char* kImageUnknown = "The image file format is not supported.";
inline constexpr const char* kImageOpen = "The image file could not be opened.";
}  // namespace dibmsg

}  // namespace toolkit
