// Image list, collection, items and links: resolution and notices.
#include "toolkit/cDIBImageList.h"

#include <algorithm>

#include "toolkit/cDIBErrors.h"

namespace toolkit {

// --- TDIBImagesItem ----------------------------------------------------------

TDIBImagesItem::TDIBImagesItem(TDIBImages& collection)
    : fCollection(collection), fDisplayName(TDIBImages::kDefaultItemName) {
    fDIB.OnChange = [this](TAbstractSuperDIB&) {
        const int index = Index();
        if (index >= 0) fCollection.Owner().ImageChanged(index);
    };
}

TDIBImagesItem::~TDIBImagesItem() { fDIB.OnChange = nullptr; }

int TDIBImagesItem::Index() const { return fCollection.IndexOf(*this); }

std::string TDIBImagesItem::TranslatePath(const std::string& stored) {
    if (!OnTranslateImagePath) return stored;
    const size_t sep = stored.find_last_of("/\\");
    std::string directory = sep == std::string::npos ? std::string() : stored.substr(0, sep + 1);
    const std::string name = sep == std::string::npos ? stored : stored.substr(sep + 1);
    OnTranslateImagePath(*this, directory);
    if (directory.empty()) return name;
#ifdef _WIN32
    constexpr char kSeparator = '\\';
#else
    constexpr char kSeparator = '/';
#endif
    if (directory.back() != '/' && directory.back() != '\\') directory += kSeparator;
    return directory + name;
}

void TDIBImagesItem::LoadFiles() {
    fLoadAttempted = true;
    if (fImageFilename.empty()) return;
    // Into a scratch surface first, so a bad mask leaves the image as well.
    TMemoryDIB loaded;
    loaded.ImportFile(TranslatePath(fImageFilename));
    if (!fMaskFilename.empty()) loaded.ImportMask(TranslatePath(fMaskFilename));
    const bool masked = loaded.Masked();
    fDIB.SetSize(uint16_t(loaded.Width()), uint16_t(loaded.Height()));
    std::copy_n(loaded.Bits(), size_t(loaded.Width()) * loaded.Height(), fDIB.Bits());
    fDIB.SetMasked(masked);
    fFilesLoaded = true;
    fDIB.Changed();
}

void TDIBImagesItem::EnsureLoaded() {
    if (fRetrieval != irLoadOnStart || fLoadAttempted) return;
    try {
        LoadFiles();
    } catch (const EDIBError&) {
        // The image stays as it was; controls showing it draw nothing.
    }
}

// --- TDIBImages --------------------------------------------------------------

int TDIBImages::IndexOf(const TDIBImagesItem& item) const {
    for (size_t i = 0; i < fItems.size(); ++i)
        if (fItems[i].get() == &item) return int(i);
    return -1;
}

TDIBImagesItem& TDIBImages::Add() {
    fItems.push_back(std::make_unique<TDIBImagesItem>(*this));
    return *fItems.back();
}

void TDIBImages::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    // Out of the collection first, so that hooks resolving during the
    // notice see the new order; freed after every link has been told.
    std::unique_ptr<TDIBImagesItem> item = std::move(fItems[size_t(index)]);
    fItems.erase(fItems.begin() + index);
    fOwner.ImageDeleted(index);
}

void TDIBImages::Move(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= Count() || to >= Count()) return;
    auto item = std::move(fItems[size_t(from)]);
    fItems.erase(fItems.begin() + from);
    fItems.insert(fItems.begin() + to, std::move(item));
    fOwner.ImageMoved(from, to);
}

void TDIBImages::Clear() {
    while (Count() > 0) Delete(Count() - 1);
}

// --- TCustomDIBImageList -----------------------------------------------------

TCustomDIBImageList::TCustomDIBImageList(platform::Component* owner) : platform::Component(owner), fImages(*this) {}

