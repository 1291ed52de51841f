// The registry of item kinds.
#include "document/ItemRegistry.h"

#include <map>
#include <mutex>

#include "platform/DocViewError.h"

namespace xq {

namespace {

struct TKind {
    std::type_index Class;
    TItemFactory Factory;
};

class TKindRegistry {
public:
    TKindRegistry()
    {
        Add<TRVBreakItemInfo>(rvsBreak);
        Add<TRVGraphicItemInfo>(rvsPicture);
        Add<TRVHotspotItemInfo>(rvsHotspot);
        Add<TRVControlItemInfo>(rvsComponent);
        Add<TRVBulletItemInfo>(rvsBullet);
        Add<TRVHotGraphicItemInfo>(rvsHotPicture);
        Add<TRVTabItemInfo>(rvsTab);
    }

    void Register(int styleNo, std::type_index itemClass, TItemFactory factory)
    {
        std::lock_guard lock(Mutex_);
        auto found = Kinds_.find(styleNo);
        if (found != Kinds_.end()) {
            if (styleNo < rvsDocProperty && found->second.Class != itemClass)
                throw EDocViewError(errItemKindRegistered);
            return;
        }
        Kinds_.emplace(styleNo, TKind{itemClass, std::move(factory)});
    }

    std::unique_ptr<TCustomRVItemInfo> Create(int styleNo)
    {
        std::lock_guard lock(Mutex_);
        auto found = Kinds_.find(styleNo);
        return found == Kinds_.end() ? nullptr : found->second.Factory();
    }

    bool Contains(int styleNo)
    {
        std::lock_guard lock(Mutex_);
        return Kinds_.count(styleNo) != 0;
    }

private:
    template <class T>
    void Add(int styleNo)
    {
        Kinds_.emplace(styleNo, TKind{typeid(T), [] { return std::make_unique<T>(); }});
    }

    std::mutex Mutex_;
    std::map<int, TKind> Kinds_;
};

TKindRegistry& Registry()
{
    static TKindRegistry registry;
    return registry;
}

} // namespace

void RegisterItemKind(int styleNo, std::type_index itemClass, TItemFactory factory)
{
    Registry().Register(styleNo, itemClass, std::move(factory));
}

std::unique_ptr<TCustomRVItemInfo> CreateItemByStyleNo(int styleNo)
{
    if (styleNo >= 0)
        return std::make_unique<TRVTextItemInfo>(styleNo);
    return Registry().Create(styleNo);
}

bool IsItemKindRegistered(int styleNo)
{
    return styleNo >= 0 || Registry().Contains(styleNo);
}

} // namespace xq
