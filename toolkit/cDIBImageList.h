// Image lists: the skin of a window as an ordered collection of memory
// surfaces, stored in the window's form description, and the links through
// which controls refer to its images by index.
//
// TCustomDIBImageList/TDIBImageList (a component) owns the TDIBImages
// collection, whose TDIBImagesItem items own their TMemoryDIB. Controls own
// TDIBImageLink objects (list + index) and resolve them each time they
// paint; the list tells every registered link when an image changes, is
// deleted or moves. All of it runs on the window thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Component.h"
#include "toolkit/cDIB.h"

namespace toolkit {

class TCustomDIBImageList;
class TDIBImages;
class TDIBImageLink;

enum TDIBImageRetrieval {
    irInternal,     // pixels stored in the form description
    irLoadOnStart,  // pixels loaded from ImageFilename (and MaskFilename)
};

// One image of a list, with its file names and display name.
class TDIBImagesItem : public platform::Persistent {
public:
    explicit TDIBImagesItem(TDIBImages& collection);
    ~TDIBImagesItem() override;

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    TDIBImages& Collection() const { return fCollection; }
    int Index() const;

    // The image; every change of its pixels or settings notifies the links
    // of this index.
    TMemoryDIB& DIB() { return fDIB; }
    const TMemoryDIB& DIB() const { return fDIB; }

    const std::string& DisplayName() const { return fDisplayName; }
    void SetDisplayName(const std::string& name) { fDisplayName = name; }
    TDIBImageRetrieval ImageRetrieval() const { return fRetrieval; }
    void SetImageRetrieval(TDIBImageRetrieval mode) { fRetrieval = mode; }
    const std::string& ImageFilename() const { return fImageFilename; }
    void SetImageFilename(const std::string& path) { fImageFilename = path; }
    const std::string& MaskFilename() const { return fMaskFilename; }
    void SetMaskFilename(const std::string& path) { fMaskFilename = path; }
    // "key:number" for items made by template loading; empty otherwise.
    const std::string& TemplateFilename() const { return fTemplateFilename; }
    void SetTemplateFilename(const std::string& name) { fTemplateFilename = name; }

    // Asked before an irLoadOnStart file is loaded, with the directory part
    // of the stored name: a non-empty answer puts the file's name into that
    // directory, an empty one leaves the bare file name.
    std::function<void(TDIBImagesItem& sender, std::string& directory)> OnTranslateImagePath;
    // Where the stored file name is loaded from after the translation.
    std::string TranslatePath(const std::string& stored);

    // irLoadOnStart: loads the image (and mask) now; raises the import's
    // EDIBError and leaves the image as it was when a file cannot be read.
    void LoadFiles();
    bool FilesLoaded() const { return fFilesLoaded; }
    // irLoadOnStart and not attempted yet: loads, keeping the image empty
    // when a file cannot be read (a missing skin file must not stop a window
    // from opening; its controls simply draw nothing).
    void EnsureLoaded();

private:
    TDIBImages& fCollection;
    TMemoryDIB fDIB;
    std::string fDisplayName;
    TDIBImageRetrieval fRetrieval = irInternal;
    std::string fImageFilename;
    std::string fMaskFilename;
    std::string fTemplateFilename;
    bool fFilesLoaded = false;
    bool fLoadAttempted = false;
};

// The ordered items of a list, owned by it.
class TDIBImages {
public:
    explicit TDIBImages(TCustomDIBImageList& owner) : fOwner(owner) {}
    TDIBImages(const TDIBImages&) = delete;
    TDIBImages& operator=(const TDIBImages&) = delete;

    TCustomDIBImageList& Owner() const { return fOwner; }
    int Count() const { return int(fItems.size()); }
    TDIBImagesItem& Items(int index) const { return *fItems.at(size_t(index)); }
    int IndexOf(const TDIBImagesItem& item) const;

    TDIBImagesItem& Add();
    // Notifies the links (deleted), then frees the item.
    void Delete(int index);
    // Notifies the links (moved). Out-of-range indices do nothing.
    void Move(int from, int to);
    void Clear();
    // The default display name of a new item.
    static constexpr const char* kDefaultItemName = "DIBImage";

private:
    TCustomDIBImageList& fOwner;
    std::vector<std::unique_ptr<TDIBImagesItem>> fItems;
};

class TCustomDIBImageList : public platform::Component {
public:
    explicit TCustomDIBImageList(platform::Component* owner);
    ~TCustomDIBImageList() override;

    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }

    TDIBImages& DIBImages() { return fImages; }
    const TDIBImages& DIBImages() const { return fImages; }

    bool IndexValid(int index) const { return index >= 0 && index < fImages.Count(); }
    // The image at index, handed out through the list's single view
    // surface (shared pixels, copied size and settings), or none for an
    // invalid index or an image without pixels. Each call re-fills the same
    // view: finish with one image before resolving the next.
    TAbstractSuperDIB* Resolve(int index);

    // Registering sends the link an image-changed notice for every index.
    void RegisterLink(TDIBImageLink& link);
    void UnregisterLink(TDIBImageLink& link);

    // The item whose TemplateFilename is "key:number", appended if missing.
    TDIBImagesItem& ItemByTemplate(const std::string& key, int number);

    // Notices to the links; the collection and the items call them.
    void ImageChanged(int index);
    void ImageDeleted(int index);
    void ImageMoved(int from, int to);

    // After reading: loads every irLoadOnStart item.
    void Loaded() override;

private:
    template <typename F>
    void ForEachLink(F f);

    TDIBImages fImages;
    std::vector<TDIBImageLink*> fLinks;
    TMemoryDIB fView;
};

class TDIBImageList : public TCustomDIBImageList {
public:
    explicit TDIBImageList(platform::Component* owner) : TCustomDIBImageList(owner) {}
    static const platform::ClassInfo& StaticClass();
    const platform::ClassInfo& Class() const override { return StaticClass(); }
    // Makes TDIBImageList known to the form reader (idempotent).
    static void RegisterClass();
};

// A control's reference to one image of a list.
class TDIBImageLink {
public:
    explicit TDIBImageLink(platform::Component* owner = nullptr) : fOwner(owner) {}
    ~TDIBImageLink();
    TDIBImageLink(const TDIBImageLink&) = delete;
    TDIBImageLink& operator=(const TDIBImageLink&) = delete;

    platform::Component* Owner() const { return fOwner; }
    TCustomDIBImageList* DIBImageList() const { return fList; }
    // Unregisters from the old list, stores, registers with the new one.
    void SetDIBImageList(TCustomDIBImageList* list);
    int DIBIndex() const { return fIndex; }
    // A different index runs the image-changed hook.
    void SetDIBIndex(int index);
    // DIBIndex, then DIBImageList.
    void Assign(const TDIBImageLink& other);

    // The image, or none (no list, invalid index, no pixels).
    TAbstractSuperDIB* Resolve() const { return fList ? fList->Resolve(fIndex) : nullptr; }

    // The control's image-changed hook.
    std::function<void(TDIBImageLink&)> OnImageChanged;
    // Set by the owning control when its destruction begins: deletions are
    // then ignored.
    void SetOwnerDestroying(bool destroying) { fOwnerDestroying = destroying; }

private:
    friend class TCustomDIBImageList;
    void NoticeChanged(int index);
    void NoticeDeleted(int index);
    void NoticeMoved(int from, int to);
    void Fire() {
        if (OnImageChanged) OnImageChanged(*this);
    }

    platform::Component* fOwner;
    TCustomDIBImageList* fList = nullptr;
    int32_t fIndex = -1;
    bool fOwnerDestroying = false;
};

}  // namespace toolkit