TCustomDIBImageList::~TCustomDIBImageList() {
    for (TDIBImageLink* link : fLinks) link->fList = nullptr;
    fLinks.clear();
}

template <typename F>
void TCustomDIBImageList::ForEachLink(F f) {
    // A hook may register or free links; only links still registered when
    // their turn comes are told.
    const std::vector<TDIBImageLink*> links = fLinks;
    for (TDIBImageLink* link : links)
        if (std::find(fLinks.begin(), fLinks.end(), link) != fLinks.end()) f(*link);
}

TAbstractSuperDIB* TCustomDIBImageList::Resolve(int index) {
    if (!IndexValid(index)) return nullptr;
    TDIBImagesItem& item = fImages.Items(index);
    item.EnsureLoaded();
    if (!item.DIB().HasPixels()) return nullptr;
    fView.MakeViewOf(item.DIB());
    fView.ResetClipRect();  // a clip set by the previous caller does not carry over
    return &fView;
}

void TCustomDIBImageList::RegisterLink(TDIBImageLink& link) {
    if (std::find(fLinks.begin(), fLinks.end(), &link) != fLinks.end()) return;
    fLinks.push_back(&link);
    for (int i = 0; i < fImages.Count(); ++i) {
        if (std::find(fLinks.begin(), fLinks.end(), &link) == fLinks.end()) break;
        link.NoticeChanged(i);
    }
}

void TCustomDIBImageList::UnregisterLink(TDIBImageLink& link) { std::erase(fLinks, &link); }

TDIBImagesItem& TCustomDIBImageList::ItemByTemplate(const std::string& key, int number) {
    const std::string name = key + ":" + std::to_string(number);
    for (int i = 0; i < fImages.Count(); ++i)
        if (fImages.Items(i).TemplateFilename() == name) return fImages.Items(i);
    TDIBImagesItem& item = fImages.Add();
    item.SetTemplateFilename(name);
    return item;
}

void TCustomDIBImageList::ImageChanged(int index) {
    ForEachLink([index](TDIBImageLink& l) { l.NoticeChanged(index); });
}

void TCustomDIBImageList::ImageDeleted(int index) {
    ForEachLink([index](TDIBImageLink& l) { l.NoticeDeleted(index); });
}

void TCustomDIBImageList::ImageMoved(int from, int to) {
    ForEachLink([from, to](TDIBImageLink& l) { l.NoticeMoved(from, to); });
}

void TCustomDIBImageList::Loaded() {
    platform::Component::Loaded();
    for (int i = 0; i < fImages.Count(); ++i) fImages.Items(i).EnsureLoaded();
}

// --- TDIBImageLink -----------------------------------------------------------

TDIBImageLink::~TDIBImageLink() {
    if (fList) fList->UnregisterLink(*this);
}

void TDIBImageLink::SetDIBImageList(TCustomDIBImageList* list) {
    if (fList) fList->UnregisterLink(*this);
    fList = list;
    if (fList) fList->RegisterLink(*this);
}

void TDIBImageLink::SetDIBIndex(int index) {
    if (index == fIndex) return;
    fIndex = index;
    Fire();
}

void TDIBImageLink::Assign(const TDIBImageLink& other) {
    if (&other == this) return;
    SetDIBIndex(other.fIndex);
    SetDIBImageList(other.fList);
}

void TDIBImageLink::NoticeChanged(int index) {
    if (index == fIndex) Fire();
}

void TDIBImageLink::NoticeDeleted(int index) {
    if (fIndex < index || fOwnerDestroying) return;
    if (fIndex > index) {
        --fIndex;
        return;
    }
    Fire();
    fIndex = -1;
}

void TDIBImageLink::NoticeMoved(int from, int to) {
    if (fIndex == from) {
        fIndex = to;
    } else if (from < to) {
        if (fIndex > from && fIndex <= to) --fIndex;
    } else if (fIndex >= to && fIndex < from) {
        ++fIndex;
    }
}

}  // namespace toolkit
